#include "platform/win32/files_win.h"

#include <windows.h>

#include <string>

#include "platform/win32/text_win.h"

namespace kestrova::win32 {

std::int64_t Win32Files::WriteFileChunk(const std::string& path, std::string_view bytes,
                                        std::int64_t offset) {
  if (bytes.size() > MAXDWORD) return 0;
  const HANDLE file =
      CreateFileW(Widen(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                  offset == kCreate ? CREATE_ALWAYS : OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return -1;
  bool ok = true;
  if (offset > 0) {
    LARGE_INTEGER at;
    at.QuadPart = offset;
    // Bytes meant for one place must not land at another.
    ok = SetFilePointerEx(file, at, nullptr, FILE_BEGIN) != FALSE;
  }
  DWORD written = 0;
  if (ok && !bytes.empty()) {
    ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) != FALSE;
  }
  FlushFileBuffers(file);
  CloseHandle(file);
  return ok ? static_cast<std::int64_t>(written) : 0;
}

std::optional<std::string> Win32Files::ReadAll(const std::string& path) {
  const HANDLE file = CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  std::string bytes;
  char chunk[4096];
  DWORD got = 0;
  while (::ReadFile(file, chunk, sizeof(chunk), &got, nullptr) && got > 0) bytes.append(chunk, got);
  CloseHandle(file);
  return bytes;
}

bool Win32Files::Exists(const std::string& path) {
  return GetFileAttributesW(Widen(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool Win32Files::Delete(const std::string& path) {
  DeleteFileW(Widen(path).c_str());
  return !Exists(path);
}

std::optional<FileFacts> Win32Files::Facts(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data = {};
  if (!GetFileAttributesExW(Widen(path).c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  FileFacts facts;
  facts.attributes = data.dwFileAttributes;
  facts.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  facts.modified = (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                   data.ftLastWriteTime.dwLowDateTime;
  return facts;
}

std::string Win32Files::ShortPath(const std::string& path) {
  const std::wstring wide = Widen(path);
  const DWORD needed = GetShortPathNameW(wide.c_str(), nullptr, 0);
  if (needed == 0) return {};
  std::wstring out(needed, L'\0');
  const DWORD length = GetShortPathNameW(wide.c_str(), out.data(), needed);
  if (length == 0 || length >= needed) return {};
  out.resize(length);
  return Narrow(out);
}

int Win32Files::DriveType(const std::string& root) {
  return static_cast<int>(GetDriveTypeW(Widen(root).c_str()));
}

std::optional<VolumeFacts> Win32Files::Volume(const std::string& root) {
  wchar_t label[MAX_PATH + 1] = {};
  DWORD serial = 0;
  if (!GetVolumeInformationW(Widen(root).c_str(), label, MAX_PATH + 1, &serial, nullptr, nullptr, nullptr,
                             0)) {
    return std::nullopt;
  }
  return VolumeFacts{Narrow(label), serial};
}

}  // namespace kestrova::win32

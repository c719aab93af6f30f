#include "settings/win32/profile_store_win.h"

#include <windows.h>

#include <optional>
#include <vector>

#include "platform/win32/text_win.h"

namespace kestrova {
namespace {

using win32::Narrow;
using win32::Widen;

constexpr DWORD kFirstBuffer = 256;
constexpr DWORD kLargestBuffer = 1u << 20;

// The whole value, or nothing when the service answered with `probe` (the
// key may be absent). A full buffer means the value may have been cut, so the
// call is repeated with a larger one.
std::optional<std::wstring> ReadWhole(const std::wstring& path, const std::wstring& section,
                                      const std::wstring& key, const wchar_t* probe) {
  std::vector<wchar_t> buffer(kFirstBuffer);
  DWORD length = 0;
  for (;;) {
    const auto size = static_cast<DWORD>(buffer.size());
    length = GetPrivateProfileStringW(section.c_str(), key.c_str(), probe, buffer.data(), size, path.c_str());
    if (length + 1 < size || size >= kLargestBuffer) break;
    buffer.assign(static_cast<std::size_t>(size) * 2, L'\0');
  }
  std::wstring value(buffer.data(), length);
  if (value == probe) return std::nullopt;
  return value;
}

}  // namespace

// The wide calls convert an ANSI file's bytes with the code page themselves,
// and keep a file that starts with a Unicode mark in Unicode.
std::string WinProfileStore::ReadString(const std::string& path, const std::string& section,
                                        const std::string& key, const std::string& def) {
  const std::wstring widePath = Widen(path);
  const std::wstring wideSection = Widen(section);
  const std::wstring wideKey = Widen(key);
  // The service trims and unquotes defaults, so absence is detected with two
  // probes instead: only an absent key answers both.
  if (auto value = ReadWhole(widePath, wideSection, wideKey, L"\x01")) return Narrow(*value);
  if (auto value = ReadWhole(widePath, wideSection, wideKey, L"\x02")) return Narrow(*value);
  return def;
}

int WinProfileStore::ReadInt(const std::string& path, const std::string& section, const std::string& key,
                             int def) {
  return static_cast<int>(
      GetPrivateProfileIntW(Widen(section).c_str(), Widen(key).c_str(), def, Widen(path).c_str()));
}

bool WinProfileStore::WriteString(const std::string& path, const std::string& section, const std::string& key,
                                  const std::string& value) {
  return WritePrivateProfileStringW(Widen(section).c_str(), Widen(key).c_str(), Widen(value).c_str(),
                                    Widen(path).c_str()) != FALSE;
}

std::optional<std::string> WinProfileStore::ReadFileBytes(const std::string& path) {
  const HANDLE file = CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return std::string();
    return std::nullopt;
  }
  std::string bytes;
  char chunk[16384];
  DWORD got = 0;
  bool ok = true;
  for (;;) {
    ok = ReadFile(file, chunk, sizeof chunk, &got, nullptr) != FALSE;
    if (!ok || got == 0) break;
    bytes.append(chunk, got);
  }
  CloseHandle(file);
  if (!ok) return std::nullopt;
  return bytes;
}

// Written over and cut, never a new file moved into its place: the file
// stays the one a hard link (Scoop's persist) points at.
bool WinProfileStore::WriteFileInPlace(const std::string& path, std::string_view bytes) {
  if (bytes.size() > MAXDWORD) return false;
  const HANDLE file = CreateFileW(Widen(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = bytes.empty() ||
            (WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) != FALSE &&
             written == bytes.size());
  ok = ok && SetEndOfFile(file) != FALSE;
  ok = FlushFileBuffers(file) != FALSE && ok;
  CloseHandle(file);
  return ok;
}

bool WinProfileStore::RenameFile(const std::string& from, const std::string& to) {
  return MoveFileExW(Widen(from).c_str(), Widen(to).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

bool WinProfileStore::RemoveFile(const std::string& path) {
  const std::wstring wide = Widen(path);
  DeleteFileW(wide.c_str());
  return GetFileAttributesW(wide.c_str()) == INVALID_FILE_ATTRIBUTES;
}

}  // namespace kestrova

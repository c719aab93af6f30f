#include "platform/win32/program_folder_win.h"

#include <windows.h>

#include "platform/win32/text_win.h"

namespace kestrova::win32 {

namespace {

std::wstring FolderOf(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

// "\\?\C:\x" is "C:\x", "\\?\UNC\server\share" is "\\server\share".
std::wstring WithoutLongPrefix(std::wstring path) {
  if (path.rfind(L"\\\\?\\UNC\\", 0) == 0) return L"\\\\" + path.substr(8);
  if (path.rfind(L"\\\\?\\", 0) == 0) return path.substr(4);
  return path;
}

std::wstring FinalPath(const std::wstring& path) {
  const HANDLE file = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::wstring();
  std::wstring final(MAX_PATH, L'\0');
  DWORD n = GetFinalPathNameByHandleW(file, final.data(), static_cast<DWORD>(final.size()), VOLUME_NAME_DOS);
  if (n >= final.size()) {
    final.resize(n);
    n = GetFinalPathNameByHandleW(file, final.data(), static_cast<DWORD>(final.size()), VOLUME_NAME_DOS);
  }
  CloseHandle(file);
  if (n == 0 || n >= final.size()) return std::wstring();
  final.resize(n);
  return WithoutLongPrefix(final);
}

}  // namespace

std::string FinalFolderOf(const std::wstring& path) {
  const std::wstring final = FinalPath(path);
  return Narrow(FolderOf(final.empty() ? path : final));
}

std::string ProgramFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);
  }
  return FinalFolderOf(path);
}

}  // namespace kestrova::win32

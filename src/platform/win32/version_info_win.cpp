#include "platform/win32/version_info_win.h"

#include <windows.h>

#include <cstdio>
#include <vector>

#include "platform/win32/text_win.h"

namespace kestrova::win32 {

namespace {

std::wstring OwnFile() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n < path.size()) return path.substr(0, n);
    path.resize(path.size() * 2);
  }
}

}  // namespace

std::string Win32VersionInfo::Text(const std::string& key) {
  const std::wstring file = exePath_.empty() ? OwnFile() : Widen(exePath_);
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(file.c_str(), &ignored);
  if (size == 0) return {};
  std::vector<char> block(size);
  if (!GetFileVersionInfoW(file.c_str(), 0, size, block.data())) return {};

  // The string tables the resource names, then the one this program writes.
  struct Translation {
    WORD language, codePage;
  };
  std::vector<Translation> tables;
  Translation* listed = nullptr;
  UINT listedBytes = 0;
  if (VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&listed),
                     &listedBytes)) {
    tables.assign(listed, listed + listedBytes / sizeof(Translation));
  }
  tables.push_back({0x0411, 1200});
  for (const Translation& t : tables) {
    wchar_t query[64];
    swprintf(query, 64, L"\\StringFileInfo\\%04x%04x\\", t.language, t.codePage);
    const std::wstring path = query + Widen(key);
    wchar_t* value = nullptr;
    UINT length = 0;
    if (VerQueryValueW(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) &&
        value != nullptr) {
      // The length may count the closing zero.
      return Narrow(std::wstring_view(value, wcsnlen(value, length)));
    }
  }
  return {};
}

}  // namespace kestrova::win32

#pragma once
// WideCharToMultiByte as Microsoft documents it where Wine is more lenient:
// for UTF-8 only WC_ERR_INVALID_CHARS is a valid flag, for UTF-7, Symbol and
// the ISO-2022 and ISCII code pages none; otherwise ERROR_INVALID_FLAGS and 0.
#include <windows.h>

namespace kestrova::testing {

inline int WINAPI DocumentedWideCharToMultiByte(UINT codePage, DWORD flags, LPCWCH text, int size, LPSTR out,
                                                int outSize, LPCCH defaultChar, LPBOOL usedDefault) {
  const bool noFlags = codePage == CP_UTF7 || codePage == 42 || (codePage >= 50220 && codePage <= 50229) ||
                       (codePage >= 57002 && codePage <= 57011);
  if ((codePage == CP_UTF8 && (flags & ~static_cast<DWORD>(WC_ERR_INVALID_CHARS)) != 0) ||
      (noFlags && flags != 0)) {
    SetLastError(ERROR_INVALID_FLAGS);
    return 0;
  }
  return WideCharToMultiByte(codePage, flags, text, size, out, outSize, defaultChar, usedDefault);
}

}  // namespace kestrova::testing

#pragma once
// Functions of system libraries looked up at run time: newer than the oldest
// Windows the program starts on, or missing under Wine.
#include <windows.h>

namespace kestrova::win32 {

template <typename Fn>
Fn LookUp(HMODULE module, const char* name) {
  FARPROC proc = module ? GetProcAddress(module, name) : nullptr;
  // Through the generic function pointer type, which converts without complaint.
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(proc));
}

// From the system folder only, never from beside the program or the current folder.
inline HMODULE SystemLibrary(const wchar_t* name) {
  wchar_t path[MAX_PATH] = {};
  const UINT n = GetSystemDirectoryW(path, MAX_PATH);
  if (n == 0 || n + 1 + lstrlenW(name) >= MAX_PATH) return nullptr;
  path[n] = L'\\';
  lstrcpyW(path + n + 1, name);
  return LoadLibraryW(path);
}

}  // namespace kestrova::win32

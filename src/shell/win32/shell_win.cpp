#include "shell/win32/shell_win.h"

#include <shellapi.h>
#include <shlobj.h>

#include <cstring>

#include "platform/win32/text_win.h"

namespace kestrova::win32 {

Win32Shell::~Win32Shell() {
  if (mutex_ != nullptr) CloseHandle(mutex_);
}

bool Win32Shell::AnotherInstanceRunning() {
  if (mutex_ == nullptr) {
    // The Local namespace is per logon session, so each user has one copy.
    mutex_ = CreateMutexW(nullptr, FALSE, L"Local\\Kestrova.SingleInstance");
    if (mutex_ != nullptr && GetLastError() == ERROR_ALREADY_EXISTS) return true;
  }
  return false;
}

void Win32Shell::SendWakeUp(WindowHandle callbackWindow) {
  // This copy was just started by the user, so it may hand the foreground on.
  DWORD pid = 0;
  if (GetWindowThreadProcessId(reinterpret_cast<HWND>(callbackWindow), &pid) != 0)
    AllowSetForegroundWindow(pid);
  DWORD_PTR result = 0;
  SendMessageTimeoutW(reinterpret_cast<HWND>(callbackWindow), WM_LBUTTONDOWN, 0, 0, SMTO_ABORTIFHUNG, 5000,
                      &result);
}

std::string Win32Shell::GetSpecialFolderPath(int folder) {
  PIDLIST_ABSOLUTE pidl = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, folder, &pidl)) || pidl == nullptr) return {};
  wchar_t path[MAX_PATH] = {};
  const BOOL ok = SHGetPathFromIDListW(pidl, path);
  CoTaskMemFree(pidl);
  return ok ? Narrow(path) : std::string();
}

bool Win32Shell::FileExists(const std::string& path) {
  return GetFileAttributesW(Widen(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

void Win32Shell::ExtractAppIcons(const std::string& exePath) {
  ExtractIconExW(Widen(exePath).c_str(), 0, &largeIcon_, &smallIcon_, 1);
}

void Win32Shell::DestroyAppIcons() {
  if (largeIcon_ != nullptr) DestroyIcon(largeIcon_);
  if (smallIcon_ != nullptr) DestroyIcon(smallIcon_);
  largeIcon_ = smallIcon_ = nullptr;
}

void Win32Shell::AddTrayIcon(WindowHandle callbackWindow, const std::string& tip) {
  NOTIFYICONDATAW data = {};
  data.cbSize = sizeof(data);
  data.hWnd = reinterpret_cast<HWND>(callbackWindow);
  data.uID = kTrayIconId;
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = kTrayCallbackMessage;
  data.hIcon = smallIcon_;
  lstrcpynW(data.szTip, Widen(tip).c_str(), ARRAYSIZE(data.szTip));
  // When the icon is already there the add fails and the icon stays as it is.
  Shell_NotifyIconW(NIM_ADD, &data);
  trayWindow_ = data.hWnd;
}

void Win32Shell::RemoveTrayIcon() {
  NOTIFYICONDATAW data = {};
  data.cbSize = sizeof(data);
  data.hWnd = trayWindow_;
  data.uID = kTrayIconId;
  Shell_NotifyIconW(NIM_DELETE, &data);
}

void Win32Shell::SetClipboardText(WindowHandle owner, const std::string& text) {
  // Another program may hold the clipboard open for a moment.
  bool opened = false;
  for (int attempt = 0; attempt < 10 && !opened; ++attempt) {
    opened = OpenClipboard(reinterpret_cast<HWND>(owner)) != FALSE;
    if (!opened) Sleep(20);
  }
  if (!opened) return;
  EmptyClipboard();
  const std::wstring wide = Widen(text);
  const size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
  if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
    if (void* p = GlobalLock(memory)) {
      std::memcpy(p, wide.c_str(), bytes);
      GlobalUnlock(memory);
      // The clipboard owns the memory once it is set.
      if (SetClipboardData(CF_UNICODETEXT, memory) == nullptr) GlobalFree(memory);
    } else {
      GlobalFree(memory);
    }
  }
  CloseClipboard();
}

bool Win32Shell::OpenDocument(WindowHandle owner, const std::string& target, const std::string& directory) {
  // Shown normally: a browser or mail program started hidden would never be seen.
  const auto result = reinterpret_cast<INT_PTR>(
      ShellExecuteW(reinterpret_cast<HWND>(owner), L"open", Widen(target).c_str(), L"",
                    directory.empty() ? nullptr : Widen(directory).c_str(), SW_SHOWNORMAL));
  return result > 32;
}

}  // namespace kestrova::win32

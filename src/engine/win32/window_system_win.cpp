#include "engine/win32/window_system_win.h"

#include <windows.h>

#include "platform/win32/text_win.h"

namespace kestrova::win32 {

namespace {
constexpr int kTextBuffer = 1024;
HWND ToHwnd(WindowHandle h) { return reinterpret_cast<HWND>(h); }
}  // namespace

WindowHandle Win32WindowSystem::ForegroundWindow() {
  return reinterpret_cast<WindowHandle>(GetForegroundWindow());
}

WindowHandle Win32WindowSystem::FindChild(WindowHandle parent, std::string_view className) {
  const std::wstring cls = Widen(className);
  return reinterpret_cast<WindowHandle>(FindWindowExW(ToHwnd(parent), nullptr, cls.c_str(), nullptr));
}

WindowHandle Win32WindowSystem::ActiveMdiChild(WindowHandle mdiClient) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(ToHwnd(mdiClient), WM_MDIGETACTIVE, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK,
                           timeoutMs_, &result)) {
    return 0;
  }
  return static_cast<WindowHandle>(result);
}

std::string Win32WindowSystem::ReadTitle(WindowHandle window) {
  if (window == 0) return {};
  wchar_t buffer[kTextBuffer] = {};
  // For another process's window this reads the stored caption without sending it anything.
  const int n = GetWindowTextW(ToHwnd(window), buffer, kTextBuffer);
  return Narrow(std::wstring_view(buffer, n > 0 ? static_cast<size_t>(n) : 0));
}

bool Win32WindowSystem::WriteTitle(WindowHandle window, std::string_view title) {
  HWND hwnd = ToHwnd(window);
  if (hwnd == nullptr) return false;
  DWORD_PTR result = 0;
  // A window that let the last title message time out is probed first, so
  // that no second one is left queued to land later over a newer title. The
  // others are spared the extra round trip on every tick; a window the system
  // already takes as hung gets nothing at all (SMTO_ABORTIFHUNG).
  const bool slow = hwnd == slowWindow_;
  if (slow && !SendMessageTimeoutW(hwnd, WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, timeoutMs_, &result)) {
    return false;
  }
  const std::wstring text = Widen(title);
  if (SendMessageTimeoutW(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                          SMTO_ABORTIFHUNG | SMTO_BLOCK, timeoutMs_, &result) == 0) {
    slowWindow_ = hwnd;
    return false;
  }
  if (slow) slowWindow_ = nullptr;
  return true;
}

std::string Win32WindowSystem::ReadClassName(WindowHandle window) {
  wchar_t buffer[kTextBuffer] = {};
  const int n = GetClassNameW(ToHwnd(window), buffer, kTextBuffer);
  return Narrow(std::wstring_view(buffer, n > 0 ? static_cast<size_t>(n) : 0));
}

bool Win32WindowSystem::Exists(WindowHandle window) {
  return window != 0 && IsWindow(ToHwnd(window)) != FALSE;
}

bool Win32WindowSystem::IsOwnWindow(WindowHandle window) {
  DWORD process = 0;
  return window != 0 && GetWindowThreadProcessId(ToHwnd(window), &process) != 0 &&
         process == GetCurrentProcessId();
}

}  // namespace kestrova::win32

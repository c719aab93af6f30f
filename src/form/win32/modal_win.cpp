#include "form/win32/modal_win.h"

#include <algorithm>

namespace kestrova::win32 {

void RunModal(FormWindow& window, HWND owner) {
  if (window.Hwnd() == nullptr &&
      !window.Create(owner, owner != nullptr && IsWindowVisible(owner) ? owner : GetForegroundWindow())) {
    return;
  }
  HWND hwnd = window.Hwnd();
  // Centred where the user is looking: over the owner when it shows, else on
  // the monitor of the window in front.
  HWND anchor = owner != nullptr && IsWindowVisible(owner) ? owner : GetForegroundWindow();
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof(monitor);
  GetMonitorInfoW(MonitorFromWindow(anchor, MONITOR_DEFAULTTOPRIMARY), &monitor);
  RECT area = monitor.rcWork;
  if (anchor == owner && owner != nullptr) GetWindowRect(owner, &area);
  RECT rc = {};
  GetWindowRect(hwnd, &rc);
  const int width = rc.right - rc.left, height = rc.bottom - rc.top;
  // A dialog larger than an owner near the screen's edge would open partly
  // off screen, caption included: keep it inside the work area.
  const RECT& work = monitor.rcWork;
  const int x = std::max(work.left, std::min(area.left + (area.right - area.left - width) / 2, work.right - width));
  const int y = std::max(work.top, std::min(area.top + (area.bottom - area.top - height) / 2, work.bottom - height));
  SetWindowPos(hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

  // EnableWindow answers whether the owner was disabled already (another modal
  // window may be open); only what was done here is undone.
  if (owner != nullptr && EnableWindow(owner, FALSE) == 0) window.SetDisabledOwner(owner);
  ShowWindow(hwnd, SW_SHOWNORMAL);
  SetForegroundWindow(hwnd);

  MSG msg;
  while (window.Hwnd() != nullptr) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      // The program is ending: close this window and leave the quit to the outer loop.
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (got == -1) break;
    if (!IsDialogMessageW(window.Hwnd(), &msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  if (window.Hwnd() != nullptr) window.Close();
  window.EnableOwner();
  if (owner != nullptr && IsWindowVisible(owner)) SetActiveWindow(owner);
}

}  // namespace kestrova::win32

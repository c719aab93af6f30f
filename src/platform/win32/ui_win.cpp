#include "platform/win32/ui_win.h"

namespace kestrova::win32 {

int WindowDpi(HWND hwnd) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto getDpiForWindow = User32Function<GetDpiForWindowFn>("GetDpiForWindow");
  if (getDpiForWindow != nullptr && hwnd != nullptr) {
    if (UINT dpi = getDpiForWindow(hwnd)) return static_cast<int>(dpi);
  }
  HDC dc = GetDC(nullptr);
  const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
  ReleaseDC(nullptr, dc);
  return dpi > 0 ? dpi : 96;
}

namespace {

HFONT CreateMetricsFont(LOGFONTW NONCLIENTMETRICSW::*which, int dpi) {
  NONCLIENTMETRICSW metrics = {};
  metrics.cbSize = sizeof(metrics);
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
  LOGFONTW font = metrics.*which;
  // The metrics are for the system DPI; rescale for this monitor.
  font.lfHeight = MulDiv(font.lfHeight, dpi, WindowDpi(nullptr));
  return CreateFontIndirectW(&font);
}

}  // namespace

HFONT CreateUiFont(int dpi) { return CreateMetricsFont(&NONCLIENTMETRICSW::lfMessageFont, dpi); }

HFONT CreateMenuFont(int dpi) { return CreateMetricsFont(&NONCLIENTMETRICSW::lfMenuFont, dpi); }

}  // namespace kestrova::win32

// What the overlay reads of its target: geometry and style without sending it
// anything, the system's metrics per DPI, and the caption's hit-test answers.
#include <algorithm>
#include <vector>

#include "overlay/win32/overlay_win.h"
#include "platform/win32/system_library_win.h"
#include "platform/win32/text_win.h"
#include "platform/win32/ui_win.h"

namespace kestrova::win32 {

namespace {

static_assert(style::kCaption == WS_CAPTION && style::kSysMenu == WS_SYSMENU &&
              style::kThickFrame == WS_THICKFRAME && style::kMinimizeBox == WS_MINIMIZEBOX &&
              style::kMaximizeBox == WS_MAXIMIZEBOX && style::kPopup == WS_POPUP);
static_assert(style::kExTopmost == WS_EX_TOPMOST && style::kExToolWindow == WS_EX_TOOLWINDOW &&
              style::kExLayoutRtl == WS_EX_LAYOUTRTL && style::kExNoActivate == WS_EX_NOACTIVATE);

// Newer than the headers' Windows 7 target.
constexpr DWORD kDwmExtendedFrameBounds = 9;
constexpr DWORD kDwmCaptionButtonBounds = 5;
constexpr DWORD kDwmCloaked = 14;

using DwmGetWindowAttributeFn = HRESULT(WINAPI*)(HWND, DWORD, PVOID, DWORD);
using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);
using SystemParametersInfoForDpiFn = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);
using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);



// dwmapi is loaded on first use: it is missing where there is no compositor.
HRESULT WINAPI SystemDwmAttribute(HWND hwnd, DWORD attribute, PVOID value, DWORD size) {
  static const auto fn =
      LookUp<DwmGetWindowAttributeFn>(SystemLibrary(L"dwmapi.dll"), "DwmGetWindowAttribute");
  return fn != nullptr ? fn(hwnd, attribute, value, size) : E_NOTIMPL;
}

template <typename T>
bool ReadDwm(HWND hwnd, DWORD attribute, T& value) {
  return SUCCEEDED(OverlaySystemCalls().dwmGetWindowAttribute(hwnd, attribute, &value, sizeof(value)));
}

int SystemDpi() { return WindowDpi(nullptr); }

// The monitor's DPI, not the window's: a window that is not DPI-aware reports
// 96 and is drawn enlarged, and the overlay goes over what is on the screen.
int MonitorDpi(HMONITOR monitor, HWND hwnd) {
  static const auto forMonitor = LookUp<GetDpiForMonitorFn>(SystemLibrary(L"shcore.dll"), "GetDpiForMonitor");
  UINT x = 0, y = 0;
  if (forMonitor != nullptr && monitor != nullptr && SUCCEEDED(forMonitor(monitor, 0, &x, &y)) && y > 0) {
    return static_cast<int>(y);
  }
  return WindowDpi(hwnd);
}

int MetricAt(int index, int dpi) {
  static const auto forDpi = User32Function<GetSystemMetricsForDpiFn>("GetSystemMetricsForDpi");
  if (forDpi != nullptr) return forDpi(index, static_cast<UINT>(dpi));
  return MulDiv(GetSystemMetrics(index), dpi, SystemDpi());
}

struct DpiMetrics {
  int dpi;
  int captionHeight;
  int buttonWidth;
  int fontPixels;
};

// One entry per monitor DPI seen; a handful at most.
std::vector<DpiMetrics>& MetricsCache() {
  static std::vector<DpiMetrics> cache;
  return cache;
}

const DpiMetrics& MetricsAt(int dpi) {
  auto& cache = MetricsCache();
  for (const DpiMetrics& m : cache) {
    if (m.dpi == dpi) return m;
  }
  const LOGFONTW font = CaptionFont(dpi);
  cache.push_back({dpi,
                   MetricAt(SM_CYCAPTION, dpi) + MetricAt(SM_CYSIZEFRAME, dpi) + MetricAt(SM_CXPADDEDBORDER, dpi),
                   MetricAt(SM_CXSIZE, dpi), font.lfHeight < 0 ? -font.lfHeight : font.lfHeight});
  return cache.back();
}

ScreenRect FromRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

}  // namespace

LOGFONTW CaptionFont(int dpi) {
  static const auto forDpi = User32Function<SystemParametersInfoForDpiFn>("SystemParametersInfoForDpi");
  NONCLIENTMETRICSW metrics = {};
  metrics.cbSize = sizeof(metrics);
  if (forDpi != nullptr &&
      forDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, static_cast<UINT>(dpi))) {
    return metrics.lfCaptionFont;
  }
  metrics = {};
  metrics.cbSize = sizeof(metrics);
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
    LOGFONTW none = {};
    return none;
  }
  metrics.lfCaptionFont.lfHeight = MulDiv(metrics.lfCaptionFont.lfHeight, dpi, SystemDpi());
  return metrics.lfCaptionFont;
}

OverlayCalls& OverlaySystemCalls() {
  static OverlayCalls calls = {&SystemDwmAttribute, &SetWinEventHook, &UnhookWinEvent, &SendMessageTimeoutW};
  return calls;
}

void ForgetOverlayMetrics() { MetricsCache().clear(); }

bool Win32WindowGeometry::Read(WindowHandle window, WindowGeometry& g) {
  HWND hwnd = reinterpret_cast<HWND>(window);
  g = {};
  if (hwnd == nullptr || !IsWindow(hwnd)) return false;
  g.exists = true;
  g.style = static_cast<std::uint32_t>(GetWindowLongPtrW(hwnd, GWL_STYLE));
  g.exStyle = static_cast<std::uint32_t>(GetWindowLongPtrW(hwnd, GWL_EXSTYLE));
  HWND owner = GetWindow(hwnd, GW_OWNER);
  g.visibleOwner = owner != nullptr && IsWindowVisible(owner);
  wchar_t className[256] = {};
  GetClassNameW(hwnd, className, 256);
  g.className = Narrow(className);
  g.minimised = IsIconic(hwnd) != FALSE || !IsWindowVisible(hwnd);
  g.maximised = IsZoomed(hwnd) != FALSE;
  g.front = GetAncestor(hwnd, GA_ROOT) == GetForegroundWindow();
  DWORD cloaked = 0;
  g.cloaked = ReadDwm(hwnd, kDwmCloaked, cloaked) && cloaked != 0;

  RECT windowRect = {};
  GetWindowRect(hwnd, &windowRect);
  RECT frame = {};
  g.frame = FromRect(ReadDwm(hwnd, kDwmExtendedFrameBounds, frame) && frame.right > frame.left ? frame
                                                                                               : windowRect);
  RECT client = {};
  GetClientRect(hwnd, &client);
  MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
  if ((g.exStyle & WS_EX_LAYOUTRTL) != 0) std::swap(client.left, client.right);
  g.client = FromRect(client);
  HMONITOR monitor = MonitorFromWindow(hwnd, MONITOR_DEFAULTTONULL);
  if (monitor != nullptr) {
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    if (GetMonitorInfoW(monitor, &info)) g.monitor = FromRect(info.rcMonitor);
  }
  RECT buttons = {};
  if (ReadDwm(hwnd, kDwmCaptionButtonBounds, buttons) && buttons.right > buttons.left) {
    // Relative to the window rectangle.
    g.captionButtons = ScreenRect{windowRect.left + buttons.left, windowRect.top + buttons.top,
                                  windowRect.left + buttons.right, windowRect.top + buttons.bottom};
  }
  g.dpi = MonitorDpi(monitor, hwnd);
  const DpiMetrics& metrics = MetricsAt(g.dpi);
  g.captionHeight = metrics.captionHeight;
  g.buttonWidth = metrics.buttonWidth;
  g.captionFontPixels = metrics.fontPixels;
  return true;
}

HitAnswer Win32CaptionHitTest::At(WindowHandle target, int x, int y) {
  HWND top = reinterpret_cast<HWND>(target);
  // The deepest visible child under the point: a terminal's drag bar, a
  // browser's tab strip.
  HWND hwnd = top;
  for (int depth = 0; depth < 16; ++depth) {
    POINT at = {x, y};
    ScreenToClient(hwnd, &at);
    HWND child = ChildWindowFromPointEx(hwnd, at, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT | CWP_SKIPDISABLED);
    if (child == nullptr || child == hwnd) break;
    hwnd = child;
  }
  const LPARAM point = MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y));
  for (;;) {
    DWORD_PTR answer = 0;
    if (OverlaySystemCalls().sendMessageTimeout(hwnd, WM_NCHITTEST, 0, point, SMTO_ABORTIFHUNG, kTimeoutMs,
                                                &answer) == 0) {
      return HitAnswer::kNoAnswer;
    }
    const auto hit = static_cast<LRESULT>(static_cast<LONG_PTR>(answer));
    // A child that lets the point through leaves the answer to its parent.
    if (hit == HTTRANSPARENT && hwnd != top) {
      HWND parent = GetAncestor(hwnd, GA_PARENT);
      hwnd = parent != nullptr && IsChild(top, hwnd) ? parent : top;
      continue;
    }
    return hit == HTCAPTION ? HitAnswer::kCaption : HitAnswer::kOther;
  }
}

}  // namespace kestrova::win32

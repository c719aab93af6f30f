#include "overlay/win32/overlay_win.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "engine/win32/crash_giveback_win.h"
#include "platform/win32/text_win.h"
#include "platform/win32/ui_win.h"

namespace kestrova::win32 {

namespace {

constexpr wchar_t kClassName[] = L"KestrovaCaptionOverlay";
constexpr UINT_PTR kFrameTimer = 1;
// Where the system sends no window events (Wine sends none of these), the
// overlay still keeps up with its target, a little late.
constexpr UINT_PTR kPollTimer = 2;
constexpr UINT kPollPeriod = 200;

// Newer than the headers' Windows 7 target.
constexpr DWORD kDwmExtendedFrameBounds = 9;
constexpr DWORD kDwmCaptionButtonBounds = 5;
constexpr DWORD kDwmCloaked = 14;
constexpr DWORD kEventObjectCloaked = 0x8017;
constexpr DWORD kEventObjectUncloaked = 0x8018;
constexpr UINT kDpiChanged = 0x02E0;

using DwmGetWindowAttributeFn = HRESULT(WINAPI*)(HWND, DWORD, PVOID, DWORD);
using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);
using SystemParametersInfoForDpiFn = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);
using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);

template <typename Fn>
Fn LookUp(HMODULE module, const char* name) {
  FARPROC proc = module ? GetProcAddress(module, name) : nullptr;
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(proc));
}

// From the system folder only, never from beside the program or the current folder.
HMODULE SystemLibrary(const wchar_t* name) {
  wchar_t path[MAX_PATH] = {};
  const UINT n = GetSystemDirectoryW(path, MAX_PATH);
  if (n == 0 || n + 1 + lstrlenW(name) >= MAX_PATH) return nullptr;
  path[n] = L'\\';
  lstrcpyW(path + n + 1, name);
  return LoadLibraryW(path);
}

// dwmapi is loaded on first use: it is missing where there is no compositor.
DwmGetWindowAttributeFn DwmAttribute() {
  static const auto fn =
      LookUp<DwmGetWindowAttributeFn>(SystemLibrary(L"dwmapi.dll"), "DwmGetWindowAttribute");
  return fn;
}

template <typename T>
bool ReadDwm(HWND hwnd, DWORD attribute, T& value) {
  const auto fn = DwmAttribute();
  return fn != nullptr && SUCCEEDED(fn(hwnd, attribute, &value, sizeof(value)));
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

// The caption font as the system has it for `dpi`.
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

ScreenRect FromRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

Win32OverlaySurface* live = nullptr;

}  // namespace

bool Win32WindowGeometry::Read(WindowHandle window, WindowGeometry& g) {
  HWND hwnd = reinterpret_cast<HWND>(window);
  g = {};
  if (hwnd == nullptr || !IsWindow(hwnd)) return false;
  g.exists = true;
  const LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_STYLE);
  g.hasCaption = (style & WS_CAPTION) == WS_CAPTION;
  g.minimised = IsIconic(hwnd) != FALSE || !IsWindowVisible(hwnd);
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
  g.captionHeight =
      MetricAt(SM_CYCAPTION, g.dpi) + MetricAt(SM_CYSIZEFRAME, g.dpi) + MetricAt(SM_CXPADDEDBORDER, g.dpi);
  g.buttonWidth = MetricAt(SM_CXSIZE, g.dpi);
  const LOGFONTW font = CaptionFont(g.dpi);
  g.captionFontPixels = font.lfHeight < 0 ? -font.lfHeight : font.lfHeight;
  return true;
}

Win32OverlaySurface::Win32OverlaySurface() {
  DEVMODEW mode = {};
  mode.dmSize = sizeof(mode);
  if (EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &mode) && mode.dmDisplayFrequency > 1) {
    framePeriod_ = std::max<UINT>(USER_TIMER_MINIMUM, 1000 / mode.dmDisplayFrequency);
  }
}

Win32OverlaySurface::~Win32OverlaySurface() {
  Unwatch();
  if (hwnd_ != nullptr) {
    KeepOverlayForCrash(nullptr);
    DestroyWindow(hwnd_);
  }
  if (font_ != nullptr) DeleteObject(font_);
  if (live == this) live = nullptr;
}

bool Win32OverlaySurface::EnsureWindow() {
  if (hwnd_ != nullptr) return true;
  static const bool registered = [] {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    return RegisterClassExW(&wc) != 0;
  }();
  if (!registered) return false;
  hwnd_ = CreateWindowExW(WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW, kClassName,
                          L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, GetModuleHandleW(nullptr), this);
  if (hwnd_ == nullptr) return false;
  SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  return true;
}

HFONT Win32OverlaySurface::FontFor(int pixels) {
  if (font_ != nullptr && fontPixels_ == pixels) return font_;
  if (font_ != nullptr) DeleteObject(font_);
  LOGFONTW font = CaptionFont(SystemDpi());
  if (font.lfFaceName[0] == L'\0') lstrcpyW(font.lfFaceName, L"MS UI Gothic");
  font.lfHeight = -pixels;
  font.lfWidth = 0;
  // Grey-scale smoothing: the coverage becomes the text's alpha.
  font.lfQuality = ANTIALIASED_QUALITY;
  font_ = CreateFontIndirectW(&font);
  fontPixels_ = pixels;
  return font_;
}

int Win32OverlaySurface::TextWidth(std::string_view text, int fontPixels) {
  const std::wstring wide = Widen(text);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, FontFor(fontPixels));
  SIZE size = {};
  GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
  SelectObject(dc, old);
  DeleteDC(dc);
  return size.cx;
}

void Win32OverlaySurface::Draw(const OverlayPlacement& p, const std::wstring& text) {
  const int width = p.bounds.Width();
  const int height = p.bounds.Height();
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // rows top down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap == nullptr || bits == nullptr) {
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return;
  }
  HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
  HGDIOBJ oldFont = SelectObject(dc, FontFor(p.fontPixels));
  const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
  auto* pixels = static_cast<std::uint32_t*>(bits);
  std::fill(pixels, pixels + count, 0u);
  // White on black: each pixel's brightness is how much text covers it.
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(255, 255, 255));
  RECT r = {0, 0, width, height};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r,
            DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  GdiFlush();
  std::vector<std::uint8_t> coverage(count);
  for (size_t i = 0; i < count; ++i) {
    const std::uint32_t px = pixels[i];
    coverage[i] = static_cast<std::uint8_t>(std::max({px & 0xFF, (px >> 8) & 0xFF, (px >> 16) & 0xFF}));
  }
  const std::vector<std::uint32_t> plate = PaintPlate(width, height, MulDiv(5, p.dpi, 96), coverage);
  std::memcpy(pixels, plate.data(), count * sizeof(std::uint32_t));

  POINT at = {p.bounds.left, p.bounds.top};
  SIZE size = {width, height};
  POINT origin = {0, 0};
  BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  UpdateLayeredWindow(hwnd_, screen, &at, &size, dc, &origin, 0, &blend, ULW_ALPHA);
  SelectObject(dc, oldFont);
  SelectObject(dc, oldBitmap);
  DeleteObject(bitmap);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
}

void Win32OverlaySurface::Show(WindowHandle target, const OverlayPlacement& placement,
                               const std::string& text) {
  if (!EnsureWindow()) return;
  const std::wstring wide = Widen(text);
  const bool sameLook = drawn_ && wide == text_ && placement.fontPixels == placement_.fontPixels &&
                        placement.dpi == placement_.dpi &&
                        placement.bounds.Width() == placement_.bounds.Width() &&
                        placement.bounds.Height() == placement_.bounds.Height();
  if (wide != text_) SetWindowTextW(hwnd_, wide.c_str());
  if (!sameLook) {
    Draw(placement, wide);
    drawn_ = true;
  }
  text_ = wide;
  placement_ = placement;
  // Topmost only while shown, which is only while its target is in front.
  SetWindowPos(hwnd_, HWND_TOPMOST, placement.bounds.left, placement.bounds.top, 0, 0,
               SWP_NOSIZE | SWP_NOACTIVATE | (IsWindowVisible(hwnd_) ? 0 : SWP_SHOWWINDOW));
  KeepOverlayForCrash(hwnd_);
  ++moves_;
  Watch(reinterpret_cast<HWND>(target));
}

void Win32OverlaySurface::Hide() {
  Unwatch();
  if (hwnd_ == nullptr) return;
  SetWindowPos(hwnd_, HWND_NOTOPMOST, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_HIDEWINDOW | SWP_NOOWNERZORDER);
}

void Win32OverlaySurface::Watch(HWND target) {
  if (target == target_) return;
  Unwatch();
  DWORD process = 0;
  const DWORD thread = GetWindowThreadProcessId(target, &process);
  if (thread == 0) return;
  target_ = target;
  // The event callback has no context of its own; one overlay watches at a time.
  live = this;
  SetTimer(hwnd_, kPollTimer, kPollPeriod, nullptr);
  const struct {
    DWORD first, last;
    bool anyProcess;
  } ranges[] = {
      {EVENT_OBJECT_LOCATIONCHANGE, EVENT_OBJECT_LOCATIONCHANGE, false},
      {EVENT_OBJECT_DESTROY, EVENT_OBJECT_HIDE, false},
      {EVENT_SYSTEM_MINIMIZESTART, EVENT_SYSTEM_MINIMIZEEND, false},
      {kEventObjectCloaked, kEventObjectUncloaked, false},
      // Another window in front; our own windows count too.
      {EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND, true},
  };
  static_assert(sizeof(ranges) / sizeof(ranges[0]) == sizeof(hooks_) / sizeof(hooks_[0]));
  for (size_t i = 0; i < sizeof(hooks_) / sizeof(hooks_[0]); ++i) {
    hooks_[i] = SetWinEventHook(ranges[i].first, ranges[i].last, nullptr, &OnEvent,
                                ranges[i].anyProcess ? 0 : process, ranges[i].anyProcess ? 0 : thread,
                                WINEVENT_OUTOFCONTEXT);
  }
}

void Win32OverlaySurface::Unwatch() {
  if (hwnd_ != nullptr) KillTimer(hwnd_, kPollTimer);
  for (HWINEVENTHOOK& hook : hooks_) {
    if (hook != nullptr) UnhookWinEvent(hook);
    hook = nullptr;
  }
  target_ = nullptr;
}

void CALLBACK Win32OverlaySurface::OnEvent(HWINEVENTHOOK, DWORD event, HWND hwnd, LONG idObject, LONG idChild,
                                           DWORD, DWORD) {
  Win32OverlaySurface* self = live;
  if (self == nullptr || self->target_ == nullptr) return;
  // Carets, scroll bars and child windows move all the time; only the target's own window counts.
  if (event != EVENT_SYSTEM_FOREGROUND &&
      (hwnd != self->target_ || idObject != OBJID_WINDOW || idChild != CHILDID_SELF)) {
    return;
  }
  self->Event();
}

void Win32OverlaySurface::Event() {
  if (!coalescer_.Event()) return;
  SetTimer(hwnd_, kFrameTimer, framePeriod_, nullptr);
  if (onFollow) onFollow();
}

void Win32OverlaySurface::Frame() {
  if (coalescer_.Frame()) {
    if (onFollow) onFollow();
    return;
  }
  KillTimer(hwnd_, kFrameTimer);
}

LRESULT CALLBACK Win32OverlaySurface::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = reinterpret_cast<Win32OverlaySurface*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  switch (msg) {
    case WM_TIMER:
      if (self != nullptr && wp == kFrameTimer) self->Frame();
      if (self != nullptr && wp == kPollTimer && self->onFollow) self->onFollow();
      return 0;
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_NCHITTEST:
      return HTTRANSPARENT;
    case kDpiChanged:
      // Placed and sized by its target's DPI, never by the system's suggestion.
      return 0;
    default:
      return DefWindowProcW(hwnd, msg, wp, lp);
  }
}

}  // namespace kestrova::win32

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
// Until the system is seen to send window events (Wine sends none of these),
// the overlay keeps up with its target a little late.
constexpr UINT_PTR kPollTimer = 2;
constexpr UINT kPollPeriod = 200;

constexpr DWORD kEventObjectCloaked = 0x8017;
constexpr DWORD kEventObjectUncloaked = 0x8018;
constexpr UINT kDpiChanged = 0x02E0;

Win32OverlaySurface* live = nullptr;

bool Topmost(HWND hwnd) { return (GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

}  // namespace

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
  FreeBitmap();
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
  LOGFONTW font = CaptionFont(WindowDpi(nullptr));
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

// One bitmap for as long as the plate keeps its size; a new second only redraws it.
bool Win32OverlaySurface::EnsureBitmap(int width, int height) {
  if (bitmap_ != nullptr && width == bitmapWidth_ && height == bitmapHeight_) return true;
  FreeBitmap();
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // rows top down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  HDC screen = GetDC(nullptr);
  dc_ = CreateCompatibleDC(screen);
  bitmap_ = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
  ReleaseDC(nullptr, screen);
  if (bitmap_ == nullptr || bits_ == nullptr) {
    FreeBitmap();
    return false;
  }
  oldBitmap_ = SelectObject(dc_, bitmap_);
  bitmapWidth_ = width;
  bitmapHeight_ = height;
  ++bitmaps_;
  return true;
}

void Win32OverlaySurface::FreeBitmap() {
  if (dc_ != nullptr && oldBitmap_ != nullptr) SelectObject(dc_, oldBitmap_);
  if (bitmap_ != nullptr) DeleteObject(bitmap_);
  if (dc_ != nullptr) DeleteDC(dc_);
  dc_ = nullptr;
  bitmap_ = nullptr;
  oldBitmap_ = nullptr;
  bits_ = nullptr;
  bitmapWidth_ = bitmapHeight_ = 0;
}

void Win32OverlaySurface::Draw(const OverlayPlacement& p, const std::wstring& text) {
  const int width = p.bounds.Width();
  const int height = p.bounds.Height();
  if (!EnsureBitmap(width, height)) return;
  HGDIOBJ oldFont = SelectObject(dc_, FontFor(p.fontPixels));
  const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
  auto* pixels = static_cast<std::uint32_t*>(bits_);
  std::fill(pixels, pixels + count, 0u);
  // White on black: each pixel's brightness is how much text covers it.
  SetBkMode(dc_, TRANSPARENT);
  SetTextColor(dc_, RGB(255, 255, 255));
  RECT r = {0, 0, width, height};
  DrawTextW(dc_, text.c_str(), static_cast<int>(text.size()), &r,
            DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  GdiFlush();
  std::vector<std::uint8_t> coverage(count);
  for (size_t i = 0; i < count; ++i) {
    const std::uint32_t px = pixels[i];
    coverage[i] = static_cast<std::uint8_t>(std::max({px & 0xFF, (px >> 8) & 0xFF, (px >> 16) & 0xFF}));
  }
  const std::vector<std::uint32_t> plate = PaintPlate(width, height, MulDiv(5, p.dpi, 96), coverage);
  std::memcpy(pixels, plate.data(), count * sizeof(std::uint32_t));

  HDC screen = GetDC(nullptr);
  POINT at = {p.bounds.left, p.bounds.top};
  SIZE size = {width, height};
  POINT origin = {0, 0};
  BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  UpdateLayeredWindow(hwnd_, screen, &at, &size, dc_, &origin, 0, &blend, ULW_ALPHA);
  ReleaseDC(nullptr, screen);
  SelectObject(dc_, oldFont);
}

bool Win32OverlaySurface::Show(WindowHandle target, const OverlayPlacement& placement,
                               const std::string& text) {
  if (!EnsureWindow()) return false;
  // Watched before it shows: a plate whose target ended in between would
  // otherwise stay until the next tick.
  if (!Watch(reinterpret_cast<HWND>(target))) {
    Hide();
    return false;
  }
  const std::wstring wide = Widen(text);
  const bool sameLook = drawn_ && wide == text_ && placement.fontPixels == placement_.fontPixels &&
                        placement.dpi == placement_.dpi &&
                        placement.bounds.Width() == placement_.bounds.Width() &&
                        placement.bounds.Height() == placement_.bounds.Height();
  if (wide != text_) {
    SetWindowTextW(hwnd_, wide.c_str());
    ++textsSet_;
  }
  if (!sameLook) {
    Draw(placement, wide);
    drawn_ = true;
  }
  text_ = wide;
  const bool visible = IsWindowVisible(hwnd_) != FALSE;
  const bool moved = !visible || placement.bounds.left != placement_.bounds.left ||
                     placement.bounds.top != placement_.bounds.top;
  placement_ = placement;
  const POINT at = {placement.bounds.left, placement.bounds.top};
  Restack(moved ? &at : nullptr, !visible);
  KeepOverlayForCrash(hwnd_);
  ++moves_;
  return true;
}

void Win32OverlaySurface::KeepAbove() {
  if (hwnd_ != nullptr && target_ != nullptr && IsWindowVisible(hwnd_)) Restack(nullptr, false);
}

// Directly above the target: topmost only with it, under whatever covers it.
void Win32OverlaySurface::Restack(const POINT* moveTo, bool show) {
  ZOrderFacts facts;
  facts.targetTopmost = Topmost(target_);
  facts.overlayTopmost = Topmost(hwnd_);
  HWND above = GetWindow(target_, GW_HWNDPREV);
  facts.overlayDirectlyAbove = above == hwnd_;
  if (above == hwnd_) above = GetWindow(hwnd_, GW_HWNDPREV);
  facts.targetFirst = above == nullptr;
  facts.aboveIsTopmost = above != nullptr && Topmost(above);
  const ZOrderPlan plan = PlanZOrder(facts);
  constexpr UINT kBand = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER;
  if (plan.leaveTopmost) SetWindowPos(hwnd_, HWND_NOTOPMOST, 0, 0, 0, 0, kBand);
  if (plan.enterTopmost && plan.insert != ZInsert::kTopmost) SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, kBand);
  UINT flags = SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER | (moveTo ? 0 : SWP_NOMOVE) |
               (show ? SWP_SHOWWINDOW : 0);
  HWND after = nullptr;
  switch (plan.insert) {
    case ZInsert::kNone:
      flags |= SWP_NOZORDER;
      break;
    case ZInsert::kTop:
      after = HWND_TOP;
      break;
    case ZInsert::kTopmost:
      after = HWND_TOPMOST;
      break;
    case ZInsert::kAfterWindowAbove:
      after = above;
      break;
  }
  if (plan.insert != ZInsert::kNone || plan.leaveTopmost || plan.enterTopmost) ++zOrderCalls_;
  if ((flags & SWP_NOZORDER) && !moveTo && !show) return;
  SetWindowPos(hwnd_, after, moveTo ? moveTo->x : 0, moveTo ? moveTo->y : 0, 0, 0, flags);
}

void Win32OverlaySurface::Hide() {
  Unwatch();
  if (hwnd_ == nullptr) return;
  SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW | SWP_NOOWNERZORDER);
}

bool Win32OverlaySurface::Watch(HWND target) {
  if (target == target_ && target != nullptr) return IsWindow(target) != FALSE;
  Unwatch();
  DWORD process = 0;
  const DWORD thread = target != nullptr ? GetWindowThreadProcessId(target, &process) : 0;
  if (thread == 0) return false;
  target_ = target;
  // The event callback has no context of its own; one overlay watches at a time.
  live = this;
  const struct {
    DWORD first, last;
    bool anyProcess;
  } ranges[] = {
      {EVENT_OBJECT_LOCATIONCHANGE, EVENT_OBJECT_LOCATIONCHANGE, false},
      {EVENT_OBJECT_DESTROY, EVENT_OBJECT_HIDE, false},
      {EVENT_SYSTEM_MINIMIZESTART, EVENT_SYSTEM_MINIMIZEEND, false},
      {kEventObjectCloaked, kEventObjectUncloaked, false},
      // Another window in front, or the target raised; our own windows count too.
      {EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND, true},
  };
  static_assert(sizeof(ranges) / sizeof(ranges[0]) == sizeof(hooks_) / sizeof(hooks_[0]));
  bool hooked = true;
  for (size_t i = 0; i < sizeof(hooks_) / sizeof(hooks_[0]); ++i) {
    hooks_[i] = OverlaySystemCalls().setWinEventHook(ranges[i].first, ranges[i].last, nullptr, &OnEvent,
                                                     ranges[i].anyProcess ? 0 : process,
                                                     ranges[i].anyProcess ? 0 : thread, WINEVENT_OUTOFCONTEXT);
    hooked = hooked && hooks_[i] != nullptr;
  }
  polling_ = !eventsArrive_ || !hooked;
  polledKnown_ = false;
  if (polling_) SetTimer(hwnd_, kPollTimer, kPollPeriod, nullptr);
  return true;
}

void Win32OverlaySurface::Unwatch() {
  if (hwnd_ != nullptr && polling_) KillTimer(hwnd_, kPollTimer);
  polling_ = false;
  for (HWINEVENTHOOK& hook : hooks_) {
    if (hook != nullptr) OverlaySystemCalls().unhookWinEvent(hook);
    hook = nullptr;
  }
  target_ = nullptr;
}

void CALLBACK Win32OverlaySurface::OnEvent(HWINEVENTHOOK, DWORD event, HWND hwnd, LONG idObject, LONG idChild,
                                           DWORD, DWORD) {
  Win32OverlaySurface* self = live;
  if (self == nullptr || self->target_ == nullptr) return;
  // The events come: the poll is not needed, from now on.
  self->eventsArrive_ = true;
  if (self->polling_) {
    KillTimer(self->hwnd_, kPollTimer);
    self->polling_ = false;
  }
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

// Where the poll goes on for good (Wine), most looks find the target as it
// was: a few reads then, and a full placement only when something moved.
void Win32OverlaySurface::Poll() {
  if (!onFollow || target_ == nullptr) return;
  if (polledKnown_ && LookAtTarget() == polled_) return;
  onFollow();
  polledKnown_ = target_ != nullptr;
  if (polledKnown_) polled_ = LookAtTarget();
}

Win32OverlaySurface::TargetLook Win32OverlaySurface::LookAtTarget() const {
  TargetLook look = {};
  GetWindowRect(target_, &look.rect);
  look.above = GetWindow(target_, GW_HWNDPREV);
  look.style = GetWindowLongPtrW(target_, GWL_STYLE);
  look.exStyle = GetWindowLongPtrW(target_, GWL_EXSTYLE);
  return look;
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
      if (self != nullptr && wp == kPollTimer) self->Poll();
      return 0;
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_NCHITTEST:
      return HTTRANSPARENT;
    case WM_SETTINGCHANGE:
    case WM_DISPLAYCHANGE:
      // Caption sizes and fonts are read again; the next placement uses them.
      ForgetOverlayMetrics();
      if (self != nullptr && self->font_ != nullptr) {
        DeleteObject(self->font_);
        self->font_ = nullptr;
      }
      return DefWindowProcW(hwnd, msg, wp, lp);
    case kDpiChanged:
      // Placed and sized by its target's DPI, never by the system's suggestion.
      ForgetOverlayMetrics();
      return 0;
    default:
      return DefWindowProcW(hwnd, msg, wp, lp);
  }
}

}  // namespace kestrova::win32

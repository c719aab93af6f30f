#pragma once
// The caption overlay on Win32: reading a window's geometry without sending it
// anything, asking its caption what lies under a point, and the layered,
// click-through window that shows the text.
#include <windows.h>

#include <functional>
#include <string>

#include "overlay/overlay.h"

namespace kestrova::win32 {

// The calls that only Windows answers (the compositor, window events) and the
// one that asks another program; tests put answers of their own in.
struct OverlayCalls {
  HRESULT(WINAPI* dwmGetWindowAttribute)(HWND, DWORD, PVOID, DWORD);
  HWINEVENTHOOK(WINAPI* setWinEventHook)(DWORD, DWORD, HMODULE, WINEVENTPROC, DWORD, DWORD, DWORD);
  BOOL(WINAPI* unhookWinEvent)(HWINEVENTHOOK);
  LRESULT(WINAPI* sendMessageTimeout)(HWND, UINT, WPARAM, LPARAM, UINT, UINT, PDWORD_PTR);
};
OverlayCalls& OverlaySystemCalls();

// The system's caption font for `dpi`.
LOGFONTW CaptionFont(int dpi);

// The metrics and fonts kept per DPI are read again (the system's settings changed).
void ForgetOverlayMetrics();

class Win32WindowGeometry : public WindowGeometrySource {
 public:
  bool Read(WindowHandle window, WindowGeometry& geometry) override;
};

// WM_NCHITTEST to the window under the point (a child of the target, or the
// target), with a short timeout that a hung window does not outlast.
class Win32CaptionHitTest : public CaptionHitTest {
 public:
  static constexpr UINT kTimeoutMs = 50;
  HitAnswer At(WindowHandle target, int x, int y) override;
};

// A popup that never takes focus or clicks and has no taskbar button, kept
// directly above its target in the z-order. While it shows, out-of-context
// accessibility events of its target (moves, sizes, minimising, hiding,
// destruction) and foreground changes call `onFollow`, at most once per
// display frame; a slow poll stands in until the events are seen to arrive.
class Win32OverlaySurface : public OverlaySurface {
 public:
  Win32OverlaySurface();
  ~Win32OverlaySurface() override;
  Win32OverlaySurface(const Win32OverlaySurface&) = delete;
  Win32OverlaySurface& operator=(const Win32OverlaySurface&) = delete;

  bool Show(WindowHandle target, const OverlayPlacement& placement, const std::string& text) override;
  void KeepAbove() override;
  void Hide() override;
  int TextWidth(std::string_view text, int fontPixels) override;

  HWND Hwnd() const { return hwnd_; }
  // Placements actually drawn or moved, for the figures of a drag.
  long Moves() const { return moves_; }
  // What it cost: z-order changes, bitmaps made, window texts set.
  long ZOrderCalls() const { return zOrderCalls_; }
  long Bitmaps() const { return bitmaps_; }
  long TextsSet() const { return textsSet_; }
  bool Polling() const { return polling_; }

  std::function<void()> onFollow;

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  static void CALLBACK OnEvent(HWINEVENTHOOK hook, DWORD event, HWND hwnd, LONG idObject, LONG idChild,
                               DWORD thread, DWORD time);
  bool EnsureWindow();
  HFONT FontFor(int pixels);
  bool EnsureBitmap(int width, int height);
  void FreeBitmap();
  void Draw(const OverlayPlacement& placement, const std::wstring& text);
  void Restack(const POINT* moveTo, bool show);
  bool Watch(HWND target);
  void Unwatch();
  void Event();
  void Frame();
  void Poll();
  struct TargetLook {
    RECT rect;
    HWND above;
    LONG_PTR style, exStyle;
    bool operator==(const TargetLook& o) const {
      return EqualRect(&rect, &o.rect) && above == o.above && style == o.style && exStyle == o.exStyle;
    }
  };
  TargetLook LookAtTarget() const;

  HWND hwnd_ = nullptr;
  HWND target_ = nullptr;
  HWINEVENTHOOK hooks_[5] = {};
  HFONT font_ = nullptr;
  int fontPixels_ = 0;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ oldBitmap_ = nullptr;
  void* bits_ = nullptr;
  int bitmapWidth_ = 0, bitmapHeight_ = 0;
  std::wstring text_;
  OverlayPlacement placement_;
  bool drawn_ = false;
  bool polling_ = false;
  bool eventsArrive_ = false;  // one event came: the system sends them
  TargetLook polled_ = {};     // the target as the poll last saw it
  bool polledKnown_ = false;
  FrameCoalescer coalescer_;
  UINT framePeriod_ = 16;
  long moves_ = 0;
  long zOrderCalls_ = 0;
  long bitmaps_ = 0;
  long textsSet_ = 0;
};

}  // namespace kestrova::win32

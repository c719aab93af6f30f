#pragma once
// The caption overlay on Win32: reading a window's geometry without sending it
// anything, and the layered, click-through window that shows the text.
#include <windows.h>

#include <functional>
#include <string>

#include "overlay/overlay.h"

namespace kestrova::win32 {

class Win32WindowGeometry : public WindowGeometrySource {
 public:
  bool Read(WindowHandle window, WindowGeometry& geometry) override;
};

// A popup that never takes focus or clicks and has no taskbar button. While it
// shows, out-of-context accessibility events of its target (moves, sizes,
// minimising, hiding, destruction) and foreground changes call `onFollow`, at
// most once per display frame; a slow poll stands in where no events come.
class Win32OverlaySurface : public OverlaySurface {
 public:
  Win32OverlaySurface();
  ~Win32OverlaySurface() override;
  Win32OverlaySurface(const Win32OverlaySurface&) = delete;
  Win32OverlaySurface& operator=(const Win32OverlaySurface&) = delete;

  void Show(WindowHandle target, const OverlayPlacement& placement, const std::string& text) override;
  void Hide() override;
  int TextWidth(std::string_view text, int fontPixels) override;

  HWND Hwnd() const { return hwnd_; }
  // Placements actually drawn or moved, for the figures of a drag.
  long Moves() const { return moves_; }

  std::function<void()> onFollow;

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  static void CALLBACK OnEvent(HWINEVENTHOOK hook, DWORD event, HWND hwnd, LONG idObject, LONG idChild,
                               DWORD thread, DWORD time);
  bool EnsureWindow();
  HFONT FontFor(int pixels);
  void Draw(const OverlayPlacement& placement, const std::wstring& text);
  void Watch(HWND target);
  void Unwatch();
  void Event();
  void Frame();

  HWND hwnd_ = nullptr;
  HWND target_ = nullptr;
  HWINEVENTHOOK hooks_[5] = {};
  HFONT font_ = nullptr;
  int fontPixels_ = 0;
  std::wstring text_;
  OverlayPlacement placement_;
  bool drawn_ = false;
  FrameCoalescer coalescer_;
  UINT framePeriod_ = 16;
  long moves_ = 0;
};

}  // namespace kestrova::win32

#pragma once
// The caption overlay: the clock shown in a small window of our own over the
// title bar of a window that draws its caption itself (browsers, editors,
// terminals), where the title we write is never shown. Every rule of when and
// where it shows lives here; the platform only reads geometry and draws.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/overlay_sink.h"
#include "platform/window_system.h"

namespace kestrova {

// Screen pixels; right and bottom are outside, as in Win32.
struct ScreenRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool Empty() const { return right <= left || bottom <= top; }
  bool operator==(const ScreenRect&) const = default;
};

// What the platform reads of a window, without sending it anything.
struct WindowGeometry {
  bool exists = false;
  bool hasCaption = false;  // WS_CAPTION
  bool minimised = false;
  bool cloaked = false;  // hidden by the compositor, or on another virtual desktop
  bool front = false;    // it, or the top-level window it belongs to, is the foreground window
  ScreenRect frame;      // the visible frame (compositor bounds, else the window rectangle)
  ScreenRect client;     // the client area
  ScreenRect monitor;    // the monitor it is on; empty when it is on none
  std::optional<ScreenRect> captionButtons;  // where the compositor answers
  int dpi = 96;
  // System metrics at the window's DPI.
  int captionHeight = 0;  // the caption strip: caption plus the frame above it
  int buttonWidth = 0;    // one caption button
  int captionFontPixels = 0;
};

// Where the overlay goes and how big it draws.
struct OverlayPlacement {
  ScreenRect bounds;
  int fontPixels = 0;
  int dpi = 96;
  bool operator==(const OverlayPlacement&) const = default;
};

enum class OverlayVerdict {
  kShow,
  kGone,
  kStandardCaption,  // the window shows our title itself
  kMinimised,
  kCloaked,
  kNotFront,
  kFillsMonitor,  // full-screen video, games, presentations
  kBadBounds,     // empty, absurd or on no monitor
  kNoRoom,        // too narrow for the text beside its buttons
  kNoText,
};

// True when the window draws its own caption: no standard caption, or a client
// area that reaches up into where the caption would be.
bool DrawsOwnCaption(const WindowGeometry& g);

// Measures a text in the caption font at a pixel height; the platform's.
class TextMeasure {
 public:
  virtual ~TextMeasure() = default;
  virtual int TextWidth(std::string_view text, int fontPixels) = 0;
};

struct OverlayDecision {
  OverlayVerdict verdict = OverlayVerdict::kGone;
  OverlayPlacement placement;
};

// Decides from the geometry whether the overlay shows, and where: just left
// of the caption buttons, centred on the caption strip.
OverlayDecision PlaceOverlay(const WindowGeometry& g, std::string_view text, TextMeasure& measure);

// The text shown: the pieces other than the window's own title, without the
// blanks at their ends.
std::string OverlayText(std::string_view nonTitlePieces);

// Reads a window's geometry; false when it is gone.
class WindowGeometrySource {
 public:
  virtual ~WindowGeometrySource() = default;
  virtual bool Read(WindowHandle window, WindowGeometry& geometry) = 0;
};

// The overlay window itself.
class OverlaySurface : public TextMeasure {
 public:
  // Shows (or moves) the overlay over `target`, topmost, and watches `target`
  // for moves; its window text is `text`.
  virtual void Show(WindowHandle target, const OverlayPlacement& placement, const std::string& text) = 0;
  // Hides the overlay and stops watching.
  virtual void Hide() = 0;
};

// Holds the overlay's target between ticks and follows it when it moves.
class CaptionOverlay : public OverlaySink {
 public:
  CaptionOverlay(WindowGeometrySource& geometry, OverlaySurface& surface);
  void Update(WindowHandle target, const std::string& text) override;
  // The target moved, changed or another window came to the front.
  void Follow();
  bool Shown() const { return shown_; }
  OverlayVerdict LastVerdict() const { return verdict_; }

 private:
  void Place();
  void HideSurface();

  WindowGeometrySource& geometry_;
  OverlaySurface& surface_;
  WindowHandle target_ = 0;
  std::string text_;
  bool shown_ = false;
  OverlayVerdict verdict_ = OverlayVerdict::kGone;
  OverlayPlacement placement_;
  std::string shownText_;
};

// A burst of location events costs at most one placement per frame: the first
// event is followed at once, later ones wait for the frame timer.
class FrameCoalescer {
 public:
  // An event came. True: follow now and start the frame timer.
  bool Event();
  // The frame timer fired. True: follow now (and keep the timer);
  // false: stop the timer, the burst is over.
  bool Frame();
  bool TimerRunning() const { return timing_; }

 private:
  bool timing_ = false;
  bool dirty_ = false;
};

// The overlay's plate as premultiplied BGRA pixels, rows top down: a rounded,
// slightly translucent dark plate with light text. `coverage` holds the text's
// grey-scale coverage (0..255), one byte per pixel.
std::vector<std::uint32_t> PaintPlate(int width, int height, int radius,
                                      const std::vector<std::uint8_t>& coverage);

}  // namespace kestrova

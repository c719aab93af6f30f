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

// Window style bits as Win32 has them; the rules read them, the platform copies them.
namespace style {
constexpr std::uint32_t kCaption = 0x00C00000;
constexpr std::uint32_t kSysMenu = 0x00080000;
constexpr std::uint32_t kThickFrame = 0x00040000;
constexpr std::uint32_t kMinimizeBox = 0x00020000;
constexpr std::uint32_t kMaximizeBox = 0x00010000;
constexpr std::uint32_t kPopup = 0x80000000;
constexpr std::uint32_t kOverlappedWindow = kCaption | kSysMenu | kThickFrame | kMinimizeBox | kMaximizeBox;
constexpr std::uint32_t kExTopmost = 0x00000008;
constexpr std::uint32_t kExToolWindow = 0x00000080;
constexpr std::uint32_t kExLayoutRtl = 0x00400000;
constexpr std::uint32_t kExNoActivate = 0x08000000;
}  // namespace style

// What the platform reads of a window, without sending it anything.
struct WindowGeometry {
  bool exists = false;
  std::uint32_t style = 0;    // WS_*
  std::uint32_t exStyle = 0;  // WS_EX_*
  bool visibleOwner = false;  // owned by a visible window: a dialog, a bubble, a pop-up
  std::string className;
  bool minimised = false;
  bool maximised = false;
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
  kNotApplication,  // the shell's pop-ups, tool windows, bubbles, splash screens
  kNoFreeCaption,   // the program's own controls fill the caption by the buttons
  kNotWatched,      // its moves could not be watched
};

// A window a user thinks of as an application window, by the rules Alt+Tab
// uses: no visible owner, not a tool or non-activating window, a sizing frame
// or a system menu with a minimise box, not cloaked, not one of the shell's.
bool IsApplicationWindow(const WindowGeometry& g);

// Start, Search, the notification centre, task view, the taskbars, the desktop.
bool IsShellClass(std::string_view className);

// Covers its monitor without being a maximised window with a sizing frame.
bool IsFullScreen(const WindowGeometry& g);

// True when the window draws its own caption: no standard caption, or a client
// area that reaches up into where the caption would be.
bool DrawsOwnCaption(const WindowGeometry& g);

// Measures a text in the caption font at a pixel height; the platform's.
class TextMeasure {
 public:
  virtual ~TextMeasure() = default;
  virtual int TextWidth(std::string_view text, int fontPixels) = 0;
};

// What is under a point of the target's caption, as the window itself answers
// a hit test there.
enum class HitAnswer { kCaption, kOther, kNoAnswer };

class CaptionHitTest {
 public:
  virtual ~CaptionHitTest() = default;
  virtual HitAnswer At(WindowHandle target, int x, int y) = 0;
};

struct OverlayDecision {
  OverlayVerdict verdict = OverlayVerdict::kGone;
  OverlayPlacement placement;  // the slot by the buttons
  bool rtl = false;            // buttons at the left end, the slot right of them
  int farEdge = 0;             // how far from the buttons a slot may go (screen x)
  int gap = 0;
};

// Decides from the geometry whether the overlay may show, and where it would
// go: just left of the caption buttons (right of them in a right-to-left
// window), centred on the caption strip.
OverlayDecision PlaceOverlay(const WindowGeometry& g, std::string_view text, TextMeasure& measure);

// How far the plate moves away from the buttons to lie on empty caption only.
struct CaptionSpan {
  enum Kind { kFound, kNone, kNoAnswer } kind = kNone;
  int shift = 0;  // pixels away from the buttons
};

// Asks the window what lies under each part of the slot, and failing that of
// slots further from the buttons, until one answers caption all over.
CaptionSpan FindCaptionSpan(const OverlayDecision& slot, WindowHandle target, CaptionHitTest& hits);

// The slot moved `shift` pixels away from the buttons.
ScreenRect Shifted(const OverlayDecision& slot, int shift);

// How the plate is put directly above its target in the z-order.
struct ZOrderFacts {
  bool targetTopmost = false;
  bool overlayTopmost = false;
  bool overlayDirectlyAbove = false;  // the next window above the target is the overlay
  bool targetFirst = false;           // nothing above the target but the overlay
  bool aboveIsTopmost = false;        // the next other window above the target is topmost
};
enum class ZInsert { kNone, kTop, kTopmost, kAfterWindowAbove };
struct ZOrderPlan {
  bool leaveTopmost = false;  // first out of the topmost band
  bool enterTopmost = false;  // first into it
  ZInsert insert = ZInsert::kNone;
  bool operator==(const ZOrderPlan&) const = default;
};
ZOrderPlan PlanZOrder(const ZOrderFacts& f);

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
  // Watches `target` for moves, then shows (or moves) the overlay over it,
  // directly above it in the z-order; its window text is `text`. False, and
  // hidden, when the target cannot be watched.
  virtual bool Show(WindowHandle target, const OverlayPlacement& placement, const std::string& text) = 0;
  // Nothing moved: puts the overlay back directly above its target if another
  // window came between them.
  virtual void KeepAbove() = 0;
  // Hides the overlay and stops watching.
  virtual void Hide() = 0;
};

// Holds the overlay's target between ticks and follows it when it moves.
class CaptionOverlay : public OverlaySink {
 public:
  CaptionOverlay(WindowGeometrySource& geometry, OverlaySurface& surface, CaptionHitTest& hits);
  // Each tick: the caption is asked again (tabs open and close).
  void Update(WindowHandle target, const std::string& text) override;
  // The target moved, changed or another window came to the front; the
  // caption is asked again when its size changed.
  void Follow();
  bool Shown() const { return shown_; }
  OverlayVerdict LastVerdict() const { return verdict_; }

 private:
  void Place(bool ask);
  void HideSurface();

  WindowGeometrySource& geometry_;
  OverlaySurface& surface_;
  CaptionHitTest& hits_;
  WindowHandle target_ = 0;
  // The caption's last answer, kept while the window does not answer.
  WindowHandle spanTarget_ = 0;
  CaptionSpan span_;
  int spanWidth_ = 0, spanHeight_ = 0, spanPlate_ = 0;
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

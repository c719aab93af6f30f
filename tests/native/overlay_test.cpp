// The caption overlay: which windows get it, where it goes, when it hides,
// what it says, and what the main tick reports to it.
#include "overlay/overlay.h"

#include <gtest/gtest.h>

#include <map>

#include "title_fixture.h"

namespace kestrova {
namespace {

bool Intersect(const ScreenRect& a, const ScreenRect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// Every character 10 pixels wide, whatever the font.
class FixedMeasure : public TextMeasure {
 public:
  int TextWidth(std::string_view text, int) override { return static_cast<int>(text.size()) * 10; }
};

// A browser-like window at 96 dpi: no caption strip of the system's, its
// client area from the top of the frame, on a 1920 x 1080 monitor.
WindowGeometry Browser() {
  WindowGeometry g;
  g.exists = true;
  g.style = style::kOverlappedWindow;
  g.className = "Chrome_WidgetWin_1";
  g.front = true;
  g.frame = {100, 50, 1100, 750};
  g.client = {100, 50, 1100, 750};
  g.monitor = {0, 0, 1920, 1080};
  g.dpi = 96;
  g.captionHeight = 31;
  g.buttonWidth = 36;
  g.captionFontPixels = 12;
  return g;
}

TEST(OverlayRule, ClientAreaAtTheFrameTopOrNoCaptionMeansTheWindowDrawsItsOwn) {
  const struct {
    bool hasCaption;
    int clientTop;
    bool own;
  } cases[] = {
      {true, 50, true},   // client from the very top (extended frame bounds)
      {true, 58, true},   // the resize border above it (window rectangle)
      {true, 64, true},   // just under half a caption
      {true, 65, false},  // half a caption down
      {true, 81, false},  // a standard caption
      {false, 81, true},  // no caption at all
      {false, 50, true},
  };
  for (const auto& c : cases) {
    WindowGeometry g = Browser();
    if (!c.hasCaption) g.style = style::kPopup | style::kThickFrame;
    g.client.top = c.clientTop;
    EXPECT_EQ(DrawsOwnCaption(g), c.own) << c.hasCaption << " " << c.clientTop;
  }
}

TEST(OverlayPlacement, LeftOfTheButtonsCentredOnTheCaptionAtTheWindowsDpi) {
  FixedMeasure measure;
  const std::string text = "17:30:30";  // 80 pixels at 10 a character
  struct Case {
    const char* name;
    WindowGeometry g;
    ScreenRect bounds;
    int font;
  };
  WindowGeometry known = Browser();
  known.captionButtons = ScreenRect{962, 50, 1100, 90};
  WindowGeometry wideMetric = Browser();
  wideMetric.buttonWidth = 50;
  WindowGeometry at144 = Browser();
  at144.dpi = 144;
  at144.captionHeight = 46;
  at144.buttonWidth = 54;
  at144.captionFontPixels = 18;
  WindowGeometry noMetrics = Browser();
  noMetrics.captionHeight = 0;
  noMetrics.buttonWidth = 0;
  noMetrics.captionFontPixels = 0;
  WindowGeometry lowStrip = Browser();
  lowStrip.captionHeight = 20;
  WindowGeometry strayButtons = Browser();
  strayButtons.captionButtons = ScreenRect{2000, 50, 2138, 90};  // outside the frame: not believed
  const Case cases[] = {
      // Fallback: three buttons of at least 46 pixels; width 80 + 2 * 8, gap 8;
      // height 12 + 8 centred on the 31-pixel strip.
      {"fallback", Browser(), {1100 - 138 - 8 - 96, 55, 1100 - 138 - 8, 75}, 12},
      {"wider metric", wideMetric, {1100 - 150 - 8 - 96, 55, 1100 - 150 - 8, 75}, 12},
      // The compositor's buttons: their left edge and their height.
      {"buttons known", known, {962 - 8 - 96, 60, 962 - 8, 80}, 12},
      {"buttons outside", strayButtons, {1100 - 138 - 8 - 96, 55, 1100 - 138 - 8, 75}, 12},
      // 150 %: 69-pixel buttons, 12-pixel pads and gap, 18 + 12 high on 46.
      {"144 dpi", at144, {1100 - 207 - 12 - 104, 58, 1100 - 207 - 12, 88}, 18},
      {"no metrics", noMetrics, {1100 - 138 - 8 - 96, 55, 1100 - 138 - 8, 75}, 12},
      // A strip lower than the font: the plate keeps 2 pixels of it above and below.
      {"low strip", lowStrip, {1100 - 138 - 8 - 96, 52, 1100 - 138 - 8, 68}, 12},
  };
  for (const Case& c : cases) {
    const OverlayDecision d = PlaceOverlay(c.g, text, measure);
    ASSERT_EQ(d.verdict, OverlayVerdict::kShow) << c.name;
    EXPECT_EQ(d.placement.bounds, c.bounds) << c.name;
    EXPECT_EQ(d.placement.fontPixels, c.font) << c.name;
    EXPECT_EQ(d.placement.dpi, c.g.dpi) << c.name;
  }
}

TEST(OverlayPlacement, HiddenWheneverTheWindowCannotOrShouldNotShowIt) {
  FixedMeasure measure;
  const struct {
    const char* name;
    void (*change)(WindowGeometry&);
    OverlayVerdict verdict;
  } cases[] = {
      {"gone", [](WindowGeometry& g) { g.exists = false; }, OverlayVerdict::kGone},
      {"standard caption", [](WindowGeometry& g) { g.client.top = 81; }, OverlayVerdict::kStandardCaption},
      {"minimised", [](WindowGeometry& g) { g.minimised = true; }, OverlayVerdict::kMinimised},
      {"cloaked", [](WindowGeometry& g) { g.cloaked = true; }, OverlayVerdict::kCloaked},
      {"behind", [](WindowGeometry& g) { g.front = false; }, OverlayVerdict::kNotFront},
      {"full screen",
       [](WindowGeometry& g) {
         g.frame = g.client = {0, 0, 1920, 1080};
       },
       OverlayVerdict::kFillsMonitor},
      {"beyond the monitor",
       [](WindowGeometry& g) {
         g.frame = g.client = {-10, -10, 1930, 1090};
       },
       OverlayVerdict::kFillsMonitor},
      {"zero size",
       [](WindowGeometry& g) {
         g.frame = {100, 50, 100, 50};
       },
       OverlayVerdict::kBadBounds},
      {"negative size",
       [](WindowGeometry& g) {
         g.frame = {1100, 750, 100, 50};
       },
       OverlayVerdict::kBadBounds},
      {"on no monitor", [](WindowGeometry& g) { g.monitor = {}; }, OverlayVerdict::kBadBounds},
      {"off the monitor",
       [](WindowGeometry& g) {
         g.frame = g.client = {-5000, 50, -4000, 750};
       },
       OverlayVerdict::kBadBounds},
      {"absurd", [](WindowGeometry& g) { g.frame.right = 0x7FFFFFFF; }, OverlayVerdict::kBadBounds},
      {"empty client", [](WindowGeometry& g) { g.client = {}; }, OverlayVerdict::kBadBounds},
      {"too low for a caption", [](WindowGeometry& g) { g.frame.bottom = g.client.bottom = 100; },
       OverlayVerdict::kBadBounds},
      {"too narrow", [](WindowGeometry& g) { g.frame.right = g.client.right = 330; },
       OverlayVerdict::kNoRoom},
  };
  for (const auto& c : cases) {
    WindowGeometry g = Browser();
    c.change(g);
    EXPECT_EQ(PlaceOverlay(g, "17:30:30", measure).verdict, c.verdict) << c.name;
  }
  EXPECT_EQ(PlaceOverlay(Browser(), "", measure).verdict, OverlayVerdict::kNoText);
  WindowGeometry noCaptionNoClient = Browser();
  noCaptionNoClient.style = style::kPopup | style::kThickFrame;
  noCaptionNoClient.client = {};
  EXPECT_EQ(PlaceOverlay(noCaptionNoClient, "x", measure).verdict, OverlayVerdict::kShow)
      << "a window without a caption needs no client area to be told apart";
}

TEST(OverlayText, TheNonTitlePiecesWithoutBlanksAtTheEnds) {
  const struct {
    const char* pieces;
    const char* shown;
  } cases[] = {
      {" <2026/12/08(Tue) 17:30:30>", "<2026/12/08(Tue) 17:30:30>"},
      {"\t 会議 12:00 \t", "会議 12:00"},
      {"\xE3\x80\x80時計\xE3\x80\x80 ", "時計"},
      {"   ", ""},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(OverlayText(c.pieces), c.shown) << c.pieces;
}

class FakeGeometry : public WindowGeometrySource {
 public:
  std::map<WindowHandle, WindowGeometry> windows;
  bool Read(WindowHandle window, WindowGeometry& g) override {
    auto it = windows.find(window);
    if (it == windows.end()) return false;
    g = it->second;
    return true;
  }
};

class FakeSurface : public OverlaySurface {
 public:
  struct Shown {
    WindowHandle target;
    OverlayPlacement placement;
    std::string text;
  };
  std::vector<Shown> shows;
  int hides = 0;
  int keptAbove = 0;
  bool visible = false;
  bool watchable = true;  // false: the target ended before it could be watched
  bool Show(WindowHandle target, const OverlayPlacement& placement, const std::string& text) override {
    if (!watchable) {
      visible = false;
      return false;
    }
    shows.push_back({target, placement, text});
    visible = true;
    return true;
  }
  void KeepAbove() override { ++keptAbove; }
  void Hide() override {
    ++hides;
    visible = false;
  }
  int TextWidth(std::string_view text, int) override { return static_cast<int>(text.size()) * 10; }
};

// A caption strip 31 pixels high from the frame's top (Browser()): caption
// except where the program put controls; `hung` answers nothing.
class FakeHits : public CaptionHitTest {
 public:
  std::vector<ScreenRect> controls;
  bool hung = false;
  int asked = 0;
  HitAnswer At(WindowHandle, int x, int y) override {
    ++asked;
    if (hung) return HitAnswer::kNoAnswer;
    for (const ScreenRect& c : controls) {
      if (x >= c.left && x < c.right && y >= c.top && y < c.bottom) return HitAnswer::kOther;
    }
    return y >= 50 && y < 81 ? HitAnswer::kCaption : HitAnswer::kOther;
  }
};

TEST(CaptionOverlay, ShowsOnceFollowsMovesAndHidesWhenToldOrWhenTheTargetGoes) {
  FakeGeometry geometry;
  FakeSurface surface;
  FakeHits hits;
  CaptionOverlay overlay(geometry, surface, hits);
  geometry.windows[7] = Browser();
  overlay.Update(7, " <17:30:30>");
  ASSERT_EQ(surface.shows.size(), 1u);
  EXPECT_EQ(surface.shows[0].target, 7u);
  EXPECT_EQ(surface.shows[0].text, "<17:30:30>");
  overlay.Update(7, " <17:30:30>");
  overlay.Follow();
  EXPECT_EQ(surface.shows.size(), 1u) << "nothing changed: nothing drawn";
  EXPECT_EQ(surface.keptAbove, 2) << "but kept above its target";

  geometry.windows[7].frame.left += 40;
  geometry.windows[7].frame.right += 40;
  geometry.windows[7].client = geometry.windows[7].frame;
  overlay.Follow();
  ASSERT_EQ(surface.shows.size(), 2u);
  EXPECT_EQ(surface.shows[1].placement.bounds.left, surface.shows[0].placement.bounds.left + 40);
  overlay.Update(7, " <17:30:31>");
  ASSERT_EQ(surface.shows.size(), 3u);
  EXPECT_EQ(surface.shows[2].text, "<17:30:31>");

  geometry.windows[7].minimised = true;
  overlay.Follow();
  EXPECT_FALSE(surface.visible);
  EXPECT_EQ(overlay.LastVerdict(), OverlayVerdict::kMinimised);
  geometry.windows[7].minimised = false;
  overlay.Follow();
  EXPECT_TRUE(surface.visible) << "back from the taskbar";

  geometry.windows.erase(7);
  overlay.Follow();
  EXPECT_FALSE(surface.visible) << "closed between events";
  EXPECT_EQ(overlay.LastVerdict(), OverlayVerdict::kGone);

  geometry.windows[8] = Browser();
  overlay.Update(8, "x");
  EXPECT_TRUE(surface.visible);
  overlay.Update(0, "");
  EXPECT_FALSE(surface.visible);
  const int hides = surface.hides;
  overlay.Update(0, "");
  overlay.Follow();
  EXPECT_EQ(surface.hides, hides) << "hidden once, not on every tick";
}

TEST(FrameCoalescer, ABurstCostsOnePlacementPerFrame) {
  FrameCoalescer c;
  EXPECT_TRUE(c.Event()) << "the first event is followed at once";
  EXPECT_TRUE(c.TimerRunning());
  EXPECT_FALSE(c.Event());
  EXPECT_FALSE(c.Event());
  EXPECT_TRUE(c.Frame()) << "the events since are followed on the frame";
  EXPECT_FALSE(c.Frame()) << "a quiet frame ends the burst";
  EXPECT_FALSE(c.TimerRunning());
  EXPECT_TRUE(c.Event());

  // Ten seconds of a drag reporting every millisecond, frames every 16 ms.
  FrameCoalescer drag;
  int follows = 0;
  for (int ms = 0; ms < 10000; ++ms) {
    if (drag.Event()) ++follows;
    if (ms % 16 == 15 && drag.Frame()) ++follows;
  }
  EXPECT_LE(follows, 10000 / 16 + 1);
  EXPECT_GE(follows, 10000 / 16 - 1) << "the overlay keeps up with the drag";
}

TEST(OverlayPaint, RoundedTranslucentPlateWithOpaqueLightText) {
  const int w = 40, h = 20;
  std::vector<std::uint8_t> coverage(w * h, 0);
  coverage[10 * w + 20] = 255;  // one pixel of text in the middle
  const std::vector<std::uint32_t> px = PaintPlate(w, h, 6, coverage);
  ASSERT_EQ(px.size(), coverage.size());
  const auto alpha = [](std::uint32_t p) { return p >> 24; };
  EXPECT_EQ(alpha(px[0]), 0u) << "corner cut round";
  EXPECT_EQ(alpha(px[w - 1]), 0u);
  EXPECT_EQ(alpha(px[(h - 1) * w]), 0u);
  EXPECT_GT(alpha(px[w / 2]), 0u) << "the top edge between the corners";
  EXPECT_NEAR(alpha(px[5 * w + 10]), 204u, 2u) << "translucent inside";
  EXPECT_LT(px[5 * w + 10] & 0xFF, 64u) << "dark inside";
  EXPECT_EQ(px[10 * w + 20], 0xFFFFFFFFu) << "text opaque white";
  for (std::uint32_t p : px) {
    for (int shift : {0, 8, 16}) ASSERT_LE((p >> shift) & 0xFF, alpha(p)) << "premultiplied";
  }
  EXPECT_TRUE(PaintPlate(0, 5, 3, {}).empty());
}

TEST(OverlayRule, OnlyWindowsThatAltTabWouldList) {
  using namespace style;
  const struct {
    const char* name;
    std::uint32_t style, exStyle;
    bool owner;
    const char* className;
    bool app;
  } cases[] = {
      {"overlapped", kOverlappedWindow, 0, false, "Chrome_WidgetWin_1", true},
      {"popup with a sizing frame", kPopup | kThickFrame, 0, false, "X", true},
      {"popup with a system menu and minimise box", kPopup | kSysMenu | kMinimizeBox, 0, false, "X", true},
      {"bare popup: a splash screen, a launcher", kPopup, 0, false, "X", false},
      {"popup with a system menu only", kPopup | kSysMenu, 0, false, "X", false},
      {"popup with a minimise box only", kPopup | kMinimizeBox, 0, false, "X", false},
      {"tool window", kOverlappedWindow, kExToolWindow, false, "X", false},
      {"never activated", kPopup | kThickFrame, kExNoActivate, false, "X", false},
      {"owned by a visible window: a bubble", kOverlappedWindow, 0, true, "X", false},
      {"Start, Search, notification centre", kPopup | kThickFrame, 0, false, "Windows.UI.Core.CoreWindow", false},
      {"task view", kPopup | kThickFrame, 0, false, "XamlExplorerHostIslandWindow", false},
      {"taskbar", kPopup | kSysMenu | kMinimizeBox, 0, false, "Shell_TrayWnd", false},
      {"desktop", kPopup | kThickFrame, 0, false, "Progman", false},
      {"a class that only starts like the shell's", kOverlappedWindow, 0, false, "Shell_TrayWndX", true},
  };
  FixedMeasure measure;
  for (const auto& c : cases) {
    WindowGeometry g = Browser();
    g.style = c.style;
    g.exStyle = c.exStyle;
    g.visibleOwner = c.owner;
    g.className = c.className;
    EXPECT_EQ(IsApplicationWindow(g), c.app) << c.name;
    EXPECT_EQ(PlaceOverlay(g, "x", measure).verdict == OverlayVerdict::kNotApplication, !c.app) << c.name;
    g.cloaked = true;
    EXPECT_FALSE(IsApplicationWindow(g)) << c.name << ", cloaked";
  }
}

TEST(OverlayRule, MaximisedIsNotFullScreen) {
  using namespace style;
  const ScreenRect monitor = {0, 0, 1920, 1080};
  const ScreenRect beyond = {-8, -8, 1928, 1088};  // the resize border off the monitor
  const struct {
    const char* name;
    ScreenRect frame;
    bool maximised;
    std::uint32_t style;
    OverlayVerdict verdict;
  } cases[] = {
      {"maximised, auto-hiding taskbar", beyond, true, kOverlappedWindow, OverlayVerdict::kShow},
      {"maximised, frame on the monitor", monitor, true, kOverlappedWindow, OverlayVerdict::kShow},
      {"maximised on the work area", {0, 0, 1920, 1040}, true, kOverlappedWindow, OverlayVerdict::kShow},
      {"covering, not maximised", monitor, false, kOverlappedWindow, OverlayVerdict::kFillsMonitor},
      {"covering, beyond the monitor", beyond, false, kPopup | kThickFrame, OverlayVerdict::kFillsMonitor},
      {"maximised without a sizing frame", monitor, true, kPopup | kSysMenu | kMinimizeBox,
       OverlayVerdict::kFillsMonitor},
  };
  FixedMeasure measure;
  for (const auto& c : cases) {
    WindowGeometry g = Browser();
    g.frame = g.client = c.frame;
    g.monitor = monitor;
    g.maximised = c.maximised;
    g.style = c.style;
    const OverlayDecision d = PlaceOverlay(g, "17:30:30", measure);
    EXPECT_EQ(d.verdict, c.verdict) << c.name;
    EXPECT_EQ(IsFullScreen(g), c.verdict == OverlayVerdict::kFillsMonitor) << c.name;
    if (d.verdict != OverlayVerdict::kShow) continue;
    // On the monitor, by the buttons at its right edge, in the strip below its top.
    EXPECT_EQ(d.placement.bounds, (ScreenRect{1920 - 138 - 8 - 96, 5, 1920 - 138 - 8, 25})) << c.name;
  }
}

TEST(OverlayRule, RightToLeftWindowsHaveTheSlotRightOfTheButtonsAtTheLeft) {
  FixedMeasure measure;
  WindowGeometry g = Browser();
  g.exStyle = style::kExLayoutRtl;
  OverlayDecision d = PlaceOverlay(g, "17:30:30", measure);
  ASSERT_EQ(d.verdict, OverlayVerdict::kShow);
  EXPECT_EQ(d.placement.bounds, (ScreenRect{100 + 138 + 8, 55, 100 + 138 + 8 + 96, 75}));
  g.captionButtons = ScreenRect{100, 50, 238, 90};
  d = PlaceOverlay(g, "17:30:30", measure);
  EXPECT_EQ(d.placement.bounds, (ScreenRect{238 + 8, 60, 238 + 8 + 96, 80})) << "the compositor's buttons";
  g.frame.right = g.client.right = 330;
  EXPECT_EQ(PlaceOverlay(g, "17:30:30", measure).verdict, OverlayVerdict::kNoRoom);

  // Controls right of the buttons push it further right.
  FakeHits hits;
  hits.controls = {{246, 50, 300, 81}};
  g = Browser();
  g.exStyle = style::kExLayoutRtl;
  d = PlaceOverlay(g, "17:30:30", measure);
  const CaptionSpan span = FindCaptionSpan(d, 1, hits);
  ASSERT_EQ(span.kind, CaptionSpan::kFound);
  const ScreenRect r = Shifted(d, span.shift);
  EXPECT_GE(r.left, 300);
  EXPECT_LE(r.left, 300 + 8 + 20);
  EXPECT_EQ(r.Width(), 96);
}

TEST(OverlayCaption, OnlyWhereTheWindowAnswersCaptionOverTheWholePlate) {
  // The slot by the buttons is 858..954 x 55..75.
  const ScreenRect strip = {100, 50, 1100, 81};
  const struct {
    const char* name;
    std::vector<ScreenRect> controls;
    bool shown;
  } cases[] = {
      {"empty caption", {}, true},
      {"a few tabs at the left", {{100, 50, 500, 81}}, true},
      {"tabs up to the buttons", {{100, 50, 962, 81}}, false},
      {"tabs into the slot and nothing free left of them", {{100, 50, 900, 81}}, false},
      {"layout buttons by the caption buttons, tabs at the left", {{880, 50, 954, 81}, {100, 50, 500, 81}}, true},
      {"a new-tab button under the slot's far corner only", {{858, 50, 870, 57}}, true},
      {"a control under the slot's near end", {{950, 70, 954, 81}}, true},
      {"no room between two controls", {{100, 50, 800, 81}, {880, 50, 954, 81}}, false},
  };
  FixedMeasure measure;
  for (const auto& c : cases) {
    FakeGeometry geometry;
    FakeSurface surface;
    FakeHits hits;
    hits.controls = c.controls;
    CaptionOverlay overlay(geometry, surface, hits);
    geometry.windows[7] = Browser();
    overlay.Update(7, "17:30:30");
    EXPECT_EQ(surface.visible, c.shown) << c.name;
    EXPECT_EQ(overlay.LastVerdict(), c.shown ? OverlayVerdict::kShow : OverlayVerdict::kNoFreeCaption) << c.name;
    if (!c.shown) continue;
    const ScreenRect r = surface.shows.back().placement.bounds;
    EXPECT_EQ(r.Width(), 96) << c.name;
    EXPECT_TRUE(r.left >= strip.left && r.right <= 954 && r.top >= strip.top && r.bottom <= strip.bottom)
        << c.name;
    int nearest = 954;  // the slot's own right edge, or a gap left of the control it had to avoid
    for (const ScreenRect& control : c.controls) {
      EXPECT_FALSE(Intersect(r, control)) << c.name << ": over a control at " << control.left;
      if (control.right > 858 - 28 && control.left < 954) nearest = std::min(nearest, control.left);
    }
    EXPECT_GE(r.right, nearest - 8 - 20) << c.name << ": not the nearest free span";
  }
}

TEST(OverlayCaption, AskedAtEachTickAndAfterResizesAHungWindowKeepsTheLastAnswer) {
  FakeGeometry geometry;
  FakeSurface surface;
  FakeHits hits;
  CaptionOverlay overlay(geometry, surface, hits);
  geometry.windows[7] = Browser();
  overlay.Update(7, "17:30:30");
  ASSERT_TRUE(surface.visible);
  // Tabs opened up to the buttons: the next tick takes the plate away.
  hits.controls = {{100, 50, 962, 81}};
  overlay.Update(7, "17:30:31");
  EXPECT_FALSE(surface.visible);
  hits.controls.clear();
  overlay.Update(7, "17:30:32");
  EXPECT_TRUE(surface.visible) << "the tabs closed";

  // A move is not a new question; a resize is.
  auto& w = geometry.windows[7];
  const int asked = hits.asked;
  w.frame = w.client = {140, 50, 1140, 750};
  overlay.Follow();
  EXPECT_EQ(hits.asked, asked) << "moved, same size";
  EXPECT_EQ(surface.shows.back().placement.bounds.left, 858 + 40);
  hits.controls = {{140, 50, 1002, 81}};
  w.frame = w.client = {140, 50, 1160, 750};
  overlay.Follow();
  EXPECT_GT(hits.asked, asked);
  EXPECT_FALSE(surface.visible) << "resized, with tabs up to the buttons";

  // Hung: the last answer stands, for a moved or resized window too.
  hits.controls.clear();
  overlay.Update(7, "17:30:33");
  ASSERT_TRUE(surface.visible);
  hits.hung = true;
  w.frame = w.client = {140, 50, 1180, 750};
  overlay.Update(7, "17:30:34");
  EXPECT_TRUE(surface.visible) << "a hung window keeps its plate";
  EXPECT_EQ(surface.shows.back().placement.bounds.right, 1180 - 138 - 8);
  hits.hung = false;
  hits.controls = {{140, 50, 1100, 81}};
  overlay.Update(7, "17:30:35");
  EXPECT_FALSE(surface.visible);
  hits.hung = true;
  overlay.Update(7, "17:30:36");
  EXPECT_FALSE(surface.visible) << "and a hung window without one stays without";
  geometry.windows[8] = Browser();
  overlay.Update(8, "17:30:37");
  EXPECT_FALSE(surface.visible) << "a window that never answered gets none";
}

TEST(OverlayCaption, NotShownWhenItsTargetCannotBeWatched) {
  FakeGeometry geometry;
  FakeSurface surface;
  FakeHits hits;
  CaptionOverlay overlay(geometry, surface, hits);
  geometry.windows[7] = Browser();
  surface.watchable = false;
  overlay.Update(7, "17:30:30");
  EXPECT_FALSE(surface.visible);
  EXPECT_FALSE(overlay.Shown());
  EXPECT_EQ(overlay.LastVerdict(), OverlayVerdict::kNotWatched);
  surface.watchable = true;
  overlay.Update(7, "17:30:31");
  EXPECT_TRUE(surface.visible);
}

TEST(OverlayZOrder, DirectlyAboveTheTargetAndTopmostOnlyWithIt) {
  const struct {
    const char* name;
    ZOrderFacts facts;
    ZOrderPlan plan;
  } cases[] = {
      // targetTopmost, overlayTopmost, directlyAbove, targetFirst, aboveIsTopmost
      {"in place", {false, false, true, false, false}, {}},
      {"in place, both topmost", {true, true, true, false, true}, {}},
      {"another window came between", {false, false, false, false, false}, {false, false, ZInsert::kAfterWindowAbove}},
      {"target first of all", {false, false, false, true, false}, {false, false, ZInsert::kTop}},
      {"target first under topmost windows", {false, false, false, false, true}, {false, false, ZInsert::kTop}},
      {"overlay topmost, target not", {false, true, true, false, false}, {true, false, ZInsert::kAfterWindowAbove}},
      {"target topmost, first", {true, false, false, true, false}, {false, true, ZInsert::kTopmost}},
      {"target topmost under another topmost", {true, false, false, false, true},
       {false, true, ZInsert::kAfterWindowAbove}},
      {"target topmost, overlay too, another between", {true, true, false, false, true},
       {false, false, ZInsert::kAfterWindowAbove}},
  };
  for (const auto& c : cases) EXPECT_EQ(PlanZOrder(c.facts), c.plan) << c.name;
}

// What the tick reports after each run.
class RecordingSink : public OverlaySink {
 public:
  WindowHandle target = 99;
  std::string text = "unset";
  int updates = 0;
  void Update(WindowHandle t, const std::string& s) override {
    target = t;
    text = s;
    ++updates;
  }
};

class OverlayTickTest : public testing::TitleTest {
 protected:
  OverlayTickTest() {
    tick.SetOverlay(&sink);
    settings.Use = 1;
  }
  RecordingSink sink;
};

TEST_F(OverlayTickTest, TheDecoratedFrontWindowGetsTheTextBesideItsTitle) {
  Front(1);
  EXPECT_EQ(sink.target, 1u);
  EXPECT_EQ(sink.text, testing::kClock) << "title piece left out";
  settings.LeftText = kPieceClock;
  settings.MiddleText = kPieceTitle;
  settings.RightText = kPieceCountdown;
  Tick();
  const std::string clockText = testing::kClock;
  const std::string countdown = windows.ReadTitle(1).substr(clockText.size() + std::string("Memo").size());
  ASSERT_FALSE(countdown.empty());
  EXPECT_EQ(sink.text, clockText + countdown) << "the pieces on both sides of the title";
  settings.LeftText = kPieceClock;
  settings.MiddleText = kPieceNothing;
  settings.RightText = kPieceNothing;
  Tick();
  EXPECT_EQ(sink.text, windows.ReadTitle(1)) << "no title piece: the whole text";
  Front(2);
  EXPECT_EQ(sink.target, 2u) << "moves with the switch";
}

TEST_F(OverlayTickTest, NothingShowsWhenTheTickLeavesTheWindowPlainOrTheSettingIsOff) {
  const struct {
    const char* name;
    std::function<void()> arrange;
  } cases[] = {
      {"setting off", [this] { settings.Overlay = 0; }},
      {"settings window visible", [this] { settingsVisible = true; }},
      {"settings window in front", [this] { windows.foreground = testing::kSettingsWindow; }},
      {"paused", [this] { tick.TogglePause(); }},
      {"excluded by a rule",
       [this] {
         settings.WindowRules = {{false, "r", "", 0, "TestWindow"}};
         windows.foreground = 1;
       }},
      {"another window in front, not yet decorated",
       [this] {
         windows.windows[1].hung = true;
         windows.foreground = 1;
       }},
      {"no front window", [this] { windows.foreground = 0; }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    settings = Settings();
    settings.Use = 1;
    settingsVisible = false;
    if (tick.Paused()) tick.TogglePause();
    windows.windows[1].hung = false;
    Front(2);
    ASSERT_EQ(sink.target, 2u);
    c.arrange();
    Tick();
    EXPECT_EQ(sink.target, 0u);
    EXPECT_EQ(sink.text, "");
  }
  if (tick.Paused()) tick.TogglePause();
  Front(2);
  ASSERT_EQ(sink.target, 2u);
  tick.TogglePause();
  EXPECT_EQ(sink.target, 0u) << "pausing hides it at once";
  tick.TogglePause();
  Front(2);
  ASSERT_EQ(sink.target, 2u);
  tick.End();
  EXPECT_EQ(sink.target, 0u) << "the end hides it";
}

}  // namespace
}  // namespace kestrova

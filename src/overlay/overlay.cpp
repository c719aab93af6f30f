#include "overlay/overlay.h"

#include <algorithm>
#include <cmath>

namespace kestrova {

namespace {

// Coordinates beyond this come from a window that reports nonsense.
constexpr int kFarAway = 1 << 20;

int ValidDpi(int dpi) { return dpi >= 48 && dpi <= 960 ? dpi : 96; }

// A length given at 96 dpi, at `dpi`.
int Scaled(int pixels, int dpi) { return (pixels * dpi + 48) / 96; }

bool Absurd(const ScreenRect& r) {
  return r.Empty() || r.left < -kFarAway || r.top < -kFarAway || r.right > kFarAway || r.bottom > kFarAway;
}

bool Intersect(const ScreenRect& a, const ScreenRect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

int CaptionStrip(const WindowGeometry& g, int dpi) {
  return g.captionHeight > 0 ? g.captionHeight : Scaled(31, dpi);
}

}  // namespace

bool DrawsOwnCaption(const WindowGeometry& g) {
  if ((g.style & style::kCaption) != style::kCaption) return true;
  // A standard caption puts the client area a whole caption below the frame's
  // top; a program that takes the caption over starts its client area at the
  // top, give or take the resize border.
  return g.client.top < g.frame.top + CaptionStrip(g, ValidDpi(g.dpi)) / 2;
}

bool IsShellClass(std::string_view className) {
  // The shell's own pop-ups and bars, which Alt+Tab leaves out too.
  static constexpr std::string_view kShell[] = {
      "Windows.UI.Core.CoreWindow",  // Start, Search, the notification centre, flyouts
      "Shell_TrayWnd",
      "Shell_SecondaryTrayWnd",
      "MultitaskingViewFrame",         // task view, Windows 10
      "XamlExplorerHostIslandWindow",  // task view and snap layouts, Windows 11
      "ForegroundStaging",
      "NotifyIconOverflowWindow",
      "TopLevelWindowForOverflowXamlIsland",
      "Shell_InputSwitchTopLevelWindow",
      "Progman",
      "WorkerW",
  };
  for (std::string_view shell : kShell) {
    if (className == shell) return true;
  }
  return false;
}

bool IsApplicationWindow(const WindowGeometry& g) {
  if (g.visibleOwner || g.cloaked) return false;
  if ((g.exStyle & (style::kExToolWindow | style::kExNoActivate)) != 0) return false;
  const bool sizing = (g.style & style::kThickFrame) != 0;
  const bool minimisable = (g.style & style::kSysMenu) != 0 && (g.style & style::kMinimizeBox) != 0;
  return (sizing || minimisable) && !IsShellClass(g.className);
}

bool IsFullScreen(const WindowGeometry& g) {
  const bool covers = g.frame.left <= g.monitor.left && g.frame.top <= g.monitor.top &&
                      g.frame.right >= g.monitor.right && g.frame.bottom >= g.monitor.bottom;
  // With an auto-hiding taskbar, or none on its monitor, a maximised window
  // covers the monitor just as a full-screen one does.
  return covers && !(g.maximised && (g.style & style::kThickFrame) != 0);
}

namespace {

ScreenRect Mirrored(const ScreenRect& r, int left, int right) {
  return {left + right - r.right, r.top, left + right - r.left, r.bottom};
}

ScreenRect Overlap(const ScreenRect& a, const ScreenRect& b) {
  return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
          std::min(a.bottom, b.bottom)};
}

}  // namespace

OverlayDecision PlaceOverlay(const WindowGeometry& g, std::string_view text, TextMeasure& measure) {
  OverlayDecision d;
  const auto verdict = [&d](OverlayVerdict v) {
    d.verdict = v;
    return d;
  };
  if (!g.exists) return verdict(OverlayVerdict::kGone);
  if (g.minimised) return verdict(OverlayVerdict::kMinimised);
  if (g.cloaked) return verdict(OverlayVerdict::kCloaked);
  if (!IsApplicationWindow(g)) return verdict(OverlayVerdict::kNotApplication);
  if (!g.front) return verdict(OverlayVerdict::kNotFront);
  const int dpi = ValidDpi(g.dpi);
  const int strip = CaptionStrip(g, dpi);
  const bool hasCaption = (g.style & style::kCaption) == style::kCaption;
  if (Absurd(g.frame) || !Intersect(g.frame, g.monitor) || g.frame.Height() < 2 * strip ||
      (hasCaption && Absurd(g.client))) {
    return verdict(OverlayVerdict::kBadBounds);
  }
  if (!DrawsOwnCaption(g)) return verdict(OverlayVerdict::kStandardCaption);
  if (IsFullScreen(g)) return verdict(OverlayVerdict::kFillsMonitor);
  if (text.empty()) return verdict(OverlayVerdict::kNoText);

  // A maximised window's resize border lies beyond its monitor.
  const ScreenRect frame = g.maximised ? Overlap(g.frame, g.monitor) : g.frame;
  // Worked out as if the buttons were at the right, then mirrored back.
  d.rtl = (g.exStyle & style::kExLayoutRtl) != 0;
  std::optional<ScreenRect> buttons = g.captionButtons;
  if (buttons && d.rtl) buttons = Mirrored(*buttons, frame.left, frame.right);
  int stripTop = frame.top;
  int stripBottom = frame.top + strip;
  int buttonsLeft = 0;
  const bool buttonsKnown = buttons && !buttons->Empty() && buttons->left > frame.left &&
                            buttons->right <= frame.right && buttons->top >= frame.top &&
                            buttons->bottom <= frame.bottom;
  if (buttonsKnown) {
    stripTop = buttons->top;
    stripBottom = buttons->bottom;
    buttonsLeft = buttons->left;
  } else {
    // The metric is narrower than the buttons that programs drawing their own
    // caption put there (46 pixels at 100 %), so the wider of the two counts.
    buttonsLeft = frame.right - 3 * std::max(g.buttonWidth, Scaled(46, dpi));
  }

  const int font = g.captionFontPixels > 0 ? g.captionFontPixels : Scaled(12, dpi);
  const int padX = Scaled(8, dpi);
  d.gap = Scaled(8, dpi);
  // A little of the strip shows above and below the plate.
  const int height = std::min(font + Scaled(8, dpi), stripBottom - stripTop - Scaled(4, dpi));
  const int width = std::max(0, measure.TextWidth(text, font)) + 2 * padX;
  const int left = buttonsLeft - d.gap - width;
  if (height <= 0 || left < frame.left + d.gap) return verdict(OverlayVerdict::kNoRoom);
  const int top = stripTop + (stripBottom - stripTop - height) / 2;
  d.verdict = OverlayVerdict::kShow;
  ScreenRect bounds = {left, top, left + width, top + height};
  d.farEdge = frame.left + d.gap;
  if (d.rtl) {
    bounds = Mirrored(bounds, frame.left, frame.right);
    d.farEdge = frame.right - d.gap;
  }
  d.placement = {bounds, font, dpi};
  return d;
}

ScreenRect Shifted(const OverlayDecision& slot, int shift) {
  ScreenRect r = slot.placement.bounds;
  const int by = slot.rtl ? shift : -shift;
  r.left += by;
  r.right += by;
  return r;
}

CaptionSpan FindCaptionSpan(const OverlayDecision& slot, WindowHandle target, CaptionHitTest& hits) {
  // Each question goes to another program; a caption full of tabs costs a
  // bounded number of them.
  constexpr int kMostQuestions = 64;
  const ScreenRect first = slot.placement.bounds;
  const int width = first.Width();
  const int height = first.Height();
  if (width <= 0 || height <= 0) return {};
  const int step = std::max(4, height);
  const int rows[3] = {first.top + height / 2, first.top + std::min(1, height - 1), first.bottom - 1 - std::min(1, height - 1)};
  int questions = 0;
  for (int shift = 0;;) {
    const ScreenRect r = Shifted(slot, shift);
    if (slot.rtl ? r.right > slot.farEdge : r.left < slot.farEdge) return {};
    // From the end by the buttons outward: the middle row all along, the
    // corners at both ends.
    int blocked = -1;
    for (int along = 0; blocked < 0; along = std::min(along + step, width - 1)) {
      const int x = slot.rtl ? r.left + along : r.right - 1 - along;
      const bool end = along == 0 || along == width - 1;
      for (int row = 0; row < (end ? 3 : 1) && blocked < 0; ++row) {
        if (++questions > kMostQuestions) return {};
        const HitAnswer a = hits.At(target, x, rows[row]);
        if (a == HitAnswer::kNoAnswer) return {CaptionSpan::kNoAnswer, 0};
        if (a == HitAnswer::kOther) blocked = along;
      }
      if (along == width - 1) break;
    }
    if (blocked < 0) return {CaptionSpan::kFound, shift};
    // The next slot begins past the control, a gap away from it.
    shift += blocked + std::max(slot.gap, height);
  }
}

ZOrderPlan PlanZOrder(const ZOrderFacts& f) {
  if (f.overlayDirectlyAbove && f.overlayTopmost == f.targetTopmost) return {};
  ZOrderPlan p;
  p.leaveTopmost = f.overlayTopmost && !f.targetTopmost;
  p.enterTopmost = !f.overlayTopmost && f.targetTopmost;
  if (f.targetTopmost) {
    p.insert = f.targetFirst ? ZInsert::kTopmost : ZInsert::kAfterWindowAbove;
  } else {
    // At the top of the windows that are not topmost: directly above a target
    // that is the first of them.
    p.insert = f.targetFirst || f.aboveIsTopmost ? ZInsert::kTop : ZInsert::kAfterWindowAbove;
  }
  return p;
}

std::string OverlayText(std::string_view pieces) {
  constexpr std::string_view kWideSpace = "\xE3\x80\x80";
  for (;;) {
    if (!pieces.empty() && (pieces.front() == ' ' || pieces.front() == '\t')) {
      pieces.remove_prefix(1);
    } else if (!pieces.empty() && (pieces.back() == ' ' || pieces.back() == '\t')) {
      pieces.remove_suffix(1);
    } else if (pieces.starts_with(kWideSpace)) {
      pieces.remove_prefix(kWideSpace.size());
    } else if (pieces.ends_with(kWideSpace)) {
      pieces.remove_suffix(kWideSpace.size());
    } else {
      return std::string(pieces);
    }
  }
}

CaptionOverlay::CaptionOverlay(WindowGeometrySource& geometry, OverlaySurface& surface, CaptionHitTest& hits)
    : geometry_(geometry), surface_(surface), hits_(hits) {}

void CaptionOverlay::Update(WindowHandle target, const std::string& text) {
  target_ = target;
  text_ = OverlayText(text);
  Place(true);
}

void CaptionOverlay::Follow() { Place(false); }

void CaptionOverlay::Place(bool ask) {
  if (target_ == 0) {
    verdict_ = OverlayVerdict::kGone;
    HideSurface();
    return;
  }
  WindowGeometry g;
  OverlayDecision d;
  if (geometry_.Read(target_, g)) d = PlaceOverlay(g, text_, surface_);
  if (d.verdict == OverlayVerdict::kShow) {
    const bool known = spanTarget_ == target_;
    const bool sameSize = known && g.frame.Width() == spanWidth_ && g.frame.Height() == spanHeight_ &&
                          d.placement.bounds.Width() == spanPlate_;
    if (ask || !sameSize) {
      const CaptionSpan span = FindCaptionSpan(d, target_, hits_);
      // A window that does not answer keeps its last answer; one that never
      // answered gets no plate.
      if (span.kind != CaptionSpan::kNoAnswer) {
        span_ = span;
        spanTarget_ = target_;
        spanWidth_ = g.frame.Width();
        spanHeight_ = g.frame.Height();
        spanPlate_ = d.placement.bounds.Width();
      } else if (!known) {
        span_ = {};
      }
    }
    if (span_.kind == CaptionSpan::kFound) {
      d.placement.bounds = Shifted(d, span_.shift);
    } else {
      d.verdict = OverlayVerdict::kNoFreeCaption;
    }
  }
  verdict_ = d.verdict;
  if (d.verdict != OverlayVerdict::kShow) {
    HideSurface();
    return;
  }
  if (shown_ && d.placement == placement_ && text_ == shownText_) {
    surface_.KeepAbove();
    return;
  }
  shown_ = surface_.Show(target_, d.placement, text_);
  if (!shown_) {
    verdict_ = OverlayVerdict::kNotWatched;
    return;
  }
  placement_ = d.placement;
  shownText_ = text_;
}

void CaptionOverlay::HideSurface() {
  if (!shown_) return;
  surface_.Hide();
  shown_ = false;
}

bool FrameCoalescer::Event() {
  if (timing_) {
    dirty_ = true;
    return false;
  }
  timing_ = true;
  return true;
}

bool FrameCoalescer::Frame() {
  if (dirty_) {
    dirty_ = false;
    return true;
  }
  timing_ = false;
  return false;
}

std::vector<std::uint32_t> PaintPlate(int width, int height, int radius,
                                      const std::vector<std::uint8_t>& coverage) {
  if (width <= 0 || height <= 0) return {};
  std::vector<std::uint32_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height));
  const double r = std::clamp(radius, 0, std::min(width, height) / 2);
  // How much of a pixel lies inside the rounded rectangle inset by `inset`.
  const auto inside = [&](double px, double py, double inset) {
    const double rr = std::max(r - inset, 0.0);
    const double left = inset + rr, right = width - inset - rr, top = inset + rr,
                 bottom = height - inset - rr;
    const double dx = std::max({left - px, 0.0, px - right});
    const double dy = std::max({top - py, 0.0, py - bottom});
    return std::clamp(rr - std::sqrt(dx * dx + dy * dy) + 0.5, 0.0, 1.0);
  };
  constexpr double kPlate[3] = {32, 30, 30};  // B, G, R
  constexpr double kEdge[3] = {150, 146, 146};
  constexpr double kPlateAlpha = 0.80;
  constexpr double kEdgeAlpha = 0.85;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const size_t i = static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x);
      const double shape = inside(x + 0.5, y + 0.5, 0.0);
      // A thin light rim keeps the plate apart from a dark title bar.
      const double rim = shape - inside(x + 0.5, y + 0.5, 1.0);
      const double edgeShare = shape > 0 ? rim / shape : 0;
      double colour[3];
      for (int c = 0; c < 3; ++c) colour[c] = kPlate[c] + (kEdge[c] - kPlate[c]) * edgeShare;
      double alpha = shape * (kPlateAlpha + (kEdgeAlpha - kPlateAlpha) * edgeShare);
      const double t = i < coverage.size() ? coverage[i] / 255.0 * shape : 0.0;
      for (double& c : colour) c += (255 - c) * t;
      alpha += (1 - alpha) * t;
      const auto channel = [alpha](double v) {
        return static_cast<std::uint32_t>(std::lround(std::clamp(v * alpha, 0.0, 255.0)));
      };
      const std::uint32_t a = static_cast<std::uint32_t>(std::lround(alpha * 255));
      pixels[i] = (a << 24) | (channel(colour[2]) << 16) | (channel(colour[1]) << 8) | channel(colour[0]);
    }
  }
  return pixels;
}

}  // namespace kestrova

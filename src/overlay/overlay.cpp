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
  if (!g.hasCaption) return true;
  // A standard caption puts the client area a whole caption below the frame's
  // top; a program that takes the caption over starts its client area at the
  // top, give or take the resize border.
  return g.client.top < g.frame.top + CaptionStrip(g, ValidDpi(g.dpi)) / 2;
}

OverlayDecision PlaceOverlay(const WindowGeometry& g, std::string_view text, TextMeasure& measure) {
  OverlayDecision d;
  const auto verdict = [&d](OverlayVerdict v) {
    d.verdict = v;
    return d;
  };
  if (!g.exists) return verdict(OverlayVerdict::kGone);
  if (g.minimised) return verdict(OverlayVerdict::kMinimised);
  if (g.cloaked) return verdict(OverlayVerdict::kCloaked);
  if (!g.front) return verdict(OverlayVerdict::kNotFront);
  const int dpi = ValidDpi(g.dpi);
  const int strip = CaptionStrip(g, dpi);
  if (Absurd(g.frame) || !Intersect(g.frame, g.monitor) || g.frame.Height() < 2 * strip ||
      (g.hasCaption && Absurd(g.client))) {
    return verdict(OverlayVerdict::kBadBounds);
  }
  if (!DrawsOwnCaption(g)) return verdict(OverlayVerdict::kStandardCaption);
  if (g.frame.left <= g.monitor.left && g.frame.top <= g.monitor.top && g.frame.right >= g.monitor.right &&
      g.frame.bottom >= g.monitor.bottom) {
    return verdict(OverlayVerdict::kFillsMonitor);
  }
  if (text.empty()) return verdict(OverlayVerdict::kNoText);

  int stripTop = g.frame.top;
  int stripBottom = g.frame.top + strip;
  int buttonsLeft = 0;
  const bool buttonsKnown =
      g.captionButtons && !g.captionButtons->Empty() && g.captionButtons->left > g.frame.left &&
      g.captionButtons->right <= g.frame.right && g.captionButtons->top >= g.frame.top &&
      g.captionButtons->bottom <= g.frame.bottom;
  if (buttonsKnown) {
    stripTop = g.captionButtons->top;
    stripBottom = g.captionButtons->bottom;
    buttonsLeft = g.captionButtons->left;
  } else {
    // The metric is narrower than the buttons that programs drawing their own
    // caption put there (46 pixels at 100 %), so the wider of the two counts.
    buttonsLeft = g.frame.right - 3 * std::max(g.buttonWidth, Scaled(46, dpi));
  }

  const int font = g.captionFontPixels > 0 ? g.captionFontPixels : Scaled(12, dpi);
  const int padX = Scaled(8, dpi);
  const int gap = Scaled(8, dpi);
  // A little of the strip shows above and below the plate.
  const int height = std::min(font + Scaled(8, dpi), stripBottom - stripTop - Scaled(4, dpi));
  const int width = std::max(0, measure.TextWidth(text, font)) + 2 * padX;
  const int left = buttonsLeft - gap - width;
  if (height <= 0 || left < g.frame.left + gap) return verdict(OverlayVerdict::kNoRoom);
  const int top = stripTop + (stripBottom - stripTop - height) / 2;
  d.verdict = OverlayVerdict::kShow;
  d.placement = {{left, top, left + width, top + height}, font, dpi};
  return d;
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

CaptionOverlay::CaptionOverlay(WindowGeometrySource& geometry, OverlaySurface& surface)
    : geometry_(geometry), surface_(surface) {}

void CaptionOverlay::Update(WindowHandle target, const std::string& text) {
  target_ = target;
  text_ = OverlayText(text);
  Place();
}

void CaptionOverlay::Follow() { Place(); }

void CaptionOverlay::Place() {
  if (target_ == 0) {
    verdict_ = OverlayVerdict::kGone;
    HideSurface();
    return;
  }
  WindowGeometry g;
  OverlayDecision d;
  if (geometry_.Read(target_, g)) d = PlaceOverlay(g, text_, surface_);
  verdict_ = d.verdict;
  if (d.verdict != OverlayVerdict::kShow) {
    HideSurface();
    return;
  }
  if (shown_ && d.placement == placement_ && text_ == shownText_) return;
  surface_.Show(target_, d.placement, text_);
  shown_ = true;
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

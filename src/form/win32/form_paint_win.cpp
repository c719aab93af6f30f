// Painting: the window's and the pages' backgrounds, drawn labels and links,
// pictures. Every colour and brush of the renderer lives here.
#include <algorithm>

#include "form/win32/form_win.h"
#include "form/win32/theme_win.h"
#include "platform/win32/text_win.h"

namespace kestrova::win32 {

namespace {

COLORREF ColorOf(const ControlSpec& c) {
  if (c.color == kSystemColor) return GetSysColor(COLOR_BTNTEXT);
  return RGB((c.color >> 16) & 0xFF, (c.color >> 8) & 0xFF, c.color & 0xFF);
}

}  // namespace

bool FormWindow::DrawnHere(const ControlSpec& c) {
  return c.kind == ControlKind::kLabel && (c.color != kSystemColor || (c.flags & kLink) != 0);
}

HBRUSH FormWindow::ClassBackground() { return reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1); }

bool FormWindow::PaintMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (msg) {
    case WM_DRAWITEM:
      DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      result = TRUE;
      return true;
    case WM_CTLCOLORSTATIC: {
      // A read-only text box keeps the look of a text box.
      const ControlSpec* c = SpecOf(reinterpret_cast<HWND>(lParam));
      HDC dc = reinterpret_cast<HDC>(wParam);
      if (c != nullptr && c->kind == ControlKind::kTextBox) {
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        SetBkColor(dc, GetSysColor(COLOR_WINDOW));
        result = reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
        return true;
      }
      if (c != nullptr && c->page >= 0) {
        SetBkMode(dc, TRANSPARENT);
        result = reinterpret_cast<LRESULT>(Background(*c, reinterpret_cast<HWND>(lParam), dc));
        return true;
      }
      return false;
    }
    case WM_THEMECHANGED:
    case WM_SYSCOLORCHANGE:
      DropPageBrush();
      return false;
    default:
      return false;
  }
}

void FormWindow::DrawItem(const DRAWITEMSTRUCT& d) {
  const ControlSpec* c = model_.Find(static_cast<int>(d.CtlID));
  auto it = painters_.find(static_cast<int>(d.CtlID));
  auto image = images_.find(static_cast<int>(d.CtlID));
  if (c != nullptr && DrawnHere(*c)) {
    DrawLabels(d.hDC, d.rcItem, *c);
  } else if (it != painters_.end() && it->second) {
    it->second(d.hDC, d.rcItem);
  } else if (image != images_.end() && image->second != nullptr) {
    FillRect(d.hDC, &d.rcItem, Background(*c, d.hwndItem, d.hDC));
    DrawIconEx(d.hDC, d.rcItem.left, d.rcItem.top, image->second, 0, 0, 0, nullptr, DI_NORMAL);
  } else if (c != nullptr && c->color != kSystemColor) {
    HBRUSH brush = CreateSolidBrush(ThemeFillColor(ColorOf(*c)));
    FillRect(d.hDC, &d.rcItem, brush);
    DeleteObject(brush);
  } else {
    FillRect(d.hDC, &d.rcItem,
             c != nullptr ? Background(*c, d.hwndItem, d.hDC) : GetSysColorBrush(COLOR_BTNFACE));
    if (c != nullptr && (c->flags & kWindowIcon) != 0 && icon_ != nullptr) {
      DrawIconEx(d.hDC, d.rcItem.left, d.rcItem.top, icon_, d.rcItem.right - d.rcItem.left,
                 d.rcItem.bottom - d.rcItem.top, 0, nullptr, DI_NORMAL);
    }
  }
}

void FormWindow::Repaint(const ControlSpec& c, HWND control) {
  if (DrawnHere(c)) {
    RECT r = ParentRect(control);
    RedrawWindow(hwnd_, &r, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
  } else if (c.kind == ControlKind::kPicture) {
    InvalidateRect(control, nullptr, TRUE);
  }
}

// A theme may draw the tab control's body in another colour than the window: page controls
// take a brush made of the body's own picture, aligned to where each control lies on it.
HBRUSH FormWindow::Background(const ControlSpec& c, HWND control, HDC dc) {
  if (HBRUSH themed = ThemePageBrush()) return themed;
  HWND tab = nullptr;
  for (const ControlSpec& t : model_.Spec().controls) {
    if (t.kind == ControlKind::kTab && c.page >= 0) tab = Control(t.id);
  }
  if (tab == nullptr) return GetSysColorBrush(COLOR_BTNFACE);
  if (pageBrush_ == nullptr) {
    RECT rc = {};
    GetClientRect(tab, &rc);
    HDC screen = GetDC(tab);
    HDC mem = CreateCompatibleDC(screen);
    pageBitmap_ = CreateCompatibleBitmap(screen, std::max(1L, rc.right), std::max(1L, rc.bottom));
    ReleaseDC(tab, screen);
    HGDIOBJ old = SelectObject(mem, pageBitmap_);
    FillRect(mem, &rc, GetSysColorBrush(COLOR_BTNFACE));
    SendMessageW(tab, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(mem), PRF_CLIENT | PRF_ERASEBKGND);
    SelectObject(mem, old);
    DeleteDC(mem);
    pageBrush_ = CreatePatternBrush(pageBitmap_);
    if (pageBrush_ == nullptr) return GetSysColorBrush(COLOR_BTNFACE);
  }
  POINT at = {0, 0};
  MapWindowPoints(control, tab, &at, 1);
  SetBrushOrgEx(dc, -at.x, -at.y, nullptr);
  return pageBrush_;
}

void FormWindow::DropPageBrush() {
  if (pageBrush_ != nullptr) DeleteObject(pageBrush_);
  if (pageBitmap_ != nullptr) DeleteObject(pageBitmap_);
  pageBrush_ = nullptr;
  pageBitmap_ = nullptr;
}

void FormWindow::DrawLabels(HDC dc, const RECT& area, const ControlSpec& target) {
  FillRect(dc, &area, Background(target, Control(target.id), dc));
  SetBkMode(dc, TRANSPARENT);
  const RECT own = ParentRect(Control(target.id));
  // In table order: an earlier row lies under a later one.
  for (const ControlSpec& c : model_.Spec().controls) {
    HWND control = Control(c.id);
    RECT r = ParentRect(control);
    RECT overlap = {};
    if (!DrawnHere(c) || !Shown(c) || !IntersectRect(&overlap, &r, &own)) continue;
    OffsetRect(&r, area.left - own.left, area.top - own.top);
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    HFONT underlined = nullptr;
    if (model_.Value(c.id) == 1) {
      LOGFONTW lf = {};
      GetObjectW(font != nullptr ? font : GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
      lf.lfUnderline = TRUE;
      underlined = CreateFontIndirectW(&lf);
    }
    HGDIOBJ old = SelectObject(dc, underlined != nullptr ? underlined : font);
    SetTextColor(dc, ThemeLabelColor(ColorOf(c), model_.State(c.id).enabled));
    const std::wstring text = Widen(model_.Text(c.id));
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_LEFT | DT_WORDBREAK);
    SelectObject(dc, old);
    if (underlined != nullptr) DeleteObject(underlined);
  }
}

void FormWindow::PaintCaption(int id, HDC dc, const RECT& rect) {
  // The dark palette has a title bar colour of its own.
  const bool dark = OwnPainting();
  FillRect(dc, &rect, dark ? PaletteBrush(CurrentPalette().previewBack) : GetSysColorBrush(COLOR_ACTIVECAPTION));
  HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(Control(id), WM_GETFONT, 0, 0)));
  SetTextColor(dc, dark ? ToColorRef(CurrentPalette().previewText) : GetSysColor(COLOR_CAPTIONTEXT));
  SetBkMode(dc, TRANSPARENT);
  RECT text = rect;
  text.left += 4;
  text.right -= 4;
  const std::wstring caption = Widen(model_.Text(id));
  DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
            DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  SelectObject(dc, oldFont);
}

}  // namespace kestrova::win32

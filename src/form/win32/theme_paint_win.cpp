#include "form/win32/theme_paint_win.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "form/win32/theme_win.h"
#include "platform/win32/ui_win.h"

namespace kestrova::win32 {

namespace {

constexpr UINT_PTR kPaintSubclass = 0x4B44;

int Scaled(HWND control, int pixels) { return MulDiv(pixels, WindowDpi(control), 96); }

std::wstring TextOf(HWND hwnd) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

void Frame(HDC dc, const RECT& r, unsigned rgb, int width = 1) {
  HBRUSH brush = PaletteBrush(rgb);
  for (int i = 0; i < width; ++i) {
    RECT edge = {r.left + i, r.top + i, r.right - i, r.bottom - i};
    FrameRect(dc, &edge, brush);
  }
}

// A dotted rectangle in the palette's focus colour (DrawFocusRect's XOR is lost on dark grey).
void FocusFrame(HDC dc, RECT r) {
  HPEN pen = CreatePen(PS_DOT, 1, ToColorRef(CurrentPalette().focus));
  HGDIOBJ oldPen = SelectObject(dc, pen);
  HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
  SetBkMode(dc, TRANSPARENT);
  Rectangle(dc, r.left, r.top, r.right, r.bottom);
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
  DeleteObject(pen);
}

void Label(HDC dc, HWND control, RECT r, UINT format, unsigned rgb) {
  const std::wstring text = TextOf(control);
  SetTextColor(dc, ToColorRef(rgb));
  SetBkMode(dc, TRANSPARENT);
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, format);
}

void PaintPushButton(HWND b, HDC dc, const RECT& rc) {
  const Palette& p = CurrentPalette();
  const LRESULT state = SendMessageW(b, BM_GETSTATE, 0, 0);
  const bool enabled = IsWindowEnabled(b) != FALSE;
  const bool focused = GetFocus() == b;
  const bool isDefault = (GetWindowLongPtrW(b, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
  FillRect(dc, &rc, PaletteBrush((state & BST_PUSHED) ? p.buttonPressed : p.button));
  Frame(dc, rc, focused || isDefault ? p.focus : p.border, focused ? 2 : 1);
  Label(dc, b, rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE, enabled ? p.buttonText : p.disabledText);
  if (focused) {
    RECT f = rc;
    InflateRect(&f, -Scaled(b, 4), -Scaled(b, 4));
    FocusFrame(dc, f);
  }
}

// Check and option buttons: the box or circle, the mark, the text beside it.
void PaintCheck(HWND b, HDC dc, const RECT& rc, bool option) {
  const Palette& p = CurrentPalette();
  const bool enabled = IsWindowEnabled(b) != FALSE;
  const LRESULT check = SendMessageW(b, BM_GETCHECK, 0, 0);
  FillRect(dc, &rc, PaletteBrush(p.window));
  const int box = Scaled(b, 13);
  const int top = rc.top + (rc.bottom - rc.top - box) / 2;
  const RECT boxRect = {rc.left, top, rc.left + box, top + box};
  const unsigned ink = enabled ? p.text : p.disabledText;
  HPEN pen = CreatePen(PS_SOLID, 1, ToColorRef(ink));
  HGDIOBJ oldPen = SelectObject(dc, pen);
  HGDIOBJ oldBrush = SelectObject(dc, PaletteBrush(p.field));
  if (option) {
    Ellipse(dc, boxRect.left, boxRect.top, boxRect.right, boxRect.bottom);
    if (check == BST_CHECKED) {
      const int in = box / 4 + 1;
      SelectObject(dc, PaletteBrush(ink));
      Ellipse(dc, boxRect.left + in, boxRect.top + in, boxRect.right - in, boxRect.bottom - in);
    }
  } else {
    Rectangle(dc, boxRect.left, boxRect.top, boxRect.right, boxRect.bottom);
    if (check == BST_INDETERMINATE) {
      RECT in = boxRect;
      InflateRect(&in, -box / 4, -box / 4);
      FillRect(dc, &in, PaletteBrush(p.disabledText));
    } else if (check == BST_CHECKED) {
      HPEN mark = CreatePen(PS_SOLID, std::max(2, Scaled(b, 2)), ToColorRef(ink));
      SelectObject(dc, mark);
      const POINT tick[] = {{boxRect.left + box / 5, top + box / 2},
                            {boxRect.left + box * 2 / 5, top + box * 3 / 4},
                            {boxRect.right - box / 5, top + box / 4}};
      Polyline(dc, tick, 3);
      SelectObject(dc, pen);
      DeleteObject(mark);
    }
  }
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
  DeleteObject(pen);
  RECT text = {boxRect.right + Scaled(b, 4), rc.top, rc.right, rc.bottom};
  const bool multi = (GetWindowLongPtrW(b, GWL_STYLE) & BS_MULTILINE) != 0;
  UINT format = multi ? DT_WORDBREAK : DT_SINGLELINE | DT_VCENTER;
  if (multi) {
    // Centred as a block, as the button itself does.
    RECT need = text;
    const std::wstring s = TextOf(b);
    DrawTextW(dc, s.c_str(), static_cast<int>(s.size()), &need, DT_WORDBREAK | DT_CALCRECT);
    const int h = need.bottom - need.top;
    text.top = std::max(rc.top, rc.top + (rc.bottom - rc.top - h) / 2);
    text.bottom = text.top + h;
  }
  Label(dc, b, text, format, ink);
  if (GetFocus() == b) {
    RECT f = text;
    const std::wstring s = TextOf(b);
    DrawTextW(dc, s.c_str(), static_cast<int>(s.size()), &f, format | DT_CALCRECT);
    InflateRect(&f, 1, 1);
    FocusFrame(dc, f);
  }
}

// The caption on the frame's top line; the inside is left alone, the page's
// controls lie there.
void PaintGroup(HWND b, HDC dc, const RECT& rc) {
  const Palette& p = CurrentPalette();
  const std::wstring s = TextOf(b);
  SIZE size = {};
  GetTextExtentPoint32W(dc, s.c_str(), static_cast<int>(s.size()), &size);
  RECT frame = rc;
  frame.top += size.cy / 2;
  Frame(dc, frame, p.border);
  if (s.empty()) return;
  const int inset = Scaled(b, 8);
  RECT text = {rc.left + inset, rc.top, std::min(rc.right, rc.left + inset + size.cx + Scaled(b, 4)),
               rc.top + size.cy};
  FillRect(dc, &text, PaletteBrush(p.window));
  text.left += Scaled(b, 2);
  Label(dc, b, text, DT_LEFT | DT_SINGLELINE, IsWindowEnabled(b) ? p.text : p.disabledText);
}

void PaintTab(HWND tab, HDC dc, const RECT& rc) {
  const Palette& p = CurrentPalette();
  FillRect(dc, &rc, PaletteBrush(p.window));
  RECT display = rc;
  SendMessageW(tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
  InflateRect(&display, Scaled(tab, 2), Scaled(tab, 2));
  Frame(dc, display, p.border);
  const int count = static_cast<int>(SendMessageW(tab, TCM_GETITEMCOUNT, 0, 0));
  const int selected = static_cast<int>(SendMessageW(tab, TCM_GETCURSEL, 0, 0));
  for (int i = 0; i < count; ++i) {
    RECT item = {};
    if (!SendMessageW(tab, TCM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item))) continue;
    wchar_t text[128] = {};
    TCITEMW info = {};
    info.mask = TCIF_TEXT;
    info.pszText = text;
    info.cchTextMax = 128;
    SendMessageW(tab, TCM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&info));
    const bool shown = i == selected;
    if (shown) InflateRect(&item, Scaled(tab, 2), Scaled(tab, 2));
    FillRect(dc, &item, PaletteBrush(shown ? p.window : p.tab));
    Frame(dc, item, shown ? p.text : p.border);
    SetTextColor(dc, ToColorRef(p.text));
    SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, text, -1, &item, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    if (shown && GetFocus() == tab) {
      InflateRect(&item, -Scaled(tab, 3), -Scaled(tab, 3));
      FocusFrame(dc, item);
    }
  }
}

// A triangle pointing `dir` (0 up, 1 right, 2 down, 3 left) centred in r.
void Arrow(HDC dc, const RECT& r, int dir, unsigned rgb) {
  const int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
  const int h = std::max(2, static_cast<int>(std::min(r.right - r.left, r.bottom - r.top)) / 4);
  POINT pts[3];
  switch (dir) {
    case 0:
      pts[0] = {cx - h, cy + h / 2}, pts[1] = {cx + h, cy + h / 2}, pts[2] = {cx, cy - h / 2 - 1};
      break;
    case 1:
      pts[0] = {cx - h / 2, cy - h}, pts[1] = {cx - h / 2, cy + h}, pts[2] = {cx + h / 2 + 1, cy};
      break;
    case 2:
      pts[0] = {cx - h, cy - h / 2}, pts[1] = {cx + h, cy - h / 2}, pts[2] = {cx, cy + h / 2 + 1};
      break;
    default:
      pts[0] = {cx + h / 2, cy - h}, pts[1] = {cx + h / 2, cy + h}, pts[2] = {cx - h / 2 - 1, cy};
      break;
  }
  HPEN pen = CreatePen(PS_SOLID, 1, ToColorRef(rgb));
  HGDIOBJ oldPen = SelectObject(dc, pen);
  HGDIOBJ oldBrush = SelectObject(dc, PaletteBrush(rgb));
  Polygon(dc, pts, 3);
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
  DeleteObject(pen);
}

// A drop-down list closed: the chosen item and the arrow.
void PaintCombo(HWND combo, HDC dc, const RECT& rc) {
  const Palette& p = CurrentPalette();
  const bool enabled = IsWindowEnabled(combo) != FALSE;
  FillRect(dc, &rc, PaletteBrush(p.field));
  Frame(dc, rc, p.border);
  const int button = GetSystemMetrics(SM_CXVSCROLL) * WindowDpi(combo) / WindowDpi(nullptr);
  RECT arrow = {rc.right - button, rc.top + 1, rc.right - 1, rc.bottom - 1};
  FillRect(dc, &arrow, PaletteBrush(p.button));
  Arrow(dc, arrow, 2, enabled ? p.text : p.disabledText);
  RECT text = {rc.left + 2, rc.top + 2, arrow.left - 1, rc.bottom - 2};
  const bool focused = GetFocus() == combo && SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0) == FALSE;
  if (focused) FillRect(dc, &text, PaletteBrush(p.selection));
  const LRESULT chosen = SendMessageW(combo, CB_GETCURSEL, 0, 0);
  if (chosen >= 0) {
    std::wstring item(static_cast<size_t>(std::max<LRESULT>(0, SendMessageW(combo, CB_GETLBTEXTLEN, chosen, 0))) + 1,
                      L'\0');
    SendMessageW(combo, CB_GETLBTEXT, chosen, reinterpret_cast<LPARAM>(item.data()));
    SetTextColor(dc, ToColorRef(!enabled ? p.disabledText : focused ? p.selectionText : p.fieldText));
    SetBkMode(dc, TRANSPARENT);
    RECT t = text;
    t.left += 2;
    DrawTextW(dc, item.c_str(), -1, &t, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
  }
  if (focused) FocusFrame(dc, text);
}

// A scroll bar (`which`: SB_CTL, or a window's own SB_VERT): its track,
// arrows and thumb where the bar says.
void PaintScroll(HWND bar, int which, HDC dc, const RECT& rc, bool vertical) {
  const Palette& p = CurrentPalette();
  const unsigned ink = IsWindowEnabled(bar) ? p.text : p.disabledText;
  FillRect(dc, &rc, PaletteBrush(p.field));
  const int length = vertical ? rc.bottom - rc.top : rc.right - rc.left;
  const int thick = vertical ? rc.right - rc.left : rc.bottom - rc.top;
  const int arrow = std::min(thick, length / 2);
  RECT first = rc, last = rc;
  if (vertical) {
    first.bottom = rc.top + arrow;
    last.top = rc.bottom - arrow;
  } else {
    first.right = rc.left + arrow;
    last.left = rc.right - arrow;
  }
  for (const RECT* r : {&first, &last}) {
    FillRect(dc, r, PaletteBrush(p.button));
    Frame(dc, *r, p.border);
  }
  Arrow(dc, first, vertical ? 0 : 3, ink);
  Arrow(dc, last, vertical ? 2 : 1, ink);
  SCROLLINFO si = {sizeof(si), SIF_ALL, 0, 0, 0, 0, 0};
  GetScrollInfo(bar, which, &si);
  const int track = length - 2 * arrow;
  const int span = si.nMax - si.nMin + 1 - static_cast<int>(std::max<UINT>(si.nPage, 1)) + 1;
  if (track <= 0 || span <= 0) return;
  const int thumb = std::max(thick / 2, si.nPage > 0 ? MulDiv(track, static_cast<int>(si.nPage), si.nMax - si.nMin + 1) : thick);
  const int pos = (GetCapture() == bar ? si.nTrackPos : si.nPos) - si.nMin;
  const int at = arrow + (span > 1 ? MulDiv(track - thumb, pos, span - 1) : 0);
  RECT t = rc;
  if (vertical) {
    t.top = rc.top + at;
    t.bottom = t.top + thumb;
  } else {
    t.left = rc.left + at;
    t.right = t.left + thumb;
  }
  FillRect(dc, &t, PaletteBrush(p.border));
  if (which == SB_CTL && GetFocus() == bar) FocusFrame(dc, t);
}

// A list's own scroll bar lies in its frame, where Windows draws it light.
void PaintFrameScroll(HWND list) {
  SCROLLBARINFO info = {};
  info.cbSize = sizeof(info);
  if (!GetScrollBarInfo(list, OBJID_VSCROLL, &info) ||
      (info.rgstate[0] & (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN)) != 0) {
    return;
  }
  RECT frame = {};
  GetWindowRect(list, &frame);
  RECT rc = info.rcScrollBar;
  OffsetRect(&rc, -frame.left, -frame.top);
  HDC dc = GetWindowDC(list);
  PaintScroll(list, SB_VERT, dc, rc, true);
  ReleaseDC(list, dc);
}

// Messages after which a list may have drawn its scroll bar again.
bool MovesFrameScroll(UINT msg) {
  switch (msg) {
    case WM_NCPAINT:
    case WM_NCACTIVATE:
    case WM_VSCROLL:
    case WM_MOUSEWHEEL:
    case WM_KEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONUP:
    case WM_NCMOUSEMOVE:
    case WM_TIMER:
    case WM_SIZE:
    case WM_ENABLE:
    case WM_THEMECHANGED:
    case LB_SETTOPINDEX:
    case LB_SETCURSEL:
    case LB_ADDSTRING:
    case LB_INSERTSTRING:
    case LB_DELETESTRING:
    case LB_RESETCONTENT:
      return true;
    default:
      return false;
  }
}

void PaintControl(HWND control, ControlKind kind, HDC dc) {
  RECT rc = {};
  GetClientRect(control, &rc);
  HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)));
  switch (kind) {
    case ControlKind::kButton:
      PaintPushButton(control, dc, rc);
      break;
    case ControlKind::kCheckBox:
    case ControlKind::kOptionButton:
      PaintCheck(control, dc, rc, kind == ControlKind::kOptionButton);
      break;
    case ControlKind::kFrame:
      PaintGroup(control, dc, rc);
      break;
    case ControlKind::kTab:
      PaintTab(control, dc, rc);
      break;
    case ControlKind::kComboList:
      PaintCombo(control, dc, rc);
      break;
    case ControlKind::kHScroll:
    case ControlKind::kVScroll:
      PaintScroll(control, SB_CTL, dc, rc, kind == ControlKind::kVScroll);
      break;
    default:
      break;
  }
  SelectObject(dc, oldFont);
}

// Messages after which a button draws itself at once, outside WM_PAINT.
bool RedrawsItself(UINT msg) {
  switch (msg) {
    case BM_SETSTATE:
    case BM_SETCHECK:
    case BM_SETSTYLE:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
    case WM_SETTEXT:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_MOUSEMOVE:
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CAPTURECHANGED:
    case WM_UPDATEUISTATE:
    case TCM_SETCURSEL:
    case CB_SETCURSEL:
    case SBM_SETSCROLLINFO:
    case SBM_SETPOS:
    case SBM_SETRANGE:
      return true;
    default:
      return false;
  }
}

LRESULT CALLBACK PaintProc(HWND control, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR data) {
  const auto kind = static_cast<ControlKind>(data);
  if (msg == WM_NCDESTROY) {
    RemoveWindowSubclass(control, &PaintProc, id);
    return DefSubclassProc(control, msg, wParam, lParam);
  }
  if (!OwnPainting()) return DefSubclassProc(control, msg, wParam, lParam);
  if (kind == ControlKind::kListBox) {  // the items come in the palette's colours; only its bar is ours
    const LRESULT result = DefSubclassProc(control, msg, wParam, lParam);
    if (MovesFrameScroll(msg) || (msg == WM_MOUSEMOVE && GetCapture() == control)) PaintFrameScroll(control);
    return result;
  }
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(control, &ps);
      PaintControl(control, kind, dc);
      EndPaint(control, &ps);
      return 0;
    }
    case WM_PRINTCLIENT:
      PaintControl(control, kind, reinterpret_cast<HDC>(wParam));
      return 0;
    default:
      break;
  }
  const LRESULT result = DefSubclassProc(control, msg, wParam, lParam);
  if (RedrawsItself(msg) && (msg != WM_MOUSEMOVE || GetCapture() == control)) {
    RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  }
  return result;
}

bool IsClass(HWND hwnd, const wchar_t* name) {
  wchar_t cls[32] = {};
  GetClassNameW(hwnd, cls, 32);
  return lstrcmpiW(cls, name) == 0;
}

LRESULT Colors(HDC dc, unsigned text, unsigned back) {
  SetTextColor(dc, ToColorRef(text));
  SetBkColor(dc, ToColorRef(back));
  return reinterpret_cast<LRESULT>(PaletteBrush(back));
}

}  // namespace

void SubclassForPainting(HWND control, ControlKind kind) {
  switch (kind) {
    case ControlKind::kButton:
    case ControlKind::kCheckBox:
    case ControlKind::kOptionButton:
    case ControlKind::kFrame:
    case ControlKind::kTab:
    case ControlKind::kComboList:
    case ControlKind::kHScroll:
    case ControlKind::kVScroll:
    case ControlKind::kListBox:
      SetWindowSubclass(control, &PaintProc, kPaintSubclass, static_cast<DWORD_PTR>(kind));
      break;
    default:
      break;
  }
}

bool PaletteColors(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  const Palette& p = CurrentPalette();
  HDC dc = reinterpret_cast<HDC>(wParam);
  HWND control = reinterpret_cast<HWND>(lParam);
  switch (msg) {
    case WM_ERASEBKGND: {
      RECT rc = {};
      GetClientRect(window, &rc);
      FillRect(dc, &rc, PaletteBrush(p.window));
      result = 1;
      return true;
    }
    case WM_CTLCOLORSTATIC:
      // A read-only or disabled text box keeps the look of a text box.
      if (IsClass(control, L"EDIT")) {
        result = Colors(dc, IsWindowEnabled(control) ? p.fieldText : p.disabledText, p.field);
      } else {
        result = Colors(dc, IsWindowEnabled(control) ? p.text : p.disabledText, p.window);
      }
      return true;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
      result = Colors(dc, IsWindowEnabled(control) ? p.fieldText : p.disabledText, p.field);
      return true;
    case WM_CTLCOLORSCROLLBAR:
      result = Colors(dc, p.text, p.field);
      return true;
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
      result = Colors(dc, p.text, p.window);
      return true;
    default:
      return false;
  }
}

}  // namespace kestrova::win32

#include "form/win32/form_win.h"

#include <commctrl.h>

#include <algorithm>

#include "form/win32/theme_win.h"
#include "platform/win32/text_win.h"
#include "platform/win32/ui_win.h"

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

namespace kestrova::win32 {

namespace {

constexpr wchar_t kFormClass[] = L"KestrovaForm";
// No WS_CLIPCHILDREN: a frame never paints its own inside, so the window's
// background must reach under it (clipped, the inside showed black).
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
// A drop-down list's window includes its list; the table gives the closed height.
constexpr int kDropHeightTwips = 2400;

void RegisterOnce(WNDPROC proc) {
  static const bool registered = [proc] {
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_TAB_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kFormClass;
    return RegisterClassExW(&wc) != 0;
  }();
  (void)registered;
}

struct ClassAndStyle {
  const wchar_t* cls;
  DWORD style;
  DWORD exStyle;
};

// By ControlKind, in its order; the flags add the rest.
constexpr ClassAndStyle kClasses[] = {
    {L"STATIC", SS_LEFT, 0},
    {L"EDIT", 0, WS_EX_CLIENTEDGE},
    {L"BUTTON", BS_PUSHBUTTON, 0},
    {L"BUTTON", BS_3STATE, 0},  // clicks go 0 <-> 1 through the model; 2 only from the program
    {L"BUTTON", BS_RADIOBUTTON, 0},
    {L"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL, 0},
    {L"LISTBOX", LBS_NOTIFY | WS_VSCROLL, WS_EX_CLIENTEDGE},
    {L"SCROLLBAR", SBS_HORZ, 0},
    {L"SCROLLBAR", SBS_VERT, 0},
    {L"BUTTON", BS_GROUPBOX, 0},
    {L"STATIC", SS_OWNERDRAW | SS_NOTIFY, 0},
    {WC_TABCONTROLW, WS_CLIPSIBLINGS | TCS_MULTILINE, 0},
};

// Coloured labels and links: a static control cannot draw either.
bool DrawnHere(const ControlSpec& c) {
  return c.kind == ControlKind::kLabel && (c.color != kSystemColor || (c.flags & kLink) != 0);
}

DWORD StyleFor(const ControlSpec& c) {
  DWORD style = WS_CHILD | kClasses[static_cast<int>(c.kind)].style;
  const auto has = [&c](unsigned flag) { return (c.flags & flag) != 0; };
  if (has(kTabStop)) style |= WS_TABSTOP;
  if (has(kGroupStart)) style |= WS_GROUP;
  if (DrawnHere(c)) style = (style & ~SS_TYPEMASK) | SS_OWNERDRAW;
  if (c.kind == ControlKind::kLabel && has(kNotify | kLink)) style |= SS_NOTIFY;
  if (c.kind == ControlKind::kButton && has(kDefaultButton)) style |= BS_DEFPUSHBUTTON;
  if (c.kind == ControlKind::kCheckBox && has(kMultiLine)) style |= BS_MULTILINE;
  if (c.kind == ControlKind::kTextBox) {
    style |= has(kMultiLine) ? ES_MULTILINE | ES_AUTOVSCROLL : ES_AUTOHSCROLL;
    if (has(kReadOnly)) style |= ES_READONLY;
  }
  return style;
}

COLORREF ColorOf(const ControlSpec& c) {
  if (c.color == kSystemColor) return GetSysColor(COLOR_BTNTEXT);
  return RGB((c.color >> 16) & 0xFF, (c.color >> 8) & 0xFF, c.color & 0xFF);
}

std::wstring WindowText(HWND hwnd) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

// Text box selections: bytes of UTF-8 inside, UTF-16 units in the control.
int Utf16Offset(const std::string& text, int bytes) {
  return static_cast<int>(Widen(std::string_view(text).substr(0, static_cast<size_t>(bytes))).size());
}
int Utf8Offset(const std::wstring& text, DWORD units) {
  return static_cast<int>(Narrow(std::wstring_view(text).substr(0, units)).size());
}

int MouseButtons(WPARAM keys) {
  return ((keys & MK_LBUTTON) ? kLeftButton : 0) | ((keys & MK_RBUTTON) ? kRightButton : 0) |
         ((keys & MK_MBUTTON) ? kMiddleButton : 0);
}

}  // namespace

FormWindow::FormWindow(FormModel& model, HICON icon) : model_(model), icon_(icon) { model_.AttachView(this); }

FormWindow::~FormWindow() {
  if (hwnd_ != nullptr) DestroyWindow(hwnd_);
  model_.AttachView(nullptr);
  for (HFONT f : fonts_) DeleteObject(f);
  DropPageBrush();
}

bool FormWindow::Create(HWND owner, HWND anchor) {
  RegisterOnce(&Proc);
  HMONITOR monitor = MonitorFromWindow(anchor != nullptr ? anchor : owner, MONITOR_DEFAULTTOPRIMARY);
  MONITORINFO info = {};
  info.cbSize = sizeof(info);
  GetMonitorInfoW(monitor, &info);
  const FormSpec& spec = model_.Spec();
  // A main window goes where the platform puts new windows (only an overlapped
  // window gets that place); any other is made on its anchor's monitor first,
  // so that its DPI is the one laid out for.
  const bool main = owner == nullptr && anchor == nullptr;
  // A main window has a plain fixed border (and so shows its icon in the caption).
  const DWORD exStyle =
      (main ? kExStyle & ~WS_EX_DLGMODALFRAME : kExStyle) | (spec.topMost ? WS_EX_TOPMOST : 0);
  HWND hwnd =
      CreateWindowExW(exStyle, kFormClass, Widen(spec.caption).c_str(), main ? kStyle & ~WS_POPUP : kStyle,
                      main ? CW_USEDEFAULT : info.rcWork.left, main ? CW_USEDEFAULT : info.rcWork.top, 100,
                      100, owner, nullptr, GetModuleHandleW(nullptr), this);
  if (hwnd == nullptr) return false;
  if (icon_ != nullptr) {
    SendMessageW(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    SendMessageW(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
  }
  CreateControls();
  Layout(WindowDpi(hwnd));
  for (const ControlSpec& c : spec.controls) Push(c.id);
  PlacePages();
  ApplyTheme(hwnd);  // theme: title bar, control themes, palette
  if (main) {
    // The default place was chosen for a default size: keep the whole window on screen.
    info.cbSize = sizeof(info);
    GetMonitorInfoW(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &info);
    RECT rc = {};
    GetWindowRect(hwnd, &rc);
    const RECT& work = info.rcWork;
    const int x = std::max(work.left, std::min(rc.left, work.right - (rc.right - rc.left)));
    const int y = std::max(work.top, std::min(rc.top, work.bottom - (rc.bottom - rc.top)));
    if (x != rc.left || y != rc.top)
      SetWindowPos(hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  return true;
}

HWND FormWindow::Control(int id) const {
  auto it = controls_.find(id);
  return it == controls_.end() ? nullptr : it->second;
}

void FormWindow::CreateControls() {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                             0, 0, 0, 0, hwnd_, nullptr, instance, nullptr);
  for (const ControlSpec& c : model_.Spec().controls) {
    const ClassAndStyle& cs = kClasses[static_cast<int>(c.kind)];
    HWND control =
        CreateWindowExW(cs.exStyle, cs.cls, Widen(c.caption).c_str(), StyleFor(c), 0, 0, 0, 0, hwnd_,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), instance, nullptr);
    controls_[c.id] = control;
    ThemeControl(control, c.kind);  // theme: own painting in the dark palette
    if (c.kind == ControlKind::kPicture) {
      SetWindowSubclass(control, &PictureProc, static_cast<UINT_PTR>(c.id),
                        reinterpret_cast<DWORD_PTR>(this));
      if (c.image != 0) {
        images_[c.id] = static_cast<HCURSOR>(
            LoadImageW(instance, MAKEINTRESOURCEW(c.image), IMAGE_CURSOR, 0, 0, LR_SHARED));
      }
    }
    // Page controls lie over the tab control, which must not paint over them.
    if (c.kind == ControlKind::kTab) {
      SetWindowPos(control, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    if (*c.tooltip != '\0' && tooltip_ != nullptr) {
      std::wstring tip = Widen(c.tooltip);
      TOOLINFOW ti = {};
      ti.cbSize = sizeof(ti);
      ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
      ti.hwnd = hwnd_;
      ti.uId = reinterpret_cast<UINT_PTR>(control);
      ti.lpszText = tip.data();
      SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    }
  }
}

void FormWindow::SetTooltip(int id, const std::string& text) {
  HWND control = Control(id);
  if (tooltip_ == nullptr || control == nullptr) return;
  std::wstring tip = Widen(text);
  TOOLINFOW ti = {};
  ti.cbSize = sizeof(ti);
  ti.hwnd = hwnd_;
  ti.uId = reinterpret_cast<UINT_PTR>(control);
  ti.lpszText = tip.data();
  SendMessageW(tooltip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
}

void FormWindow::Layout(int dpi) {
  dpi_ = dpi;
  std::vector<HFONT> old = std::move(fonts_);
  fonts_.clear();
  HFONT ui = CreateUiFont(dpi);
  fonts_.push_back(ui);
  for (const ControlSpec& c : model_.Spec().controls) {
    const TwipRect& r = c.rect;
    const int height = c.kind == ControlKind::kComboList ? r.height + kDropHeightTwips : r.height;
    HWND control = Control(c.id);
    SetWindowPos(control, nullptr, TwipsToPixels(r.left, dpi), TwipsToPixels(r.top, dpi),
                 TwipsToPixels(r.width, dpi), TwipsToPixels(height, dpi), SWP_NOZORDER | SWP_NOACTIVATE);
    HFONT font = ui;
    if (c.fontName != nullptr) {
      LOGFONTW lf = {};
      lf.lfHeight = -MulDiv(c.fontTenthPoints, dpi, 720);
      lf.lfCharSet = DEFAULT_CHARSET;
      lstrcpynW(lf.lfFaceName, Widen(c.fontName).c_str(), LF_FACESIZE);
      font = CreateFontIndirectW(&lf);
      fonts_.push_back(font);
    }
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  }
  // The client area in twips; the frame for this DPI around it.
  const FormSpec& spec = model_.Spec();
  RECT rc = {0, 0, TwipsToPixels(spec.clientWidth, dpi), TwipsToPixels(spec.clientHeight, dpi)};
  using AdjustForDpiFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
  static const auto adjustForDpi = User32Function<AdjustForDpiFn>("AdjustWindowRectExForDpi");
  const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_STYLE));
  const DWORD exStyle = static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE));
  const BOOL menu = GetMenu(hwnd_) != nullptr;
  if (adjustForDpi == nullptr || !adjustForDpi(&rc, style, menu, exStyle, static_cast<UINT>(dpi))) {
    AdjustWindowRectEx(&rc, style, menu, exStyle);
  }
  SetWindowPos(hwnd_, nullptr, 0, 0, rc.right - rc.left, rc.bottom - rc.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  for (HFONT f : old) DeleteObject(f);
  PlacePages();
}

void FormWindow::PlacePages() {
  DropPageBrush();
  const ControlSpec* tab = nullptr;
  for (const ControlSpec& c : model_.Spec().controls) {
    if (c.kind == ControlKind::kTab) tab = &c;
  }
  if (tab == nullptr || Control(tab->id) == nullptr) return;
  // Page rectangles start at the display area, which multi-line tabs move down.
  RECT display = {};
  GetClientRect(Control(tab->id), &display);
  SendMessageW(Control(tab->id), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
  const int left = TwipsToPixels(tab->rect.left, dpi_) + display.left;
  const int top = TwipsToPixels(tab->rect.top, dpi_) + display.top;
  for (const ControlSpec& c : model_.Spec().controls) {
    if (c.page < 0) continue;
    const TwipRect& r = c.rect;
    const int height = c.kind == ControlKind::kComboList ? r.height + kDropHeightTwips : r.height;
    SetWindowPos(Control(c.id), nullptr, left + TwipsToPixels(r.left, dpi_), top + TwipsToPixels(r.top, dpi_),
                 TwipsToPixels(r.width, dpi_), TwipsToPixels(height, dpi_), SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void FormWindow::SetMenu(HMENU menu) {
  if (hwnd_ == nullptr) return;
  const bool had = GetMenu(hwnd_) != nullptr;
  ::SetMenu(hwnd_, menu);
  if (had != (menu != nullptr)) {
    Layout(dpi_);
  } else {
    DrawMenuBar(hwnd_);
  }
}

int FormWindow::FirstWith(unsigned flag) const {
  for (const ControlSpec& c : model_.Spec().controls) {
    if (c.flags & flag) return c.id;
  }
  return 0;
}

const ControlSpec* FormWindow::SpecOf(HWND control) const {
  for (const auto& [id, hwnd] : controls_) {
    if (hwnd == control) return model_.Find(id);
  }
  return nullptr;
}

void FormWindow::ControlChanged(int id) {
  if (hwnd_ == nullptr || id == reporting_) return;
  const ControlSpec* c = model_.Find(id);
  const bool tab = c != nullptr && c->kind == ControlKind::kTab;
  const size_t rows = tab ? static_cast<size_t>(SendMessageW(Control(id), TCM_GETROWCOUNT, 0, 0)) : 0;
  Push(id);
  if (!tab) return;
  if (static_cast<size_t>(SendMessageW(Control(id), TCM_GETROWCOUNT, 0, 0)) != rows) PlacePages();
  ShowPages();
}

void FormWindow::Push(int id) {
  const ControlSpec* c = model_.Find(id);
  HWND control = Control(id);
  if (c == nullptr || control == nullptr) return;
  const ControlState& s = model_.State(id);
  pushing_ = true;
  const std::wstring text = Widen(s.text);
  switch (c->kind) {
    case ControlKind::kComboList:
    case ControlKind::kListBox: {
      const bool combo = c->kind == ControlKind::kComboList;
      std::vector<std::string>& shown = shownItems_[id];
      if (shown != s.items) {
        SendMessageW(control, combo ? CB_RESETCONTENT : LB_RESETCONTENT, 0, 0);
        for (const std::string& item : s.items) {
          SendMessageW(control, combo ? CB_ADDSTRING : LB_ADDSTRING, 0,
                       reinterpret_cast<LPARAM>(Widen(item).c_str()));
        }
        shown = s.items;
      }
      SendMessageW(control, combo ? CB_SETCURSEL : LB_SETCURSEL, static_cast<WPARAM>(s.value), 0);
      break;
    }
    case ControlKind::kHScroll:
    case ControlKind::kVScroll: {
      SCROLLINFO si = {sizeof(si), SIF_RANGE | SIF_POS, s.min, s.max, 0, s.value, 0};
      SetScrollInfo(control, SB_CTL, &si, TRUE);
      break;
    }
    case ControlKind::kTab: {
      std::vector<std::string>& shown = shownItems_[id];
      if (shown != s.items) {
        SendMessageW(control, TCM_DELETEALLITEMS, 0, 0);
        for (size_t i = 0; i < s.items.size(); ++i) {
          std::wstring page = Widen(s.items[i]);
          TCITEMW item = {};
          item.mask = TCIF_TEXT;
          item.pszText = page.data();
          SendMessageW(control, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
        }
        shown = s.items;
      }
      SendMessageW(control, TCM_SETCURSEL, static_cast<WPARAM>(s.value), 0);
      break;
    }
    case ControlKind::kLabel:
    case ControlKind::kPicture:
      if (DrawnHere(*c)) {
        // The labels it overlaps show part of it too.
        RECT r = ParentRect(control);
        RedrawWindow(hwnd_, &r, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
      } else if (c->kind == ControlKind::kPicture) {
        InvalidateRect(control, nullptr, TRUE);
      }
      [[fallthrough]];
    default:
      if (WindowText(control) != text) SetWindowTextW(control, text.c_str());
      break;
  }
  if (c->kind == ControlKind::kCheckBox || c->kind == ControlKind::kOptionButton) {
    const WPARAM check = s.value == 2 ? BST_INDETERMINATE : s.value == 1 ? BST_CHECKED : BST_UNCHECKED;
    SendMessageW(control, BM_SETCHECK, check, 0);
  }
  if (c->kind == ControlKind::kTextBox) {
    DWORD start = 0, end = 0;
    SendMessageW(control, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    const int wantStart = Utf16Offset(s.text, s.selStart);
    const int wantEnd = Utf16Offset(s.text, s.selStart + s.selLength);
    if (static_cast<int>(start) != wantStart || static_cast<int>(end) != wantEnd) {
      SendMessageW(control, EM_SETSEL, static_cast<WPARAM>(wantStart), wantEnd);
    }
  }
  EnableWindow(control, s.enabled);
  pushing_ = false;
  ShowWindow(control, Shown(*c) ? SW_SHOWNA : SW_HIDE);
}

bool FormWindow::Shown(const ControlSpec& c) const {
  if (!model_.State(c.id).visible) return false;
  if (c.page < 0) return true;
  for (const ControlSpec& tab : model_.Spec().controls) {
    if (tab.kind == ControlKind::kTab) return model_.Value(tab.id) == c.page;
  }
  return true;
}

RECT FormWindow::ParentRect(HWND control) const {
  RECT r = {};
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// A theme may draw the tab control's body in another colour than the window: page controls
// take a brush made of the body's own picture, aligned to where each control lies on it.
HBRUSH FormWindow::Background(const ControlSpec& c, HWND control, HDC dc) {
  if (HBRUSH themed = ThemePageBrush()) return themed;  // theme
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
    SetTextColor(dc, ThemeLabelColor(ColorOf(c), model_.State(c.id).enabled));  // theme
    const std::wstring text = Widen(model_.Text(c.id));
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_LEFT | DT_WORDBREAK);
    SelectObject(dc, old);
    if (underlined != nullptr) DeleteObject(underlined);
  }
}

void FormWindow::ShowPages() {
  for (const ControlSpec& c : model_.Spec().controls)
    ShowWindow(Control(c.id), Shown(c) ? SW_SHOWNA : SW_HIDE);
}

void FormWindow::Show(bool visible) {
  if (hwnd_ != nullptr) ShowWindow(hwnd_, visible ? SW_SHOW : SW_HIDE);
}

// WM_NEXTDLGCTL is for dialog procedures; this window is an ordinary one.
void FormWindow::Focus(int id) {
  HWND control = Control(id);
  if (control == nullptr || !IsWindowVisible(control) || !IsWindowEnabled(control)) return;
  if (GetActiveWindow() == hwnd_) {
    SetFocus(control);
  } else {
    focus_ = control;  // taken when the window is activated
  }
}

void FormWindow::EnableOwner() {
  if (disabledOwner_ == nullptr) return;
  EnableWindow(disabledOwner_, TRUE);
  disabledOwner_ = nullptr;
}

void FormWindow::Close() {
  if (hwnd_ == nullptr) {
    model_.Unloaded();
    return;
  }
  EnableOwner();
  DestroyWindow(hwnd_);
}

void FormWindow::OnCommand(int id, int code, HWND control) {
  const ControlSpec* c = control != nullptr ? SpecOf(control) : nullptr;
  if (c == nullptr) {
    // Enter and Esc from the dialog manager.
    if (id == IDCANCEL) {
      if (const int cancel = FirstWith(kCancelButton)) {
        model_.UserClick(cancel);
      } else {
        model_.UserClose();
      }
    } else if (id == IDOK) {
      if (const int def = FirstWith(kDefaultButton)) model_.UserClick(def);
    }
    return;
  }
  if (pushing_) return;
  switch (c->kind) {
    case ControlKind::kButton:
      if (code == BN_CLICKED) model_.UserClick(c->id);
      break;
    case ControlKind::kCheckBox:
      if (code == BN_CLICKED) model_.UserValue(c->id, model_.Value(c->id) == 1 ? 0 : 1);
      break;
    case ControlKind::kOptionButton:
      if (code == BN_CLICKED) model_.UserValue(c->id, 1);
      break;
    case ControlKind::kLabel:
    case ControlKind::kPicture:
      if (code == STN_CLICKED) model_.UserClick(c->id);
      if (code == STN_DBLCLK) model_.UserDoubleClick(c->id);
      break;
    case ControlKind::kTextBox:
      if (code == EN_CHANGE || code == EN_KILLFOCUS) {
        const std::wstring text = WindowText(control);
        DWORD start = 0, end = 0;
        SendMessageW(control, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        // The control already shows this text and caret: not written back while reported.
        reporting_ = c->id;
        if (code == EN_CHANGE) model_.UserText(c->id, Narrow(text));
        reporting_ = 0;
        if (model_.Text(c->id) != Narrow(text)) {
          Push(c->id);  // a handler rewrote it
        } else {
          const int from = Utf8Offset(text, start);
          model_.UserSelection(c->id, from, Utf8Offset(text, end) - from);
        }
      }
      break;
    case ControlKind::kComboList:
      if (code == CBN_SELCHANGE) {
        model_.UserValue(c->id, static_cast<int>(SendMessageW(control, CB_GETCURSEL, 0, 0)));
      }
      break;
    case ControlKind::kListBox:
      if (code == LBN_SELCHANGE) {
        model_.UserValue(c->id, static_cast<int>(SendMessageW(control, LB_GETCURSEL, 0, 0)));
      }
      if (code == LBN_DBLCLK) model_.UserDoubleClick(c->id);
      break;
    default:
      break;
  }
}

void FormWindow::OnScroll(HWND control, WPARAM wParam) {
  const ControlSpec* c = SpecOf(control);
  if (c == nullptr) return;
  const ControlState& s = model_.State(c->id);
  SCROLLINFO si = {sizeof(si), SIF_TRACKPOS, 0, 0, 0, 0, 0};
  GetScrollInfo(control, SB_CTL, &si);
  int value = s.value;
  Cause cause = Cause::kUser;
  switch (LOWORD(wParam)) {
    case SB_LINEUP:
      value -= s.smallChange;
      break;
    case SB_LINEDOWN:
      value += s.smallChange;
      break;
    case SB_PAGEUP:
      value -= s.largeChange;
      break;
    case SB_PAGEDOWN:
      value += s.largeChange;
      break;
    case SB_TOP:
      value = s.min;
      break;
    case SB_BOTTOM:
      value = s.max;
      break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
      // The message carries 16 bits of the position; the bar knows all of it while dragging.
      value = s.max <= 0xFFFF && s.min >= 0 ? static_cast<int>(HIWORD(wParam)) : si.nTrackPos;
      cause = Cause::kThumbDrag;
      break;
    default:
      return;
  }
  model_.UserValue(c->id, value, cause);
}

LRESULT CALLBACK FormWindow::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* created = static_cast<FormWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    created->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
  }
  auto* w = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (w == nullptr) return DefWindowProcW(hwnd, msg, wParam, lParam);
  return w->Handle(msg, wParam, lParam);
}

// Pictures report the mouse; a press captures it, so that the moves of a drag
// come here wherever the pointer goes.
LRESULT CALLBACK FormWindow::PictureProc(HWND control, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR self) {
  auto* w = reinterpret_cast<FormWindow*>(self);
  const int controlId = static_cast<int>(id);
  auto image = w->images_.find(controlId);
  HCURSOR dragCursor = image != w->images_.end() ? image->second : nullptr;
  switch (msg) {
    case WM_LBUTTONDOWN:
      SetCapture(control);
      if (dragCursor != nullptr) ::SetCursor(dragCursor);
      w->model_.UserMouse(controlId, MouseAction::kDown, MouseButtons(wParam));
      break;  // clicks are still reported
    case WM_MOUSEMOVE: {
      const int buttons = MouseButtons(wParam);
      if (dragCursor != nullptr && GetCapture() == control) {
        ::SetCursor(buttons == kLeftButton ? dragCursor : LoadCursorW(nullptr, IDC_ARROW));
      }
      w->model_.UserMouse(controlId, MouseAction::kMove, buttons);
      break;
    }
    case WM_LBUTTONUP: {
      const bool dragging = GetCapture() == control;
      if (dragging) ReleaseCapture();
      w->model_.UserMouse(controlId, MouseAction::kUp, kLeftButton);
      if (dragging && dragCursor != nullptr) ::SetCursor(LoadCursorW(nullptr, IDC_ARROW));
      break;
    }
    case WM_NCDESTROY:
      RemoveWindowSubclass(control, &PictureProc, id);
      break;
    default:
      break;
  }
  return DefSubclassProc(control, msg, wParam, lParam);
}

LRESULT FormWindow::Handle(UINT msg, WPARAM wParam, LPARAM lParam) {
  HWND hwnd = hwnd_;
  if (LRESULT result = 0; hook_ && hook_(msg, wParam, lParam, result)) return result;
  if (LRESULT themed = 0; ThemeMessage(hwnd, msg, wParam, lParam, themed)) return themed;  // theme
  switch (msg) {
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
      return 0;
    case WM_NOTIFY: {
      const NMHDR* n = reinterpret_cast<const NMHDR*>(lParam);
      const ControlSpec* c = SpecOf(n->hwndFrom);
      if (c != nullptr && c->kind == ControlKind::kTab && n->code == static_cast<UINT>(TCN_SELCHANGE)) {
        model_.UserValue(c->id, static_cast<int>(SendMessageW(n->hwndFrom, TCM_GETCURSEL, 0, 0)));
      }
      return 0;
    }
    case WM_HSCROLL:
    case WM_VSCROLL:
      OnScroll(reinterpret_cast<HWND>(lParam), wParam);
      return 0;
    case DM_GETDEFID:
      if (const int def = FirstWith(kDefaultButton)) return MAKELRESULT(def, DC_HASDEFID);
      return 0;
    case WM_DRAWITEM: {
      const auto* d = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      const ControlSpec* c = model_.Find(static_cast<int>(d->CtlID));
      auto it = painters_.find(static_cast<int>(d->CtlID));
      auto image = images_.find(static_cast<int>(d->CtlID));
      if (c != nullptr && DrawnHere(*c)) {
        DrawLabels(d->hDC, d->rcItem, *c);
      } else if (it != painters_.end() && it->second) {
        it->second(d->hDC, d->rcItem);
      } else if (image != images_.end() && image->second != nullptr) {
        FillRect(d->hDC, &d->rcItem, Background(*c, d->hwndItem, d->hDC));
        DrawIconEx(d->hDC, d->rcItem.left, d->rcItem.top, image->second, 0, 0, 0, nullptr, DI_NORMAL);
      } else if (c != nullptr && c->color != kSystemColor) {
        HBRUSH brush = CreateSolidBrush(ThemeFillColor(ColorOf(*c)));  // theme
        FillRect(d->hDC, &d->rcItem, brush);
        DeleteObject(brush);
      } else {
        FillRect(d->hDC, &d->rcItem,
                 c != nullptr ? Background(*c, d->hwndItem, d->hDC) : GetSysColorBrush(COLOR_BTNFACE));
        if (c != nullptr && (c->flags & kWindowIcon) != 0 && icon_ != nullptr) {
          DrawIconEx(d->hDC, d->rcItem.left, d->rcItem.top, icon_, d->rcItem.right - d->rcItem.left,
                     d->rcItem.bottom - d->rcItem.top, 0, nullptr, DI_NORMAL);
        }
      }
      return TRUE;
    }
    case WM_SETCURSOR: {
      HWND over = reinterpret_cast<HWND>(wParam);
      const ControlSpec* c = SpecOf(over);
      const UINT mouse = HIWORD(lParam);
      if ((c != nullptr || over == hwnd) &&
          (mouse == WM_MOUSEMOVE || mouse == WM_LBUTTONDOWN || mouse == WM_LBUTTONUP)) {
        model_.UserMouseMove(c != nullptr ? c->id : 0);
      }
      if (c != nullptr && (c->flags & kLink) != 0) {
        ::SetCursor(LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
      }
      auto it = c != nullptr ? cursors_.find(c->id) : cursors_.end();
      if (it != cursors_.end()) {
        ::SetCursor(it->second);
        return TRUE;
      }
      auto image = c != nullptr ? images_.find(c->id) : images_.end();
      if (image != images_.end() && image->second != nullptr) {
        ::SetCursor(image->second);
        return TRUE;
      }
      break;
    }
    case WM_CTLCOLORSTATIC: {
      // A read-only text box keeps the look of a text box.
      const ControlSpec* c = SpecOf(reinterpret_cast<HWND>(lParam));
      if (c != nullptr && c->kind == ControlKind::kTextBox) {
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        SetBkColor(dc, GetSysColor(COLOR_WINDOW));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
      }
      if (c != nullptr && c->page >= 0) {
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetBkMode(dc, TRANSPARENT);
        return reinterpret_cast<LRESULT>(Background(*c, reinterpret_cast<HWND>(lParam), dc));
      }
      break;
    }
    case WM_THEMECHANGED:
    case WM_SYSCOLORCHANGE:
      DropPageBrush();
      break;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        focus_ = GetFocus();
      } else if (focus_ != nullptr && IsChild(hwnd, focus_)) {
        SetFocus(focus_);
      } else if (HWND first =
                     Control(FirstWith(kDefaultButton) ? FirstWith(kDefaultButton) : FirstWith(kTabStop))) {
        SetFocus(first);
      }
      return 0;
    case WM_CLOSE:
      model_.UserClose();
      return 0;
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      // The process may end once this returns: the closing step runs now.
      if (wParam) Close();
      return 0;
    case WM_DPICHANGED: {
      const RECT* r = reinterpret_cast<const RECT*>(lParam);
      SetWindowPos(hwnd, nullptr, r->left, r->top, r->right - r->left, r->bottom - r->top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      Layout(HIWORD(wParam));
      return 0;
    }
    case WM_DESTROY:
      // Also reached when the owner goes with this window still open.
      EnableOwner();
      break;
    case WM_NCDESTROY:
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      hwnd_ = nullptr;
      controls_.clear();
      shownItems_.clear();
      images_.clear();
      model_.Unloaded();
      break;
    default:
      break;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace kestrova::win32

// Building the form's window and controls, and laying them out for the DPI.
#include "form/win32/form_win.h"

#include <commctrl.h>

#include <algorithm>

#include "form/win32/theme_win.h"
#include "platform/win32/text_win.h"
#include "platform/win32/ui_win.h"

namespace kestrova::win32 {

namespace {

constexpr wchar_t kFormClass[] = L"KestrovaForm";
// No WS_CLIPCHILDREN: a frame never paints its own inside, so the window's
// background must reach under it (clipped, the inside showed black).
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
// A drop-down list's window includes its list; the table gives the closed height.
constexpr int kDropHeightTwips = 2400;

void RegisterOnce(WNDPROC proc, HBRUSH background) {
  static const bool registered = [proc, background] {
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_TAB_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = background;
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
    {HOTKEY_CLASSW, 0, 0},
};

// `drawn`: the label is painted here, not by the static control.
DWORD StyleFor(const ControlSpec& c, bool drawn) {
  DWORD style = WS_CHILD | kClasses[static_cast<int>(c.kind)].style;
  const auto has = [&c](unsigned flag) { return (c.flags & flag) != 0; };
  if (has(kTabStop)) style |= WS_TABSTOP;
  if (has(kGroupStart)) style |= WS_GROUP;
  if (drawn) style = (style & ~SS_TYPEMASK) | SS_OWNERDRAW;
  if (c.kind == ControlKind::kLabel && has(kNotify | kLink)) style |= SS_NOTIFY;
  if (c.kind == ControlKind::kButton && has(kDefaultButton)) style |= BS_DEFPUSHBUTTON;
  if (c.kind == ControlKind::kCheckBox && has(kMultiLine)) style |= BS_MULTILINE;
  if (c.kind == ControlKind::kTextBox) {
    style |= has(kMultiLine) ? ES_MULTILINE | ES_AUTOVSCROLL : ES_AUTOHSCROLL;
    if (has(kReadOnly)) style |= ES_READONLY;
  }
  return style;
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
  RegisterOnce(&Proc, ClassBackground());
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
        CreateWindowExW(cs.exStyle, cs.cls, Widen(c.caption).c_str(), StyleFor(c, DrawnHere(c)), 0, 0, 0, 0,
                        hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), instance, nullptr);
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

}  // namespace kestrova::win32

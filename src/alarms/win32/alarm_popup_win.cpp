#include "alarms/win32/alarm_popup_win.h"

#include <utility>

#include "alarms/alarm_popup.h"
#include "platform/win32/text_win.h"
#include "platform/win32/ui_win.h"

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

namespace kestrova::win32 {

namespace {

constexpr wchar_t kPopupClass[] = L"KestrovaAlarmPopup";
constexpr int kIdCheck1 = 101;
// Command1 has the id of the default button, so Enter presses it; Esc sends
// IDCANCEL, which closes the popup like its close box.
constexpr int kIdCommand1 = IDOK;

// Layout in twips of the client area.
struct TwipRect {
  int left, top, width, height;
};
constexpr int kClientWidth = 4800;
constexpr int kClientHeight = 2715;
constexpr TwipRect kText1Rect{120, 120, 4560, 1560};
constexpr TwipRect kCheck1Rect{120, 1800, 4560, 300};
constexpr TwipRect kCommand1Rect{1793, 2220, 1215, 375};

constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
// Topmost: a reminder that opens behind the window the user works in would go unseen.
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT | WS_EX_TOPMOST;

int Px(int twips, int dpi) { return TwipsToPixels(twips, dpi); }


SIZE WindowSizeFor(int dpi) {
  using AdjustForDpiFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
  static const auto adjustForDpi = User32Function<AdjustForDpiFn>("AdjustWindowRectExForDpi");
  RECT rc = {0, 0, Px(kClientWidth, dpi), Px(kClientHeight, dpi)};
  if (adjustForDpi == nullptr || !adjustForDpi(&rc, kStyle, FALSE, kExStyle, static_cast<UINT>(dpi))) {
    AdjustWindowRectEx(&rc, kStyle, FALSE, kExStyle);
  }
  return {rc.right - rc.left, rc.bottom - rc.top};
}

// One popup on screen: the model and its controls.
struct PopupState {
  PopupState(Settings& settings, IniFile& ini, HWND ownerWindow) : model(settings, ini), owner(ownerWindow) {}

  AlarmPopup model;
  HWND owner;
  bool ownerDisabled = false;
  HWND hwnd = nullptr;
  HWND text1 = nullptr;
  HWND check1 = nullptr;
  HWND command1 = nullptr;
  HWND focus = nullptr;
  HFONT font = nullptr;
  bool destroyed = false;

  void CreateControls(HINSTANCE instance) {
    text1 = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", Widen(model.Text1()).c_str(),
                            WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL,
                            0, 0, 0, 0, hwnd, nullptr, instance, nullptr);
    check1 = CreateWindowExW(0, L"BUTTON", Widen(kAlarmPopupCheckText).c_str(),
                             WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 0, 0, 0, 0, hwnd,
                             reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kIdCheck1)), instance, nullptr);
    command1 = CreateWindowExW(
        0, L"BUTTON", Widen(kAlarmPopupOkText).c_str(), WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
        0, 0, 0, 0, hwnd, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kIdCommand1)), instance, nullptr);
    SendMessageW(check1, BM_SETCHECK, model.Check1() ? BST_CHECKED : BST_UNCHECKED, 0);
  }

  void Layout(int dpi) {
    HFONT old = font;
    font = CreateUiFont(dpi);
    const std::pair<HWND, TwipRect> controls[] = {
        {text1, kText1Rect}, {check1, kCheck1Rect}, {command1, kCommand1Rect}};
    for (const auto& [control, r] : controls) {
      SetWindowPos(control, nullptr, Px(r.left, dpi), Px(r.top, dpi), Px(r.width, dpi), Px(r.height, dpi),
                   SWP_NOZORDER | SWP_NOACTIVATE);
      SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
    if (old != nullptr) DeleteObject(old);
  }

  void RestoreOwner() {
    if (!ownerDisabled) return;
    ownerDisabled = false;
    EnableWindow(owner, TRUE);
  }

  void RunClosingStep() {
    if (model.Closed()) return;
    if (check1 != nullptr) model.SetCheck1(SendMessageW(check1, BM_GETCHECK, 0, 0) == BST_CHECKED);
    model.Close();
  }

  // Every way of closing ends here. The owner is enabled before the popup goes,
  // so that activation returns to it rather than to another program.
  void Finish() {
    RunClosingStep();
    RestoreOwner();
    if (!destroyed) DestroyWindow(hwnd);
  }
};

LRESULT CALLBACK PopupProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* created = static_cast<PopupState*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    created->hwnd = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
  }
  auto* w = reinterpret_cast<PopupState*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (w == nullptr) return DefWindowProcW(hwnd, msg, wParam, lParam);

  switch (msg) {
    case WM_COMMAND:
      if (HIWORD(wParam) == BN_CLICKED) {
        switch (LOWORD(wParam)) {
          case kIdCheck1:
            w->model.SetCheck1(SendMessageW(w->check1, BM_GETCHECK, 0, 0) == BST_CHECKED);
            return 0;
          case kIdCommand1:
          case IDCANCEL:
            w->Finish();
            return 0;
          default:
            break;
        }
      }
      break;
    case DM_GETDEFID:
      return MAKELRESULT(kIdCommand1, DC_HASDEFID);
    case WM_CLOSE:
      w->Finish();
      return 0;
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      // The process may end once this returns: the choice is written now.
      if (wParam) w->Finish();
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        w->focus = GetFocus();
      } else {
        SetFocus(w->focus != nullptr && IsChild(hwnd, w->focus) ? w->focus : w->command1);
      }
      return 0;
    case WM_CTLCOLORSTATIC:
      // The read-only message box keeps the look of a text box.
      if (reinterpret_cast<HWND>(lParam) == w->text1) {
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        SetBkColor(dc, GetSysColor(COLOR_WINDOW));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
      }
      break;
    case WM_DPICHANGED: {
      const RECT* r = reinterpret_cast<const RECT*>(lParam);
      SetWindowPos(hwnd, nullptr, r->left, r->top, r->right - r->left, r->bottom - r->top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      w->Layout(HIWORD(wParam));
      return 0;
    }
    case WM_DESTROY:
      // Also reached when the owner is destroyed with the popup still open.
      w->RunClosingStep();
      w->RestoreOwner();
      w->destroyed = true;
      return 0;
    case WM_NCDESTROY:
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      break;
    default:
      break;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

void RegisterPopupClass(HINSTANCE instance) {
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = &PopupProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kPopupClass;
  RegisterClassExW(&wc);  // fails harmlessly when already registered
}

}  // namespace

Win32AlarmPopupHost::Win32AlarmPopupHost(HWND owner, HICON icon, Settings& settings, IniFile& ini)
    : owner_(owner), icon_(icon), settings_(settings), ini_(ini) {}

void Win32AlarmPopupHost::ShowAlarmPopup(int entry, const std::string& message) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  RegisterPopupClass(instance);
  PopupState w(settings_, ini_, owner_);
  w.model.Fill(entry, message);

  // Centred where the user is looking: over the owner when it shows, else on
  // the monitor of the window in front.
  HWND anchor = owner_ != nullptr && IsWindowVisible(owner_) ? owner_ : GetForegroundWindow();
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof(monitor);
  GetMonitorInfoW(MonitorFromWindow(anchor, MONITOR_DEFAULTTOPRIMARY), &monitor);
  const RECT work = monitor.rcWork;

  // Made hidden on that monitor first, so that its DPI is the one laid out for.
  HWND hwnd = CreateWindowExW(kExStyle, kPopupClass, Widen(kAlarmPopupCaption).c_str(), kStyle, work.left,
                              work.top, 100, 100, owner_, nullptr, instance, &w);
  // Without a window the entry keeps its Box: the user was never asked.
  if (hwnd == nullptr) return;
  if (icon_ != nullptr) {
    SendMessageW(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    SendMessageW(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
  }
  w.CreateControls(instance);
  const int dpi = WindowDpi(hwnd);
  w.Layout(dpi);
  const SIZE size = WindowSizeFor(dpi);
  SetWindowPos(hwnd, nullptr, work.left + (work.right - work.left - size.cx) / 2,
               work.top + (work.bottom - work.top - size.cy) / 2, size.cx, size.cy,
               SWP_NOZORDER | SWP_NOACTIVATE);

  HWND previous = popup_;
  popup_ = hwnd;
  // EnableWindow answers whether the owner was disabled already (another modal
  // window may be open); only what was done here is undone.
  if (owner_ != nullptr) w.ownerDisabled = EnableWindow(owner_, FALSE) == 0;
  ShowWindow(hwnd, SW_SHOWNORMAL);
  SetForegroundWindow(hwnd);
  SetFocus(w.command1);

  MSG msg;
  while (!w.destroyed) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      // The program is ending: close the popup and leave the quit to the outer loop.
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (got == -1) break;
    if (!IsDialogMessageW(hwnd, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  if (!w.destroyed) w.Finish();
  w.RestoreOwner();
  popup_ = previous;
  if (w.font != nullptr) DeleteObject(w.font);
}

}  // namespace kestrova::win32

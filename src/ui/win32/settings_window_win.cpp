#include "ui/win32/settings_window_win.h"

#include <commctrl.h>

#include "platform/win32/text_win.h"
#include "platform/win32/ui_win.h"
#include "settings/settings.h"
#include "ui/settings_window.h"

namespace kestrova::win32 {

namespace {

constexpr wchar_t kWindowClass[] = L"KestrovaSettingsWindow";
constexpr wchar_t kCallbackClass[] = L"KestrovaCallbackWindow";
constexpr UINT_PTR kTimer1 = 1;

enum CommandId : UINT {
  kIdOk = 100,
  kIdCancel = 101,
  kIdApply = 102,
  kIdMenuExit = 200,
  kIdMenuStartup = 210,
  kIdMenuCloseSave = 211,
  kIdMenuCloseDiscard = 212,
  kIdIconPause = 300,
  kIdIconSetup = 301,
  kIdIconTimeCopy = 303,
  kIdIconSysInfoCopy = 304,
  kIdIconExit = 307,
};

// Client area and controls in twips, as laid out on the form.
constexpr int kClientWidth = 4470;
constexpr int kClientHeight = 4800;

struct ControlRect {
  int left, top, width, height;
};
constexpr ControlRect kContainerRect{120, 0, 4215, 3735};
constexpr ControlRect kPreviewRect{120, 3840, 4260, 420};
constexpr ControlRect kButtonRects[3] = {{1080, 4320, 1095, 375}, {2160, 4320, 1095, 375}, {3240, 4320, 1095, 375}};


void RegisterClasses(HINSTANCE instance, HICON largeIcon, HICON smallIcon, WNDPROC main, WNDPROC callback) {
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = main;
  wc.hInstance = instance;
  wc.hIcon = largeIcon;
  wc.hIconSm = smallIcon;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kWindowClass;
  RegisterClassExW(&wc);

  WNDCLASSEXW cb = {};
  cb.cbSize = sizeof(cb);
  cb.lpfnWndProc = callback;
  cb.hInstance = instance;
  cb.lpszClassName = kCallbackClass;
  RegisterClassExW(&cb);
}

}  // namespace

Win32SettingsWindow::Win32SettingsWindow(SettingsWindow& model, Settings& settings, IniFile& ini,
                                         HINSTANCE instance, HICON largeIcon, HICON smallIcon)
    : model_(model), settings_(settings), instance_(instance) {
  RegisterClasses(instance, largeIcon, smallIcon, &WindowProc, &CallbackProc);
  taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");

  menu_ = CreateMenu();
  HMENU file = CreatePopupMenu();
  AppendMenuW(file, MF_STRING, kIdMenuExit, Widen("終了(&X)").c_str());
  AppendMenuW(menu_, MF_POPUP, reinterpret_cast<UINT_PTR>(file), Widen("ファイル(&F)").c_str());
  setupMenu_ = CreatePopupMenu();
  AppendMenuW(setupMenu_, MF_STRING | MF_GRAYED, kIdMenuStartup, Widen("スタートアップに登録(&S)").c_str());
  AppendMenuW(setupMenu_, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(setupMenu_, MF_STRING, kIdMenuCloseSave, Widen("設定を保存して閉じる(&O)").c_str());
  AppendMenuW(setupMenu_, MF_STRING, kIdMenuCloseDiscard, Widen("設定を保存せずに閉じる(&C)").c_str());
  AppendMenuW(menu_, MF_POPUP, reinterpret_cast<UINT_PTR>(setupMenu_), Widen("設定(&S)").c_str());

  constexpr DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
  hwnd_ = CreateWindowExW(WS_EX_CONTROLPARENT, kWindowClass, Widen(kSettingsCaption).c_str(), style,
                          CW_USEDEFAULT, CW_USEDEFAULT, 400, 400, nullptr, menu_, instance, this);
  dpi_ = WindowDpi(hwnd_);
  popups_ = std::make_unique<Win32AlarmPopupHost>(hwnd_, largeIcon, settings, ini);
  CreateControls();
  Layout();
}

Win32SettingsWindow::~Win32SettingsWindow() {
  if (hwnd_ != nullptr && !destroyed_) DestroyWindow(hwnd_);
  if (font_ != nullptr) DeleteObject(font_);
  if (previewBrush_ != nullptr) DeleteObject(previewBrush_);
}

void Win32SettingsWindow::CreateControls() {
  // Picture1: never shown; receives the tray notifications and a second copy's wake-up.
  callback_ = CreateWindowExW(0, kCallbackClass, L"", WS_CHILD, 0, 0, 0, 0, hwnd_, nullptr, instance_, this);
  container_ = CreateWindowExW(WS_EX_CONTROLPARENT, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, hwnd_,
                               nullptr, instance_, nullptr);
  preview_ = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_LEFT | SS_CENTERIMAGE | SS_NOPREFIX |
                                                   SS_NOTIFY | SS_ENDELLIPSIS,
                             0, 0, 0, 0, hwnd_, nullptr, instance_, nullptr);
  const char* captions[3] = {"OK", "キャンセル", "適用"};
  for (int i = 0; i < 3; ++i) {
    buttons_[i] = CreateWindowExW(0, L"BUTTON", Widen(captions[i]).c_str(),
                                  WS_CHILD | WS_VISIBLE | WS_TABSTOP | (i == 0 ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), 0,
                                  0, 0, 0, hwnd_, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kIdOk + i)),
                                  instance_, nullptr);
  }
  previewBrush_ = CreateSolidBrush(GetSysColor(COLOR_ACTIVECAPTION));

  tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, instance_, nullptr);
  const std::pair<HWND, const char*> tips[] = {
      {preview_, "実際の表示をプレビューします。"},
      {buttons_[0], "設定を保存し、日時の表示を開始します。"},
      {buttons_[1], "元の設定で日時の表示を開始します。"},
  };
  for (const auto& [control, text] : tips) {
    std::wstring wide = Widen(text);
    TOOLINFOW info = {};
    info.cbSize = sizeof(info);
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = hwnd_;
    info.uId = reinterpret_cast<UINT_PTR>(control);
    info.lpszText = wide.data();
    SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
  }
}

int Win32SettingsWindow::Twips(int twips) const { return TwipsToPixels(twips, dpi_); }

void Win32SettingsWindow::Layout() {
  // The controls let go of the old font before it is deleted.
  HFONT oldFont = font_;
  font_ = CreateUiFont(dpi_);
  RECT rect = {0, 0, Twips(kClientWidth), Twips(kClientHeight)};
  const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_STYLE));
  const DWORD exStyle = static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE));
  AdjustWindowRectEx(&rect, style, TRUE, exStyle);
  SetWindowPos(hwnd_, nullptr, 0, 0, rect.right - rect.left, rect.bottom - rect.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  auto place = [this](HWND control, const ControlRect& r) {
    MoveWindow(control, Twips(r.left), Twips(r.top), Twips(r.width), Twips(r.height), TRUE);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
  };
  place(container_, kContainerRect);
  place(preview_, kPreviewRect);
  for (int i = 0; i < 3; ++i) place(buttons_[i], kButtonRects[i]);
  if (oldFont != nullptr) DeleteObject(oldFont);
}

void Win32SettingsWindow::Show(bool show) {
  if (show) {
    ShowWindow(hwnd_, SW_SHOWNORMAL);
    SetForegroundWindow(hwnd_);
  } else {
    ShowWindow(hwnd_, SW_HIDE);
  }
}

bool Win32SettingsWindow::IsVisible() { return IsWindowVisible(hwnd_) != FALSE; }

void Win32SettingsWindow::SetTimerInterval(int milliseconds) {
  KillTimer(hwnd_, kTimer1);
  SetTimer(hwnd_, kTimer1, static_cast<UINT>(milliseconds), nullptr);
}

void Win32SettingsWindow::SetPreview(const std::string& text) {
  const std::wstring wide = Widen(text);
  wchar_t current[1024] = {};
  GetWindowTextW(preview_, current, 1024);
  if (wide != current) SetWindowTextW(preview_, wide.c_str());
}

void Win32SettingsWindow::SetStartupMenuCaption(const std::string& caption) {
  ModifyMenuW(setupMenu_, kIdMenuStartup, MF_BYCOMMAND | MF_STRING | MF_GRAYED, kIdMenuStartup,
              Widen(caption).c_str());
}

bool Win32SettingsWindow::AskYesNo(const std::string& title, const std::string& text) {
  return MessageBoxW(hwnd_, Widen(text).c_str(), Widen(title).c_str(), MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void Win32SettingsWindow::ShowInformation(const std::string& title, const std::string& text) {
  MessageBoxW(hwnd_, Widen(text).c_str(), Widen(title).c_str(), MB_OK | MB_ICONINFORMATION);
}

void Win32SettingsWindow::Close() {
  KillTimer(hwnd_, kTimer1);
  if (!destroyed_) DestroyWindow(hwnd_);
}

void Win32SettingsWindow::ShowIconMenu() {
  HMENU menu = CreatePopupMenu();
  auto add = [menu](UINT id, const char* caption, UINT flags = 0) {
    AppendMenuW(menu, MF_STRING | flags, id, Widen(caption).c_str());
  };
  add(kIdIconPause, "一時停止(&P)", model_.Paused() ? MF_CHECKED : 0);
  add(kIdIconSetup, "設定(&S)");
  add(kIdIconTimeCopy, "現在時刻をコピー(&C)");
  add(kIdIconSysInfoCopy, "システム情報をコピー(&I)");
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  add(kIdIconExit, "終了(&X)");
  POINT at = {};
  GetCursorPos(&at);
  SetForegroundWindow(hwnd_);
  const UINT chosen = static_cast<UINT>(
      TrackPopupMenu(menu, TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, at.x, at.y, 0, hwnd_, nullptr));
  DestroyMenu(menu);
  // Lets the menu close properly when the user clicks elsewhere.
  PostMessageW(hwnd_, WM_NULL, 0, 0);
  switch (chosen) {
    case kIdIconPause: model_.TogglePause(); break;
    case kIdIconSetup: model_.ApplyWindowMode(true); break;
    case kIdIconTimeCopy: model_.CopyTime(); break;
    case kIdIconSysInfoCopy: model_.CopySystemInfo(); break;
    case kIdIconExit: model_.QueryUnload(UnloadMode::kCode); break;
    default: break;
  }
}

void Win32SettingsWindow::OnTrayNotify(UINT mouseMessage) {
  if (mouseMessage == WM_RBUTTONUP) {
    ShowIconMenu();
    return;
  }
  const bool open = (mouseMessage == WM_LBUTTONUP && settings_.ShowSetting == 1) ||
                    (mouseMessage == WM_LBUTTONDBLCLK && settings_.ShowSetting == 2);
  if (open) {
    SetForegroundWindow(hwnd_);
    model_.OpenSettings();
  }
}

LRESULT CALLBACK Win32SettingsWindow::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    reinterpret_cast<Win32SettingsWindow*>(create->lpCreateParams)->hwnd_ = hwnd;
  }
  auto* self = reinterpret_cast<Win32SettingsWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcW(hwnd, msg, wParam, lParam);
  return self->HandleMessage(msg, wParam, lParam);
}

LRESULT CALLBACK Win32SettingsWindow::CallbackProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<Win32SettingsWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcW(hwnd, msg, wParam, lParam);
  return self->HandleCallback(hwnd, msg, wParam, lParam);
}

LRESULT Win32SettingsWindow::HandleCallback(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_LBUTTONDOWN:
      // A second copy of the program asks this one to open its settings.
      SetForegroundWindow(hwnd_);
      model_.OpenSettings();
      return 0;
    case WM_MOUSEMOVE:
      // The tray icon's notification carries the mouse message in lParam.
      OnTrayNotify(static_cast<UINT>(lParam));
      return 0;
    default:
      return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
}

LRESULT Win32SettingsWindow::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == taskbarCreated_ && taskbarCreated_ != 0) {
    model_.TaskbarCreated();
    return 0;
  }
  switch (msg) {
    case WM_TIMER:
      if (wParam == kTimer1) model_.Tick();
      return 0;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case kIdOk:
        case kIdCancel:
        case kIdApply:
          model_.Command2Click(static_cast<int>(LOWORD(wParam) - kIdOk));
          return 0;
        case kIdMenuCloseSave:
          model_.Command2Click(0);
          return 0;
        case kIdMenuCloseDiscard:
          model_.Command2Click(1);
          return 0;
        case kIdMenuExit:
          model_.QueryUnload(UnloadMode::kCode);
          return 0;
        default:
          break;
      }
      break;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_CLOSE) {
        model_.QueryUnload(UnloadMode::kUser);
        return 0;
      }
      break;
    case WM_CLOSE:
      model_.QueryUnload(UnloadMode::kFromOutside);
      return 0;
    case WM_SETTINGCHANGE:
      if (lParam != 0 && lstrcmpiW(reinterpret_cast<const wchar_t*>(lParam), L"intl") == 0 && onRegionalChange) {
        onRegionalChange();
      }
      break;
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      if (wParam) model_.QueryUnload(UnloadMode::kSessionEnd);
      return 0;
    case WM_CTLCOLORSTATIC:
      if (reinterpret_cast<HWND>(lParam) == preview_) {
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, GetSysColor(COLOR_CAPTIONTEXT));
        SetBkColor(dc, GetSysColor(COLOR_ACTIVECAPTION));
        return reinterpret_cast<LRESULT>(previewBrush_);
      }
      break;
    case WM_DPICHANGED: {
      dpi_ = HIWORD(wParam);
      const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
      SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                   suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
      Layout();
      return 0;
    }
    case WM_DESTROY:
      destroyed_ = true;
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd_, msg, wParam, lParam);
}

}  // namespace kestrova::win32

#include "shell/win32/hotkeys_win.h"

#include <shellapi.h>

#include <vector>

#include "platform/win32/text_win.h"
#include "shell/win32/shell_win.h"

namespace kestrova::win32 {

namespace {

constexpr UINT_PTR kTypeTimer = 1;
constexpr UINT kPollMs = 30;
// A modifier still held after this long is left alone: the text goes anyway.
constexpr DWORD kReleaseWaitMs = 3000;
constexpr UINT kNoRepeat = 0x4000;  // MOD_NOREPEAT, Windows 7 on

bool ModifierHeld() {
  for (int key : {VK_CONTROL, VK_MENU, VK_SHIFT, VK_LWIN, VK_RWIN}) {
    if ((GetAsyncKeyState(key) & 0x8000) != 0) return true;
  }
  return false;
}

void CopyInto(wchar_t* out, size_t size, const std::wstring& text) {
  const size_t n = text.size() < size - 1 ? text.size() : size - 1;
  text.copy(out, n);
  out[n] = L'\0';
}

}  // namespace

Win32Hotkeys::~Win32Hotkeys() {
  if (hwnd_ != nullptr) DestroyWindow(hwnd_);
}

void Win32Hotkeys::Open() {
  if (hwnd_ != nullptr) return;
  static const bool registered = [] {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &Win32Hotkeys::Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kCommandWindowClass;
    return RegisterClassExW(&wc) != 0;
  }();
  (void)registered;
  taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
  // Top-level though never shown: Explorer's restart is broadcast to such windows only.
  hwnd_ = CreateWindowExW(WS_EX_TOOLWINDOW, kCommandWindowClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                          GetModuleHandleW(nullptr), this);
}

bool Win32Hotkeys::Register(int id, const Hotkey& hotkey) {
  Open();
  const UINT vk = static_cast<UINT>(hotkey.key);
  if (RegisterHotKey(hwnd_, id, hotkey.modifiers | kNoRepeat, vk)) return true;
  // A system without MOD_NOREPEAT refuses the flag, not the combination.
  if (GetLastError() == ERROR_HOTKEY_ALREADY_REGISTERED) return false;
  return RegisterHotKey(hwnd_, id, hotkey.modifiers, vk) != FALSE;
}

void Win32Hotkeys::Unregister(int id) {
  if (hwnd_ != nullptr) UnregisterHotKey(hwnd_, id);
}

void Win32Hotkeys::TypeText(const std::string& utf8, int delayMs) {
  Open();
  typing_ = Widen(utf8);
  typingSince_ = GetTickCount() + static_cast<DWORD>(delayMs);
  SetTimer(hwnd_, kTypeTimer, static_cast<UINT>(delayMs > 0 ? delayMs : 1), nullptr);
}

void Win32Hotkeys::TypeWhenReleased() {
  // The hotkey's own Ctrl or Alt would turn the characters into shortcuts.
  if (ModifierHeld() && GetTickCount() - typingSince_ < kReleaseWaitMs) {
    SetTimer(hwnd_, kTypeTimer, kPollMs, nullptr);
    return;
  }
  KillTimer(hwnd_, kTypeTimer);
  SendUnicodeText(typing_);
  typing_.clear();
}

UINT SendUnicodeText(const std::wstring& text) {
  std::vector<INPUT> inputs;
  inputs.reserve(text.size() * 2);
  for (wchar_t unit : text) {
    for (DWORD up : {DWORD{0}, DWORD{KEYEVENTF_KEYUP}}) {
      INPUT in = {};
      in.type = INPUT_KEYBOARD;
      in.ki.wScan = static_cast<WORD>(unit);
      in.ki.dwFlags = KEYEVENTF_UNICODE | up;
      inputs.push_back(in);
    }
  }
  if (inputs.empty()) return 0;
  return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void Win32Hotkeys::ShowBalloon(const std::string& title, const std::string& text) {
  if (trayWindow_ == nullptr) return;
  NOTIFYICONDATAW data = {};
  data.cbSize = sizeof(data);
  data.hWnd = trayWindow_;
  data.uID = kTrayIconId;
  data.uFlags = NIF_INFO;
  data.dwInfoFlags = NIIF_WARNING;
  CopyInto(data.szInfoTitle, sizeof(data.szInfoTitle) / sizeof(wchar_t), Widen(title));
  CopyInto(data.szInfo, sizeof(data.szInfo) / sizeof(wchar_t), Widen(text));
  Shell_NotifyIconW(NIM_MODIFY, &data);
}

LRESULT CALLBACK Win32Hotkeys::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<Win32Hotkeys*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (self != nullptr && msg == WM_NCDESTROY) {
    self->hwnd_ = nullptr;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
  } else if (self != nullptr && self->hwnd_ == hwnd) {
    return self->Handle(msg, wParam, lParam);
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

LRESULT Win32Hotkeys::Handle(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == taskbarCreated_ && taskbarCreated_ != 0) {
    if (onTaskbarCreated) onTaskbarCreated();
    return 0;
  }
  switch (msg) {
    case WM_HOTKEY:
      if (onHotkey) onHotkey(static_cast<int>(wParam));
      return 0;
    case WM_TIMER:
      if (wParam == kTypeTimer) TypeWhenReleased();
      return 0;
    case WM_COPYDATA: {
      const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
      if (data == nullptr || data->dwData != kCommandCopyData || data->lpData == nullptr) return FALSE;
      const std::string name(static_cast<const char*>(data->lpData), data->cbData);
      const auto command = RemoteCommandFromName(name);
      if (!command || !onCommand) return FALSE;
      // The caller waits for this answer; the command runs first.
      return onCommand(*command) ? TRUE : FALSE;
    }
    default:
      return DefWindowProcW(hwnd_, msg, wParam, lParam);
  }
}

}  // namespace kestrova::win32

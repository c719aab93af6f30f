#pragma once
// The hotkeys, the typing and the command window a second copy's options
// reach (found by its class, also while the settings window is shown).
#include <windows.h>

#include <functional>
#include <string>

#include "platform/hotkeys.h"
#include "shell/command_line.h"

namespace kestrova::win32 {

inline constexpr wchar_t kCommandWindowClass[] = L"KestrovaCommandWindow";
// WM_COPYDATA's dwData for a command; lpData holds its name in ASCII.
inline constexpr ULONG_PTR kCommandCopyData = 0x4B455354;

class Win32Hotkeys : public HotkeyService {
 public:
  Win32Hotkeys() = default;
  ~Win32Hotkeys() override;
  Win32Hotkeys(const Win32Hotkeys&) = delete;
  Win32Hotkeys& operator=(const Win32Hotkeys&) = delete;

  // Creates the command window; the hotkeys are registered on it.
  void Open();
  // The tray icon's callback window, for the balloons.
  void SetTrayWindow(HWND window) { trayWindow_ = window; }

  bool Register(int id, const Hotkey& hotkey) override;
  void Unregister(int id) override;
  void TypeText(const std::string& utf8, int delayMs) override;
  void ShowBalloon(const std::string& title, const std::string& text) override;

  std::function<void(int id)> onHotkey;
  std::function<bool(RemoteCommand)> onCommand;
  std::function<void()> onTaskbarCreated;

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT msg, WPARAM wParam, LPARAM lParam);
  void TypeWhenReleased();

  HWND hwnd_ = nullptr;
  HWND trayWindow_ = nullptr;
  UINT taskbarCreated_ = 0;
  std::wstring typing_;
  DWORD typingSince_ = 0;
};

// Types UTF-16 units as Unicode keystrokes, each down and up; the count sent.
UINT SendUnicodeText(const std::wstring& text);

}  // namespace kestrova::win32

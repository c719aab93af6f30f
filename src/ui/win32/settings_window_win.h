#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "alarms/win32/alarm_popup_win.h"

#include "ui/settings_window_view.h"

namespace kestrova {
class SettingsWindow;
struct Settings;
class IniFile;
}

namespace kestrova::win32 {

// The real settings window: creates the controls and forwards their events to the model.
class Win32SettingsWindow : public SettingsWindowView {
 public:
  Win32SettingsWindow(SettingsWindow& model, Settings& settings, IniFile& ini, HINSTANCE instance,
                      HICON largeIcon, HICON smallIcon);
  ~Win32SettingsWindow() override;

  WindowHandle Handle() override { return reinterpret_cast<WindowHandle>(hwnd_); }
  WindowHandle CallbackHandle() override { return reinterpret_cast<WindowHandle>(callback_); }
  void Show(bool show) override;
  bool IsVisible() override;
  void SetTimerInterval(int milliseconds) override;
  void SetPreview(const std::string& text) override;
  void SetStartupMenuCaption(const std::string& caption) override;
  bool AskYesNo(const std::string& title, const std::string& text) override;
  void ShowInformation(const std::string& title, const std::string& text) override;
  AlarmPopupHost& AlarmPopups() override { return *popups_; }
  void Close() override;

  HWND hwnd() const { return hwnd_; }

  // Runs when the user changes the regional settings.
  std::function<void()> onRegionalChange;

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK CallbackProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT HandleCallback(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  void CreateControls();
  void Layout();
  int Twips(int twips) const;
  void OnTrayNotify(UINT mouseMessage);
  void ShowIconMenu();

  SettingsWindow& model_;
  const Settings& settings_;
  HINSTANCE instance_;
  HWND hwnd_ = nullptr;
  HWND callback_ = nullptr;   // Picture1
  HWND container_ = nullptr;  // Picture2(7)
  HWND preview_ = nullptr;    // Label2
  HWND buttons_[3] = {};      // Command2(0..2)
  HWND tooltip_ = nullptr;
  HMENU menu_ = nullptr;
  HMENU setupMenu_ = nullptr;
  HFONT font_ = nullptr;
  HBRUSH previewBrush_ = nullptr;
  int dpi_ = 96;
  UINT taskbarCreated_ = 0;
  std::unique_ptr<Win32AlarmPopupHost> popups_;
  bool destroyed_ = false;
};

}  // namespace kestrova::win32

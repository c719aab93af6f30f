#pragma once
#include <windows.h>

#include "platform/shell.h"

namespace kestrova::win32 {

class Win32Shell : public Shell {
 public:
  ~Win32Shell() override;
  bool AnotherInstanceRunning() override;
  void SendWakeUp(WindowHandle callbackWindow) override;
  std::string GetSpecialFolderPath(int folder) override;
  bool FileExists(const std::string& path) override;
  void ExtractAppIcons(const std::string& exePath) override;
  void DestroyAppIcons() override;
  void AddTrayIcon(WindowHandle callbackWindow, const std::string& tip) override;
  void RemoveTrayIcon() override;
  void SetClipboardText(WindowHandle owner, const std::string& text) override;
  void OpenDocument(WindowHandle owner, const std::string& file, const std::string& folder) override;

  HICON LargeIcon() const { return largeIcon_; }
  HICON SmallIcon() const { return smallIcon_; }

 private:
  HANDLE mutex_ = nullptr;
  HICON largeIcon_ = nullptr;
  HICON smallIcon_ = nullptr;
  HWND trayWindow_ = nullptr;
};

// The tray icon's callback message and id.
inline constexpr UINT kTrayCallbackMessage = WM_MOUSEMOVE;
inline constexpr UINT kTrayIconId = 1;

}  // namespace kestrova::win32

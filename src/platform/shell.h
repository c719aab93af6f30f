#pragma once
// Process-level services of the shell: single instance, special folders,
// files, the program's icons and the notification-area icon.
#include <string>

#include "platform/window_system.h"

namespace kestrova {

class Shell {
 public:
  virtual ~Shell() = default;
  // True when another copy already runs for this user. The first call also
  // claims the single-instance token for this copy.
  virtual bool AnotherInstanceRunning() = 0;
  // Asks a resident copy to open its settings window (a left-button-down on its callback window).
  virtual void SendWakeUp(WindowHandle callbackWindow) = 0;
  // File-system path of a shell special folder; "" when it cannot be resolved.
  virtual std::string GetSpecialFolderPath(int folder) = 0;
  virtual bool FileExists(const std::string& path) = 0;
  // Large and small icon at index 0 of the file; kept by the shell until released.
  virtual void ExtractAppIcons(const std::string& exePath) = 0;
  virtual void DestroyAppIcons() = 0;
  virtual void AddTrayIcon(WindowHandle callbackWindow, const std::string& tip) = 0;
  virtual void RemoveTrayIcon() = 0;
  // Empties the clipboard and puts the text on it as plain text, owned by `owner`.
  virtual void SetClipboardText(WindowHandle owner, const std::string& text) = 0;
  // Opens a document with its program (the shell's "open"); failures are not reported.
  virtual void OpenDocument(WindowHandle owner, const std::string& file, const std::string& folder) = 0;
};

}  // namespace kestrova

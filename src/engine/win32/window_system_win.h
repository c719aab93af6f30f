#pragma once
#include "platform/window_system.h"

namespace kestrova::win32 {

// The window system through the Unicode calls. Messages to other programs'
// windows go with a timeout, so a hung window never stops the caller.
class Win32WindowSystem : public WindowSystem {
 public:
  explicit Win32WindowSystem(unsigned timeoutMs = 300) : timeoutMs_(timeoutMs) {}
  WindowHandle ForegroundWindow() override;
  WindowHandle FindChild(WindowHandle parent, std::string_view className) override;
  WindowHandle ActiveMdiChild(WindowHandle mdiClient) override;
  std::string ReadTitle(WindowHandle window) override;
  bool WriteTitle(WindowHandle window, std::string_view title) override;
  std::string ReadClassName(WindowHandle window) override;
  bool Exists(WindowHandle window) override;
  bool IsOwnWindow(WindowHandle window) override;

 private:
  unsigned timeoutMs_;
  // The window whose last title message timed out.
  void* slowWindow_ = nullptr;
};

}  // namespace kestrova::win32

#pragma once
// The window system as the engine sees it. Text is UTF-8; the Win32
// implementation goes through the Unicode calls so that no title is altered.
#include <cstdint>
#include <string>
#include <string_view>

namespace kestrova {

using WindowHandle = std::uintptr_t;

class WindowSystem {
 public:
  virtual ~WindowSystem() = default;
  virtual WindowHandle ForegroundWindow() = 0;
  // First direct child of `parent` whose class is `className` (case-insensitive); 0 when none.
  virtual WindowHandle FindChild(WindowHandle parent, std::string_view className) = 0;
  // Active child of an MDI client; 0 when none or when the client does not answer in time.
  virtual WindowHandle ActiveMdiChild(WindowHandle mdiClient) = 0;
  // Title as shown, at most 1023 UTF-16 units, cut at the first NUL; "" for a window that is gone.
  virtual std::string ReadTitle(WindowHandle window) = 0;
  // False when the window did not take the text in time (hung or gone).
  virtual bool WriteTitle(WindowHandle window, std::string_view title) = 0;
  virtual std::string ReadClassName(WindowHandle window) = 0;
  // False once the window has been destroyed (its handle may be reused later).
  virtual bool Exists(WindowHandle window) = 0;
  // Whether the window belongs to this process: those are never decorated.
  virtual bool IsOwnWindow(WindowHandle window) = 0;
};

}  // namespace kestrova

#pragma once
// The drag pick of the rule editor: which top-level window lies under the pointer.
#include <cstddef>
#include <optional>
#include <string>

#include "platform/profile_store.h"

namespace kestrova {

struct PickedWindow {
  std::string title;
  std::string className;
};

class WindowPicker {
 public:
  virtual ~WindowPicker() = default;
  // The top-level window under the pointer with its title and class name
  // (each at most kPickedTextBytes in the ANSI code page); nothing over one
  // of the program's own windows or over no window.
  virtual std::optional<PickedWindow> PickUnderCursor() = 0;
};

// What the rule has room for: a 1024-byte buffer with its NUL.
inline constexpr std::size_t kPickedTextBytes = 1023;

// The longest start of `utf8` that takes at most `maxBytes` in the ANSI code
// page; a double-byte character is never split.
std::string CutToAnsiBytes(CodePage& codePage, const std::string& utf8, std::size_t maxBytes);

}  // namespace kestrova

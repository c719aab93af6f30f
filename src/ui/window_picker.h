#pragma once
// The drag pick of the rule editor: which top-level window lies under the pointer.
#include <cstddef>
#include <functional>
#include <optional>
#include <string>

#include "platform/profile_store.h"
#include "platform/window_system.h"
#include "settings/ini_file.h"

namespace kestrova {

struct PickedWindow {
  std::string title;
  std::string className;
  WindowHandle window = 0;
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

class TitleWriter;

// A picked window that shows a text of ours gives its own title instead: a
// rule naming the decorated text would match nothing once the clock moves on.
// So does an MDI frame whose active child we decorated: a maximised child's
// title is part of the frame's ("App - [Child <clock>]").
class OwnTitlePicker : public WindowPicker {
 public:
  // `titles` answers the running title writer, or nullptr when there is none.
  OwnTitlePicker(WindowPicker& inner, CodePage& codePage, WindowSystem& windows,
                 std::function<const TitleWriter*()> titles)
      : inner_(inner), codePage_(codePage), windows_(windows), titles_(std::move(titles)) {}
  std::optional<PickedWindow> PickUnderCursor() override;

 private:
  WindowPicker& inner_;
  CodePage& codePage_;
  WindowSystem& windows_;
  std::function<const TitleWriter*()> titles_;
};

}  // namespace kestrova

#pragma once
// The drag pick on screen: the top-level window under a point, read through
// the Unicode calls, never one of this process's own windows.
#include <windows.h>

#include <optional>

#include "ui/window_picker.h"

namespace kestrova::win32 {

// The window under `point` climbed to the top (parents, then owners); nothing
// when there is none or it belongs to process `ownProcess`.
std::optional<PickedWindow> PickTopLevelAt(POINT point, DWORD ownProcess);

class Win32WindowPicker : public WindowPicker {
 public:
  std::optional<PickedWindow> PickUnderCursor() override;
};

}  // namespace kestrova::win32

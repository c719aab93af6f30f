#pragma once
// The one modal loop of the program's own windows.
#include <windows.h>

#include "form/win32/form_win.h"

namespace kestrova::win32 {

// Runs `window` modally over `owner`: owner disabled, a nested loop in which
// timers and other windows go on, WM_QUIT posted again for the outer loop,
// the owner enabled and activated when the window has gone.
void RunModal(FormWindow& window, HWND owner);

}  // namespace kestrova::win32

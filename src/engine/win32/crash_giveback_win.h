#pragma once
// Gives the decorated windows their titles back when Kestrova crashes.
#include <vector>

#include "engine/title_record.h"

namespace kestrova::win32 {

// Copies what is decorated into memory the crash handlers read without
// allocating. Called whenever the record changes, never from a handler.
void KeepForCrash(const std::vector<DecoratedWindow>& held);

// The caption overlay's window, hidden first by a crash so that it does not
// stay over another program's title bar; null when there is none.
void KeepOverlayForCrash(void* overlay);

// The unhandled-exception filter and the terminate handler.
void InstallCrashGiveBack();

// What both handlers do: each kept window that still shows a text of ours gets
// its own title back.
void GiveBackForCrash();

}  // namespace kestrova::win32

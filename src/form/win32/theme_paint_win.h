#pragma once
// The renderer's own painting in the dark palette, for the controls Windows
// has no dark look for: push buttons, check and option buttons, group
// frames and the tab control; and the colours the window answers its
// controls with (WM_CTLCOLOR*).
#include <windows.h>

#include "form/form_spec.h"

namespace kestrova::win32 {

// Subclasses the control; it paints itself only while the dark palette is in force.
void SubclassForPainting(HWND control, ControlKind kind);
// WM_CTLCOLOR* and the background, in the dark palette. True: answered.
bool PaletteColors(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

}  // namespace kestrova::win32

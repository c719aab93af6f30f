#include "ui/win32/window_picker_win.h"

#include <string>

#include "platform/win32/text_win.h"
#include "settings/win32/codepage_win.h"

namespace kestrova::win32 {

namespace {

// The rule keeps what the ANSI calls would have read: 1023 bytes and the NUL.
std::string Picked(const wchar_t* text, int length) {
  WinCodePage codePage;
  return CutToAnsiBytes(codePage, Narrow(std::wstring_view(text, static_cast<size_t>(length))),
                        kPickedTextBytes);
}

}  // namespace

std::optional<PickedWindow> PickTopLevelAt(POINT point, DWORD ownProcess) {
  // GetParent answers the owner for a popup: a dialog of the program counts
  // as its main window. The bound guards against a cycle of owners.
  HWND top = nullptr;
  HWND w = WindowFromPoint(point);
  for (int depth = 0; w != nullptr && depth < 64; ++depth) {
    top = w;
    w = GetParent(w);
  }
  if (top == nullptr) return std::nullopt;
  DWORD process = 0;
  GetWindowThreadProcessId(top, &process);
  if (process == ownProcess) return std::nullopt;
  // Another process's title is read from the system's copy, without a message that could hang.
  std::wstring buffer(1024, L'\0');
  PickedWindow picked;
  picked.title = Picked(buffer.data(), GetWindowTextW(top, buffer.data(), 1024));
  picked.className = Picked(buffer.data(), GetClassNameW(top, buffer.data(), 1024));
  picked.window = reinterpret_cast<WindowHandle>(top);
  return picked;
}

std::optional<PickedWindow> Win32WindowPicker::PickUnderCursor() {
  POINT point = {};
  if (!GetCursorPos(&point)) return std::nullopt;
  return PickTopLevelAt(point, GetCurrentProcessId());
}

}  // namespace kestrova::win32

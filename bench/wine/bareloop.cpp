// The least a title clock must do, for comparison with Kestrova under Wine: on
// a window timer, find the foreground window, read its title, format one clock
// text, write the title with a time-out and read it back.
//   bareloop.exe INTERVAL_MS
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cwchar>
#include <string>

namespace {

constexpr UINT_PTR kTimer = 1;
HWND g_last = nullptr;
std::wstring g_own;
std::wstring g_written;

std::wstring Title(HWND w) {
  wchar_t buffer[1024] = {};
  const int n = GetWindowTextW(w, buffer, 1024);
  return std::wstring(buffer, n > 0 ? n : 0);
}

void Tick() {
  HWND w = GetForegroundWindow();
  if (w == nullptr) return;
  const std::wstring current = Title(w);
  const std::wstring own = (w == g_last && current == g_written) ? g_own : current;
  SYSTEMTIME t;
  GetLocalTime(&t);
  wchar_t clock[64];
  swprintf(clock, 64, L" <%04u/%02u/%02u %02u:%02u:%02u>", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
           t.wSecond);
  const std::wstring text = own + clock;
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(w, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                           SMTO_ABORTIFHUNG | SMTO_BLOCK, 300, &result)) {
    return;
  }
  g_last = w;
  g_own = own;
  g_written = Title(w);
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER && wParam == kTimer) {
    Tick();
    return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
  const int interval = std::max(1, _wtoi(commandLine));
  WNDCLASSW wc = {};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.lpszClassName = L"KestrovaBareLoop";
  RegisterClassW(&wc);
  HWND hwnd = CreateWindowExW(0, wc.lpszClassName, L"bareloop", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                              nullptr, instance, nullptr);
  SetTimer(hwnd, kTimer, static_cast<UINT>(interval), nullptr);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}

#include "engine/win32/crash_giveback_win.h"

#include <windows.h>

#include <cstdlib>
#include <exception>

namespace kestrova::win32 {

namespace {

constexpr int kMaxWindows = 4;
constexpr int kMaxWritten = 4;
constexpr int kTextLength = 1024;

struct KeptWindow {
  HWND hwnd;
  int writtenCount;
  wchar_t own[kTextLength];
  wchar_t written[kMaxWritten][kTextLength];
};

// Static: a crash may come with the heap in any state.
KeptWindow kept[kMaxWindows];
volatile LONG keptCount = 0;
volatile LONG givenBack = 0;
void* volatile keptOverlay = nullptr;

void Copy(const std::string& utf8, wchar_t (&out)[kTextLength]) {
  const int n =
      MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out, kTextLength - 1);
  out[n > 0 ? n : 0] = L'\0';
}

bool IsDigit(wchar_t c) { return (c >= L'0' && c <= L'9') || (c >= 0xFF10 && c <= 0xFF19); }

// As SameShape, in place: every run of digits counts as one.
bool SameShapeNoAlloc(const wchar_t* a, const wchar_t* b) {
  for (;;) {
    if (IsDigit(*a) && IsDigit(*b)) {
      while (IsDigit(*a)) ++a;
      while (IsDigit(*b)) ++b;
      continue;
    }
    if (*a != *b) return false;
    if (*a == L'\0') return true;
    ++a;
    ++b;
  }
}

void GiveBack(const KeptWindow& w) {
  if (!IsWindow(w.hwnd)) return;
  wchar_t current[kTextLength] = {};
  GetWindowTextW(w.hwnd, current, kTextLength);
  if (lstrcmpW(current, w.own) == 0) return;
  bool ours = false;
  for (int i = 0; i < w.writtenCount && !ours; ++i) ours = SameShapeNoAlloc(current, w.written[i]);
  if (!ours) return;
  DWORD_PTR result = 0;
  SendMessageTimeoutW(w.hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(w.own), SMTO_ABORTIFHUNG | SMTO_BLOCK,
                      500, &result);
}

// A handler that itself fails must not start over.
void GiveBackOnce() {
  if (InterlockedExchange(&givenBack, 1) == 0) GiveBackForCrash();
}

LONG WINAPI OnUnhandledException(EXCEPTION_POINTERS*) {
  GiveBackOnce();
  return EXCEPTION_CONTINUE_SEARCH;
}

void OnTerminate() {
  GiveBackOnce();
  std::abort();
}

}  // namespace

void KeepForCrash(const std::vector<DecoratedWindow>& held) {
  keptCount = 0;
  int count = 0;
  for (const DecoratedWindow& d : held) {
    if (count == kMaxWindows) break;
    KeptWindow& w = kept[count++];
    w.hwnd = reinterpret_cast<HWND>(d.Handle);
    Copy(d.OwnTitle, w.own);
    // The newest shapes are at the end.
    const size_t skip = d.Written.size() > kMaxWritten ? d.Written.size() - kMaxWritten : 0;
    w.writtenCount = 0;
    for (size_t i = skip; i < d.Written.size(); ++i) Copy(d.Written[i], w.written[w.writtenCount++]);
  }
  keptCount = count;
}

void KeepOverlayForCrash(void* overlay) { keptOverlay = overlay; }

void InstallCrashGiveBack() {
  SetUnhandledExceptionFilter(OnUnhandledException);
  std::set_terminate(OnTerminate);
}

void GiveBackForCrash() {
  if (HWND overlay = static_cast<HWND>(keptOverlay)) {
    // From another thread, a waiting call would wait for the overlay's thread,
    // which may be the one that holds what the crashing thread needs.
    if (GetWindowThreadProcessId(overlay, nullptr) == GetCurrentThreadId()) {
      ShowWindow(overlay, SW_HIDE);
    } else {
      ShowWindowAsync(overlay, SW_HIDE);
    }
  }
  for (LONG i = 0; i < keptCount; ++i) GiveBack(kept[i]);
}

}  // namespace kestrova::win32

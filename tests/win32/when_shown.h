#pragma once
// Drives a modal window from inside its own loop: a timer waits until it shows
// and runs the test's act on it; a watchdog closes it if a failing test left it open.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <type_traits>

namespace kestrova::win32 {

inline std::wstring g_shownCaption;
inline std::function<void(HWND)> g_shownAct;

inline HWND FormCaptioned(const std::wstring& caption) {
  return FindWindowW(L"KestrovaForm", caption.c_str());
}

inline void CALLBACK ActWhenShown(HWND, UINT, UINT_PTR id, DWORD) {
  HWND form = FormCaptioned(g_shownCaption);
  if (form == nullptr || !IsWindowVisible(form) || !g_shownAct) return;
  KillTimer(nullptr, id);
  auto act = std::move(g_shownAct);
  g_shownAct = nullptr;
  // Painted first, so that the act sees what a user would.
  RedrawWindow(form, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  act(form);
}

inline void CALLBACK CloseLeftOpen(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  if (HWND form = FormCaptioned(g_shownCaption)) {
    ADD_FAILURE() << "window still open";
    PostMessageW(form, WM_CLOSE, 0, 0);
  }
}

// Runs `run`, which shows the modal window captioned `caption`; `act` runs once
// it is on screen. Answers what `run` answers; the window must be gone after it.
template <typename Run>
auto WhenShown(const std::wstring& caption, std::function<void(HWND)> act, Run run) {
  g_shownCaption = caption;
  g_shownAct = std::move(act);
  const UINT_PTR poll = SetTimer(nullptr, 0, 20, &ActWhenShown);
  const UINT_PTR watchdog = SetTimer(nullptr, 0, 10000, &CloseLeftOpen);
  const auto done = [&] {
    KillTimer(nullptr, poll);
    KillTimer(nullptr, watchdog);
    EXPECT_FALSE(g_shownAct) << "the window never showed";
    g_shownAct = nullptr;
    EXPECT_EQ(FormCaptioned(caption), nullptr) << "the window is still there";
  };
  if constexpr (std::is_void_v<decltype(run())>) {
    run();
    done();
  } else {
    auto result = run();
    done();
    return result;
  }
}

}  // namespace kestrova::win32

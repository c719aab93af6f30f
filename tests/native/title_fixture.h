#pragma once
// A title writer over the fake platform, with a hook into its alarm check.
#include <gtest/gtest.h>

#include <functional>

#include "engine/title.h"
#include "fakes/fake_platform.h"
#include "settings/settings.h"

namespace kestrova::testing {

inline constexpr const char* kClock = " <1984/01/17(Tue) 17:30:30>";

class TitleTest : public ::testing::Test {
 protected:
  TitleTest() {
    clock.local = {1984, 1, 17, 17, 30, 30};
    windows.Add(1, "Memo");
    windows.Add(2, "Browser");
  }
  // The tick's title steps for the window in front.
  void Tick() {
    const WindowHandle target = writer.GetTargetWindow();
    if (target == writer.Last().Handle) {
      writer.ChangeTitle(target);
      return;
    }
    if (writer.Last().Handle != 0) writer.ChangeTitle(0);
    writer.ChangeTitle(target);
  }
  // Brings a window to the front and runs a tick.
  void Front(WindowHandle w) {
    windows.foreground = w;
    Tick();
  }

  FakeWindowSystem windows;
  FakeClock clock;
  FakeLocale locale;
  FakeSysInfoSources sysinfo;
  Settings settings;
  int alarmChecks = 0;
  // Runs inside every alarm check; the flag tells a clock piece.
  std::function<void(bool clockPiece)> onAlarmCheck;
  TitleWriter writer{windows, clock, locale, sysinfo, settings, [this](const std::string& clockText, bool piece) {
                       ++alarmChecks;
                       if (onAlarmCheck) onAlarmCheck(piece);
                       return clockText;
                     }};
};

}  // namespace kestrova::testing

#pragma once
// The real main tick over the fake platform; the settings window is a handle
// that is never in front unless a test puts it there.
#include <gtest/gtest.h>

#include <string>

#include "engine/tick.h"
#include "fakes/fake_app.h"
#include "fakes/fake_platform.h"
#include "settings/settings.h"

namespace kestrova::testing {

inline constexpr const char* kClock = " <1984/01/17(Tue) 17:30:30>";
inline constexpr WindowHandle kSettingsWindow = 900;

// The default clock text at 17:30:`second` on 1984-01-17.
inline std::string ClockAt(int second) {
  return " <1984/01/17(Tue) 17:30:" + std::string(second < 10 ? "0" : "") + std::to_string(second) + ">";
}

class TitleTest : public ::testing::Test {
 protected:
  TitleTest() {
    clock.local = {1984, 1, 17, 17, 30, 30};
    windows.Add(1, "Memo");
    windows.Add(2, "Browser");
    windows.Add(kSettingsWindow, "Kestrova-設定画面");
  }
  void Tick() {
    tick.Run({kSettingsWindow, settingsVisible, [this] { ++previews; }});
  }
  // Brings a window to the front and runs a tick.
  void Front(WindowHandle w) {
    windows.foreground = w;
    Tick();
  }
  // One always-due alarm that asks for its popup.
  void AlarmWithPopup(const std::string& message) {
    AlarmEntry e;
    e.Title = "t";
    e.Type = 0;
    e.Message = message;
    e.Box = 1;
    settings.Alarms = {e};
    settings.AlarmCount = 1;
  }

  FakeWindowSystem windows;
  FakeClock clock;
  FakeLocale locale;
  FakeSysInfoSources sysinfo;
  Settings settings;
  FakePopupHost popups;
  bool settingsVisible = false;
  int previews = 0;
  MainTick tick{windows, clock, locale, sysinfo, settings, popups};
  TitleWriter& writer = tick.titles();
};

}  // namespace kestrova::testing

#pragma once
// The whole program over fakes, started as Kestrova.exe starts it from C:\Tools.
#include <gtest/gtest.h>

#include "app/program.h"
#include "fakes/fake_app.h"
#include "fakes/fake_dialogs.h"
#include "fakes/fake_files.h"
#include "fakes/fake_form.h"
#include "fakes/fake_hotkeys.h"
#include "fakes/fake_platform.h"
#include "ui/settings_window.h"

namespace kestrova::testing {

class ProgramFixture : public ::testing::Test {
 protected:
  ProgramFixture() {
    clock.local = {1984, 1, 17, 17, 30, 30};
    platform.hotkeys = &hotkeys;
  }
  void Ini(const std::string& section, const std::string& key, const std::string& value) {
    store.WriteString("", section, key, value);
  }
  bool Start() {
    return program.StartUp("C:\\Tools", [this](SettingsWindow&) -> SettingsWindowView& { return view; });
  }

  FakeWindowSystem windows;
  FakeClock clock;
  FakeLocale locale;
  MemoryProfileStore store;
  PassThroughCodePage codePage;
  FakeSysInfoSources sysinfo;
  FakeShell shell;
  FakePrompts prompts;
  FakeFiles files;
  MapVersionInfo version;
  FixedWindowPicker picker;
  FakeHotkeys hotkeys;
  Platform platform{windows, clock, locale, store, codePage, sysinfo, shell, prompts, files, version, picker};
  Program program{platform};
  FakeSettingsView view;
};

}  // namespace kestrova::testing

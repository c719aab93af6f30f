#pragma once
// The settings window's model over fakes, opened as start-up opens it.
#include <gtest/gtest.h>

#include <memory>

#include "fakes/fake_app.h"
#include "fakes/fake_form.h"
#include "fakes/fake_platform.h"
#include "settings/ini_file.h"
#include "ui/settings_window.h"

namespace kestrova::testing {

class SettingsFixture : public ::testing::Test {
 protected:
  SettingsFixture() {
    clock.local = {1984, 1, 17, 17, 30, 30};
    settings.Use = 1;
  }
  void Open() {
    window = std::make_unique<SettingsWindow>(SettingsWindowContext{
        windows, clock, locale, sysinfo, shell, prompts, settings, ini, "C:\\T\\", "C:\\S\\", {}, hooks});
    window->AttachView(view);
    window->Load();
  }
  FormModel& F() { return window->Form(); }

  FakeWindowSystem windows;
  FakeClock clock;
  FakeLocale locale;
  MemoryProfileStore store;
  PassThroughCodePage codePage;
  IniFile ini{store, codePage, "C:\\T\\Kestrova.ini"};
  FakeSysInfoSources sysinfo;
  FakeShell shell;
  FakePrompts prompts;
  Settings settings;
  SettingsHooks hooks;
  FakeSettingsView view;
  std::unique_ptr<SettingsWindow> window;
};

}  // namespace kestrova::testing

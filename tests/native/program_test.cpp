#include "app/program.h"

#include <gtest/gtest.h>

#include "fakes/fake_app.h"
#include "fakes/fake_dialogs.h"
#include "fakes/fake_files.h"
#include "fakes/fake_form.h"
#include "fakes/fake_platform.h"
#include "ui/settings_window.h"

namespace kestrova {
namespace {

using namespace kestrova::testing;

class ProgramTest : public ::testing::Test {
 protected:
  ProgramTest() {
    clock.local = {1984, 1, 17, 17, 30, 30};
    windows.Add(1, "Memo");
    windows.Add(2, "Browser");
    windows.foreground = 1;
  }
  void Ini(const std::string& section, const std::string& key, const std::string& value) {
    store.WriteString("", section, key, value);
  }
  bool Start() {
    return program.StartUp("C:\\Tools", [this](SettingsWindow&) -> SettingsWindowView& { return view; });
  }
  std::vector<std::string> Asked(PromptKind kind) const {
    std::vector<std::string> titles;
    for (const auto& a : prompts.asked) {
      if (a.kind == kind) titles.push_back(a.title);
    }
    return titles;
  }
  std::string StartupCaption() { return program.window().MenuBarItems()[1].children[0].caption; }
  void Resident() {
    Ini("Main", "Use", "1");
    Ini("Main", "WindowHide", "1");
    ASSERT_TRUE(Start());
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
  int samplersStarted = 0, samplersStopped = 0;
  Platform platform{windows,
                    clock,
                    locale,
                    store,
                    codePage,
                    sysinfo,
                    shell,
                    prompts,
                    files,
                    version,
                    picker,
                    [this] { ++samplersStarted; },
                    [this] { ++samplersStopped; }};
  Program program{platform};
  FakeSettingsView view;
};

TEST_F(ProgramTest, FirstRunAsksWelcomeThenShowsSettingsWindow) {
  ASSERT_TRUE(Start());
  EXPECT_EQ(program.AppPath(), "C:\\Tools\\");
  EXPECT_EQ(program.StartupFolder(), "C:\\Users\\u\\Startup\\");
  EXPECT_EQ(Asked(PromptKind::kQuestion), std::vector<std::string>{"ようこそ！"});
  EXPECT_TRUE(view.visible);
  EXPECT_FALSE(shell.trayIcon);
  EXPECT_TRUE(store.Has("Main", "WindowHandle"));
  EXPECT_EQ(store.Get("Main", "WindowHandle"), "");
  EXPECT_EQ(view.interval, 1000);
  EXPECT_EQ(samplersStarted, 1);
  EXPECT_TRUE(shell.iconsLoaded);
  EXPECT_EQ(StartupCaption(), "スタートアップに登録(&S)");
  EXPECT_TRUE(program.window().Loaded());
}

TEST_F(ProgramTest, ConfiguredAndHiddenStartsResidentWithoutQuestion) {
  files.AddFile("C:\\Users\\u\\Startup\\Kestrova.lnk", 348, 0);
  Resident();
  EXPECT_TRUE(Asked(PromptKind::kQuestion).empty());
  EXPECT_FALSE(view.visible);
  EXPECT_EQ(store.Get("Main", "WindowHandle"), " 901") << "written with its sign column";
  EXPECT_EQ(windows.windows[1].title, "Memo <1984/01/17(Tue) 17:30:30>") << "loading ran a tick";
  EXPECT_TRUE(shell.trayIcon);
  EXPECT_EQ(shell.trayTip, TrayTipText());
  EXPECT_EQ(StartupCaption(), "スタートアップから削除(&S)");
  EXPECT_TRUE(program.window().StartupRegistered());
}

TEST_F(ProgramTest, NoTrayIconWhenTaskIconIsOff) {
  Ini("Main", "TaskIcon", "0");
  Resident();
  EXPECT_EQ(shell.trayAdds, 0);
}

TEST_F(ProgramTest, SecondCopyWakesTheResidentFirstAndEnds) {
  shell.otherInstance = true;
  Ini("Main", "WindowHandle", " 4242");
  EXPECT_FALSE(Start());
  EXPECT_EQ(shell.wakeUps, std::vector<WindowHandle>{4242});
  EXPECT_EQ(samplersStarted, 0);
  EXPECT_TRUE(Asked(PromptKind::kQuestion).empty());

  shell.wakeUps.clear();
  Ini("Main", "WindowHandle", "");
  EXPECT_FALSE(Start());
  EXPECT_TRUE(shell.wakeUps.empty()) << "a copy showing its settings window is not woken";
}

TEST_F(ProgramTest, TimingSettingDrivesTheTickInterval) {
  const std::pair<int, int> cases[] = {{0, 500}, {1, 1000},   {2, 3000},       {3, 60000},
                                       {-1, 2},  {-250, 500}, {-32767, 65534}, {7, 1000}};
  for (auto [timing, ms] : cases) EXPECT_EQ(TimingToInterval(timing), ms) << timing;
  Ini("Timing", "Timing", "-250");
  Resident();
  EXPECT_EQ(view.interval, 500);
}

TEST_F(ProgramTest, TickFollowsTheForegroundWindowWhileResident) {
  Resident();
  SettingsWindow& form = program.window();
  form.Tick();
  EXPECT_EQ(windows.windows[1].title, "Memo <1984/01/17(Tue) 17:30:30>");
  windows.foreground = 2;
  form.Tick();
  EXPECT_EQ(windows.windows[1].title, "Memo");
  EXPECT_EQ(windows.windows[2].title, "Browser <1984/01/17(Tue) 17:30:30>");
  windows.foreground = 0;
  form.Tick();
  EXPECT_EQ(windows.windows[2].title, "Browser <1984/01/17(Tue) 17:30:30>") << "no foreground: no-op";
}

TEST_F(ProgramTest, SettingsWindowInFrontRestoresTitleAndPreviews) {
  Resident();
  SettingsWindow& form = program.window();
  form.Tick();
  form.RunCommand(kCmdIconSetup);
  EXPECT_TRUE(view.visible);
  EXPECT_FALSE(shell.trayIcon) << "Hide defaults to Yes";
  EXPECT_EQ(store.Get("Main", "WindowHandle"), "");

  windows.writes.clear();
  windows.foreground = 2;
  form.Tick();
  EXPECT_TRUE(windows.writes.empty()) << "settings visible: nothing is touched";

  windows.foreground = view.handle;
  form.Tick();
  EXPECT_EQ(windows.windows[1].title, "Memo");
  EXPECT_EQ(program.window().Form().Text(kLabel2), "タイトル <1984/01/17(Tue) 17:30:30>");
}

TEST_F(ProgramTest, HideNoKeepsTheTrayIconWhileTheSettingsShow) {
  Ini("NotifyIcon", "Hide", "No");
  Resident();
  program.window().RunCommand(kCmdIconSetup);
  EXPECT_TRUE(view.visible);
  EXPECT_TRUE(shell.trayIcon);
  EXPECT_EQ(store.Get("Main", "WindowHandle"), "");
}

TEST_F(ProgramTest, PauseGivesTitleBackAndStopsWriting) {
  Resident();
  SettingsWindow& form = program.window();
  form.Tick();
  form.RunCommand(kCmdIconPause);
  EXPECT_EQ(windows.windows[1].title, "Memo");
  windows.writes.clear();
  form.Tick();
  EXPECT_TRUE(windows.writes.empty());
  form.RunCommand(kCmdIconPause);
  form.Tick();
  EXPECT_EQ(windows.windows[1].title, "Memo <1984/01/17(Tue) 17:30:30>");
}

TEST_F(ProgramTest, CopyCommandsUseTheSavedPatternsWithoutMessages) {
  Ini("Clock", "Alarm", "1");
  Ini("Alarm0000", "Type", "0");
  Ini("Alarm0000", "Message", "会議");
  Ini("SystemInfo", "SysInfStr", "\"CPU %8/%08\"");
  Resident();
  program.window().RunCommand(kCmdIconTimeCopy);
  EXPECT_EQ(shell.clipboard, " <1984/01/17(Tue) 17:30:30>") << "the clock alone, as in the title";
  program.window().RunCommand(kCmdIconSysInfoCopy);
  EXPECT_EQ(shell.clipboard, "CPU 1%/001%") << "one CPU sample for the whole text";
}

TEST_F(ProgramTest, TrayIconComesBackAfterExplorerRestartsWhereItBelongs) {
  Resident();
  shell.trayIcon = false;  // Explorer restarted
  program.window().TaskbarCreated();
  EXPECT_TRUE(shell.trayIcon);
  EXPECT_EQ(store.Get("Main", "WindowHandle"), " 901") << "nothing else changes";

  program.window().RunCommand(kCmdIconSetup);  // Hide=Yes: no icon while the settings are shown
  program.window().TaskbarCreated();
  EXPECT_FALSE(shell.trayIcon);
}

TEST_F(ProgramTest, NoTrayIconAfterExplorerRestartsBeforeTheProgramWentResident) {
  Ini("NotifyIcon", "Hide", "No");
  ASSERT_TRUE(Start());  // first run: the settings window shows
  program.window().TaskbarCreated();
  EXPECT_EQ(shell.trayAdds, 0);
  program.window().Command2Click(Command2::kOk);
  ASSERT_TRUE(shell.trayIcon);
  program.window().RunCommand(kCmdIconSetup);  // Hide=No: the icon stays while the settings show
  shell.trayIcon = false;
  program.window().TaskbarCreated();
  EXPECT_TRUE(shell.trayIcon);
}

TEST_F(ProgramTest, CloseBoxOnFirstRunSavesDefaultsAndGoesResident) {
  ASSERT_TRUE(Start());
  EXPECT_TRUE(program.window().QueryUnload(UnloadMode::kUser)) << "the close box only hides";
  EXPECT_FALSE(view.visible);
  EXPECT_FALSE(view.closed);
  EXPECT_EQ(store.Get("Main", "Use"), "1");
  EXPECT_EQ(store.Get("Clock", "FormatText"), "\" <yyyy/mm/dd(ddd) hh:mm:ss>\"");
  EXPECT_EQ(Asked(PromptKind::kInformation), std::vector<std::string>{"デフォルトの設定"});
  EXPECT_EQ(program.settings().Use, 1);

  program.window().RunCommand(kCmdIconSetup);
  program.window().QueryUnload(UnloadMode::kUser);
  EXPECT_EQ(Asked(PromptKind::kInformation).size(), 1u) << "the first-run notice comes once";
}

TEST_F(ProgramTest, ApplyOnFirstRunKeepsWindowOpenOkHides) {
  ASSERT_TRUE(Start());
  program.window().Command2Click(Command2::kApply);
  EXPECT_TRUE(view.visible);
  EXPECT_EQ(Asked(PromptKind::kInformation), std::vector<std::string>{"設定完了！"});
  program.window().Command2Click(Command2::kOk);
  EXPECT_FALSE(view.visible);
  EXPECT_EQ(Asked(PromptKind::kInformation).size(), 1u);
}

TEST_F(ProgramTest, ExitRestoresTitleAndReleasesEverything) {
  Resident();
  SettingsWindow& form = program.window();
  form.Tick();
  EXPECT_FALSE(form.QueryUnload(UnloadMode::kFromOutside));
  EXPECT_EQ(windows.windows[1].title, "Memo");
  EXPECT_TRUE(view.closed);
  EXPECT_FALSE(shell.trayIcon);
  EXPECT_FALSE(shell.iconsLoaded);
  EXPECT_EQ(samplersStopped, 1);
  EXPECT_EQ(store.Get("Main", "WindowHandle"), "");
  windows.writes.clear();
  form.Tick();
  EXPECT_TRUE(windows.writes.empty()) << "no tick after the end";
}

}  // namespace
}  // namespace kestrova

#include "app/program.h"

#include <gtest/gtest.h>

#include <functional>

#include "alarms/alarm_editor.h"
#include "program_fixture.h"
#include "shell/about_window.h"
#include "ui/countdown_picker.h"
#include "ui/hotkey_dialog.h"
#include "ui/rule_editor.h"
#include "ui/rule_list.h"
#include "ui/time_format_dialog.h"

namespace kestrova {
namespace {

using namespace kestrova::testing;

class ProgramTest : public ProgramFixture {
 protected:
  ProgramTest() {
    windows.Add(1, "Memo");
    windows.Add(2, "Browser");
    windows.foreground = 1;
    platform.startSamplers = [this] { ++samplersStarted; };
    platform.stopSamplers = [this] { ++samplersStopped; };
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

  // The title the rule editor shows after a drag of its target onto `under`.
  std::string PickedThroughRuleEditor(const PickedWindow& under) {
    picker.under = under;
    std::string shown;
    prompts.dialogs.push_back([&](FormModel& editor) {
      editor.UserMouse(kRuleTarget, MouseAction::kUp, kLeftButton);
      shown = editor.Text(kRuleTitle);
      editor.UserClick(kRuleCancel);
    });
    program.window().Form().UserClick(kCommand4 + 0);
    return shown;
  }

  int samplersStarted = 0, samplersStopped = 0;
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

TEST_F(ProgramTest, AStartFinishesARewriteACrashInterrupted) {
  const std::string ini = "C:\\Tools\\Kestrova.ini";
  store.files = {{ini, "half"}, {ini + ".new", "whole"}};
  shell.otherInstance = true;
  EXPECT_FALSE(Start());
  EXPECT_EQ(store.files[ini], "half") << "a second copy leaves the first copy's file alone";
  shell.otherInstance = false;
  ASSERT_TRUE(Start());
  EXPECT_EQ(store.files[ini], "whole");
  EXPECT_EQ(store.files.count(ini + ".new"), 0u);
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

  // Shown without coming to the front: the last target has its own title back at once, and nothing
  // else is touched.
  EXPECT_EQ(windows.windows[1].title, "Memo");
  windows.writes.clear();
  windows.foreground = 2;
  form.Tick();
  EXPECT_TRUE(windows.writes.empty()) << "settings visible";

  windows.foreground = view.handle;
  form.Tick();
  EXPECT_EQ(windows.windows[1].title, "Memo");
  EXPECT_EQ(program.window().Form().Text(kLabel2), "タイトル <1984/01/17(Tue) 17:30:30>");
}

// A rule picked from a window that still shows our clock names the window's own title.
TEST_F(ProgramTest, RuleEditorPicksTheOwnTitleOfADecoratedWindow) {
  Resident();
  SettingsWindow& form = program.window();
  form.Tick();
  windows.windows[1].hung = true;
  form.RunCommand(kCmdIconSetup);  // window 1 does not take its title back: it still shows the clock
  struct Case {
    WindowHandle window;
    std::string shows, picked;
  };
  const Case cases[] = {{1, windows.windows[1].title, "Memo"},
                        {2, "Browser", "Browser"},
                        {1, "Memo - renamed", "Memo - renamed"}};
  for (const Case& c : cases) {
    EXPECT_EQ(PickedThroughRuleEditor(PickedWindow{c.shows, "Notepad", c.window}), c.picked) << c.window;
  }
  EXPECT_EQ(windows.windows[1].title, "Memo <1984/01/17(Tue) 17:30:30>");
}

// With MDIChild=1 the child carries our text; a maximised child shows it inside the frame's title.
TEST_F(ProgramTest, RuleEditorPicksTheOwnTitleOfADecoratedMdiChild) {
  Ini("Main", "MDIChild", "1");
  windows.Add(10, "App");
  windows.Add(11, "", "MDIClient");
  windows.Add(12, "Child");
  windows.windows[11].parent = 10;
  windows.windows[12].parent = 11;
  windows.windows[11].mdiActive = 12;
  windows.foreground = 10;
  Resident();
  SettingsWindow& form = program.window();
  form.Tick();
  const std::string written = windows.windows[12].title;
  ASSERT_NE(written, "Child");
  windows.windows[12].hung = true;
  form.RunCommand(kCmdIconSetup);  // the child keeps the clock
  struct Case {
    WindowHandle window;
    std::string shows, picked;
  };
  const Case cases[] = {{10, "App - [" + written + "]", "App - [Child]"},
                        {10, "App", "App"},
                        {2, "Browser - [" + written + "]", "Browser - [" + written + "]"}};
  for (const Case& c : cases) {
    EXPECT_EQ(PickedThroughRuleEditor(PickedWindow{c.shows, "Frame", c.window}), c.picked) << c.shows;
  }
}

// The welcome question is part of the load: no tick of any cause runs while
// it is up (here the box is not known as ours, so only that keeps it plain).
TEST_F(ProgramTest, NoTickRunsWhileTheWelcomeQuestionIsUp) {
  windows.Add(50, "ようこそ！", "#32770");
  windows.foreground = 50;
  int ticks = 0;
  prompts.whileAsked = [&](const FakePrompts::Asked& a) {
    if (a.title != "ようこそ！") return;
    for (const TickCause cause : {TickCause::kEvent, TickCause::kTimer}) {
      program.window().Tick(cause);
      ++ticks;
    }
    // Answered: the box goes, the window before it is in front again.
    windows.windows[50].exists = false;
    windows.foreground = 1;
  };
  ASSERT_TRUE(Start());
  EXPECT_EQ(ticks, 2);
  EXPECT_EQ(windows.windows[50].title, "ようこそ！");
  for (const auto& [window, text] : windows.writes) EXPECT_NE(window, 50u) << text;
  // Once started, a window in front is decorated.
  program.window().Command2Click(Command2::kOk);
  program.window().Tick();
  EXPECT_NE(windows.windows[1].title, "Memo");
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

// The tray menu stays reachable while a dialog is open; what it would open
// waits, so a second editor cannot save an older list over the first's.
TEST_F(ProgramTest, NoSecondDialogOpensOverAnOpenOne) {
  Resident();
  SettingsWindow& w = program.window();
  int nested = -1;
  prompts.dialogs.push_back([&](FormModel& d) {
    const int before = prompts.modalRuns;
    for (int command : {int{kCmdIconSetupAlarm}, int{kCmdIconVersion}}) w.RunCommand(command);
    nested = prompts.modalRuns - before;
    d.UserText(kEditorText1, "会議");
    d.UserClick(kEditorAdd);
    d.UserClick(kEditorOk);
  });
  w.RunCommand(kCmdIconSetupAlarm);
  EXPECT_EQ(nested, 0);
  EXPECT_EQ(program.settings().Alarms.size(), 1u);
  w.RunCommand(kCmdIconVersion);
  EXPECT_EQ(prompts.modalRuns, 2) << "once closed, the next one opens";
}

// Each command reaches its dialog, and what the user did there shows in the
// settings window afterwards, also while it is hidden.
TEST_F(ProgramTest, EveryCommandOpensItsDialogAndTheWindowShowsTheOutcome) {
  files.volumes["C:\\"] = VolumeFacts{"SYSTEM", 0x1234ABCD};
  files.AddFolder("C:\\Tools");
  files.AddFile("C:\\Tools\\Kestrova.exe", 1000, 1, "KESTRO~1.EXE");
  files.AddFolder("C:\\Users\\u\\Startup");
  version.texts["LegalCopyright"] = "(C) Example";
  prompts.answers = {PromptAnswer::kYes, PromptAnswer::kYes};  // welcome, then its confirmation
  ASSERT_TRUE(Start());
  EXPECT_EQ(Asked(PromptKind::kQuestion), (std::vector<std::string>{"ようこそ！", "スタートアップ登録"}));
  EXPECT_TRUE(files.Exists("C:\\Users\\u\\Startup\\Kestrova.lnk"));
  EXPECT_EQ(StartupCaption(), "スタートアップから削除(&S)");
  SettingsWindow& w = program.window();
  FormModel& f = w.Form();
  program.window().Command2Click(Command2::kOk);  // resident: the window is hidden

  std::string shownLegal;
  AlarmIds::Id firstAlarm = AlarmIds::kNone;
  struct Step {
    const char* what;
    std::function<void()> run;
    const char* dialog;  // "" when no modal window opens
    std::function<void(FormModel&)> user;
    std::function<void()> check;
  };
  const Step steps[] = {
      {"tray alarm editor", [&] { w.RunCommand(kCmdIconSetupAlarm); }, kAlarmEditorCaption,
       [](FormModel& d) {
         d.UserText(kEditorText1, "会議");
         d.UserClick(kEditorAdd);
         d.UserClick(kEditorOk);
       },
       [&] { EXPECT_EQ(f.Text(kLabel6), "登録メッセージ：1 件"); }},
      {"page 2 alarm button",
       [&] {
         firstAlarm = w.tick().alarms().Ids().IdOf(0);
         f.UserClick(kCommand3);
       },
       kAlarmEditorCaption,
       [](FormModel& d) {
         d.UserValue(kEditorList1, 0);
         d.UserClick(kEditorDelete);
         d.UserText(kEditorText1, "昼食");
         d.UserClick(kEditorAdd);
         // Month, day and time, at the editor's "now": 1/17 17:30:30.
         for (int box : {kEditorMonthBox, kEditorDayBox, kEditorTimeBox}) d.UserValue(box, 1);
         d.UserText(kEditorText1, "終業");
         d.UserClick(kEditorAdd);
         d.UserClick(kEditorOk);
       },
       [&] {
         EXPECT_EQ(f.Text(kLabel6), "登録メッセージ：2 件");
         EXPECT_EQ(w.tick().alarms().Ids().IndexOf(firstAlarm), -1) << "a popup for it writes nowhere";
       }},
      {"about from the tray", [&] { w.RunCommand(kCmdIconVersion); }, kAboutCaption,
       [&](FormModel& d) {
         shownLegal = d.Text(kAboutLegal);
         d.UserClick(kAboutCommand1);
       },
       [&] { EXPECT_EQ(shownLegal, "(C) Example"); }},
      {"about from the menu bar", [&] { w.RunCommand(kCmdHelpVersion); }, kAboutCaption, nullptr, [] {}},
      {"hotkeys from the menu bar", [&] { w.RunCommand(kCmdSetupHotkey); }, kHotkeyCaption, nullptr, [] {}},
      {"startup removes",
       [&] {
         prompts.answers = {PromptAnswer::kYes};
         w.RunCommand(kCmdSetupStartup);
       },
       "", nullptr,
       [&] {
         EXPECT_FALSE(files.Exists("C:\\Users\\u\\Startup\\Kestrova.lnk"));
         EXPECT_EQ(StartupCaption(), "スタートアップに登録(&S)");
       }},
      {"second format button", [&] { f.UserClick(kCommand1 + 1); }, kTimeFormatCaption,
       [](FormModel& d) {
         d.UserText(kFormatText2, "hh時mm分");
         d.UserClick(kFormatOk);
       },
       [&] { EXPECT_EQ(f.Text(kText1 + 1), "hh時mm分"); }},
      {"cancelled format dialog", [&] { f.UserClick(kCommand1 + 0); }, kTimeFormatCaption,
       [](FormModel& d) { d.UserText(kFormatText2, "ss"); },
       [&] { EXPECT_EQ(f.Text(kText1 + 0), " <yyyy/mm/dd(ddd) hh:mm:ss>"); }},
      {"countdown from alarm", [&] { f.UserClick(kCommand5); }, kCountdownPickerCaption,
       [](FormModel& d) {
         d.UserValue(kPickerAlarms, 1);
         d.UserClick(kPickerOk);
       },
       [&] {
         // Type 8: the year stays "現在"; hour, minute and second lists start with "現在" too.
         const int lists[] = {0, 1, 17, 18, 31, 31};
         for (int i = 0; i < 6; ++i) EXPECT_EQ(f.Value(kCombo3 + i), lists[i]) << i;
       }},
      {"add rule", [&] { f.UserClick(kCommand4 + 0); }, kRuleEditorCaption,
       [](FormModel& d) {
         d.UserText(kRuleName, "メモ");
         d.UserText(kRuleClass, "Notepad");
         d.UserValue(kRuleAllow, 1);
         d.UserClick(kRuleOk);
       },
       [&] { EXPECT_EQ(f.State(kList2).items, std::vector<std::string>{"許:メモ"}); }},
      {"add keeps the allow choice", [&] { f.UserClick(kCommand4 + 0); }, kRuleEditorCaption,
       [](FormModel& d) {
         EXPECT_EQ(d.Value(kRuleAllow), 1);
         d.UserText(kRuleName, "電卓");
         d.UserText(kRuleTitle, "電卓");
         d.UserValue(kRuleExclude, 1);
         d.UserClick(kRuleOk);
       },
       [&] {
         EXPECT_EQ(f.State(kList2).items, (std::vector<std::string>{"許:メモ", "除:電卓"}));
         EXPECT_EQ(w.RuleTooltipAt(1), "除外:タイトル:電卓/クラス名なし");
         EXPECT_EQ(w.RuleTooltipAt(-1), kRuleListTip);
       }},
      {"double click edits the selected row",
       [&] {
         f.UserValue(kList2, 0);
         f.UserDoubleClick(kList2);
       },
       kRuleEditorCaption,
       [](FormModel& d) {
         EXPECT_EQ(d.Text(kRuleName), "メモ");
         d.UserText(kRuleName, "メモ帳");
         d.UserClick(kRuleOk);
       },
       [&] {
         EXPECT_EQ(f.State(kList2).items, (std::vector<std::string>{"許:メモ帳", "除:電卓"}));
       }},
      {"delete the selected row", [&] { f.UserClick(kCommand4 + 2); }, "", nullptr,
       [&] {
         EXPECT_EQ(f.State(kList2).items, std::vector<std::string>{"除:電卓"});
         EXPECT_EQ(w.WorkingRules().size(), 1u);
         EXPECT_TRUE(program.settings().WindowRules.empty())
             << "working rules reach the settings with OK only";
       }},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.what);
    std::vector<std::string> opened;
    prompts.dialogs = {[&](FormModel& d) {
      opened.push_back(d.Spec().caption);
      if (s.user) s.user(d);
    }};
    s.run();
    EXPECT_EQ(opened, s.dialog[0] == '\0' ? std::vector<std::string>{} : std::vector<std::string>{s.dialog});
    EXPECT_FALSE(view.visible);
    s.check();
  }
  // Nothing stays greyed for want of a window.
  for (int id : {kCommand1 + 0, kCommand1 + 1, int{kCommand3}, kCommand4 + 0, kCommand4 + 1, kCommand4 + 2,
                 int{kCommand5}}) {
    EXPECT_TRUE(f.State(id).enabled) << id;
  }
  for (const auto& items : {w.IconMenuItems(), w.MenuBarItems()}) {
    for (const MenuItem& item : items) {
      EXPECT_TRUE(item.enabled) << item.caption;
      for (const MenuItem& child : item.children) EXPECT_TRUE(child.enabled) << child.caption;
    }
  }
}

// A folder nothing can be saved in (Program Files, a read-only medium) is
// named at start, once; a writable one is not, and keeps no trace of the check.
TEST(ProgramFolderCheck, NotWritableFolderIsToldAtStart) {
  for (const bool readOnly : {false, true}) {
    SCOPED_TRACE(readOnly);
    struct Run : ProgramFixture {
      void TestBody() override {}
      using ProgramFixture::files, ProgramFixture::Ini, ProgramFixture::prompts, ProgramFixture::Start;
    } run;
    run.Ini("Main", "Use", "1");
    run.Ini("Main", "WindowHide", "1");
    if (readOnly) run.files.readOnlyFolders.insert("C:\\Tools");
    ASSERT_TRUE(run.Start());
    int told = 0;
    for (const auto& a : run.prompts.asked) {
      told += a.text == kFolderNotWritable && a.kind == PromptKind::kExclamation ? 1 : 0;
    }
    EXPECT_EQ(told, readOnly ? 1 : 0);
    EXPECT_FALSE(run.files.Exists("C:\\Tools\\Kestrova.ini.check"));
  }
}

}  // namespace
}  // namespace kestrova

#include "ui/keyboard_commands.h"

#include <gtest/gtest.h>

#include "fakes/fake_hotkeys.h"
#include "program_fixture.h"
#include "ui/hotkey_dialog.h"

namespace kestrova {
namespace {

using namespace kestrova::testing;

class KeyboardCommandsTest : public ProgramFixture {
 protected:
  KeyboardCommandsTest() {
    windows.Add(1, "Memo");
    windows.foreground = 1;
    Ini("Main", "Use", "1");
    Ini("Main", "WindowHide", "1");
    Ini("SystemInfo", "SysInfStr", "\"情報 %%\"");
  }
  KeyboardCommands& Keys() { return *program.keys(); }
  // The state the tray's item leaves, to compare a command's with.
  struct Outcome {
    bool paused;
    std::string clipboard;
    bool visible;
    bool ended;
    bool operator==(const Outcome&) const = default;
  };
  Outcome Now() { return {program.window().Paused(), shell.clipboard, view.visible, view.closed}; }
};

TEST_F(KeyboardCommandsTest, HotkeysFromTheFileAreRegisteredAndTheBadOnesReported) {
  Ini("Hotkey", "Pause", "Ctrl+Alt+P");
  Ini("Hotkey", "TimeCopy", "Ctrl+Alt+T");  // held by another program
  Ini("Hotkey", "SysInfoCopy", "Ctrl+Banana");
  Ini("Hotkey", "Setting", " Shift+Ctrl+F12 ");
  hotkeys.heldElsewhere = {*ParseHotkey("Ctrl+Alt+T")};
  ASSERT_TRUE(Start());
  EXPECT_EQ(Keys().Statuses(), (HotkeyStatuses{HotkeyStatus::kRegistered, HotkeyStatus::kInUse,
                                               HotkeyStatus::kUnreadable, HotkeyStatus::kNone,
                                               HotkeyStatus::kRegistered}));
  EXPECT_EQ(hotkeys.registered.size(), 2u) << "the others still work";
  EXPECT_EQ(hotkeys.registered[HotkeyId(HotkeyCommand::kSetting)], *ParseHotkey("Ctrl+Shift+F12"));
  ASSERT_EQ(hotkeys.balloons.size(), 1u);
  EXPECT_EQ(hotkeys.balloons[0], "Ctrl+Alt+T は他のプログラムが使用中です（現在時刻をコピー）");
  EXPECT_EQ(store.Get("Hotkey", "SysInfoCopy"), "Ctrl+Banana") << "the setting is kept";

  // Released elsewhere and Explorer restarted: registered again, no balloon then.
  hotkeys.heldElsewhere.clear();
  Keys().RegisterAll(false);
  EXPECT_EQ(Keys().Statuses()[1], HotkeyStatus::kRegistered);
  EXPECT_EQ(hotkeys.registered.size(), 3u);
  EXPECT_EQ(hotkeys.balloons.size(), 1u);
}

TEST_F(KeyboardCommandsTest, AFileWithoutTheSectionRegistersNothing) {
  ASSERT_TRUE(Start());
  EXPECT_TRUE(hotkeys.registered.empty());
  EXPECT_TRUE(hotkeys.balloons.empty());
  EXPECT_EQ(Keys().Texts(), HotkeyTexts{});
}

TEST_F(KeyboardCommandsTest, EachCommandDoesWhatTheTrayItemDoes) {
  ASSERT_TRUE(Start());
  const struct {
    const char* what;
    std::function<void()> command;
    int trayItem;
  } cases[] = {
      {"pause hotkey", [&] { Keys().Pressed(HotkeyId(HotkeyCommand::kPause)); }, kCmdIconPause},
      {"/toggle", [&] { Keys().Run(RemoteCommand::kToggle); }, kCmdIconPause},
      {"time copy hotkey", [&] { Keys().Pressed(HotkeyId(HotkeyCommand::kTimeCopy)); }, kCmdIconTimeCopy},
      {"/timecopy", [&] { Keys().Run(RemoteCommand::kTimeCopy); }, kCmdIconTimeCopy},
      {"system information hotkey", [&] { Keys().Pressed(HotkeyId(HotkeyCommand::kSysInfoCopy)); },
       kCmdIconSysInfoCopy},
      {"/sysinfocopy", [&] { Keys().Run(RemoteCommand::kSysInfoCopy); }, kCmdIconSysInfoCopy},
      {"settings hotkey", [&] { Keys().Pressed(HotkeyId(HotkeyCommand::kSetting)); }, kCmdIconSetup},
      {"/setting", [&] { Keys().Run(RemoteCommand::kSetting); }, kCmdIconSetup},
  };
  for (const auto& c : cases) {
    shell.clipboard.clear();
    const Outcome before = Now();
    program.window().RunCommand(c.trayItem);
    const Outcome byTray = Now();
    EXPECT_NE(byTray, before) << c.what << ": the tray item changes something";
    // Back as it was, then the same through the keyboard.
    if (byTray.paused != before.paused) program.window().RunCommand(kCmdIconPause);
    shell.clipboard = before.clipboard;
    view.visible = before.visible;
    c.command();
    EXPECT_EQ(Now(), byTray) << c.what;
    if (Now().paused) program.window().RunCommand(kCmdIconPause);
    view.visible = false;
  }
  EXPECT_TRUE(hotkeys.typed.empty());
}

TEST_F(KeyboardCommandsTest, PauseAndResumeSetTheStateWhateverItWas) {
  ASSERT_TRUE(Start());
  program.window().Tick();
  for (int round = 0; round < 2; ++round) {
    EXPECT_TRUE(Keys().Run(RemoteCommand::kPause));
    EXPECT_TRUE(program.window().Paused());
    EXPECT_EQ(windows.windows[1].title, "Memo") << "the title back at once, as the tray's pause does";
  }
  for (int round = 0; round < 2; ++round) {
    EXPECT_TRUE(Keys().Run(RemoteCommand::kResume));
    EXPECT_FALSE(program.window().Paused());
  }
}

TEST_F(KeyboardCommandsTest, TypingUsesTheClockTextWithoutLeadingBlanksAndLeavesTheClipboard) {
  Ini("Clock", "FormatText", "\"　 yyyy/mm/dd\"");
  ASSERT_TRUE(Start());
  shell.clipboard = "kept";
  Keys().Pressed(HotkeyId(HotkeyCommand::kTimeType));
  Keys().Run(RemoteCommand::kTimeType);
  ASSERT_EQ(hotkeys.typed.size(), 2u);
  EXPECT_EQ(hotkeys.typed[0], (std::pair<std::string, int>{"1984/01/17", 0}));
  EXPECT_EQ(hotkeys.typed[1], (std::pair<std::string, int>{"1984/01/17", kTimeTypeDelayMs}))
      << "the caller's window takes the focus back first";
  EXPECT_EQ(shell.clipboard, "kept");
}

TEST_F(KeyboardCommandsTest, ExitEndsAsTheTrayExitAndRefusesLaterCommands) {
  ASSERT_TRUE(Start());
  program.window().Tick();
  EXPECT_TRUE(Keys().Run(RemoteCommand::kExit));
  EXPECT_TRUE(view.closed);
  EXPECT_EQ(windows.windows[1].title, "Memo");
  EXPECT_FALSE(shell.trayIcon);
  EXPECT_FALSE(Keys().Run(RemoteCommand::kTimeCopy)) << "nothing runs after the end";
}

TEST_F(KeyboardCommandsTest, TheDialogFromTheMenuBarStoresAndRegisters) {
  Ini("Hotkey", "TimeType", "Win+Ctrl+Y");
  Ini("Hotkey", "Pause", "Ctrl+Nope");
  ASSERT_TRUE(Start());
  prompts.dialogs.push_back([this](FormModel& f) {
    EXPECT_EQ(f.Spec().caption, std::string(kHotkeyCaption));
    EXPECT_TRUE(hotkeys.registered.empty()) << "a registered combination could not be pressed in a field";
    EXPECT_EQ(f.Text(kHotkeyStatusBase + 0), "「Ctrl+Nope」は解釈できないため、なしとして扱っています");
    EXPECT_EQ(f.Value(kHotkeyFieldBase + 0), 0);
    f.UserValue(kHotkeyFieldBase + 1, 'T' | (6 << 8));  // Ctrl+Alt+T pressed in the field
    f.UserClick(kHotkeyOk);
  });
  program.window().RunCommand(kCmdSetupHotkey);
  EXPECT_EQ(store.Get("Hotkey", "TimeCopy"), "Ctrl+Alt+T");
  EXPECT_EQ(store.Get("Hotkey", "TimeType"), "Win+Ctrl+Y") << "an untouched row keeps its text";
  EXPECT_EQ(store.Get("Hotkey", "Pause"), "Ctrl+Nope");
  EXPECT_EQ(hotkeys.registered[HotkeyId(HotkeyCommand::kTimeCopy)], *ParseHotkey("Ctrl+Alt+T"));
  EXPECT_EQ(hotkeys.registered[HotkeyId(HotkeyCommand::kTimeType)], *ParseHotkey("Ctrl+Win+Y"));

  prompts.dialogs.push_back([](FormModel& f) { f.UserClick(kHotkeyCancel); });
  program.window().RunCommand(kCmdSetupHotkey);
  EXPECT_EQ(hotkeys.registered.size(), 2u) << "registered again after キャンセル";
}

TEST(HotkeyDialog, ClearCancelAndTheInUseLine) {
  const HotkeyTexts texts = {"Ctrl+Alt+P", "Ctrl+Alt+T", "", "", "F9"};
  const HotkeyStatuses statuses = {HotkeyStatus::kRegistered, HotkeyStatus::kInUse, HotkeyStatus::kNone,
                                   HotkeyStatus::kNone, HotkeyStatus::kRegistered};
  HotkeyDialog dialog(texts, statuses);
  FormModel& f = dialog.Form();
  EXPECT_EQ(f.Value(kHotkeyFieldBase + 0), 'P' | (6 << 8));
  EXPECT_EQ(f.Value(kHotkeyFieldBase + 4), 0x78);
  EXPECT_EQ(f.Text(kHotkeyStatusBase + 1), "Ctrl+Alt+T は他のプログラムが使用中です");
  f.UserClick(kHotkeyClearBase + 0);
  EXPECT_EQ(f.Value(kHotkeyFieldBase + 0), 0);
  f.UserValue(kHotkeyFieldBase + 1, 'U' | (2 << 8));
  EXPECT_EQ(f.Text(kHotkeyStatusBase + 1), "") << "a new combination is not known to be held";
  f.UserValue(kHotkeyFieldBase + 2, 2 << 8);  // Ctrl alone
  f.UserClick(kHotkeyOk);
  ASSERT_TRUE(dialog.Result().has_value());
  EXPECT_EQ(*dialog.Result(), (HotkeyTexts{"", "Ctrl+U", "", "", "F9"}));

  HotkeyDialog cancelled(texts, statuses);
  cancelled.Form().UserClick(kHotkeyClearBase + 4);
  cancelled.Form().UserClick(kHotkeyCancel);
  EXPECT_FALSE(cancelled.Result().has_value());
}

}  // namespace
}  // namespace kestrova

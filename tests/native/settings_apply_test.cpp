// OK / Apply / Cancel, the preview, stored values the controls cannot show, and the menu commands.
#include <functional>

#include "form/palette.h"

#include "settings_fixture.h"

namespace kestrova {
namespace {

using testing::SettingsFixture;
using ApplyTest = SettingsFixture;

TEST_F(ApplyTest, ApplySavesTheEditsAndStaysCancelRestoresControlsAndInterval) {
  Open();
  F().UserText(kText1 + 0, " [hh]");
  F().UserValue(kHScroll1, 600);  // arrows: 1秒 stays selected
  window->Command2Click(Command2::kCancel);
  EXPECT_EQ(F().Text(kText1 + 0), kDefaultFormatText);
  EXPECT_EQ(F().Value(kHScroll1), 500);
  EXPECT_EQ(view.interval, 1000) << "Cancel puts the stored interval back";
  EXPECT_FALSE(store.Has("Clock", "FormatText")) << "Cancel writes nothing once configured";
  EXPECT_FALSE(view.visible);

  view.visible = true;
  F().UserText(kText1 + 0, " [hh]");
  window->Command2Click(Command2::kApply);
  EXPECT_EQ(settings.FormatText, " [hh]");
  EXPECT_EQ(store.Get("Clock", "FormatText"), "\" [hh]\"");
  EXPECT_TRUE(view.visible);
  EXPECT_TRUE(prompts.asked.empty());
  window->Command2Click(Command2::kOk);
  EXPECT_FALSE(view.visible);
}

TEST_F(ApplyTest, FirstRunWelcomeYesRegistersAndOkSavesWithItsNotice) {
  settings.Use = -1;
  prompts.answers = {PromptAnswer::kYes};
  int registrations = 0;
  hooks.welcome = [&] {
    prompts.Ask(PromptKind::kQuestion, "ようこそ！", "");
    ++registrations;
    shell.existingFiles.push_back("C:\\S\\Kestrova.lnk");
  };
  Open();
  ASSERT_EQ(prompts.asked.size(), 1u) << "the welcome asks, the window does not ask again";
  EXPECT_EQ(registrations, 1);
  EXPECT_EQ(window->MenuBarItems()[1].children[0].caption, "スタートアップから削除(&S)");
  window->Command2Click(Command2::kOk);
  ASSERT_EQ(prompts.asked.size(), 2u);
  EXPECT_EQ(prompts.asked[1].kind, PromptKind::kInformation);
  EXPECT_EQ(prompts.asked[1].title, "設定完了！");
  EXPECT_EQ(prompts.asked[1].text,
            "これで、アクティブなウインドウに日時などが表示されるようになります。\r\n"
            "設定を変更するにはタスクバーの『Kestrova』アイコンをクリックして下さい。");
  EXPECT_EQ(store.Get("Main", "Use"), "1");
  EXPECT_FALSE(view.visible);
}

TEST_F(ApplyTest, OverlayBoxIsCheckedByDefaultAndSavedLikeTheOtherBoxes) {
  Open();
  EXPECT_EQ(F().Value(kCheck1 + 3), 1);
  F().UserValue(kCheck1 + 3, 0);
  window->Command2Click(Command2::kCancel);
  EXPECT_EQ(F().Value(kCheck1 + 3), 1);
  EXPECT_EQ(settings.Overlay, 1);
  F().UserValue(kCheck1 + 3, 0);
  window->Command2Click(Command2::kApply);
  EXPECT_EQ(settings.Overlay, 0);
  EXPECT_EQ(store.Get("Main", "Overlay"), " 0");
}

// The colours follow the list at once; Cancel puts the saved choice back, Apply keeps the new one.
TEST_F(ApplyTest, ThemeListPreviewsTheColoursAndIsSavedLikeTheOtherLists) {
  settings.Theme = kThemeLight;
  Open();
  ThemeState& theme = ThemeState::Get();
  EXPECT_EQ(F().State(kCombo4).items, (std::vector<std::string>{"Windowsに合わせる", "ライト", "ダーク"}));
  EXPECT_EQ(F().Value(kCombo4), 1);
  EXPECT_EQ(theme.Setting(), kThemeLight);
  F().UserValue(kCombo4, 2);
  EXPECT_EQ(theme.Setting(), kThemeDark) << "shown before it is saved";
  EXPECT_EQ(settings.Theme, kThemeLight);
  window->Command2Click(Command2::kCancel);
  EXPECT_EQ(F().Value(kCombo4), 1);
  EXPECT_EQ(theme.Setting(), kThemeLight);
  F().UserValue(kCombo4, 2);
  window->Command2Click(Command2::kApply);
  EXPECT_EQ(settings.Theme, kThemeDark);
  EXPECT_EQ(store.Get("Main", "Theme"), " 2");
  EXPECT_EQ(theme.Setting(), kThemeDark);
  theme.SetSetting(kThemeFollowWindows);
}

TEST_F(ApplyTest, PreviewShowsUnsavedEditsWithoutTouchingSettings) {
  settings.SysInfStr = "saved";
  Open();
  F().UserText(kText1 + 0, " <hh:mm>");
  window->Preview();
  EXPECT_EQ(F().Text(kLabel2), "タイトル <17:30>");
  F().UserValue(kCombo1 + 0, 5);
  F().UserText(kText2, "[%1]");
  F().UserValue(kCombo1 + 2, 2);
  window->Preview();
  EXPECT_EQ(F().Text(kLabel2), "[" + sysinfo.MemoryText(1, false) + "] <17:30> <17:30>");
  EXPECT_EQ(settings.FormatText, kDefaultFormatText);
  EXPECT_EQ(settings.LeftText, 1);
  EXPECT_EQ(settings.SysInfStr, "saved");
}

// Every bound row: a stored value no control can show opens the window with
// the nearest value, Load and Cancel leave it, OK / Apply write the nearest back.
TEST_F(ApplyTest, StoredValuesOutOfRangeOpenTheWindowAndOnlyApplyWritesThemBack) {
  struct Case {
    const char* name;
    std::function<void(Settings&)> set;
    std::function<int(const Settings&)> get;
    int stored, control, shown, written;
  };
  const Case cases[] = {
      {"LeftText", [](Settings& s) { s.LeftText = 9; }, [](const Settings& s) { return s.LeftText; }, 9,
       kCombo1 + 0, 5, 5},
      {"RightText", [](Settings& s) { s.RightText = -4; }, [](const Settings& s) { return s.RightText; }, -4,
       kCombo1 + 2, 0, 0},
      {"WorldTimeZone", [](Settings& s) { s.WorldTimeZone = 40; },
       [](const Settings& s) { return s.WorldTimeZone; }, 40, kCombo2, 30, 30},
      {"CountDownYear", [](Settings& s) { s.CountDownYear = 1200; },
       [](const Settings& s) { return int{s.CountDownYear}; }, 1200, kCombo3 + 0, 1000, 1000},
      {"CountDownMonth", [](Settings& s) { s.CountDownMonth = 13; },
       [](const Settings& s) { return int{s.CountDownMonth}; }, 13, kCombo3 + 1, 12, 12},
      {"CountDownDay", [](Settings& s) { s.CountDownDay = 32; },
       [](const Settings& s) { return int{s.CountDownDay}; }, 32, kCombo3 + 2, 31, 31},
      {"CountDownHour", [](Settings& s) { s.CountDownHour = 25; },
       [](const Settings& s) { return int{s.CountDownHour}; }, 25, kCombo3 + 3, 24, 24},
      {"CountDownSecond", [](Settings& s) { s.CountDownSecond = -1; },
       [](const Settings& s) { return int{s.CountDownSecond}; }, -1, kCombo3 + 5, 0, 0},
      {"Timing low", [](Settings& s) { s.Timing = -40000; }, [](const Settings& s) { return s.Timing; },
       -40000, kHScroll1, 32767, -32767},
      {"Timing high", [](Settings& s) { s.Timing = 9; }, [](const Settings& s) { return s.Timing; }, 9,
       kHScroll1, 500, -500},
      {"TitleLenght high", [](Settings& s) { s.TitleLenght = 300; },
       [](const Settings& s) { return s.TitleLenght; }, 300, kVScroll1, -1, 255},
      {"TitleLenght low", [](Settings& s) { s.TitleLenght = -7; },
       [](const Settings& s) { return s.TitleLenght; }, -7, kVScroll1, 255, -1},
      {"ChangeTiming", [](Settings& s) { s.ChangeTiming = 0; },
       [](const Settings& s) { return s.ChangeTiming; }, 0, kHScroll2, 1, 1},
      {"MessagePosition", [](Settings& s) { s.MessagePosition = 6; },
       [](const Settings& s) { return s.MessagePosition; }, 6, kOption1 + 3, 1, 3},
      {"WindowHide greyed", [](Settings& s) { s.WindowHide = 2; },
       [](const Settings& s) { return s.WindowHide; }, 2, kCheck1 + 0, 2, 2},
      {"TaskIcon", [](Settings& s) { s.TaskIcon = 7; }, [](const Settings& s) { return s.TaskIcon; }, 7,
       kCheck1 + 1, 2, 2},
      {"Overlay", [](Settings& s) { s.Overlay = 3; }, [](const Settings& s) { return s.Overlay; }, 3,
       kCheck1 + 3, 2, 2},
      {"Theme unknown", [](Settings& s) { s.Theme = 7; }, [](const Settings& s) { return s.Theme; }, 7, kCombo4,
       0, 0},
      {"Theme negative", [](Settings& s) { s.Theme = -1; }, [](const Settings& s) { return s.Theme; }, -1,
       kCombo4, 0, 0},
      {"WorldTimeDST", [](Settings& s) { s.WorldTimeDST = -3; },
       [](const Settings& s) { return s.WorldTimeDST; }, -3, kCheck2, 0, 0},
      {"AntiType", [](Settings& s) { s.AntiType = 200; }, [](const Settings& s) { return int{s.AntiType}; },
       200, kChkAnMW, 2, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    settings = Settings();
    settings.Use = 1;
    c.set(settings);
    Open();
    EXPECT_EQ(F().Value(c.control), c.shown);
    EXPECT_EQ(c.get(settings), c.stored) << "opening writes nothing";
    window->Command2Click(Command2::kCancel);
    EXPECT_EQ(c.get(settings), c.stored) << "Cancel writes nothing";
    window->Command2Click(Command2::kApply);
    EXPECT_EQ(c.get(settings), c.written);
  }
}

TEST_F(ApplyTest, FileMenuCopiesTheBoxesTrayCopiesTheSavedTexts) {
  settings.FormatText = " <hh:mm>";
  settings.SysInfStr = "saved";
  Open();
  F().UserText(kText1 + 0, "[hh]");
  F().UserText(kText2, "typed");
  const struct {
    int command;
    const char* text;
  } cases[] = {{kCmdFileTimeCopy, "[17]"},
               {kCmdIconTimeCopy, " <17:30>"},
               {kCmdFileSysInfoCopy, "typed"},
               {kCmdIconSysInfoCopy, "saved"}};
  for (const auto& c : cases) {
    window->RunCommand(c.command);
    EXPECT_EQ(shell.clipboard, c.text) << c.command;
  }
  window->RunCommand(kCmdHelpReadme);
  EXPECT_EQ(shell.opened, std::vector<std::string>{"C:\\T\\Readme.txt"});
  EXPECT_EQ(shell.openedIn, std::vector<std::string>{"C:\\T\\"});
}

TEST_F(ApplyTest, TrayClicksFollowShowSettingAndTheMenuAlwaysOpens) {
  const struct {
    int showSetting, message;
    bool opens;
  } cases[] = {{1, kTrayLeftUp, true},  {1, kTrayLeftDoubleClick, false},
               {2, kTrayLeftUp, false}, {2, kTrayLeftDoubleClick, true},
               {0, kTrayLeftUp, false}, {0, kTrayLeftDoubleClick, false}};
  for (const auto& c : cases) {
    settings.ShowSetting = static_cast<std::uint8_t>(c.showSetting);
    Open();
    view.visible = false;
    window->TrayNotify(c.message);
    EXPECT_EQ(view.visible, c.opens) << c.showSetting << " " << c.message;
  }
  settings.ShowSetting = 0;
  Open();
  view.iconMenuChoice = kCmdIconPause;
  window->TrayNotify(kTrayRightUp);
  EXPECT_EQ(view.shownIconMenu.size(), 8u);
  EXPECT_TRUE(window->Paused());
  window->WakeUp();
  EXPECT_TRUE(view.visible) << "a second copy opens the settings whatever ShowSetting says";
}

TEST_F(ApplyTest, WindowsOfOtherPartsAreGreyedUntilTheirHooksExist) {
  Open();
  for (int id :
       {kCommand1 + 0, kCommand1 + 1, int{kCommand3}, kCommand4 + 0, kCommand4 + 1, int{kCommand5}}) {
    EXPECT_FALSE(F().State(id).enabled) << id;
  }
  EXPECT_FALSE(window->IconMenuItems()[2].enabled) << "メッセージアラーム設定";
  EXPECT_FALSE(window->MenuBarItems()[2].children[1].enabled) << "バージョン情報";

  hooks.alarmEditor = [this] { settings.AlarmCount = 5; };
  Open();
  EXPECT_TRUE(F().State(kCommand3).enabled);
  F().UserClick(kCommand3);
  EXPECT_EQ(F().Text(kLabel6), "登録メッセージ：5 件");
}

TEST_F(ApplyTest, CountdownListsFromAPickedAlarm) {
  AlarmEntry entry;
  entry.Type = 8;
  entry.Month = 12;
  entry.Day = 24;
  entry.Hour = 18;
  entry.Minute = 0;
  entry.Second = 0;
  settings.Alarms = {entry};
  settings.AlarmCount = 1;
  hooks.pickAlarm = [] { return 0; };
  Open();
  F().UserClick(kCommand5);
  const int expected[] = {0, 12, 24, 19, 1, 1};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(F().Value(kCombo3 + i), expected[i]) << i;
  EXPECT_EQ(F().State(kCombo3 + 3).items[19], "18");
}

}  // namespace
}  // namespace kestrova

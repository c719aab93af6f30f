#include "settings/settings.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <variant>

#include "ini_fixture.h"

namespace kestrova {
namespace {

using SettingsTest = testing::IniFixture;

// Every field that SaveSettings writes.
auto Stored(const Settings& s) {
  return std::tie(s.LeftText, s.MiddleText, s.RightText, s.WindowHide, s.TaskIcon, s.MDIChild, s.TitleLenght,
                  s.AntiType, s.Overlay, s.Theme, s.FormatText, s.AlarmCount, s.MessagePosition, s.WorldTimeFormatText,
                  s.WorldTimeZone, s.WorldTimeDST, s.CountDownYear, s.CountDownMonth, s.CountDownDay,
                  s.CountDownHour, s.CountDownMinute, s.CountDownSecond, s.SysInfStr, s.Timing,
                  s.ChangeTiming, s.WindowRules, s.Alarms);
}

// Nothing of this may survive a load: the defaults come from LoadSettings.
Settings Scribbled() {
  Settings s;
  s.LeftText = s.MiddleText = s.RightText = s.Use = s.WindowHide = s.TaskIcon = s.MDIChild = 77;
  s.TitleLenght = s.AlarmCount = s.MessagePosition = s.WorldTimeZone = s.WorldTimeDST = 77;
  s.Timing = s.ChangeTiming = s.Overlay = s.Theme = 77;
  s.AntiType = s.ShowSetting = 77;
  s.CountDownYear = s.CountDownMonth = s.CountDownDay = 77;
  s.CountDownHour = s.CountDownMinute = s.CountDownSecond = 77;
  s.FormatText = s.WorldTimeFormatText = s.SysInfStr = "scribble";
  s.Hide = false;
  s.WindowRules.resize(3);
  s.Alarms.resize(2);
  return s;
}

TEST_F(SettingsTest, MissingFileGivesEveryDefault) {
  Settings s = Scribbled();
  LoadSettings(ini_, s);
  EXPECT_EQ(Stored(s), Stored(Settings{}));
  EXPECT_EQ(s.LeftText, 1);
  EXPECT_EQ(s.MiddleText, 2);
  EXPECT_EQ(s.RightText, 0);
  EXPECT_EQ(s.Use, -1);
  EXPECT_EQ(s.WindowHide, 0);
  EXPECT_EQ(s.TaskIcon, 1);
  EXPECT_EQ(s.TitleLenght, -1);
  EXPECT_EQ(s.Overlay, 1) << "a file from before the overlay shows it";
  EXPECT_EQ(s.Theme, 0) << "a file from before the colour choice follows Windows";
  EXPECT_EQ(s.FormatText, " <yyyy/mm/dd(ddd) hh:mm:ss>");
  EXPECT_EQ(s.WorldTimeFormatText, " <yyyy/mm/dd(ddd) hh:mm:ss>");
  EXPECT_EQ(s.SysInfStr, "");
  EXPECT_EQ(s.Timing, 1);
  EXPECT_EQ(s.ChangeTiming, 1);
  EXPECT_EQ(s.ShowSetting, 1);
  EXPECT_TRUE(s.Hide);
  EXPECT_TRUE(s.WindowRules.empty());
  EXPECT_TRUE(s.Alarms.empty());
  EXPECT_FALSE(std::filesystem::exists(Path()));
}

TEST_F(SettingsTest, SaveWritesEveryKeyInOrderWithItsEncoding) {
  Settings s;
  s.CountDownYear = 8;
  s.CountDownMinute = -5;
  s.WindowRules = {{true, " メモ帳", "無題 - メモ帳", 1, "Notepad"},
                   {false, "Explorer", "", 0, "CabinetWClass"}};
  s.Alarms = {{"昼休み", 9, 1, 1, 3, 12, 0, 0, "お昼です", 3600, 1}};
  s.AlarmCount = 1;
  SaveSettings(ini_, s);
  EXPECT_EQ(
      ReadFile(),
      "[Main]\r\nLeftText= 1\r\nMiddleText= 2\r\nRightText= 0\r\nWindowHide= 0\r\nTaskIcon= 1\r\n"
      "MDIChild= 0\r\nTitleLenght=-1\r\nAntiType= 0\r\nOverlay= 1\r\nTheme= 0\r\n"
      "[Clock]\r\nFormatText=\" <yyyy/mm/dd(ddd) hh:mm:ss>\"\r\nAlarm= 1\r\nMessagePosition= 0\r\n"
      "[WorldClock]\r\nWorldTimeFormatText=\" <yyyy/mm/dd(ddd) hh:mm:ss>\"\r\nWorldTimeZone= 0\r\n"
      "WorldTimeDST= 0\r\n"
      "[CountDown]\r\nYear=8\r\nMonth=0\r\nDay=0\r\nHour=0\r\nMinute=-5\r\nSecond=0\r\n"
      "[SystemInfo]\r\nSysInfStr=\"\"\r\n"
      "[Timing]\r\nTiming= 1\r\nChangeTiming= 1\r\n"
      "[AntiKestrova001]\r\nName= メモ帳\r\nWindowTitle=無題 - メモ帳\r\nInTitle= 1\r\n"
      "WindowClass=Notepad\r\nAntiType=1\r\n"
      "[AntiKestrova002]\r\nName=Explorer\r\nWindowTitle=\r\nInTitle= 0\r\nWindowClass=CabinetWClass\r\n"
      "AntiType=0\r\n"
      "[AntiKestrova003]\r\nName=\r\n"
      "[Alarm0000]\r\nTitle=昼休み\r\nType= 9\r\nMonth= 1\r\nDay= 1\r\nWeek= 3\r\nHour= 12\r\n"
      "Minute= 0\r\nSecond= 0\r\nMessage=お昼です\r\nTime=3600\r\nBox=1\r\n");
}

TEST_F(SettingsTest, EveryStoredFieldRoundTrips) {
  Settings s;
  s.LeftText = 5;
  s.MiddleText = 0;
  s.RightText = 3;
  s.WindowHide = 1;
  s.TaskIcon = 0;
  s.MDIChild = 1;
  s.Overlay = 0;
  s.Theme = 2;
  s.TitleLenght = 255;
  s.AntiType = 1;
  s.FormatText = "  hh:mm  ";
  s.MessagePosition = 2;
  s.WorldTimeFormatText = "\"NY\" hh:mm";
  s.WorldTimeZone = 30;
  s.WorldTimeDST = 1;
  s.CountDownYear = 32767;
  s.CountDownMonth = 12;
  s.CountDownDay = 31;
  s.CountDownHour = -32768;
  s.CountDownMinute = 60;
  s.CountDownSecond = 1;
  s.SysInfStr = " 空きメモリ %MP% ";
  s.Timing = -32767;
  s.ChangeTiming = 10;
  s.WindowRules = {{true, "rule", "title", 1, "class"}, {false, "表示", "ソ", 0, ""}};
  s.Alarms = {{"a", 0, 2, 3, 4, 5, 6, 7, "m", 30000, 0},
              {"ｂ", -1, 1, 1, 1, 1, 1, 1, "表示するメッセージ", 0, 1}};
  s.AlarmCount = 2;
  SaveSettings(ini_, s);
  Settings loaded = Scribbled();
  LoadSettings(ini_, loaded);
  EXPECT_EQ(Stored(loaded), Stored(s));
  EXPECT_EQ(loaded.Use, -1) << "Use is not SaveSettings' to write";
}

// No two fields share a value here, so a field stored under another's key shows.
TEST_F(SettingsTest, EveryFieldIsWrittenUnderItsOwnKey) {
  Settings s;
  s.LeftText = 3;
  s.MiddleText = 4;
  s.RightText = 5;
  s.Use = 6;
  s.WindowHide = 7;
  s.TaskIcon = 8;
  s.MDIChild = 9;
  s.TitleLenght = 10;
  s.AntiType = 11;
  s.FormatText = "F";
  s.AlarmCount = 12;
  s.MessagePosition = 13;
  s.WorldTimeFormatText = "W";
  s.WorldTimeZone = 14;
  s.WorldTimeDST = 15;
  s.CountDownYear = 16;
  s.CountDownMonth = 17;
  s.CountDownDay = 18;
  s.CountDownHour = 19;
  s.CountDownMinute = 20;
  s.CountDownSecond = 21;
  s.SysInfStr = "S";
  s.Timing = 22;
  s.ChangeTiming = 23;
  s.Overlay = 24;
  s.Theme = 25;
  s.ShowSetting = 2;
  s.Hide = false;
  s.Alarms.resize(12);
  SaveSettings(ini_, s);
  const std::string file = ReadFile();
  EXPECT_EQ(file.substr(0, file.find("[AntiKestrova001]")),
            "[Main]\r\nLeftText= 3\r\nMiddleText= 4\r\nRightText= 5\r\nWindowHide= 7\r\nTaskIcon= 8\r\n"
            "MDIChild= 9\r\nTitleLenght= 10\r\nAntiType= 11\r\nOverlay= 24\r\nTheme= 25\r\n"
            "[Clock]\r\nFormatText=\"F\"\r\nAlarm= 12\r\nMessagePosition= 13\r\n"
            "[WorldClock]\r\nWorldTimeFormatText=\"W\"\r\nWorldTimeZone= 14\r\nWorldTimeDST= 15\r\n"
            "[CountDown]\r\nYear=16\r\nMonth=17\r\nDay=18\r\nHour=19\r\nMinute=20\r\nSecond=21\r\n"
            "[SystemInfo]\r\nSysInfStr=\"S\"\r\n"
            "[Timing]\r\nTiming= 22\r\nChangeTiming= 23\r\n")
      << "Use, ShowSetting and Hide are not SaveSettings' to write";

  WriteFile("[NotifyIcon]\r\nShowSetting=lDblClick\r\nHide=no\r\n[Main]\r\nUse=6\r\n" +
            file.substr(std::string("[Main]\r\n").size()));
  Settings loaded = Scribbled();
  LoadSettings(ini_, loaded);
  EXPECT_EQ(Stored(loaded), Stored(s));
  EXPECT_EQ(loaded.Use, 6);
  EXPECT_EQ(loaded.ShowSetting, 2);
  EXPECT_FALSE(loaded.Hide);
}

// A file written before "Overlay" existed shows the overlay, and saving it
// again changes nothing but the new key at the end of its section.
TEST_F(SettingsTest, FileWithoutOverlayLoadsItOnAndKeepsItsBytes) {
  const std::string main =
      "[Main]\r\nUse=1\r\nLeftText= 1\r\nMiddleText= 2\r\nRightText= 0\r\nWindowHide= 1\r\n"
      "TaskIcon= 1\r\nMDIChild= 0\r\nTitleLenght=-1\r\nAntiType= 0\r\nWindowHandle=\r\n";
  const std::string rest =
      "[Clock]\r\nFormatText=\" <yyyy/mm/dd(ddd) hh:mm:ss>\"\r\nAlarm= 0\r\nMessagePosition= 0\r\n"
      "[WorldClock]\r\nWorldTimeFormatText=\" <yyyy/mm/dd(ddd) hh:mm:ss>\"\r\nWorldTimeZone= 0\r\n"
      "WorldTimeDST= 0\r\n"
      "[CountDown]\r\nYear=0\r\nMonth=0\r\nDay=0\r\nHour=0\r\nMinute=0\r\nSecond=0\r\n"
      "[SystemInfo]\r\nSysInfStr=\"\"\r\n"
      "[Timing]\r\nTiming= 1\r\nChangeTiming= 1\r\n"
      "[AntiKestrova001]\r\nName=\r\n";
  WriteFile(main + rest);
  Settings s = Scribbled();
  LoadSettings(ini_, s);
  EXPECT_EQ(s.Overlay, 1);
  SaveSettings(ini_, s);
  EXPECT_EQ(ReadFile(), main + "Overlay= 1\r\nTheme= 0\r\n" + rest);
  s.Overlay = 0;
  SaveSettings(ini_, s);
  LoadSettings(ini_, s);
  EXPECT_EQ(s.Overlay, 0);
}

TEST_F(SettingsTest, KeysLeftToTheirOwners) {
  Settings s;
  s.Use = 1;
  WriteSetting(ini_, s, SettingKey::kUse);
  EXPECT_EQ(ReadFile(), "[Main]\r\nUse=1\r\n") << "plain decimal, nothing else written";
  s.ShowSetting = 0;
  s.Hide = false;
  WriteSetting(ini_, s, SettingKey::kShowSetting);
  WriteSetting(ini_, s, SettingKey::kHide);
  WriteSetting(ini_, s, SettingKey::kWindowHandle);
  EXPECT_EQ(ReadFile(), "[Main]\r\nUse=1\r\n") << "hand-written words and the handle are never written here";
  s.TitleLenght = -1;
  WriteSetting(ini_, s, SettingKey::kTitleLenght);
  EXPECT_EQ(ReadFile(), "[Main]\r\nUse=1\r\nTitleLenght=-1\r\n");

  struct Case {
    std::int64_t handle;
    const char* text;
  } cases[] = {{901, " 901"}, {0x7FFF0000, " 2147418112"}, {-5, "-5"}};
  for (const Case& c : cases) {
    WriteFile("");
    WriteWindowHandle(ini_, c.handle);
    EXPECT_EQ(ReadFile(), "[Main]\r\nWindowHandle=" + std::string(c.text) + "\r\n");
    EXPECT_EQ(ReadWindowHandle(ini_), c.handle);
  }
  ClearWindowHandle(ini_);
  EXPECT_EQ(ReadFile(), "[Main]\r\nWindowHandle=\r\n");
  EXPECT_EQ(ReadWindowHandle(ini_), 0);
  WriteFile("");
  EXPECT_EQ(ReadWindowHandle(ini_), 0);
}

TEST(SettingFieldTest, EveryKeyButTheHandleHasAField) {
  for (const auto& row : kSettingKeys) {
    EXPECT_EQ(std::holds_alternative<std::monostate>(SettingField(row.id)),
              row.id == SettingKey::kWindowHandle)
        << row.key;
  }
}

TEST_F(SettingsTest, RawTextLosesOuterBlanksQuotedTextKeepsThem) {
  Settings s;
  s.FormatText = " <hh:mm>";
  s.WindowRules = {{false, "  padded  ", " t ", 0, " c "}};
  SaveSettings(ini_, s);
  Settings loaded;
  LoadSettings(ini_, loaded);
  EXPECT_EQ(loaded.FormatText, " <hh:mm>");
  ASSERT_EQ(loaded.WindowRules.size(), 1u);
  EXPECT_EQ(loaded.WindowRules[0].Name, "padded");
  EXPECT_EQ(loaded.WindowRules[0].WindowTitle, "t");
  EXPECT_EQ(loaded.WindowRules[0].WindowClass, "c");
}

TEST_F(SettingsTest, WindowHideFollowsUseWhenAbsent) {
  struct Case {
    const char* main;
    int use;
    int windowHide;
  } cases[] = {
      {"Use=1\r\n", 1, 1},
      {"Use=-1\r\n", -1, 0},
      {"", -1, 0},
      {"Use=1\r\nWindowHide=56\r\n", 1, 1},  // 56 is the same as absent
      {"Use=-1\r\nWindowHide=56\r\n", -1, 0},
      {"Use=1\r\nWindowHide=0\r\n", 1, 0},
      {"Use=-1\r\nWindowHide=1\r\n", -1, 1},
      {"Use=1\r\nWindowHide=\r\n", 1, 1},  // empty reads as absent
  };
  for (const Case& c : cases) {
    WriteFile(std::string("[Main]\r\n") + c.main);
    Settings s;
    LoadSettings(ini_, s);
    EXPECT_EQ(s.Use, c.use) << c.main;
    EXPECT_EQ(s.WindowHide, c.windowHide) << c.main;
  }
}

// Out of the field's range the value counts as absent (the default), so a
// hand-edited number never wraps into a different meaning.
TEST_F(SettingsTest, NarrowFieldsTakeTheirDefaultWhenOutOfRange) {
  struct Case {
    const char* value;
    int antiType;
    int inTitle;
    int year;
  } cases[] = {
      {"255", 255, 255, 255}, {"256", 0, 0, 256},      {"-1", 0, 0, -1},
      {"32767", 0, 0, 32767}, {"32768", 0, 0, 0},      {"-32768", 0, 0, -32768},
      {"-32769", 0, 0, 0},    {"4294967297", 1, 1, 1},  // the service wraps first
      {"text", 0, 0, 0},
  };
  for (const Case& c : cases) {
    const std::string v = c.value;
    WriteFile("[Main]\r\nAntiType=" + v + "\r\n[CountDown]\r\nYear=" + v +
              "\r\n[AntiKestrova001]\r\nName=r\r\nInTitle=" + v + "\r\n");
    Settings s;
    LoadSettings(ini_, s);
    EXPECT_EQ(s.AntiType, c.antiType) << v;
    EXPECT_EQ(s.CountDownYear, c.year) << v;
    ASSERT_EQ(s.WindowRules.size(), 1u);
    EXPECT_EQ(s.WindowRules[0].InTitle, c.inTitle) << v;
  }
}

TEST_F(SettingsTest, RulesStopAtTheFirstSectionWithoutName) {
  WriteFile(
      "[AntiKestrova001]\r\nName=one\r\nAntiType=1\r\n"
      "[AntiKestrova002]\r\nName=two\r\nAntiType=2\r\nWindowTitle=表示\r\nInTitle= 1\r\n"
      "[AntiKestrova004]\r\nName=four\r\n");
  Settings s;
  LoadSettings(ini_, s);
  ASSERT_EQ(s.WindowRules.size(), 2u);
  EXPECT_EQ(s.WindowRules[0], (WindowRule{true, "one", "", 0, ""}));
  EXPECT_EQ(s.WindowRules[1], (WindowRule{false, "two", "表示", 1, ""})) << "only 1 is an allow rule";
}

TEST_F(SettingsTest, ShrinkingTheRuleListLeavesOldSectionsUnread) {
  Settings s;
  s.WindowRules = {{false, "a", "", 0, "A"}, {false, "b", "", 0, "B"}, {false, "c", "", 0, "C"}};
  SaveSettings(ini_, s);
  s.WindowRules.resize(1);
  SaveSettings(ini_, s);
  EXPECT_EQ(ini_.IniReadString("AntiKestrova002", "Name", "absent"), "");
  EXPECT_EQ(ini_.IniReadString("AntiKestrova002", "WindowClass", "absent"), "B");
  EXPECT_EQ(ini_.IniReadString("AntiKestrova003", "Name", "absent"), "c");
  Settings loaded;
  LoadSettings(ini_, loaded);
  EXPECT_EQ(loaded.WindowRules, s.WindowRules);
}

TEST_F(SettingsTest, AtMost999RulesLoad) {
  std::string file;
  for (int i = 1; i <= 1001; ++i) {
    char section[32];
    std::snprintf(section, sizeof section, "[AntiKestrova%03d]\r\n", i);
    file += section + ("Name=r" + std::to_string(i) + "\r\n");
  }
  WriteFile(file);
  Settings s;
  LoadSettings(ini_, s);
  ASSERT_EQ(s.WindowRules.size(), 999u);
  EXPECT_EQ(s.WindowRules.back().Name, "r999");
}

TEST_F(SettingsTest, TrayOptionsFromHandWrittenKeys) {
  struct Case {
    const char* lines;
    int showSetting;
    bool hide;
  } cases[] = {
      {"", 1, true},
      {"ShowSetting=lClick\r\nHide=Yes\r\n", 1, true},
      {"ShowSetting=ldblclick\r\nHide=yes\r\n", 2, true},
      {"ShowSetting=LDBLCLICK\r\nHide=YES\r\n", 2, true},
      {"ShowSetting=None\r\nHide=No\r\n", 0, false},
      {"ShowSetting=right\r\nHide=1\r\n", 1, false},
      {"ShowSetting=\r\nHide=\r\n", 1, false},
      {"ShowSetting=\"NONE\"\r\nHide= Yes \r\n", 0, true},
  };
  for (const Case& c : cases) {
    WriteFile(std::string("[NotifyIcon]\r\n") + c.lines);
    Settings s;
    s.ShowSetting = 9;
    LoadSettings(ini_, s);
    EXPECT_EQ(s.ShowSetting, c.showSetting) << c.lines;
    EXPECT_EQ(s.Hide, c.hide) << c.lines;
  }
}

TEST_F(SettingsTest, NumbersWrittenWithASignColumnReadBack) {
  WriteFile("[Main]\r\nLeftText= 1\r\nTitleLenght=-1\r\nMiddleText=abc\r\nRightText= 4 pieces\r\n");
  Settings s;
  LoadSettings(ini_, s);
  EXPECT_EQ(s.LeftText, 1);
  EXPECT_EQ(s.TitleLenght, -1);
  EXPECT_EQ(s.MiddleText, 0) << "text where a number belongs reads as 0";
  EXPECT_EQ(s.RightText, 4);
}

TEST_F(SettingsTest, LongTextsAreCutAt127Bytes) {
  std::string kanji80;
  for (int i = 0; i < 80; ++i) kanji80 += "表";
  WriteFile("[Clock]\r\nFormatText=\"" + std::string(200, 'h') +
            "\"\r\n[SystemInfo]\r\nSysInfStr=" + kanji80 + "\r\n");
  Settings s;
  LoadSettings(ini_, s);
  EXPECT_EQ(s.FormatText, std::string(127, 'h'));
  EXPECT_EQ(s.SysInfStr, kanji80.substr(0, 63 * 3)) << "126 bytes: never half a character";
}

TEST(SettingsPathTest, IsKestrovaIniInTheProgramFolder) {
  EXPECT_EQ(SettingsPath("C:\\Program Files\\Kestrova\\"), "C:\\Program Files\\Kestrova\\Kestrova.ini");
}

}  // namespace
}  // namespace kestrova

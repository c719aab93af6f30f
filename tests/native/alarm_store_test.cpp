#include "settings/alarm_store.h"

#include <gtest/gtest.h>

#include <string>

#include "ini_fixture.h"
#include "settings/settings.h"

namespace kestrova {
namespace {

using AlarmStoreTest = testing::IniFixture;

const AlarmEntry kMissing{"タイトル無し", -1, 1, 1, 1, 1, 1, 1, "メッセージ無し", 0, 0};

std::string Kanji(int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += "表";
  return text;
}

Settings WithAlarms(AlarmList alarms) {
  Settings s;
  s.AlarmCount = static_cast<std::int32_t>(alarms.size());
  s.Alarms = std::move(alarms);
  return s;
}

TEST_F(AlarmStoreTest, MissingSectionsGiveEntriesThatAreNeverDue) {
  WriteFile("[Alarm0000]\r\nTitle=朝\r\nType= 5\r\nHour= 9\r\nMessage=おはよう\r\nBox=1\r\n");
  Settings s;
  s.AlarmCount = 3;
  s.Alarms.resize(7);
  LoadAlarms(ini_, s);
  ASSERT_EQ(s.Alarms.size(), 3u);
  EXPECT_EQ(s.Alarms[0], (AlarmEntry{"朝", 5, 1, 1, 1, 9, 1, 1, "おはよう", 0, 1}));
  EXPECT_EQ(s.Alarms[1], kMissing);
  EXPECT_EQ(s.Alarms[2], kMissing);
  EXPECT_EQ(s.AlarmCount, 3);
  EXPECT_EQ(AlarmEntry{}, kMissing) << "a new entry is what a missing section reads as";
}

TEST(AlarmSectionNameTest, FourDigitsTheLastFourKept) {
  struct Case {
    std::int32_t index;
    const char* name;
  } cases[] = {{0, "Alarm0000"},    {12, "Alarm0012"},    {999, "Alarm0999"},
               {9999, "Alarm9999"}, {10000, "Alarm0000"}, {12345, "Alarm2345"}};
  for (const Case& c : cases) EXPECT_EQ(AlarmSectionName(c.index), c.name) << c.index;
}

TEST_F(AlarmStoreTest, SaveWritesEveryKeyInOrder) {
  Settings s = WithAlarms(
      {{"月曜朝", 9, 1, 1, 1, 8, 30, 0, "会議", 600, 1}, {"x", -1, 12, 31, 0, 0, 0, 59, "y", 0, 0}});
  SaveAlarms(ini_, s);
  EXPECT_EQ(
      ReadFile(),
      "[Alarm0000]\r\nTitle=月曜朝\r\nType= 9\r\nMonth= 1\r\nDay= 1\r\nWeek= 1\r\nHour= 8\r\nMinute= 30\r\n"
      "Second= 0\r\nMessage=会議\r\nTime=600\r\nBox=1\r\n"
      "[Alarm0001]\r\nTitle=x\r\nType=-1\r\nMonth= 12\r\nDay= 31\r\nWeek= 0\r\nHour= 0\r\nMinute= 0\r\n"
      "Second= 59\r\nMessage=y\r\nTime=0\r\nBox=0\r\n")
      << "the count is the caller's to write";
}

TEST_F(AlarmStoreTest, RoundTripKeepsEveryFieldButShown) {
  AlarmList alarms;
  for (int i = 0; i < 13; ++i) {
    alarms.push_back({"t" + std::to_string(i), i % 10, i % 12 + 1, i + 1, i % 7, i, i * 4, 59 - i,
                      "表示するメッセージ" + std::to_string(i), i * 1000, i % 2});
  }
  Settings s = WithAlarms(alarms);
  s.Alarms[3].Shown = true;
  SaveAlarms(ini_, s);
  EXPECT_EQ(ini_.IniReadString("Alarm0012", "Title", ""), "t12");
  Settings loaded;
  loaded.AlarmCount = 13;
  LoadAlarms(ini_, loaded);
  EXPECT_EQ(loaded.Alarms, alarms);
  EXPECT_FALSE(loaded.Alarms[3].Shown);
}

TEST_F(AlarmStoreTest, RawTextLosesBlanksAndLongMessagesAreCut) {
  Settings s = WithAlarms({{"  padded  ", 0, 1, 1, 1, 1, 1, 1, Kanji(80), 0, 0},
                           {"a", 0, 1, 1, 1, 1, 1, 1, "a" + Kanji(80), 0, 0}});
  SaveAlarms(ini_, s);
  Settings loaded;
  loaded.AlarmCount = 2;
  LoadAlarms(ini_, loaded);
  EXPECT_EQ(loaded.Alarms[0].Title, "padded");
  EXPECT_EQ(loaded.Alarms[0].Message, Kanji(63)) << "160 bytes cut to 126, not half of the 64th";
  EXPECT_EQ(loaded.Alarms[1].Message, "a" + Kanji(63));
}

TEST_F(AlarmStoreTest, LineBreaksAreStoredAsBlanks) {
  Settings s = WithAlarms({{"two\r\nlines", 0, 1, 1, 1, 1, 1, 1, "first\nType=5\rthird", 0, 0}});
  SaveAlarms(ini_, s);
  Settings loaded;
  loaded.AlarmCount = 1;
  LoadAlarms(ini_, loaded);
  EXPECT_EQ(loaded.Alarms[0].Title, "two lines");
  EXPECT_EQ(loaded.Alarms[0].Message, "first Type=5 third");
  EXPECT_EQ(loaded.Alarms[0].Type, 0);
}

TEST_F(AlarmStoreTest, ShrinkingTheListLeavesOldSectionsInTheFile) {
  AlarmList five;
  for (int i = 0; i < 5; ++i) five.push_back({"e" + std::to_string(i), 0, 1, 1, 1, 1, 1, 1, "m", 0, 0});
  SaveAlarms(ini_, WithAlarms(five));
  SaveAlarms(
      ini_, WithAlarms({{"new0", 1, 1, 1, 1, 1, 1, 1, "n", 0, 0}, {"new1", 2, 1, 1, 1, 1, 1, 1, "n", 0, 0}}));
  EXPECT_EQ(ini_.IniReadString("Alarm0004", "Title", ""), "e4");
  Settings loaded;
  loaded.AlarmCount = 2;
  LoadAlarms(ini_, loaded);
  ASSERT_EQ(loaded.Alarms.size(), 2u);
  EXPECT_EQ(loaded.Alarms[1].Title, "new1");
  loaded.AlarmCount = 5;
  LoadAlarms(ini_, loaded);
  EXPECT_EQ(loaded.Alarms[2].Title, "e2") << "a larger count sees the old sections again";
}

// A number key that holds no number takes that key's default; nothing else
// of the entry or of the others is lost.
TEST_F(AlarmStoreTest, TextThatIsNotANumberTakesTheKeysDefault) {
  struct Case {
    const char* value;
    std::int32_t type;  // default -1
    std::int32_t time;  // default 0
  } cases[] = {
      {"7", 7, 7},
      {" 7 ", 7, 7},
      {"+7", 7, 7},
      {"-3", -3, -3},
      {"abc", -1, 0},
      {"12abc", -1, 0},
      {"1.5", -1, 0},
      {"", -1, 0},
      {"-", -1, 0},
      {"99999999999", -1, 0},
      {"2147483647", 2147483647, 2147483647},
      {"\"8\"", 8, 8},
  };
  for (const Case& c : cases) {
    const std::string v = c.value;
    WriteFile("[Alarm0000]\r\nTitle=t\r\nType=" + v + "\r\nMonth=4\r\nTime=" + v + "\r\nBox=1\r\n" +
              "[Alarm0001]\r\nTitle=u\r\nType=3\r\n");
    Settings s;
    s.AlarmCount = 2;
    LoadAlarms(ini_, s);
    ASSERT_EQ(s.Alarms.size(), 2u);
    EXPECT_EQ(s.Alarms[0].Type, c.type) << v;
    EXPECT_EQ(s.Alarms[0].Time, c.time) << v;
    EXPECT_EQ(s.Alarms[0].Month, 4) << v;
    EXPECT_EQ(s.Alarms[0].Box, 1) << v;
    EXPECT_EQ(s.Alarms[1].Type, 3) << v;
  }
}

TEST_F(AlarmStoreTest, CountsOutsideTheStorableRange) {
  Settings s;
  s.AlarmCount = -4;
  s.Alarms.resize(2);
  LoadAlarms(ini_, s);
  EXPECT_TRUE(s.Alarms.empty());
  EXPECT_EQ(s.AlarmCount, 0);

  // A hand-edited count cannot make start-up read for ever.
  s.AlarmCount = 2147483647;
  LoadAlarms(ini_, s);
  EXPECT_EQ(s.Alarms.size(), static_cast<std::size_t>(kMaxStoredAlarms));
  EXPECT_EQ(s.AlarmCount, kMaxStoredAlarms);
}

TEST_F(AlarmStoreTest, SaveNeverGoesPastTheList) {
  Settings s = WithAlarms({{"only", 0, 1, 1, 1, 1, 1, 1, "m", 0, 0}});
  s.AlarmCount = 3;
  SaveAlarms(ini_, s);
  EXPECT_EQ(ini_.IniReadString("Alarm0000", "Title", "absent"), "only");
  EXPECT_EQ(ini_.IniReadString("Alarm0001", "Title", "absent"), "absent");

  s = WithAlarms({{"a", 0, 1, 1, 1, 1, 1, 1, "m", 0, 0}, {"b", 0, 1, 1, 1, 1, 1, 1, "m", 0, 0}});
  s.AlarmCount = 1;
  SaveAlarms(ini_, s);
  EXPECT_EQ(ini_.IniReadString("Alarm0001", "Title", "absent"), "absent");
}

TEST_F(AlarmStoreTest, SettingsLoadAndSaveCarryTheAlarms) {
  Settings s = WithAlarms({{"a", 4, 1, 1, 0, 1, 1, 1, "日曜日", 0, 0}});
  SaveSettings(ini_, s);
  EXPECT_EQ(ini_.IniReadString("Clock", "Alarm", ""), "1");
  Settings loaded;
  LoadSettings(ini_, loaded);
  EXPECT_EQ(loaded.AlarmCount, 1);
  EXPECT_EQ(loaded.Alarms, s.Alarms);
  EXPECT_EQ(loaded.Alarms[0].Week, 0) << "0 is Sunday";
}

}  // namespace
}  // namespace kestrova

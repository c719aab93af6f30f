#include "alarms/alarm_editor.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "settings/alarm_store.h"
#include "fakes/fake_app.h"
#include "fakes/fake_form.h"
#include "fakes/fake_platform.h"
#include "ini_fixture.h"
#include "settings/codepage_iconv.h"
#include "settings/ini_file.h"
#include "settings/settings.h"

namespace kestrova {
namespace {

AlarmEntry Entry(const std::string& title, int type, int box = 0) {
  AlarmEntry e;
  e.Title = title;
  e.Message = title + "です";
  e.Type = type;
  e.Month = 3;
  e.Day = 14;
  e.Week = 5;
  e.Hour = 9;
  e.Minute = 45;
  e.Second = 30;
  e.Time = 300;
  e.Box = box;
  return e;
}

// The clock reads Tuesday 2026-12-08 10:30:00.
class AlarmEditorTest : public ::testing::Test {
 protected:
  AlarmEditorTest() {
    settings.Alarms = {Entry("朝会", 9), Entry("昼食", 5), Entry("終業", 7)};
    settings.AlarmCount = 3;
  }

  AlarmEditor& Open() {
    view.reset();  // it lets go of the old form
    editor = std::make_unique<AlarmEditor>(prompts, locale, clock, ini, codePage, settings, ids);
    view = std::make_unique<testing::RecordingFormView>(editor->Form());
    return *editor;
  }
  FormModel& F() { return editor->Form(); }
  std::vector<std::string> Titles() const {
    std::vector<std::string> t;
    for (const AlarmEntry& e : editor->Working()) t.push_back(e.Title);
    return t;
  }
  // Check1(0..3) as "月日曜時" letters, "-" for a clear box.
  std::string Boxes() {
    std::string s;
    const char* names[] = {"月", "日", "曜", "時"};
    const int boxes[] = {kEditorMonthBox, kEditorDayBox, kEditorWeekBox, kEditorTimeBox};
    for (int i = 0; i < 4; ++i) s += F().Value(boxes[i]) == 1 ? names[i] : "-";
    return s;
  }
  std::string Enabled() {
    std::string s;
    for (int id : {kEditorMonth, kEditorDay, kEditorWeek, kEditorHour, kEditorMinute, kEditorSecond,
                   kEditorHScroll1}) {
      s += F().State(id).enabled ? '1' : '0';
    }
    return s;
  }
  void ExpectCombosAtNow() {
    EXPECT_EQ(F().Value(kEditorMonth), 11);
    EXPECT_EQ(F().Value(kEditorDay), 7);
    EXPECT_EQ(F().Value(kEditorWeek), 2) << "Tuesday";
    EXPECT_EQ(F().Value(kEditorHour), 10);
    EXPECT_EQ(F().Value(kEditorMinute), 30);
    EXPECT_EQ(F().Value(kEditorSecond), 0);
  }

  testing::FakePrompts prompts;
  testing::FakeLocale locale;
  testing::FakeClock clock;
  testing::MemoryProfileStore store;
  testing::PassThroughCodePage codePage;
  IniFile ini{store, codePage, "C:\\Kestrova\\Kestrova.ini"};
  Settings settings;
  AlarmIds ids;
  std::unique_ptr<AlarmEditor> editor;
  std::unique_ptr<testing::RecordingFormView> view;
};

TEST_F(AlarmEditorTest, OpensOnTheStoredListWithNothingSelected) {
  Open();
  EXPECT_EQ(F().Spec().caption, std::string("Kestrova-メッセージアラーム設定"));
  EXPECT_EQ(F().State(kEditorList1).items, (std::vector<std::string>{"朝会", "昼食", "終業"}));
  EXPECT_EQ(F().Value(kEditorList1), -1);
  ExpectCombosAtNow();
  EXPECT_EQ(F().State(kEditorWeek).items[0], "日");
  EXPECT_EQ(F().State(kEditorDay).items.back(), "31");
  EXPECT_EQ(Boxes(), "----");
  EXPECT_EQ(Enabled(), "0000000");
  EXPECT_EQ(F().Value(kEditorHScroll1), 0);
  EXPECT_EQ(F().Value(kEditorCheck2), 0);
}

// Loading an entry, then 変更 without touching anything, gives the entry back.
TEST_F(AlarmEditorTest, SelectingLoadsTheEntryAndChangeKeepsIt) {
  struct Case {
    int type;
    const char* boxesBefore;  // set by the user before selecting
    const char* boxes;
    const char* enabled;
    int savedType;
  };
  const Case cases[] = {
      {0, "月---", "----", "0000000", 0},      {1, "----", "月---", "1000000", 1},
      {2, "----", "-日--", "0100000", 2},      {3, "----", "月日--", "1100000", 3},
      {4, "月日--", "--曜-", "0010000", 4},    {5, "----", "---時", "0001111", 5},
      {6, "----", "月--時", "1001111", 6},     {7, "--曜-", "-日-時", "0101111", 7},
      {8, "----", "月日-時", "1101111", 8},    {9, "----", "--曜時", "0011111", 9},
      {-1, "月日-時", "月日--", "1100000", 3},  // no time; the date boxes as they were
      {10, "--曜-", "--曜時", "0011111", 9},    // time; the date boxes as they were
  };
  for (const Case& c : cases) {
    settings.Alarms[1] = Entry("昼食", c.type, 1);
    Open();
    const std::string before = c.boxesBefore;
    if (before.find("月") != std::string::npos) F().UserValue(kEditorMonthBox, 1);
    if (before.find("日") != std::string::npos) F().UserValue(kEditorDayBox, 1);
    if (before.find("曜") != std::string::npos) F().UserValue(kEditorWeekBox, 1);
    if (before.find("時") != std::string::npos) F().UserValue(kEditorTimeBox, 1);
    F().UserValue(kEditorList1, 1);
    EXPECT_EQ(Boxes(), c.boxes) << c.type;
    EXPECT_EQ(Enabled(), c.enabled) << c.type;
    EXPECT_EQ(F().Text(kEditorText1), "昼食");
    EXPECT_EQ(F().Text(kEditorText4), "昼食です");
    EXPECT_EQ(F().Value(kEditorMonth), 2);
    EXPECT_EQ(F().Value(kEditorDay), 13);
    EXPECT_EQ(F().Value(kEditorWeek), 5);
    EXPECT_EQ(F().Value(kEditorHour), 9);
    EXPECT_EQ(F().Value(kEditorMinute), 45);
    EXPECT_EQ(F().Value(kEditorSecond), 30);
    EXPECT_EQ(F().Value(kEditorHScroll1), 300);
    EXPECT_EQ(F().Value(kEditorCheck2), 1);
    F().UserClick(kEditorChange);
    const AlarmEntry& saved = editor->Working()[1];
    EXPECT_EQ(saved.Type, c.savedType) << c.type;
    AlarmEntry expected = Entry("昼食", c.savedType, 1);
    EXPECT_EQ(saved, expected) << c.type;
  }
}

// Weekday and month/day never combine; each box's own change is kept.
TEST_F(AlarmEditorTest, ConditionBoxesExcludeEachOther) {
  struct Case {
    std::vector<int> checks;
    const char* boxes;
    const char* enabled;
    int type;
  };
  const Case cases[] = {
      {{kEditorMonthBox, kEditorDayBox, kEditorWeekBox}, "--曜-", "0010000", 4},
      {{kEditorWeekBox, kEditorMonthBox}, "月---", "1000000", 1},
      {{kEditorWeekBox, kEditorDayBox, kEditorMonthBox}, "月日--", "1100000", 3},
      {{kEditorMonthBox, kEditorTimeBox, kEditorWeekBox}, "--曜時", "0011111", 9},
      {{kEditorWeekBox, kEditorTimeBox, kEditorDayBox}, "-日-時", "0101111", 7},
      {{kEditorTimeBox}, "---時", "0001111", 5},
  };
  for (const Case& c : cases) {
    Open();
    for (int box : c.checks) F().UserValue(box, 1);
    EXPECT_EQ(Boxes(), c.boxes);
    EXPECT_EQ(Enabled(), c.enabled);
    F().SetText(kEditorText1, "x");
    F().UserClick(kEditorAdd);
    EXPECT_EQ(editor->Working().back().Type, c.type);
  }
  // Unchecking goes through the same rule and re-disables its combo.
  Open();
  F().UserValue(kEditorMonthBox, 1);
  F().UserValue(kEditorMonthBox, 0);
  EXPECT_EQ(Enabled(), "0000000");
}

TEST_F(AlarmEditorTest, EmptyTitleIsRefusedWithAWarning) {
  struct Case {
    const char* what;
    int select;
    int button;
  };
  const Case cases[] = {
      {"追加", -1, kEditorAdd}, {"追加 with a line", 0, kEditorAdd}, {"変更", 0, kEditorChange}};
  for (const Case& c : cases) {
    prompts.asked.clear();
    Open();
    if (c.select >= 0) F().UserValue(kEditorList1, c.select);
    F().UserText(kEditorText1, "");
    F().UserText(kEditorText4, "何か");
    F().UserClick(c.button);
    ASSERT_EQ(prompts.asked.size(), 1u) << c.what;
    EXPECT_EQ(prompts.asked[0].kind, PromptKind::kExclamation);
    EXPECT_EQ(prompts.asked[0].title, "Kestrova");
    EXPECT_EQ(prompts.asked[0].text, "表示名を入力してください");
    EXPECT_EQ(editor->Working(), settings.Alarms) << c.what;
    EXPECT_EQ(F().State(kEditorList1).items.size(), 3u) << c.what;
  }
}

TEST_F(AlarmEditorTest, AddAppendsFromTheFieldsAndKeepsTheSelection) {
  Open();
  F().UserValue(kEditorList1, 1);
  F().UserText(kEditorText1, "新年");
  F().UserText(kEditorText4, "あけまして");
  F().UserValue(kEditorMonthBox, 1);
  F().UserValue(kEditorMonth, 0);
  F().UserValue(kEditorCheck2, 0);
  F().UserClick(kEditorAdd);
  EXPECT_EQ(F().State(kEditorList1).items, (std::vector<std::string>{"朝会", "昼食", "終業", "新年"}));
  EXPECT_EQ(F().Value(kEditorList1), 1);
  const AlarmEntry& added = editor->Working()[3];
  EXPECT_EQ(added.Title, "新年");
  EXPECT_EQ(added.Message, "あけまして");
  EXPECT_EQ(added.Type, 6) << "month and the loaded entry's time";
  EXPECT_EQ(added.Month, 1);
  EXPECT_EQ(added.Day, 14) << "combos are stored whether checked or not";
  EXPECT_EQ(added.Box, 0);
  EXPECT_FALSE(added.Shown);
  EXPECT_EQ(editor->Working()[1], settings.Alarms[1]) << "the selected entry is untouched";
}

TEST_F(AlarmEditorTest, ChangeRewritesTheLineAndClearsTheFields) {
  settings.Alarms[1].Shown = true;
  Open();
  F().UserValue(kEditorList1, 1);
  F().UserText(kEditorText1, "昼休み");
  F().UserClick(kEditorChange);
  EXPECT_EQ(F().State(kEditorList1).items[1], "昼休み");
  EXPECT_EQ(editor->Working()[1].Title, "昼休み");
  EXPECT_TRUE(editor->Working()[1].Shown) << "the flag stays with its entry";
  EXPECT_EQ(F().Value(kEditorList1), -1);
  EXPECT_EQ(F().Text(kEditorText1), "");
  EXPECT_EQ(F().Text(kEditorText4), "");
  EXPECT_EQ(Boxes(), "----");
  ExpectCombosAtNow();
  EXPECT_EQ(F().Value(kEditorHScroll1), 300) << "the duration keeps its value";
}

TEST_F(AlarmEditorTest, UpAndDownMoveTheSelectedEntryExceptAtTheEnds) {
  struct Case {
    int select;
    int button;
    std::vector<std::string> titles;
    int selected;
  };
  const Case cases[] = {
      {0, kEditorUp, {"朝会", "昼食", "終業"}, 0},   {2, kEditorDown, {"朝会", "昼食", "終業"}, 2},
      {1, kEditorUp, {"昼食", "朝会", "終業"}, 0},   {1, kEditorDown, {"朝会", "終業", "昼食"}, 2},
      {0, kEditorDown, {"昼食", "朝会", "終業"}, 1}, {2, kEditorUp, {"朝会", "終業", "昼食"}, 1},
      {-1, kEditorUp, {"朝会", "昼食", "終業"}, -1}, {-1, kEditorDown, {"朝会", "昼食", "終業"}, -1},
  };
  settings.Alarms[1].Shown = true;
  for (const Case& c : cases) {
    Open();
    if (c.select >= 0) F().UserValue(kEditorList1, c.select);
    view->calls.clear();
    F().UserClick(c.button);
    EXPECT_EQ(Titles(), c.titles) << c.select << " " << c.button;
    EXPECT_EQ(F().State(kEditorList1).items, c.titles);
    EXPECT_EQ(F().Value(kEditorList1), c.selected);
    EXPECT_EQ(view->calls, std::vector<std::string>{"focus 100"}) << "focus back on the list";
    for (const AlarmEntry& e : editor->Working())
      EXPECT_EQ(e.Shown, e.Title == "昼食") << "Shown moves along";
    if (c.selected >= 0) {
      EXPECT_EQ(F().Text(kEditorText1), c.titles[static_cast<size_t>(c.selected)]);
    }
  }
}

TEST_F(AlarmEditorTest, DeleteRemovesTheSelectedEntryAndLeavesNoSelection) {
  for (int k = 0; k < 3; ++k) {
    Open();
    F().UserValue(kEditorList1, k);
    F().UserClick(kEditorDelete);
    AlarmList expected = settings.Alarms;
    expected.erase(expected.begin() + k);
    EXPECT_EQ(editor->Working(), expected) << k;
    EXPECT_EQ(F().State(kEditorList1).items.size(), 2u);
    EXPECT_EQ(F().Value(kEditorList1), -1) << k;
    // The fields still hold the deleted entry: 変更 must not copy it onto a neighbour.
    F().UserClick(kEditorChange);
    F().UserClick(kEditorDelete);
    EXPECT_EQ(editor->Working(), expected) << k;
    EXPECT_TRUE(prompts.asked.empty());
  }
}

TEST_F(AlarmEditorTest, DurationIsShownInTheRegionalTimeFormat) {
  struct Case {
    const char* picture;
    int seconds;
    const char* label;
  };
  const Case cases[] = {
      {"H:mm:ss", 0, "0:00:00"},      {"H:mm:ss", 300, "0:05:00"},        {"H:mm:ss", 30000, "8:20:00"},
      {"HH:mm:ss", 3661, "01:01:01"}, {"tt h:mm:ss", 0, "午前 12:00:00"}, {"H時m分s秒", 4530, "1時15分30秒"},
      {"H'h'mm", 30000, "8h20"},
  };
  for (const Case& c : cases) {
    locale.regional.timeFormat = c.picture;
    Open();
    F().UserValue(kEditorTimeBox, 1);
    F().UserValue(kEditorHScroll1, c.seconds == 0 ? 1 : c.seconds, Cause::kThumbDrag);
    F().UserValue(kEditorHScroll1, c.seconds);
    EXPECT_EQ(F().Text(kEditorLabel2), c.label) << c.picture << " " << c.seconds;
  }
  Open();
  F().UserValue(kEditorHScroll1, 99999);
  EXPECT_EQ(F().Value(kEditorHScroll1), 30000);
}

TEST_F(AlarmEditorTest, LineBreaksInTitleAndMessageBecomeBlanks) {
  Open();
  F().UserText(kEditorText1, "朝\r\n会");
  F().UserText(kEditorText4, "a\nb\rc\r\n");
  F().UserClick(kEditorAdd);
  EXPECT_EQ(editor->Working()[3].Title, "朝 会");
  EXPECT_EQ(editor->Working()[3].Message, "a b c ");
  EXPECT_EQ(F().State(kEditorList1).items[3], "朝 会");
  F().UserValue(kEditorList1, 0);
  F().UserText(kEditorText1, "一\n二");
  F().UserClick(kEditorChange);
  EXPECT_EQ(editor->Working()[0].Title, "一 二");
}

TEST_F(AlarmEditorTest, StoredValuesOutsideTheListsOpenWithoutFailing) {
  settings.Alarms[0].Month = 13;
  settings.Alarms[0].Day = 0;
  settings.Alarms[0].Week = -4;
  settings.Alarms[0].Hour = 99;
  settings.Alarms[0].Time = 86400;
  settings.Alarms[0].Box = 2;
  Open();
  F().UserValue(kEditorList1, 0);
  F().UserClick(kEditorChange);
  const AlarmEntry& e = editor->Working()[0];
  EXPECT_EQ(std::vector<int>({e.Month, e.Day, e.Week, e.Hour, e.Time, e.Box}),
            std::vector<int>({12, 1, 0, 23, 30000, 1}));
}

TEST_F(AlarmEditorTest, CancelLeavesListAndFileAsTheyWere) {
  const Settings before = settings;
  for (auto close : {std::function<void(FormModel&)>([](FormModel& f) { f.UserClick(kEditorCancel); }),
                     std::function<void(FormModel&)>([](FormModel& f) { f.UserClose(); })}) {
    prompts.dialogs.push_back([&](FormModel& f) {
      f.UserValue(kEditorList1, 0);
      f.UserClick(kEditorDelete);
      f.UserText(kEditorText1, "追加分");
      f.UserClick(kEditorAdd);
      close(f);
    });
    EXPECT_FALSE(EditAlarms(prompts, locale, clock, ini, codePage, settings, ids));
    EXPECT_EQ(settings.Alarms, before.Alarms);
    EXPECT_EQ(settings.AlarmCount, 3);
    EXPECT_EQ(store.writes, 0);
  }
}

TEST_F(AlarmEditorTest, TheTenThousandAndFirstAlarmIsRefused) {
  settings.Alarms.assign(static_cast<size_t>(kMaxStoredAlarms), Entry("a", 0));
  settings.AlarmCount = kMaxStoredAlarms;
  Open();
  F().UserText(kEditorText1, "もう一つ");
  F().UserClick(kEditorAdd);
  EXPECT_EQ(editor->Working().size(), static_cast<size_t>(kMaxStoredAlarms));
  ASSERT_EQ(prompts.asked.size(), 1u);
  EXPECT_EQ(prompts.asked[0].kind, PromptKind::kExclamation);
  EXPECT_EQ(prompts.asked[0].text, kAlarmListFull);
}

// The file gives back 127 bytes of its code page (CP932 here): longer texts are refused, not cut later.
TEST_F(AlarmEditorTest, TextsTheFileWouldCutAreRefused) {
  auto repeat = [](const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
  };
  struct Case {
    std::string title, message;
    bool accepted;
  };
  const Case cases[] = {
      {repeat("会", 63), "m", true},
      {repeat("会", 64), "m", false},
      {"t", repeat("a", 127), true},
      {"t", repeat("a", 128), false},
      {repeat("ｶ", 127), repeat("ﾒ", 127), true},  // half-width kana take one byte
      {"t", repeat("あ", 63) + "\r\n", true},      // 127 bytes once the break is a blank
  };
  Cp932CodePage cp932;
  for (const Case& c : cases) {
    for (int button : {kEditorAdd, kEditorChange}) {
      prompts.asked.clear();
      AlarmEditor e(prompts, locale, clock, ini, cp932, settings, ids);
      e.Form().UserValue(kEditorList1, 0);
      e.Form().UserText(kEditorText1, c.title);
      e.Form().UserText(kEditorText4, c.message);
      e.Form().UserClick(button);
      const bool changed = e.Working() != settings.Alarms;
      EXPECT_EQ(changed, c.accepted) << c.title.size() << "/" << c.message.size() << " " << button;
      EXPECT_EQ(prompts.asked.size(), c.accepted ? 0u : 1u);
      if (!c.accepted && !prompts.asked.empty()) {
        EXPECT_EQ(prompts.asked[0].text, kAlarmTextTooLong);
      }
    }
  }
}

TEST(AlarmCountText, FormatsTheSettingsWindowLabel) {
  EXPECT_EQ(AlarmCountText(3), "登録メッセージ：3 件");
  EXPECT_EQ(AlarmCountText(0), "登録メッセージ：0 件");
}

// OK through a real Kestrova.ini: the count with its sign column, every entry,
// and the next start loading them all.
class AlarmEditorFileTest : public testing::IniFixture {};

TEST_F(AlarmEditorFileTest, OkSavesCountAndEntriesForTheNextStart) {
  WriteFile(
      "[Clock]\r\nAlarm= 3\r\n"
      "[Alarm0000]\r\nTitle=一\r\nType= 0\r\n[Alarm0001]\r\nTitle=二\r\nType= 1\r\n"
      "[Alarm0002]\r\nTitle=三\r\nType= 2\r\n");
  Settings settings;
  settings.AlarmCount = 3;
  LoadAlarms(ini_, settings);
  settings.Alarms[2].Shown = true;
  testing::FakePrompts prompts;
  testing::FakeLocale locale;
  testing::FakeClock clock;
  AlarmIds ids;
  prompts.dialogs.push_back([](FormModel& f) {
    for (const char* title : {"四", "五"}) {
      f.UserText(kEditorText1, title);
      f.UserValue(kEditorTimeBox, 1);
      f.UserValue(kEditorHScroll1, 60);
      f.UserClick(kEditorAdd);
    }
    f.UserClick(kEditorOk);
  });
  ASSERT_TRUE(EditAlarms(prompts, locale, clock, ini_, codePage_, settings, ids));
  EXPECT_EQ(settings.AlarmCount, 5);
  ASSERT_EQ(settings.Alarms.size(), 5u);
  EXPECT_TRUE(settings.Alarms[2].Shown);
  EXPECT_FALSE(settings.Alarms[4].Shown);
  EXPECT_NE(ReadFile().find("Alarm= 5\r\n"), std::string::npos) << ReadFile();

  Settings next;
  next.AlarmCount = ini_.IniReadInt("Clock", "Alarm", 0);
  LoadAlarms(ini_, next);
  std::vector<std::string> titles;
  for (const AlarmEntry& e : next.Alarms) titles.push_back(e.Title);
  EXPECT_EQ(titles, (std::vector<std::string>{"一", "二", "三", "四", "五"}));
  EXPECT_EQ(next.Alarms[3].Type, 5);
  EXPECT_EQ(next.Alarms[3].Time, 60);
  EXPECT_EQ(next.Alarms[3].Hour, 10) << "the combos at the time the editor opened";
}

}  // namespace
}  // namespace kestrova

#include "ui/countdown_picker.h"

#include <gtest/gtest.h>

#include "fakes/fake_form.h"

namespace kestrova {
namespace {

using testing::FakePrompts;

AlarmEntry Alarm(const char* title, int type, int month, int day, int hour, int minute, int second) {
  AlarmEntry a;
  a.Title = title;
  a.Type = type;
  a.Month = month;
  a.Day = day;
  a.Hour = hour;
  a.Minute = minute;
  a.Second = second;
  return a;
}

TEST(CountdownPreview, PerType) {
  struct Case {
    int type;
    const char* preview;  // nullptr: left as it was
  };
  const Case cases[] = {
      {1, "Now/12/Now Now:Now:Now"},
      {2, "Now/Now/24 Now:Now:Now"},
      {3, "Now/12/24 Now:Now:Now"},
      {5, "Now/Now/Now 18:05:09"},
      {9, "Now/Now/Now 18:05:09"},
      {6, "Now/12/Now 18:05:09"},
      {7, "Now/Now/24 18:05:09"},
      {8, "Now/12/24 18:05:09"},
      {-1, "Now/Now/Now Now:Now:Now"},
      {0, "Now/Now/Now Now:Now:Now"},
      {4, "Now/Now/Now Now:Now:Now"},
      {10, nullptr},
      {-2, nullptr},
  };
  for (const Case& c : cases) {
    const std::optional<std::string> preview = CountdownPreview(Alarm("x", c.type, 12, 24, 18, 5, 9));
    if (c.preview == nullptr) {
      EXPECT_FALSE(preview) << c.type;
    } else {
      EXPECT_EQ(preview.value_or("none"), c.preview) << c.type;
    }
  }
  EXPECT_EQ(CountdownPreview(Alarm("x", 8, 1, 2, 0, 0, 0)), "Now/1/2 00:00:00");
}

TEST(CountdownPicker, ListsTitlesAndPreviewsTheSelection) {
  const AlarmList alarms = {Alarm("年末", 8, 12, 31, 23, 59, 59), Alarm("毎週", 4, 1, 1, 9, 0, 0),
                            Alarm("謎", 77, 1, 1, 0, 0, 0), Alarm("数えない", 1, 5, 1, 0, 0, 0)};
  CountdownPicker picker(alarms, 3);
  FormModel& form = picker.Form();
  EXPECT_EQ(form.Spec().caption, std::string("Kestrova-メッセージアラームより取得"));
  EXPECT_EQ(form.State(kPickerAlarms).items, (std::vector<std::string>{"年末", "毎週", "謎"}));
  EXPECT_EQ(form.Value(kPickerAlarms), 0);
  EXPECT_EQ(form.Text(kPickerPreview), "Now/12/31 23:59:59");
  form.UserValue(kPickerAlarms, 1);
  EXPECT_EQ(form.Text(kPickerPreview), "Now/Now/Now Now:Now:Now");
  form.UserValue(kPickerAlarms, 0);
  form.UserValue(kPickerAlarms, 2);
  EXPECT_EQ(form.Text(kPickerPreview), "Now/12/31 23:59:59") << "an unknown type keeps the preview";
}

// PickedAlarm is the position after OK and -1 after any other close.
TEST(PickAlarm, AnswersThePositionOnlyAfterOk) {
  const AlarmList alarms = {Alarm("a", 8, 12, 24, 18, 0, 0), Alarm("b", 3, 1, 1, 0, 0, 0)};
  struct Case {
    const char* what;
    std::function<void(FormModel&)> act;
    int picked;
  };
  const Case cases[] = {
      {"OK on the first", [](FormModel& f) { f.UserClick(kPickerOk); }, 0},
      {"OK on the second",
       [](FormModel& f) {
         f.UserValue(kPickerAlarms, 1);
         f.UserClick(kPickerOk);
       },
       1},
      {"cancel",
       [](FormModel& f) {
         f.UserValue(kPickerAlarms, 1);
         f.UserClick(kPickerCancel);
       },
       -1},
      {"close box",
       [](FormModel& f) {
         f.UserValue(kPickerAlarms, 1);
         f.UserClose();
       },
       -1},
      {"closed by the program", [](FormModel& f) { f.Close(); }, -1},
  };
  for (const Case& c : cases) {
    FakePrompts prompts;
    prompts.dialogs.push_back(c.act);
    EXPECT_EQ(PickAlarm(prompts, alarms, 2), c.picked) << c.what;
    EXPECT_EQ(prompts.modalRuns, 1);
  }
  FakePrompts none;
  EXPECT_EQ(PickAlarm(none, {}, 0), -1);
  EXPECT_EQ(PickAlarm(none, alarms, 0), -1);
  EXPECT_EQ(none.modalRuns, 0) << "no alarm, no dialog";
}

}  // namespace
}  // namespace kestrova

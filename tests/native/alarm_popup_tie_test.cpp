// A popup left open while the alarm editor reorders or deletes alarms closes
// into the alarm it was opened for, or into none.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "alarms/alarm_check.h"
#include "alarms/alarm_editor.h"
#include "alarms/alarm_popup.h"
#include "fakes/fake_app.h"
#include "fakes/fake_form.h"
#include "fakes/fake_platform.h"
#include "settings/ini_file.h"
#include "settings/settings.h"

namespace kestrova {
namespace {

// The popup as the Win32 host makes it; `meanwhile` runs while it is open.
class EditingHost : public AlarmPopupHost {
 public:
  EditingHost(Settings& settings, IniFile& ini) : settings_(settings), ini_(ini) {}
  std::function<void()> meanwhile;
  std::vector<std::string> popups;  // the messages shown
  void UseAlarmIds(AlarmIds& ids) override { ids_ = &ids; }
  void ShowAlarmPopup(int entry, const std::string& message) override {
    popups.push_back(message);
    AlarmPopup popup(settings_, ini_, ids_);
    popup.Fill(entry, message);
    if (meanwhile) meanwhile();
    popup.Close();  // unchecked: Box 0
  }

 private:
  Settings& settings_;
  IniFile& ini_;
  AlarmIds* ids_ = nullptr;
};

AlarmEntry Entry(const std::string& title, int type) {
  AlarmEntry e;
  e.Title = title;
  e.Message = title;
  e.Type = type;
  e.Box = 1;
  return e;
}

TEST(AlarmPopupTie, EditsWhileThePopupIsOpenDoNotMisdirectItsWrite) {
  struct Case {
    const char* what;
    std::function<void(FormModel&)> edit;  // in the editor, before OK
    std::vector<std::string> titles;       // the list after OK
    const char* boxKey;                    // where "Box" 0 lands, "" for nowhere
  };
  const Case cases[] = {
      {"nothing edited", [](FormModel&) {}, {"A", "B", "会議"}, "Alarm0002"},
      {"moved to the top",
       [](FormModel& f) {
         f.UserValue(kEditorList1, 2);
         f.UserClick(kEditorUp);
         f.UserClick(kEditorUp);
       },
       {"会議", "A", "B"},
       "Alarm0000"},
      {"an entry above deleted",
       [](FormModel& f) {
         f.UserValue(kEditorList1, 0);
         f.UserClick(kEditorDelete);
       },
       {"B", "会議"},
       "Alarm0001"},
      {"itself deleted",
       [](FormModel& f) {
         f.UserValue(kEditorList1, 2);
         f.UserClick(kEditorDelete);
         f.UserText(kEditorText1, "新");
         f.UserClick(kEditorAdd);
       },
       {"A", "B", "新"},
       ""},
  };
  for (const Case& c : cases) {
    testing::MemoryProfileStore store;
    testing::PassThroughCodePage codePage;
    IniFile ini(store, codePage, "C:\\Kestrova\\Kestrova.ini");
    Settings settings;
    settings.Alarms = {Entry("A", -1), Entry("B", -1), Entry("会議", 0)};
    settings.AlarmCount = 3;
    testing::FakeClock clock;
    testing::FakeLocale locale;
    testing::FakePrompts prompts;
    EditingHost host(settings, ini);
    AlarmChecker checker(settings, clock, host);
    host.meanwhile = [&] {
      prompts.dialogs.push_back([&](FormModel& f) {
        c.edit(f);
        f.UserClick(kEditorOk);
      });
      ASSERT_TRUE(EditAlarms(prompts, locale, clock, ini, codePage, settings, checker.Ids()));
      store.values.clear();
    };
    checker.CheckAlarm("");

    std::vector<std::string> titles;
    for (const AlarmEntry& e : settings.Alarms) titles.push_back(e.Title);
    ASSERT_EQ(titles, c.titles) << c.what;
    for (const AlarmEntry& e : settings.Alarms) {
      const bool mine = e.Title == "会議";
      EXPECT_EQ(e.Box, mine ? 0 : 1) << c.what << " " << e.Title;
      EXPECT_EQ(e.Shown, mine) << c.what << " " << e.Title;
    }
    EXPECT_EQ(store.values.size(), std::string(c.boxKey).empty() ? 0u : 1u) << c.what;
    if (*c.boxKey != '\0') {
      EXPECT_EQ(store.Get(c.boxKey, "Box"), "0") << c.what;
    }
  }
}

// The other way round: the popup closes while the editor is open, and the
// editor's OK must not bring back the Box its older copy holds, nor a Shown
// that makes the popup come again.
TEST(AlarmPopupTie, APopupClosedDuringTheEditorKeepsItsChoiceThroughOk) {
  for (const bool editorChangedIt : {false, true}) {
    testing::MemoryProfileStore store;
    testing::PassThroughCodePage codePage;
    IniFile ini(store, codePage, "C:\\Kestrova\\Kestrova.ini");
    Settings settings;
    settings.Alarms = {Entry("A", -1), Entry("会議", 0)};
    settings.AlarmCount = 2;
    testing::FakeClock clock;
    testing::FakeLocale locale;
    testing::FakePrompts prompts;
    EditingHost host(settings, ini);
    AlarmChecker checker(settings, clock, host);
    prompts.dialogs.push_back([&](FormModel& f) {
      checker.CheckAlarm("");  // the popup shows and closes unchecked
      for (const int line : {0, editorChangedIt ? 1 : 0}) {
        f.UserValue(kEditorList1, line);
        f.UserText(kEditorText4, "changed");
        f.UserClick(kEditorChange);
      }
      f.UserClick(kEditorOk);
    });
    ASSERT_TRUE(EditAlarms(prompts, locale, clock, ini, codePage, settings, checker.Ids()));
    ASSERT_EQ(settings.Alarms.size(), 2u);
    const AlarmEntry& mine = settings.Alarms[1];
    EXPECT_EQ(settings.Alarms[0].Message, "changed");
    EXPECT_EQ(mine.Box, editorChangedIt ? 1 : 0) << editorChangedIt;
    EXPECT_EQ(store.Get("Alarm0001", "Box"), editorChangedIt ? "1" : "0") << editorChangedIt;
    EXPECT_TRUE(mine.Shown) << editorChangedIt;
    checker.CheckAlarm("");
    EXPECT_EQ(std::count(host.popups.begin(), host.popups.end(), "会議"), 1)
        << "not again in the same due period, edited or not: " << editorChangedIt;
  }
}

}  // namespace
}  // namespace kestrova

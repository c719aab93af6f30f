#include "alarms/alarm_popup.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <tuple>
#include <vector>

#include "alarms/alarm_check.h"
#include "fakes/fake_form.h"
#include "settings/alarm_store.h"
#include "fakes/fake_platform.h"
#include "platform/profile_store.h"
#include "settings/codepage_iconv.h"
#include "settings/ini_file.h"
#include "settings/profile_file.h"
#include "settings/settings.h"

namespace kestrova {
namespace {

// Remembers every write; reads give back what was written.
class MemoryStore : public ProfileStore {
 public:
  std::vector<std::tuple<std::string, std::string, std::string>> writes;  // section, key, value
  std::map<std::pair<std::string, std::string>, std::string> values;

  std::string ReadString(const std::string&, const std::string& section, const std::string& key,
                         const std::string& def) override {
    auto it = values.find({section, key});
    return it == values.end() ? def : it->second;
  }
  int ReadInt(const std::string& path, const std::string& section, const std::string& key, int def) override {
    const std::string v = ReadString(path, section, key, "");
    return v.empty() ? def : std::atoi(v.c_str());
  }
  bool WriteString(const std::string&, const std::string& section, const std::string& key,
                   const std::string& value) override {
    writes.emplace_back(section, key, value);
    values[{section, key}] = value;
    return true;
  }
};

class SameCodePage : public CodePage {
 public:
  std::string ToAnsi(const std::string& utf8) override { return utf8; }
  std::string FromAnsi(const std::string& ansi) override { return ansi; }
  bool IsLeadByte(unsigned char) override { return false; }
};

class AlarmPopupTest : public ::testing::Test {
 protected:
  void SetEntries(int n) {
    settings.Alarms.assign(static_cast<size_t>(n), AlarmEntry{});
    for (AlarmEntry& e : settings.Alarms) e.Box = 1;
    settings.AlarmCount = n;
  }

  MemoryStore store;
  SameCodePage codePage;
  IniFile ini{store, codePage, "C:\\Kestrova\\Kestrova.ini"};
  Settings settings;
};

TEST_F(AlarmPopupTest, FilledByTheCheckStartsUnchecked) {
  SetEntries(1);
  AlarmPopup popup(settings, ini);
  popup.Fill(0, "会議の時間です");
  EXPECT_EQ(popup.Text1(), "会議の時間です");
  EXPECT_EQ(popup.Tag(), "0");
  EXPECT_FALSE(popup.Check1());
  // What the window shows.
  EXPECT_STREQ(popup.Form().Spec().caption, "Kestrova-メッセージアラーム");
  EXPECT_EQ(popup.Form().Text(kPopupCheck1), "起動時に条件内ならば再び表示する");
  EXPECT_EQ(popup.Form().Text(kPopupCommand1), "OK");
}

TEST_F(AlarmPopupTest, ClosingWritesOnlyTheEntrysBoxKey) {
  struct Case {
    int entry;
    bool checked;
    const char* section;
    const char* value;
  };
  const Case cases[] = {
      {3, false, "Alarm0003", "0"},  {3, true, "Alarm0003", "1"},    {0, true, "Alarm0000", "1"},
      {12, false, "Alarm0012", "0"}, {9999, true, "Alarm9999", "1"}, {12345, true, "Alarm2345", "1"},
  };
  for (const Case& c : cases) {
    SetEntries(c.entry + 1);
    store.writes.clear();
    AlarmPopup popup(settings, ini);
    popup.Fill(c.entry, "m");
    popup.SetCheck1(c.checked);
    popup.Close();
    ASSERT_EQ(store.writes.size(), 1u) << c.entry;
    EXPECT_EQ(store.writes[0],
              std::make_tuple(std::string(c.section), std::string("Box"), std::string(c.value)));
    EXPECT_EQ(settings.Alarms[static_cast<size_t>(c.entry)].Box, c.checked ? 1 : 0);
    EXPECT_EQ(settings.Alarms[0].Box, c.entry == 0 ? (c.checked ? 1 : 0) : 1) << "other entries untouched";
  }
}

TEST_F(AlarmPopupTest, ClosingStepRunsOnce) {
  SetEntries(2);
  AlarmPopup popup(settings, ini);
  popup.Fill(1, "m");
  popup.Close();
  popup.SetCheck1(true);
  popup.Close();  // e.g. the session ends after OK was pressed
  EXPECT_TRUE(popup.Closed());
  EXPECT_EQ(store.writes.size(), 1u);
  EXPECT_EQ(settings.Alarms[1].Box, 0);
}

TEST_F(AlarmPopupTest, EntryThatNoLongerExistsIsLeftAlone) {
  struct Case {
    const char* what;
    int listed;
    int count;
    int entry;
  };
  const Case cases[] = {
      {"list emptied by the editor", 0, 0, 0},
      {"list shortened", 2, 2, 2},
      {"count below the list", 5, 2, 3},
      {"list below the count", 2, 5, 3},
      {"negative entry", 2, 2, -1},
  };
  for (const Case& c : cases) {
    SetEntries(c.listed);
    settings.AlarmCount = c.count;
    store.writes.clear();
    AlarmPopup popup(settings, ini);
    popup.Fill(c.entry, "m");
    popup.Close();
    EXPECT_TRUE(store.writes.empty()) << c.what;
    for (const AlarmEntry& e : settings.Alarms) EXPECT_EQ(e.Box, 1) << c.what;
  }
}

// The user's ways of closing, on the popup's own controls: each runs the closing step once.
TEST_F(AlarmPopupTest, EveryWayOfClosingStoresTheCheckBox) {
  struct Case {
    const char* what;
    bool check;
    std::function<void(FormModel&)> close;
  };
  const Case cases[] = {
      {"OK", true, [](FormModel& f) { f.UserClick(kPopupCommand1); }},
      {"OK unchecked", false, [](FormModel& f) { f.UserClick(kPopupCommand1); }},
      {"close box", true, [](FormModel& f) { f.UserClose(); }},
      {"close box unchecked", false, [](FormModel& f) { f.UserClose(); }},
  };
  for (const Case& c : cases) {
    SetEntries(3);
    store.writes.clear();
    AlarmPopup popup(settings, ini);
    popup.Fill(2, "会議");
    testing::FakePrompts prompts;
    prompts.dialogs.push_back([&](FormModel& f) {
      EXPECT_EQ(f.Text(kPopupText1), "会議");
      EXPECT_EQ(f.Value(kPopupCheck1), 0) << "starts unchecked";
      if (c.check) f.UserValue(kPopupCheck1, 1);
      c.close(f);
      // Closed and stored by the popup itself, not by the runner after it.
      EXPECT_TRUE(f.IsUnloaded()) << c.what;
      EXPECT_EQ(store.writes.size(), 1u) << c.what;
    });
    prompts.RunModal(popup.Form());
    EXPECT_TRUE(popup.Closed()) << c.what;
    ASSERT_EQ(store.writes.size(), 1u) << c.what;
    EXPECT_EQ(std::get<2>(store.writes[0]), c.check ? "1" : "0") << c.what;
    EXPECT_EQ(settings.Alarms[2].Box, c.check ? 1 : 0) << c.what;
  }
}

// The popup as the alarm check opens it, closed at once with the check box as given.
class ClosingHost : public AlarmPopupHost {
 public:
  ClosingHost(Settings& settings, IniFile& ini) : settings_(settings), ini_(ini) {}
  bool check = false;
  int shown = 0;
  void ShowAlarmPopup(int entry, const std::string& message) override {
    ++shown;
    AlarmPopup popup(settings_, ini_);
    popup.Fill(entry, message);
    popup.SetCheck1(check);
    popup.Close();
  }

 private:
  Settings& settings_;
  IniFile& ini_;
};

// Start after start over a real Kestrova.ini in code page 932: an always-due
// entry with a box, the popup closed at once with the check box as given.
TEST(AlarmPopupFile, CheckBoxDecidesWhetherTheNextStartShowsThePopup) {
  const auto dir =
      std::filesystem::temp_directory_path() /
      ("kestrova-popup-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
  std::filesystem::create_directories(dir);
  const std::string path = (dir / "Kestrova.ini").string();
  Cp932CodePage codePage;
  ProfileFile store(codePage);
  IniFile ini(store, codePage, path);
  for (bool check : {false, true}) {
    std::ofstream(path, std::ios::binary) << codePage.ToAnsi(
        "[Clock]\r\nAlarm= 2\r\n"
        "[Alarm0000]\r\nTitle=先\r\nType=-1\r\n"
        "[Alarm0001]\r\nTitle=朝会\r\nType= 0\r\nMessage=朝会の時間です\r\nTime=0\r\nBox=1\r\n");
    int popups = 0;
    for (int start = 0; start < 3; ++start) {
      Settings settings;
      settings.AlarmCount = 2;
      LoadAlarms(ini, settings);
      testing::FakeClock clock;
      ClosingHost host(settings, ini);
      host.check = check;
      AlarmChecker checker(settings, clock, host);
      for (int tick = 0; tick < 3; ++tick) EXPECT_EQ(checker.CheckAlarm("[c]"), "[c] 朝会の時間です");
      popups += host.shown;
    }
    EXPECT_EQ(popups, check ? 3 : 1) << check;
    EXPECT_EQ(ini.IniReadString("Alarm0001", "Box", ""), check ? "1" : "0");
    EXPECT_EQ(ini.IniReadString("Alarm0001", "Message", ""), "朝会の時間です");
    EXPECT_EQ(ini.IniReadString("Alarm0000", "Box", "none"), "none") << "no other entry written";
  }
  std::error_code ignored;
  std::filesystem::remove_all(dir, ignored);
}

}  // namespace
}  // namespace kestrova

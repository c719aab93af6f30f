// Start-up gives back what a killed or crashed run left decorated, before the
// first tick; an orderly end leaves no record behind.
#include <gtest/gtest.h>

#include "engine/title_record.h"
#include "program_fixture.h"

namespace kestrova {
namespace {

using namespace kestrova::testing;

constexpr const char* kRecord = "C:\\Tools\\Kestrova.titles";
constexpr const char* kNow = " <1984/01/17(Tue) 17:30:30>";

class ProgramRecordTest : public ProgramFixture {
 protected:
  ProgramRecordTest() {
    windows.foreground = 1;
    Ini("Main", "Use", "1");
    Ini("Main", "WindowHide", "1");
    platform.recordFiles = &files;
    platform.keepForCrash = [this](const std::vector<DecoratedWindow>& held) { kept = held; };
  }
  void Recorded(const std::vector<DecoratedWindow>& held) { files.entries[kRecord].bytes = RecordText(held); }

  std::vector<DecoratedWindow> kept;
};

TEST_F(ProgramRecordTest, LeftOverTitlesGoBackBeforeTheFirstTick) {
  windows.Add(1, "Memo <1984/01/17(Tue) 09:00:00>");
  windows.Add(2, "Browser <1984/01/17(Tue) 09:00:01>");
  windows.Add(3, "Chat - new message");
  Recorded({{1, "Memo", {"Memo <1984/01/17(Tue) 08:00:00>"}},
            {2, "Browser", {"Browser <1984/01/17(Tue) 08:00:00>"}},
            {3, "Chat", {"Chat <1984/01/17(Tue) 08:00:00>"}}});
  ASSERT_TRUE(Start());
  EXPECT_EQ(windows.windows[1].title, std::string("Memo") + kNow) << "decorated from its own title, once";
  EXPECT_EQ(windows.windows[2].title, "Browser");
  EXPECT_EQ(windows.windows[3].title, "Chat - new message");
  const std::vector<DecoratedWindow> now = {{1, "Memo", {std::string("Memo") + kNow}}};
  EXPECT_EQ(ParseRecord(files.entries[kRecord].bytes), now) << "only what this run decorated";
  EXPECT_EQ(kept, now);

  EXPECT_FALSE(program.window().QueryUnload(UnloadMode::kCode));
  EXPECT_EQ(windows.windows[1].title, "Memo");
  EXPECT_FALSE(files.Exists(kRecord));
  EXPECT_TRUE(kept.empty());
}

// Each line stands alone: whole, sound lines give their titles back; a damaged
// one, or the torn end, writes nothing into its window.
TEST_F(ProgramRecordTest, BrokenRecordGivesBackItsSoundLinesOnly) {
  const std::string ours = "X <1984/01/17(Tue) 08:00:00>";
  for (WindowHandle h = 2; h <= 7; ++h) windows.Add(h, ours);
  files.entries[kRecord].bytes = "Kestrova titles 1\n"
                                 "2\tSound\t" + ours + "\n"
                                 "3\tBad\xff\t" + ours + "\n"
                                 "4\tBad\\q\t" + ours + "\n"
                                 "5\tMany\t1\t2\t3\t4\t5\t6\t7\t8\t" + ours + "\n"
                                 "99999999999999999999999\tHuge\t" + ours + "\n"
                                 "6\tAlso sound\t" + ours + "\n"
                                 "7\tTorn\t" + ours;
  ASSERT_TRUE(Start());
  EXPECT_EQ(windows.windows[2].title.substr(0, 5), "Sound");
  EXPECT_EQ(windows.windows[6].title.substr(0, 10), "Also sound");
  for (const auto& [handle, title] : windows.writes) {
    EXPECT_TRUE(handle == 1 || handle == 2 || handle == 6) << handle << " " << title;
  }
  for (WindowHandle h : {3, 4, 5, 7}) EXPECT_EQ(windows.windows[h].title, ours) << h;
}

TEST_F(ProgramRecordTest, WindowThatStillDoesNotAnswerIsKeptAndRetried) {
  windows.Add(1, "Memo");
  windows.Add(2, "Browser <1984/01/17(Tue) 09:00:01>");
  windows.windows[2].hung = true;
  Recorded({{2, "Browser", {"Browser <1984/01/17(Tue) 08:00:00>"}}});
  ASSERT_TRUE(Start());
  std::vector<DecoratedWindow> disk = ParseRecord(files.entries[kRecord].bytes);
  ASSERT_EQ(disk.size(), 2u);
  EXPECT_EQ(disk[1], (DecoratedWindow{2, "Browser", {"Browser <1984/01/17(Tue) 09:00:01>"}}));

  windows.windows[2].hung = false;
  program.window().Tick();
  EXPECT_EQ(windows.windows[2].title, "Browser");
  EXPECT_EQ(ParseRecord(files.entries[kRecord].bytes).size(), 1u);
}

TEST_F(ProgramRecordTest, SecondCopyLeavesTheRecordAlone) {
  windows.Add(1, "Memo <1984/01/17(Tue) 09:00:00>");
  Recorded({{1, "Memo", {"Memo <1984/01/17(Tue) 08:00:00>"}}});
  const std::string before = files.entries[kRecord].bytes;
  shell.otherInstance = true;
  EXPECT_FALSE(Start());
  EXPECT_EQ(windows.windows[1].title, "Memo <1984/01/17(Tue) 09:00:00>");
  EXPECT_EQ(files.entries[kRecord].bytes, before);
}

}  // namespace
}  // namespace kestrova

// The record of decorated windows: kept by the real tick, written only when
// what it holds changes, and read back at the next start.
#include "engine/title_record.h"

#include <gtest/gtest.h>

#include "fakes/fake_files.h"
#include "title_fixture.h"

namespace kestrova {
namespace {

using testing::ClockAt;
using testing::FakeFiles;
using testing::kClock;
using testing::TitleTest;

constexpr const char* kPath = "C:\\Tools\\Kestrova.titles";

class TitleRecordTest : public TitleTest {
 protected:
  TitleRecordTest() { writer.SetRecord(&record); }
  std::vector<DecoratedWindow> OnDisk() {
    auto it = files.entries.find(kPath);
    return it == files.entries.end() ? std::vector<DecoratedWindow>{} : ParseRecord(it->second.bytes);
  }
  int FileOps() const { return files.writes + files.deletes; }

  FakeFiles files;
  TitleRecord record{files, kPath};
};

TEST_F(TitleRecordTest, WrittenWhenTheTargetChangesNotOnEveryTick) {
  Front(1);
  EXPECT_EQ(files.writes, 1);
  EXPECT_EQ(OnDisk(), (std::vector<DecoratedWindow>{{1, "Memo", {std::string("Memo") + kClock}}}));
  for (int second = 31; second < 60; ++second) {
    clock.local.second = second;
    Front(1);
  }
  EXPECT_EQ(windows.windows[1].title, "Memo" + ClockAt(59));
  EXPECT_EQ(files.writes, 1) << "the clock's digits alone change nothing";

  Front(2);
  EXPECT_EQ(OnDisk(), (std::vector<DecoratedWindow>{{2, "Browser", {"Browser" + ClockAt(59)}}}));
  const int ops = FileOps();
  windows.foreground = 0;
  Tick();
  Front(2);
  EXPECT_EQ(FileOps(), ops);

  windows.windows[2].title = "Browser - news";  // the window retitles itself
  Front(2);
  EXPECT_EQ(OnDisk(),
            (std::vector<DecoratedWindow>{{2, "Browser - news", {"Browser - news" + ClockAt(59)}}}));

  tick.End();
  EXPECT_FALSE(files.Exists(kPath)) << "a clean exit leaves no record";
}

TEST_F(TitleRecordTest, NewShapeOfTheDecorationIsAdded) {
  Front(1);
  clock.local = {1984, 1, 18, 0, 0, 0};  // the weekday changes at midnight
  Front(1);
  ASSERT_EQ(OnDisk().size(), 1u);
  EXPECT_EQ(OnDisk()[0].Written,
            (std::vector<std::string>{std::string("Memo") + kClock, "Memo <1984/01/18(Wed) 00:00:00>"}));
  const int writes = files.writes;
  clock.local.second = 1;
  Front(1);
  EXPECT_EQ(files.writes, writes);
}

TEST_F(TitleRecordTest, HeldWhileAGiveBackIsPendingAndDroppedOnceSettled) {
  Front(1);
  windows.windows[1].hung = true;
  Front(2);  // Memo does not take its own title back
  std::vector<DecoratedWindow> disk = OnDisk();
  ASSERT_EQ(disk.size(), 2u);
  EXPECT_EQ(disk[0].Handle, 2u);
  EXPECT_EQ(disk[1], (DecoratedWindow{1, "Memo", {std::string("Memo") + kClock}}));

  windows.windows[1].hung = false;
  Tick();
  EXPECT_EQ(windows.windows[1].title, "Memo");
  ASSERT_EQ(OnDisk().size(), 1u);
  EXPECT_EQ(OnDisk()[0].Handle, 2u);
}

TEST_F(TitleRecordTest, WriteThatTimedOutIsHeldUntilSettled) {
  windows.windows[2].late = true;
  Front(2);
  EXPECT_EQ(OnDisk(), (std::vector<DecoratedWindow>{{2, "Browser", {std::string("Browser") + kClock}}}));
  windows.Land();
  windows.windows[2].late = false;
  Front(1);
  EXPECT_EQ(windows.windows[2].title, "Browser");
  EXPECT_EQ(OnDisk(), (std::vector<DecoratedWindow>{{1, "Memo", {std::string("Memo") + kClock}}}));
}

TEST(TitleRecordShape, NumbersMayDifferNothingElse) {
  const struct {
    const char* a;
    const char* b;
    bool same;
  } cases[] = {
      {"Memo <1984/01/17(Tue) 17:30:30>", "Memo <1984/01/17(Tue) 17:31:05>", true},
      {"CPU 9% Memo", "CPU 100% Memo", true},
      {"Ｍｅｍｏ １２時", "Ｍｅｍｏ ９時", true},
      {"Memo <1984/01/17(Tue) 17:30:30>", "Memo <1984/01/18(Wed) 00:00:00>", false},
      {"Memo <1984/01/17(Tue) 17:30:30>", "Memo", false},
      {"Memo <1984/01/17(Tue) 17:30:30>", "Memo - changed <1984/01/17(Tue) 17:30:30>", false},
      {"#1 Memo", "12 Memo", false},
      {"", "", true},
      {"", "1", false},
  };
  for (const auto& c : cases) EXPECT_EQ(SameShape(c.a, c.b), c.same) << c.a << " | " << c.b;
}

TEST(TitleRecordFile, RoundTripAndTornOrForeignFiles) {
  const std::vector<DecoratedWindow> held = {
      {0x10080, "a\tb\\c\nd\re", {"a\tb\\c\nd\re <1>", "x"}},
      {7, "", {""}},
      {0xFFFFFFFFFFFFull, "窓 😀", {"窓 😀 <12:00>"}},
  };
  const std::string text = RecordText(held);
  EXPECT_EQ(ParseRecord(text), held);
  // Cut anywhere inside the last line: the first two survive whole.
  const size_t lastLine = text.rfind('\n', text.size() - 2) + 1;
  for (size_t cut = lastLine; cut < text.size(); ++cut) {
    EXPECT_EQ(ParseRecord(text.substr(0, cut)), std::vector<DecoratedWindow>(held.begin(), held.begin() + 2))
        << cut;
  }
  const char* broken[] = {"",
                          "Kestrova titles 2\n1\tMemo\tMemo 1\n",
                          "1\tMemo\tMemo 1\n",
                          "Kestrova titles 1\n0\tMemo\tMemo 1\n",
                          "Kestrova titles 1\nx1\tMemo\tMemo 1\n",
                          "Kestrova titles 1\n1\tMemo\n",
                          "Kestrova titles 1\n1\tMe\\qmo\tMemo 1\n",
                          "Kestrova titles 1\n1\tMemo\tMemo 1\\\n",
                          // not UTF-8, or more shapes than are ever kept
                          "Kestrova titles 1\n1\tMe\xffmo\tMemo 1\n",
                          "Kestrova titles 1\n1\tMemo\tMemo \xc0\x80 1\n",
                          "Kestrova titles 1\n1\tMemo\t1\t2\t3\t4\t5\t6\t7\t8\t9\n"};
  for (const char* b : broken) EXPECT_TRUE(ParseRecord(b).empty()) << b;
}

TEST(TitleRecordRestore, OnlyWindowsStillShowingOurTextGetTheirTitleBack) {
  testing::FakeWindowSystem windows;
  windows.Add(1, "Memo <1984/01/17(Tue) 17:59:59>");  // still ours, a later second
  windows.Add(2, "Browser - other page");             // retitled itself meanwhile
  windows.Add(3, "Chat <1984/01/17(Tue) 17:30:30>");  // closed: the handle may be reused
  windows.windows[3].exists = false;
  windows.Add(4, "Hung <1984/01/17(Tue) 17:30:30>");  // does not answer
  windows.windows[4].hung = true;
  windows.Add(5, "Plain");  // already shows its own title
  const std::vector<DecoratedWindow> recorded = {
      {1, "Memo", {std::string("Memo") + kClock}},
      {2, "Browser", {std::string("Browser") + kClock}},
      {3, "Chat", {std::string("Chat") + kClock}},
      {4, "Hung", {"Hung <1984/01/17(Wed) 00:00:00>", std::string("Hung") + kClock}},
      {5, "Plain", {std::string("Plain") + kClock}},
      {9, "Gone", {"Gone"}},
  };
  const std::vector<LastTarget> notTaken = RestoreRecordedTitles(windows, recorded);
  EXPECT_EQ(windows.windows[1].title, "Memo");
  EXPECT_EQ(windows.windows[2].title, "Browser - other page");
  EXPECT_EQ(windows.writes, (std::vector<std::pair<WindowHandle, std::string>>{{1, "Memo"}}));
  ASSERT_EQ(notTaken.size(), 1u);
  EXPECT_EQ(notTaken[0].Handle, 4u);
  EXPECT_EQ(notTaken[0].OwnTitle, "Hung");
  EXPECT_EQ(notTaken[0].WrittenTitle, std::string("Hung") + kClock);
}

}  // namespace
}  // namespace kestrova

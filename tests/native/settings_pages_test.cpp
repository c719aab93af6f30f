// The handlers inside the pages, driven through the window's controls.
#include "settings_fixture.h"

namespace kestrova {
namespace {

using testing::RecordingFormView;
using testing::SettingsFixture;
using PagesTest = SettingsFixture;

TEST_F(PagesTest, TimingPresetsSetTheBarItsTextAndTheTickInterval) {
  struct Case {
    int option, position;
    const char* text;
    int ms;
  } const cases[] = {{3, 30000, "60秒000", 60000},
                     {0, 250, "00秒500", 500},
                     {2, 1500, "03秒000", 3000},
                     {1, 500, "01秒000", 1000}};
  Open();
  for (const Case& c : cases) {
    F().UserValue(kOption2 + c.option, 1);
    EXPECT_EQ(F().Value(kHScroll1), c.position) << c.option;
    EXPECT_EQ(F().Text(kLabel3), c.text) << c.option;
    EXPECT_EQ(view.interval, c.ms) << c.option;
  }
  EXPECT_EQ(IntervalText(1), "00秒002");
  EXPECT_EQ(IntervalText(32767), "65秒534");
}

// Values the program sets run their handlers even when the control holds them already.
TEST_F(PagesTest, StoredTimingAndPresetClicksAlwaysSetTheBarAndTheInterval) {
  settings.Timing = -1;  // the bar starts at 1
  Open();
  EXPECT_EQ(F().GroupValue(kOption2), 4);
  EXPECT_EQ(view.interval, 2);
  EXPECT_EQ(F().Text(kLabel3), "00秒002");
  EXPECT_EQ(F().Text(kLabel4), AlternationText(settings.ChangeTiming, 1));
  // The preset already selected, clicked after the arrows moved the bar; then Cancel.
  settings.Timing = 1;
  for (const bool cancel : {false, true}) {
    F().UserValue(kOption2 + 1, 1);
    F().UserValue(kHScroll1, 501);
    if (cancel) {
      window->Command2Click(Command2::kCancel);
    } else {
      F().UserValue(kOption2 + 1, 1);
    }
    EXPECT_EQ(F().Value(kHScroll1), 500) << cancel;
    EXPECT_EQ(view.interval, 1000) << cancel;
  }
}

TEST_F(PagesTest, DraggingTheThumbSelectsCustomArrowsAndProgramDoNot) {
  Open();
  ASSERT_EQ(F().GroupValue(kOption2), 1);
  F().UserValue(kHScroll1, 501);  // an arrow
  EXPECT_EQ(F().GroupValue(kOption2), 1);
  EXPECT_EQ(view.interval, 1002) << "the interval follows every change";
  F().SetValue(kHScroll1, 600);
  EXPECT_EQ(F().GroupValue(kOption2), 1);
  F().UserValue(kHScroll1, 700, Cause::kThumbDrag);
  EXPECT_EQ(F().GroupValue(kOption2), 4);
  EXPECT_EQ(F().Value(kHScroll1), 700) << "指定 keeps the dragged value";
  EXPECT_EQ(view.interval, 1400);
}

TEST_F(PagesTest, CustomOptionTakesTheFocusOnlyOnTheShownTimingPageOnceLoaded) {
  settings.Timing = -250;
  Open();
  RecordingFormView recorder(F());
  F().UserValue(kOption2 + 1, 1);
  F().UserValue(kTabStrip, 2);
  window->Command2Click(Command2::kCancel);  // puts 指定 back while page 2 shows
  EXPECT_EQ(F().GroupValue(kOption2), 4);
  EXPECT_TRUE(recorder.calls.empty() || recorder.calls.back() != "focus 220");
  F().UserValue(kTabStrip, 6);
  F().UserValue(kOption2 + 1, 1);
  F().UserValue(kOption2 + 4, 1);
  ASSERT_FALSE(recorder.calls.empty());
  EXPECT_EQ(recorder.calls.back(), "focus 220");
}

TEST_F(PagesTest, TitleLengthSpinnerShowsTheReversedNumber) {
  Open();
  const std::pair<int, const char*> cases[] = {
      {-1, "255"}, {255, "-1"}, {254, "0"}, {100, "154"}, {99, "155"}};
  for (auto [position, shown] : cases) {
    F().UserValue(kVScroll1, position);
    EXPECT_EQ(F().Text(kText3), shown) << position;
  }
}

TEST_F(PagesTest, AlternationCountText) {
  const struct {
    int count, position;
    const char* text;
  } cases[] = {{10, 30000, "10カウント（600秒）"},
               {3, 250, "3カウント（1.5秒）"},
               {1, 1, "1カウント（0.002秒）"},
               {7, 32767, "7カウント（458.738秒）"}};
  for (const auto& c : cases) EXPECT_EQ(AlternationText(c.count, c.position), c.text);
  Open();
  F().UserValue(kOption2 + 3, 1);
  F().UserValue(kHScroll2, 10);
  EXPECT_EQ(F().Text(kLabel4), "10カウント（600秒）");
  F().UserValue(kOption2 + 0, 1);
  EXPECT_EQ(F().Text(kLabel4), "10カウント（5秒）") << "the interval refreshes the count";
}

TEST_F(PagesTest, OnlyAlternationEnablesTheCountBar) {
  settings.MessagePosition = 2;
  Open();
  EXPECT_TRUE(F().State(kHScroll2).enabled);
  for (int i : {0, 2, 1, 3}) {
    F().UserValue(kOption1 + i, 1);
    EXPECT_EQ(F().State(kHScroll2).enabled, i == 2) << i;
    EXPECT_EQ(F().State(kLabel4).visible, i == 2) << i;
  }
}

TEST_F(PagesTest, ChoiceDescriptionsFollowTheLists) {
  Open();
  EXPECT_EQ(F().Text(kLabel5 + 0), "ウインドウのタイトルを表示します。");
  F().UserValue(kCombo1 + 1, 4);
  EXPECT_EQ(F().Text(kLabel5 + 1), "設定した日時までの残り時間を表示します。");
  EXPECT_EQ(F().State(kCombo2).items.size(), 31u);
  EXPECT_EQ(F().State(kList1).items[0], "%1:総物理メモリ");
  EXPECT_EQ(F().State(kCombo3 + 0).items.size(), 1001u);
}

TEST_F(PagesTest, CodeListDoubleClickInsertsAtTheCaretReplacingTheSelection) {
  Open();
  F().UserText(kText2, "abc");
  F().UserSelection(kText2, 0, 3);
  F().UserValue(kList1, 0);
  F().UserDoubleClick(kList1);
  EXPECT_EQ(F().Text(kText2), "%1");
  F().UserSelection(kText2, 1, 0);
  F().UserValue(kList1, 1);
  F().UserDoubleClick(kList1);
  EXPECT_EQ(F().Text(kText2), "%%21");
  EXPECT_EQ(F().State(kText2).selStart, 3) << "the caret after the code";
}

TEST_F(PagesTest, RuleDeleteTakesTheSelectedRowAndLeavesNoneSelected) {
  for (const char* name : {"一", "二", "三"}) settings.WindowRules.push_back(WindowRule{.Name = name});
  Open();
  const std::vector<std::string> rows = F().State(kList2).items;
  F().UserValue(kList2, 1);
  F().UserClick(kCommand4 + 2);
  EXPECT_EQ(F().State(kList2).items, (std::vector<std::string>{rows[0], rows[2]}));
  EXPECT_EQ(F().Value(kList2), -1);
  F().UserClick(kCommand4 + 2);
  EXPECT_EQ(F().State(kList2).items.size(), 2u) << "nothing selected: nothing deleted";
}

TEST_F(PagesTest, CtrlTabTurnsThePagesRound) {
  Open();
  window->SwitchPage(-1);
  EXPECT_EQ(F().Value(kTabStrip), 6);
  window->SwitchPage(1);
  window->SwitchPage(1);
  EXPECT_EQ(F().Value(kTabStrip), 1);
}

}  // namespace
}  // namespace kestrova

#include "ui/time_format_dialog.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "format/format.h"
#include "fakes/fake_form.h"
#include "resources/strings.h"

namespace kestrova {
namespace {

const std::vector<std::string> kPresets = {"yyyy/mm/dd", "yy/mm/dd", "西暦yyyy年m月d日", "ggge年m月d日",
                                           "(ddd)",      "dddd",     "（aaa）",          "aaaa",
                                           "hh:mm",      "hh:mm:ss", "h時m分",           "h時m分s秒"};

class TimeFormatDialogTest : public ::testing::Test {
 protected:
  FormModel& F() { return dialog.Form(); }
  const std::vector<std::string>& Rows() { return F().State(kFormatList1).items; }
  void Click(int row, int button) {
    F().UserValue(kFormatList1, row);
    F().UserClick(button);
  }

  TimeFormatDialog dialog;
  testing::RecordingFormView view{dialog.Form()};
};

TEST_F(TimeFormatDialogTest, OpensWithThePresetsAndAnEmptyPattern) {
  EXPECT_EQ(F().Spec().caption, std::string("Kestrova-時刻形式の設定"));
  EXPECT_EQ(F().Value(kFormatSimple), 1);
  EXPECT_EQ(Rows(), kPresets);
  EXPECT_EQ(F().Value(kFormatList1), -1);
  EXPECT_EQ(F().Text(kFormatText2), "");
}

TEST_F(TimeFormatDialogTest, ModesListPresetsOrElementsAndKeepThePattern) {
  F().UserText(kFormatText2, "abc");
  F().UserValue(kFormatList1, 4);
  F().UserValue(kFormatDetailed, 1);
  ASSERT_EQ(Rows().size(), 38u);
  EXPECT_EQ(Rows()[0], ":");
  EXPECT_EQ(Rows()[3], "d");
  EXPECT_EQ(Rows()[32], "t t t t t ");
  EXPECT_EQ(Rows()[37], "AMPM");
  EXPECT_EQ(F().Value(kFormatList1), -1) << "a new list has no row selected";
  EXPECT_EQ(F().Text(kFormatText1), "");
  F().UserClick(kFormatAdd);
  EXPECT_EQ(F().Text(kFormatText2), "abc") << "nothing selected, nothing added";
  F().UserValue(kFormatSimple, 1);
  EXPECT_EQ(Rows(), kPresets);
  EXPECT_EQ(F().Text(kFormatText2), "abc");
}

// A click on the option already chosen changes nothing.
TEST_F(TimeFormatDialogTest, TheChosenOptionClickedAgainKeepsListSelectionAndExplanation) {
  for (const int option : {kFormatSimple, kFormatDetailed}) {
    F().UserValue(option, 1);
    const std::vector<std::string> rows = Rows();
    F().UserValue(kFormatList1, 3);
    const std::string help = F().Text(kFormatText1);
    ASSERT_FALSE(help.empty());
    F().UserValue(option, 1);
    EXPECT_EQ(Rows(), rows) << option;
    EXPECT_EQ(F().Value(kFormatList1), 3) << option;
    EXPECT_EQ(F().Text(kFormatText1), help) << option;
  }
}

TEST_F(TimeFormatDialogTest, RowsShowTheirExplanation) {
  struct Case {
    bool detailed;
    int row;
    const char* starts;
    bool lettersNote;
  };
  const Case cases[] = {
      {false, 0, "１９８４年１月１７日の場合\r\n1984/01/17", false},
      {false, 11, "午後５時３０分３０秒の場合\r\n17時30分30秒", false},
      {true, 0, "時刻の区切り記号です。", false},
      {true, 1, "日付の区切り記号です。", false},
      {true, 3, "日を表示します。(1～31)", true},
      {true, 37, "地域の設定の午前・午後", true},
  };
  for (const Case& c : cases) {
    F().UserValue(c.detailed ? kFormatDetailed : kFormatSimple, 1);
    F().UserValue(kFormatList1, c.row);
    const std::string& help = F().Text(kFormatText1);
    EXPECT_EQ(help.rfind(c.starts, 0), 0u) << c.row << ": " << help;
    EXPECT_EQ(help.find("大文字でも小文字でも") != std::string::npos, c.lettersNote) << c.row;
  }
  // Every element has its own explanation, every one with letters the note.
  for (int r = 0; r < kFormatElementCount; ++r) {
    const std::string help = FormatExplanation(true, r);
    EXPECT_EQ(help.rfind(std::string(ResString(201 + r)), 0), 0u) << r;
    EXPECT_GT(ResString(201 + r).size(), 10u) << r;
  }
}

// What the help says of letters holds for the formatter.
TEST(TimeFormatHelp, LettersAreCodesInEitherCaseAndFullWidthIsLiteral) {
  const DateTime v{2026, 12, 8, 10, 30, 0};
  const RegionalSettings r;
  EXPECT_EQ(DateFormatter(v, "D", r), DateFormatter(v, "d", r));
  EXPECT_EQ(DateFormatter(v, "Today", r), "To8a342");
  EXPECT_EQ(DateFormatter(v, "Ｔｏｄａｙ", r), "Ｔｏｄａｙ");
}

TEST_F(TimeFormatDialogTest, AddReplaceAndDefaultBuildThePattern) {
  struct Step {
    bool detailed;
    int row;  // -1: none selected
    int button;
    const char* pattern;
  };
  const std::vector<std::vector<Step>> runs = {
      {{false, 0, kFormatReplace, "yyyy/mm/dd"}, {false, 4, kFormatAdd, "yyyy/mm/dd(ddd)"}},
      {{false, -1, kFormatAdd, ""}, {false, -1, kFormatReplace, ""}},
      {{true, 27, kFormatAdd, "hh"}, {true, 0, kFormatAdd, "hh:"}, {true, 30, kFormatAdd, "hh:s"}},
      {{true, 32, kFormatReplace, "t t t t t "}, {false, 8, kFormatReplace, "hh:mm"}},
      {{false, 2, kFormatAdd, "西暦yyyy年m月d日"},
       {false, -1, kFormatDefault, " <yyyy/mm/dd(ddd) hh:mm:ss>"}},
  };
  for (const auto& run : runs) {
    TimeFormatDialog d;
    for (const Step& s : run) {
      d.Form().UserValue(s.detailed ? kFormatDetailed : kFormatSimple, 1);
      if (s.row >= 0) d.Form().UserValue(kFormatList1, s.row);
      d.Form().UserClick(s.button);
      EXPECT_EQ(d.Form().Text(kFormatText2), s.pattern);
    }
  }
  F().UserValue(kFormatList1, 5);
  F().UserDoubleClick(kFormatList1);
  F().UserDoubleClick(kFormatList1);
  EXPECT_EQ(F().Text(kFormatText2), "dddddddd") << "a double click adds like 追加";
}

TEST(EditTimeFormat, OkReturnsThePatternAndAnyOtherCloseNothing) {
  struct Case {
    const char* what;
    std::function<void(FormModel&)> act;
    std::optional<std::string> result;
  };
  const Case cases[] = {
      {"OK untouched empties the box", [](FormModel& f) { f.UserClick(kFormatOk); }, ""},
      {"OK",
       [](FormModel& f) {
         f.UserValue(kFormatList1, 9);
         f.UserClick(kFormatReplace);
         f.UserText(kFormatText2, f.Text(kFormatText2) + " 頃");
         f.UserClick(kFormatOk);
       },
       "hh:mm:ss 頃"},
      {"キャンセル",
       [](FormModel& f) {
         f.UserClick(kFormatDefault);
         f.UserClick(kFormatCancel);
       },
       std::nullopt},
      {"close box",
       [](FormModel& f) {
         f.UserClick(kFormatDefault);
         f.UserClose();
       },
       std::nullopt},
  };
  for (const Case& c : cases) {
    testing::FakePrompts prompts;
    prompts.dialogs.push_back(c.act);
    EXPECT_EQ(EditTimeFormat(prompts), c.result) << c.what;
    EXPECT_EQ(prompts.modalRuns, 1);
  }
}

}  // namespace
}  // namespace kestrova

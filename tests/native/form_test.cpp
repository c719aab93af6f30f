#include "form/form.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "fakes/fake_form.h"

namespace kestrova {
namespace {

enum : int { kText = 10, kCheck, kCombo, kList, kScroll, kOptA, kOptB, kOptC, kOther, kButton, kTab };

constexpr ControlSpec kRows[] = {
    {.id = kText, .kind = ControlKind::kTextBox, .name = "Text1"},
    {.id = kCheck, .kind = ControlKind::kCheckBox, .name = "Check1"},
    {.id = kCombo, .kind = ControlKind::kComboList, .name = "Combo1"},
    {.id = kList, .kind = ControlKind::kListBox, .name = "List1"},
    {.id = kScroll, .kind = ControlKind::kHScroll, .name = "HScroll1"},
    {.id = kOptA, .kind = ControlKind::kOptionButton, .name = "Option1", .index = 0},
    {.id = kOptB, .kind = ControlKind::kOptionButton, .name = "Option1", .index = 1},
    {.id = kOptC, .kind = ControlKind::kOptionButton, .name = "Option1", .index = 3},
    {.id = kOther, .kind = ControlKind::kOptionButton, .name = "Option2", .index = 0},
    {.id = kButton, .kind = ControlKind::kButton, .name = "Command1", .caption = "OK"},
    {.id = kTab, .kind = ControlKind::kTab, .name = "Tab", .caption = "基本設定|表示|タイミング"},
};
constexpr FormSpec kSpec{.caption = "test", .controls = kRows};

class FormTest : public ::testing::Test {
 protected:
  FormTest() {
    form.SetItems(kCombo, {"a", "b", "c"});
    form.SetItems(kList, {"x", "y"});
    form.SetRange(kScroll, 1, 100, 1, 10);
    view.changed.clear();
  }
  // Records every handler run as "id:cause".
  void Watch(std::initializer_list<int> ids) {
    for (int id : ids) {
      form.OnChange(id, [this, id](Cause c) { runs.push_back(std::to_string(id) + ":" + Name(c)); });
    }
  }
  static std::string Name(Cause c) {
    return c == Cause::kProgram ? "program" : c == Cause::kUser ? "user" : "drag";
  }

  FormModel form{kSpec};
  testing::RecordingFormView view{form};
  std::vector<std::string> runs;
};

TEST_F(FormTest, ProgramAndUserChangesRunTheSameHandlerWithTheirCause) {
  Watch({kText, kCheck, kCombo, kScroll, kOptB});
  struct Case {
    const char* what;
    std::function<void(FormModel&)> act;
    std::vector<std::string> runs;
  };
  const Case cases[] = {
      {"program text", [](FormModel& f) { f.SetText(kText, "abc"); }, {"10:program"}},
      {"user text", [](FormModel& f) { f.UserText(kText, "abcd"); }, {"10:user"}},
      {"same text again", [](FormModel& f) { f.UserText(kText, "abcd"); }, {}},
      {"program check", [](FormModel& f) { f.SetValue(kCheck, 1); }, {"11:program"}},
      {"user check", [](FormModel& f) { f.UserValue(kCheck, 0); }, {"11:user"}},
      {"combo pick", [](FormModel& f) { f.UserValue(kCombo, 2); }, {"12:user"}},
      {"scroll arrow", [](FormModel& f) { f.UserValue(kScroll, 2); }, {"14:user"}},
      {"scroll thumb", [](FormModel& f) { f.UserValue(kScroll, 50, Cause::kThumbDrag); }, {"14:drag"}},
      {"scroll from program", [](FormModel& f) { f.SetValue(kScroll, 60); }, {"14:program"}},
      // The program's assignment acts even when the control holds the value; the user's does not.
      {"program, same value", [](FormModel& f) { f.SetValue(kScroll, 60); }, {"14:program"}},
      {"user, same value", [](FormModel& f) { f.UserValue(kScroll, 60); }, {}},
      {"range cuts the value", [](FormModel& f) { f.SetRange(kScroll, 1, 40); }, {"14:program"}},
      {"option by group", [](FormModel& f) { f.SetGroupValue(kOptA, 1); }, {"16:program"}},
      {"click on the set option", [](FormModel& f) { f.UserValue(kOptB, 1); }, {"16:user"}},
  };
  for (const Case& c : cases) {
    runs.clear();
    c.act(form);
    EXPECT_EQ(runs, c.runs) << c.what;
  }
}

TEST_F(FormTest, ValuesAreClampedToWhatTheControlCanShow) {
  struct Case {
    int id;
    int set;
    int shown;
  };
  const Case cases[] = {
      {kCheck, 2, 2}, {kCheck, 7, 2}, {kCheck, -1, 0}, {kCombo, 5, 2},      {kCombo, -3, 0},
      {kList, 1, 1},  {kList, 9, 1},  {kScroll, 0, 1}, {kScroll, 101, 100}, {kScroll, 55, 55},
      {kOptA, 5, 1},  {kTab, 3, 2},   {kTab, -1, 0},
  };
  for (const Case& c : cases) {
    form.SetValue(c.id, c.set);
    EXPECT_EQ(form.Value(c.id), c.shown) << c.id << " set " << c.set;
  }
  form.SetItems(kCombo, {});
  EXPECT_EQ(form.Value(kCombo), -1) << "an emptied list selects nothing";
  form.SetItems(kCombo, {"only"});
  form.SetValue(kCombo, 4);
  EXPECT_EQ(form.Value(kCombo), 0);
}

TEST_F(FormTest, OptionGroupKeepsOneMemberSet) {
  form.SetValue(kOther, 1);
  struct Case {
    int setIndex;
    int expectIndex;          // the nearest member
    std::vector<int> values;  // kOptA, kOptB, kOptC
  };
  const Case cases[] = {
      {1, 1, {0, 1, 0}}, {0, 0, {1, 0, 0}}, {3, 3, {0, 0, 1}},
      {2, 1, {0, 1, 0}}, {9, 3, {0, 0, 1}}, {-4, 0, {1, 0, 0}},
  };
  for (const Case& c : cases) {
    form.SetGroupValue(kOptB, c.setIndex);
    EXPECT_EQ(form.GroupValue(kOptC), c.expectIndex) << c.setIndex;
    EXPECT_EQ((std::vector<int>{form.Value(kOptA), form.Value(kOptB), form.Value(kOptC)}), c.values);
    EXPECT_EQ(form.Value(kOther), 1) << "another group is untouched";
  }
  form.UserValue(kOptA, 1);
  EXPECT_EQ(form.GroupValue(kOptB), 0);
}

TEST_F(FormTest, OneNotificationPerChangedControl) {
  form.SetValue(kOptA, 1);
  view.changed.clear();
  form.UserValue(kOptC, 1);
  EXPECT_EQ(view.changed, (std::vector<int>{kOptA, kOptC})) << "the cleared member and the set one";
  struct Case {
    std::function<void(FormModel&)> act;
    std::vector<int> changed;
  };
  const Case cases[] = {
      {[](FormModel& f) { f.SetText(kText, "t"); }, {kText}},
      {[](FormModel& f) { f.SetText(kText, "t"); }, {}},
      {[](FormModel& f) { f.SetEnabled(kButton, false); }, {kButton}},
      {[](FormModel& f) { f.SetEnabled(kButton, false); }, {}},
      {[](FormModel& f) { f.SetVisible(kList, false); }, {kList}},
      {[](FormModel& f) { f.SetValue(kScroll, 1); }, {}},
      {[](FormModel& f) { f.SetItems(kList, {"z"}); }, {kList}},
  };
  for (const Case& c : cases) {
    view.changed.clear();
    c.act(form);
    EXPECT_EQ(view.changed, c.changed);
  }
  form.Show(true);
  form.Focus(kText);
  form.Close();
  EXPECT_EQ(view.calls, (std::vector<std::string>{"show", "focus 10", "close"}));
}

TEST_F(FormTest, HandlersSettingOtherControlsRunTheirHandlersNested) {
  Watch({kText});
  // Dragging the bar picks the last combo entry, as the timing page does.
  form.OnChange(kScroll, [&](Cause c) {
    runs.push_back("scroll");
    if (c == Cause::kThumbDrag) form.SetValue(kCombo, 2);
    form.SetValue(kScroll, 99);  // its own control: updated, not re-entered
  });
  form.OnChange(kCombo, [&](Cause c) {
    runs.push_back("combo:" + Name(c));
    form.SetText(kText, "from combo");
  });
  form.UserValue(kScroll, 30, Cause::kThumbDrag);
  EXPECT_EQ(runs, (std::vector<std::string>{"scroll", "combo:program", "10:program"}));
  EXPECT_EQ(form.Value(kScroll), 99);
  runs.clear();
  form.UserValue(kScroll, 20);
  EXPECT_EQ(runs, (std::vector<std::string>{"scroll"})) << "arrows do not pick";
}

TEST_F(FormTest, ClicksCloseAndUnload) {
  int clicks = 0, unloads = 0;
  bool allow = false;
  form.OnClick(kButton, [&](Cause) { ++clicks; });
  form.OnQueryClose([&] { return allow; });
  form.OnUnload([&] { ++unloads; });
  form.UserClick(kButton);
  form.SetEnabled(kButton, false);
  form.UserClick(kButton);
  EXPECT_EQ(clicks, 1) << "a disabled button does not click";
  form.UserClose();
  EXPECT_EQ(unloads, 0) << "refused";
  allow = true;
  form.UserClose();
  form.Close();
  EXPECT_EQ(unloads, 1);
  EXPECT_TRUE(form.IsUnloaded());
}

TEST_F(FormTest, ReplacingTheSelectionPutsTheCaretAfterTheInsert) {
  struct Case {
    const char* text;
    int start, length;
    const char* insert;
    const char* result;
    int caret;
  };
  const Case cases[] = {
      {"yyyy/mm", 4, 0, "年", "yyyy年/mm", 7},
      {"hh:nn:ss", 3, 2, "mm", "hh:mm:ss", 5},
      {"", 0, 0, "dd", "dd", 2},
      {"abc", 9, 9, "!", "abc!", 4},  // a stale selection is cut to the text
  };
  for (const Case& c : cases) {
    form.SetText(kText, c.text);
    form.SetSelection(kText, c.start, c.length);
    form.ReplaceSelection(kText, c.insert);
    EXPECT_EQ(form.Text(kText), c.result);
    EXPECT_EQ(form.State(kText).selStart, c.caret) << c.result;
    EXPECT_EQ(form.State(kText).selLength, 0);
  }
}

TEST_F(FormTest, TabCaptionListsThePages) {
  EXPECT_EQ(form.State(kTab).items, (std::vector<std::string>{"基本設定", "表示", "タイミング"}));
  EXPECT_EQ(form.Value(kList), -1) << "lists start with nothing selected";
  EXPECT_THROW(form.State(999), std::out_of_range);
  EXPECT_THROW(form.SetGroupValue(999, 0), std::out_of_range);
}

}  // namespace
}  // namespace kestrova

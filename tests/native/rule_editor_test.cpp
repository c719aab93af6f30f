#include "ui/rule_editor.h"

#include <gtest/gtest.h>

#include <deque>
#include <optional>

#include "fakes/fake_form.h"
#include "settings/codepage_iconv.h"
#include "ui/rule_list.h"
#include "ui/window_picker.h"

namespace kestrova {
namespace {

using testing::FakePrompts;

Cp932CodePage codePage;

// Answers the windows "under the pointer" in turn; then nothing.
class ScriptedPicker : public WindowPicker {
 public:
  std::deque<std::optional<PickedWindow>> answers;
  int picks = 0;
  std::optional<PickedWindow> PickUnderCursor() override {
    ++picks;
    if (answers.empty()) return std::nullopt;
    auto answer = answers.front();
    answers.pop_front();
    return answer;
  }
};

void Type(FormModel& form, const char* name, const char* title, const char* cls) {
  form.UserText(kRuleName, name);
  form.UserText(kRuleTitle, title);
  form.UserText(kRuleClass, cls);
}

TEST(RuleEditor, OkValidatesAndStoresTrimmedOneLineFields) {
  struct Case {
    const char* name;
    const char* title;
    const char* cls;
    const char* message;  // nullptr: accepted
    WindowRule stored;
  };
  const Case cases[] = {
      {"  ", "無題", "", kRuleNeedsName, {}},
      {"", "", "Notepad", kRuleNeedsName, {}},
      {"\r\n", "無題", "", kRuleNeedsName, {}},
      {"メモ", " ", "   ", kRuleNeedsTitleOrClass, {}},
      {"メモ", "\n", "", kRuleNeedsTitleOrClass, {}},
      {" メモ ", "", "Notepad", nullptr, {false, "メモ", "", 0, "Notepad"}},
      {"a", " 無題 - メモ帳 ", "", nullptr, {false, "a", "無題 - メモ帳", 0, ""}},
      // A line break would split the rule's line in the settings file.
      {"two\r\nlines", "x\ny\rz", "C\r\n", nullptr, {false, "two lines", "x y z", 0, "C"}},
  };
  for (const Case& c : cases) {
    FakePrompts prompts;
    ScriptedPicker picker;
    WindowRule rule;
    rule.Name = "old";
    const WindowRule before = rule;
    bool stayedOpen = false;
    prompts.dialogs.push_back([&](FormModel& form) {
      Type(form, c.name, c.title, c.cls);
      form.UserClick(kRuleOk);
      stayedOpen = !form.IsUnloaded();
      if (stayedOpen) {
        EXPECT_EQ(form.Text(kRuleName), c.name) << "kept as typed";
      }
    });
    const bool accepted = EditRule(prompts, picker, codePage, rule);
    SCOPED_TRACE(c.name);
    if (c.message != nullptr) {
      ASSERT_EQ(prompts.asked.size(), 1u);
      EXPECT_EQ(prompts.asked[0].text, c.message);
      EXPECT_EQ(prompts.asked[0].title, "Kestrova");
      EXPECT_EQ(prompts.asked[0].kind, PromptKind::kExclamation);
      EXPECT_TRUE(stayedOpen);
      EXPECT_FALSE(accepted);
      EXPECT_EQ(rule, before);
    } else {
      EXPECT_TRUE(prompts.asked.empty());
      EXPECT_FALSE(stayedOpen);
      EXPECT_TRUE(accepted);
      EXPECT_EQ(rule, c.stored);
    }
  }
}

// The settings file gives back 127 bytes of each value: a longer exact title
// would stop matching after the next start.
TEST(RuleEditor, TextsTheFileWouldCutAreRefused) {
  const std::string fits(127, 'a'), cut(128, 'a');
  std::string wide;  // 128 bytes in the ANSI code page
  for (int i = 0; i < 64; ++i) wide += "あ";
  struct Case {
    std::string name, title, cls;
    bool accepted;
  };
  const Case cases[] = {
      {fits, fits, fits, true},
      {cut, "t", "", false},
      {"n", wide, "", false},
      {"n", "", cut, false},
      {"n", wide.substr(3), "", true},
      // Counted after a line break became one blank.
      {std::string(63, 'a') + "\r\n" + std::string(63, 'a'), "t", "", true},
  };
  for (const Case& c : cases) {
    FakePrompts prompts;
    ScriptedPicker picker;
    WindowRule rule;
    prompts.dialogs.push_back([&](FormModel& form) {
      Type(form, c.name.c_str(), c.title.c_str(), c.cls.c_str());
      form.UserClick(kRuleOk);
      if (!form.IsUnloaded()) form.UserClick(kRuleCancel);
    });
    EXPECT_EQ(EditRule(prompts, picker, codePage, rule), c.accepted) << c.name.size() << " " << c.title;
    ASSERT_EQ(prompts.asked.size(), c.accepted ? 0u : 1u);
    if (!c.accepted) {
      EXPECT_EQ(prompts.asked[0].text, kRuleTextTooLong);
    }
  }
}

TEST(RuleEditor, DragFillsTitleAndClassWhileTheLeftButtonAloneIsHeld) {
  FakePrompts prompts;
  ScriptedPicker picker;
  picker.answers = {PickedWindow{"無題 - メモ帳", "Notepad"}, std::nullopt,
                    PickedWindow{"電卓", "CalcFrame"}};
  WindowRule edited{false, "名前", "", 1, ""};
  prompts.dialogs.push_back([&](FormModel& form) {
    form.UserMouse(kRuleTarget, MouseAction::kDown, kLeftButton);
    EXPECT_EQ(picker.picks, 0) << "a press alone picks nothing";
    form.UserMouse(kRuleTarget, MouseAction::kMove, kLeftButton);
    EXPECT_EQ(form.Text(kRuleTitle), "無題 - メモ帳");
    EXPECT_EQ(form.Text(kRuleClass), "Notepad");
    // Over one of our own windows: the boxes keep the last pick.
    form.UserMouse(kRuleTarget, MouseAction::kMove, kLeftButton);
    EXPECT_EQ(form.Text(kRuleClass), "Notepad");
    for (int buttons : {0, int{kRightButton}, kLeftButton | kRightButton, kLeftButton | kMiddleButton}) {
      form.UserMouse(kRuleTarget, MouseAction::kMove, buttons);
    }
    EXPECT_EQ(picker.picks, 2) << "only the left button alone picks";
    // The release picks once more where it happens.
    form.UserMouse(kRuleTarget, MouseAction::kUp, kLeftButton);
    EXPECT_EQ(form.Text(kRuleTitle), "電卓");
    EXPECT_EQ(form.Text(kRuleClass), "CalcFrame");
    EXPECT_EQ(form.Text(kRuleName), "名前");
    EXPECT_EQ(form.Value(kRuleInTitle), 1);
    EXPECT_EQ(form.GroupValue(kRuleExclude), 0);
    form.UserClick(kRuleOk);
  });
  ASSERT_TRUE(EditRule(prompts, picker, codePage, edited));
  EXPECT_EQ(edited, (WindowRule{false, "名前", "電卓", 1, "CalcFrame"}));
}

TEST(CutToAnsiBytes, KeepsWholeDoubleByteCharacters) {
  Cp932CodePage cp932;
  const auto repeat = [](const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
  };
  struct Case {
    std::string text;
    std::string kept;
  };
  const Case cases[] = {
      {repeat("a", 1023), repeat("a", 1023)},
      {repeat("a", 1024), repeat("a", 1023)},
      {repeat("あ", 511) + "b", repeat("あ", 511) + "b"},  // exactly 1023 bytes
      {repeat("あ", 512), repeat("あ", 511)},              // 1024: the last one would split
      {"a" + repeat("あ", 600), "a" + repeat("あ", 511)},
      {repeat("a", 1022) + "😀", repeat("a", 1022)},  // an emoji is "??" in the file
      {repeat("a", 1021) + "😀", repeat("a", 1021) + "😀"},
      {repeat("é", 1030), repeat("é", 1023)},  // "?" each
      {"", ""},
  };
  for (const Case& c : cases) {
    const std::string kept = CutToAnsiBytes(cp932, c.text, kPickedTextBytes);
    EXPECT_EQ(kept, c.kept) << c.text.size();
    EXPECT_LE(cp932.ToAnsi(kept).size(), kPickedTextBytes);
  }
}

}  // namespace
}  // namespace kestrova

#include "ui/rule_list.h"

#include <gtest/gtest.h>

#include <optional>

#include "fakes/fake_form.h"
#include "settings/codepage_iconv.h"
#include "ui/rule_editor.h"
#include "ui/window_picker.h"

namespace kestrova {
namespace {

using testing::FakePrompts;

Cp932CodePage codePage;

class NoWindow : public WindowPicker {
 public:
  std::optional<PickedWindow> PickUnderCursor() override { return std::nullopt; }
};

WindowRule Rule(bool allow, const char* name) { return WindowRule{allow, name, "t", 0, ""}; }

TEST(RuleList, RowsAndTooltips) {
  struct Case {
    WindowRule rule;
    const char* row;
    const char* tip;
  };
  const Case cases[] = {
      {{false, "メモ帳", "無題", 1, "Notepad"}, "除:メモ帳", "除外:タイトル:無題を含む/クラス名:Notepad"},
      {{true, "a", "無題", 1, ""}, "許:a", "許可:タイトル:無題を含む/クラス名なし"},
      {{false, "b", "", 0, "Notepad"}, "除:b", "除外:タイトルなし/クラス名:Notepad"},
      {{true, "c", "x", 0, "K"}, "許:c", "許可:タイトル:x/クラス名:K"},
      // Only 1 says "contains" in the tooltip.
      {{false, "d", "x", 2, ""}, "除:d", "除外:タイトル:x/クラス名なし"},
  };
  WindowRuleList rules;
  for (const Case& c : cases) rules.push_back(c.rule);
  const std::vector<std::string> rows = RuleRows(rules);
  ASSERT_EQ(rows.size(), rules.size());
  for (size_t i = 0; i < rules.size(); ++i) {
    EXPECT_EQ(rows[i], cases[i].row);
    EXPECT_EQ(RuleListTooltip(rules, static_cast<int>(i)), cases[i].tip);
  }
  for (int row : {-1, static_cast<int>(rules.size()), 1000}) {
    EXPECT_EQ(RuleListTooltip(rules, row),
              "除外/許可ウインドウの設定一覧です。ダブルクリックで編集できます。");
  }
  EXPECT_EQ(RuleListTooltip({}, 0), kRuleListTip);
}

TEST(RuleList, AddAppendsOnOkOnlyAndOpensEmpty) {
  FakePrompts prompts;
  NoWindow picker;
  WorkingRules working{{Rule(false, "first")}};
  WindowRule edited{false, "stale", "stale", 1, "stale"};
  prompts.dialogs.push_back([](FormModel& form) {
    EXPECT_EQ(form.Text(kRuleName), "");
    EXPECT_EQ(form.Text(kRuleTitle), "");
    EXPECT_EQ(form.Text(kRuleClass), "");
    EXPECT_EQ(form.Value(kRuleInTitle), 0);
    form.UserClick(kRuleCancel);
  });
  EXPECT_FALSE(AddRule(prompts, picker, codePage, working, edited));
  EXPECT_EQ(working.list.size(), 1u);
  prompts.dialogs.push_back([](FormModel& form) {
    form.UserText(kRuleName, " メモ ");
    form.UserText(kRuleClass, "Notepad");
    form.UserClick(kRuleOk);
  });
  EXPECT_TRUE(AddRule(prompts, picker, codePage, working, edited));
  ASSERT_EQ(working.list.size(), 2u);
  EXPECT_EQ(RuleRows(working.list)[1], "除:メモ");
}

// EditedRule keeps the allow/exclude choice of the rule last shown, with OK or Cancel.
TEST(RuleList, AddOpensWithTheChoiceOfTheRuleLastShown) {
  for (const bool allow : {true, false}) {
    for (const bool cancelled : {true, false}) {
      FakePrompts prompts;
      NoWindow picker;
      WorkingRules working{{Rule(allow, "r")}};
      WindowRule edited;
      edited.AntiType = !allow;
      prompts.dialogs.push_back([&](FormModel& form) { form.UserClick(cancelled ? kRuleCancel : kRuleOk); });
      EditRuleAt(prompts, picker, codePage, working, edited, 0);
      int shown = -1;
      prompts.dialogs.push_back([&](FormModel& form) { shown = form.GroupValue(kRuleExclude); });
      AddRule(prompts, picker, codePage, working, edited);
      EXPECT_EQ(shown, allow ? 1 : 0) << allow << cancelled;
    }
  }
}

TEST(RuleList, EditReplacesTheSelectedRuleOnOkOnly) {
  FakePrompts prompts;
  NoWindow picker;
  WorkingRules working{{Rule(false, "a"), Rule(false, "b"), Rule(true, "c")}};
  const WindowRuleList before = working.list;
  WindowRule edited;
  EXPECT_FALSE(EditRuleAt(prompts, picker, codePage, working, edited, -1));
  EXPECT_FALSE(EditRuleAt(prompts, picker, codePage, working, edited, 3));
  EXPECT_EQ(prompts.modalRuns, 0) << "no row, no editor";
  prompts.dialogs.push_back([](FormModel& form) {
    form.UserText(kRuleName, "changed");
    form.UserClose();  // the close box, like Cancel
  });
  EXPECT_FALSE(EditRuleAt(prompts, picker, codePage, working, edited, 1));
  EXPECT_EQ(working.list, before);
  prompts.dialogs.push_back([](FormModel& form) {
    EXPECT_EQ(form.Text(kRuleName), "b");
    form.UserText(kRuleName, "B");
    form.UserValue(kRuleAllow, 1);
    form.UserClick(kRuleOk);
  });
  EXPECT_TRUE(EditRuleAt(prompts, picker, codePage, working, edited, 1));
  EXPECT_EQ(RuleRows(working.list), (std::vector<std::string>{"除:a", "許:B", "許:c"}));
}

// A Cancel of the settings window while the editor is open puts the stored
// rules back: the result is dropped, also when the stored list is as long.
TEST(RuleList, EditAndAddDropTheirResultWhenTheListWasPutBackDuringTheEditor) {
  const WindowRuleList stored = {Rule(true, "x"), Rule(true, "y"), Rule(true, "z")};
  for (const size_t keep : {size_t{1}, size_t{3}}) {
    for (const bool add : {false, true}) {
      FakePrompts prompts;
      NoWindow picker;
      WorkingRules working{{Rule(false, "a"), Rule(false, "b"), Rule(false, "c")}};
      const WindowRuleList restored(stored.begin(), stored.begin() + static_cast<long>(keep));
      WindowRule edited;
      prompts.dialogs.push_back([&](FormModel& form) {
        working.Reload(restored);
        form.UserText(kRuleName, "C");
        form.UserText(kRuleClass, "K");
        form.UserClick(kRuleOk);
      });
      const bool changed = add ? AddRule(prompts, picker, codePage, working, edited)
                               : EditRuleAt(prompts, picker, codePage, working, edited, 2);
      EXPECT_FALSE(changed) << keep << add;
      EXPECT_EQ(working.list, restored) << keep << add;
    }
  }
}

TEST(RuleList, DeleteRemovesTheSelectedRowOnly) {
  struct Case {
    int row;
    std::vector<std::string> left;
  };
  const Case cases[] = {
      {-1, {"除:a", "除:b", "除:c"}}, {3, {"除:a", "除:b", "除:c"}}, {0, {"除:b", "除:c"}},
      {1, {"除:a", "除:c"}},          {2, {"除:a", "除:b"}},
  };
  for (const Case& c : cases) {
    WindowRuleList working = {Rule(false, "a"), Rule(false, "b"), Rule(false, "c")};
    EXPECT_EQ(DeleteRuleAt(working, c.row), c.left.size() == 2);
    EXPECT_EQ(RuleRows(working), c.left) << c.row;
  }
  WindowRuleList one = {Rule(false, "only")};
  EXPECT_TRUE(DeleteRuleAt(one, 0));
  EXPECT_TRUE(one.empty());
}

// The settings file keeps rules 1 ... 999: a 1000th would vanish at the next save.
TEST(RuleList, AThousandthRuleIsRefused) {
  for (const size_t existing : {kMaxWindowRules - 1, kMaxWindowRules}) {
    FakePrompts prompts;
    NoWindow picker;
    WorkingRules working{WindowRuleList(existing, Rule(false, "r"))};
    WindowRule edited;
    prompts.dialogs.push_back([](FormModel& form) {
      form.UserText(kRuleName, "new");
      form.UserText(kRuleClass, "C");
      form.UserClick(kRuleOk);
    });
    const bool added = AddRule(prompts, picker, codePage, working, edited);
    EXPECT_EQ(added, existing < kMaxWindowRules);
    EXPECT_EQ(working.list.size(), kMaxWindowRules);
    if (added) continue;
    EXPECT_EQ(prompts.modalRuns, 0);
    ASSERT_EQ(prompts.asked.size(), 1u);
    EXPECT_EQ(prompts.asked[0].kind, PromptKind::kExclamation);
    EXPECT_EQ(prompts.asked[0].title, "Kestrova");
    EXPECT_EQ(prompts.asked[0].text, kRuleListFull);
  }
}

}  // namespace
}  // namespace kestrova

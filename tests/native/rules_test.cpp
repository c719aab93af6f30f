#include "engine/rules.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"

namespace kestrova {
namespace {

using testing::FakeLocale;
using testing::FakeWindowSystem;

WindowRule Exclude(std::string title, std::uint8_t inTitle, std::string cls) {
  return WindowRule{false, "r", std::move(title), inTitle, std::move(cls)};
}
WindowRule Allow(std::string title, std::uint8_t inTitle, std::string cls) {
  return WindowRule{true, "r", std::move(title), inTitle, std::move(cls)};
}

struct MatchCase {
  const char* what;
  WindowRule rule;
  const char* title;
  const char* cls;
  bool matches;
};

TEST(RuleMatches, TitleAndClassTable) {
  const MatchCase cases[] = {
      {"class equal ignoring case", Exclude("", 0, "notepad"), "x", "Notepad", true},
      {"class never by containment", Exclude("", 0, "note"), "x", "Notepad", false},
      {"class longer than window's", Exclude("", 0, "Notepad2"), "x", "Notepad", false},
      {"whole title must equal", Exclude("memo", 0, ""), "Memo - 1", "C", false},
      {"contained title", Exclude("memo", 1, ""), "Memo - 1", "C", true},
      {"any non-zero InTitle means contain", Exclude("- 1", 200, ""), "Memo - 1", "C", true},
      {"whole title ignoring case", Exclude("MEMO - 1", 0, ""), "memo - 1", "C", true},
      {"contained nowhere", Exclude("xyz", 1, ""), "Memo - 1", "C", false},
      {"both fields must pass", Exclude("memo", 1, "Edit"), "memo", "Notepad", false},
      {"both fields pass", Exclude("memo", 1, "notepad"), "a memo", "NOTEPAD", true},
      {"empty fields match all", Exclude("", 0, ""), "anything", "Any", true},
      {"empty fields match untitled", Exclude("", 1, ""), "", "Any", true},
      {"title rule vs untitled window", Exclude("a", 1, ""), "", "Any", false},
      // The file keeps rules in code page 932: "?" stands for what it lacks.
      {"stored ? matches what it stood for", Exclude("Caf?", 0, ""), "Café", "C", true},
      {"stored ?? stands for an emoji", Exclude("ok ??", 0, ""), "ok 😀", "C", true},
      {"picked é matches before a save", Exclude("Café", 0, ""), "Café", "C", true},
      {"contained ü as ?", Exclude("m?nchen", 1, ""), "Wetter München", "C", true},
      {"? is no wildcard", Exclude("Caf?", 0, ""), "Cafe", "C", false},
      {"class stored with ?", Exclude("", 0, "Kl?sse"), "x", "Klässe", true},
      {"title line break as a blank", Exclude("a b", 0, ""), "a\r\nb", "C", true},
      // Containment compares as the system does; equality only ignores case.
      {"contained ignores kana type", Exclude("めも", 1, ""), "メモ帳", "C", true},
      {"contained ignores width", Exclude("メモ", 1, ""), "ﾒﾓ帳", "C", true},
      {"contained ignores Latin width", Exclude("abc", 1, ""), "ＡＢＣ", "C", true},
      {"whole title keeps kana type", Exclude("めも帳", 0, ""), "メモ帳", "C", false},
      {"whole title keeps width", Exclude("ﾒﾓ帳", 0, ""), "メモ帳", "C", false},
  };
  for (const MatchCase& c : cases) {
    FakeWindowSystem windows;
    FakeLocale locale;
    windows.Add(7, c.title, c.cls);
    EXPECT_EQ(RuleMatches(windows, locale, c.rule, 7), c.matches) << c.what;
  }
}

TEST(RuleMatches, VanishedWindowMatchesOnlyEmptyFields) {
  FakeWindowSystem windows;
  FakeLocale locale;
  EXPECT_TRUE(RuleMatches(windows, locale, Exclude("", 0, ""), 99));
  EXPECT_FALSE(RuleMatches(windows, locale, Exclude("", 0, "Notepad"), 99));
}

struct FilterCase {
  const char* what;
  WindowRuleList rules;
  std::uint8_t antiType;
  bool filtered;  // for a window of class X titled A
};

TEST(IsWindowFiltered, DecisionTable) {
  const WindowRule allowA = Allow("A", 0, "");
  const WindowRule excludeX = Exclude("", 0, "X");
  const WindowRule excludeOther = Exclude("B", 0, "");
  const WindowRule allowOther = Allow("", 0, "Y");
  const FilterCase cases[] = {
      {"no rules, exclude mode decorates", {}, 0, false},
      {"no rules, allow-list mode leaves alone", {}, 1, true},
      {"exclude rule matching", {excludeX}, 0, true},
      {"exclude rule not matching", {excludeOther}, 0, false},
      {"allow before exclude: allow decides", {allowA, excludeX}, 0, false},
      {"exclude before allow: exclude decides", {excludeX, allowA}, 0, true},
      {"allow-list mode, allow matches", {allowA}, 1, false},
      {"allow-list mode, only other allow rules", {allowOther}, 1, true},
      {"allow-list mode, exclude matches", {excludeX}, 1, true},
      {"allow-list mode, allow after exclude", {excludeX, allowA}, 1, true},
      {"allow-list mode, allow before exclude", {allowA, excludeX}, 1, false},
      {"non-matching rules before a match", {excludeOther, allowOther, excludeX}, 0, true},
      {"non-matching exclude after allow", {allowA, excludeOther}, 0, false},
      {"any non-zero mode is allow-list", {}, 255, true},
      {"exclude rule with empty fields excludes all", {Exclude("", 0, "")}, 0, true},
      {"allow rule with empty fields admits all", {Allow("", 0, "")}, 1, false},
  };
  for (const FilterCase& c : cases) {
    FakeWindowSystem windows;
    FakeLocale locale;
    windows.Add(5, "A", "X");
    EXPECT_EQ(IsWindowFiltered(windows, locale, c.rules, c.antiType, 5), c.filtered) << c.what;
  }
}

// A window system that counts reads and can retitle the window between them.
class CountingWindows : public FakeWindowSystem {
 public:
  int titleReads = 0;
  int classReads = 0;
  std::string ReadTitle(WindowHandle window) override {
    ++titleReads;
    return FakeWindowSystem::ReadTitle(window);
  }
  std::string ReadClassName(WindowHandle window) override {
    ++classReads;
    return FakeWindowSystem::ReadClassName(window);
  }
};

TEST(IsWindowFiltered, ReadsOnlyWhatARuleTestsAndStopsAtTheFirstMatch) {
  CountingWindows windows;
  FakeLocale locale;
  windows.Add(5, "A", "X");
  const WindowRuleList rules = {Exclude("B", 0, ""), Exclude("", 0, "X"), Exclude("A", 0, "X")};
  EXPECT_TRUE(IsWindowFiltered(windows, locale, rules, 0, 5));
  EXPECT_EQ(windows.titleReads, 1);  // the rule without a title never reads it
  EXPECT_EQ(windows.classReads, 1);  // the third rule is never tried
}

}  // namespace
}  // namespace kestrova

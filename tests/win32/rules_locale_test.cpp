// Window rules with the system locale's letter case: the folding the rules
// rely on is the host's, so these rows run against the real locale.
#include <gtest/gtest.h>

#include <string>

#include "engine/rules.h"
#include "format/win32/locale_win.h"

namespace kestrova {
namespace {

// One window with a fixed title and class.
class OneWindow : public WindowSystem {
 public:
  OneWindow(std::string title, std::string cls) : title_(std::move(title)), class_(std::move(cls)) {}
  WindowHandle ForegroundWindow() override { return 1; }
  WindowHandle FindChild(WindowHandle, std::string_view) override { return 0; }
  WindowHandle ActiveMdiChild(WindowHandle) override { return 0; }
  std::string ReadTitle(WindowHandle) override { return title_; }
  bool WriteTitle(WindowHandle, std::string_view) override { return false; }
  std::string ReadClassName(WindowHandle) override { return class_; }
  bool Exists(WindowHandle) override { return true; }
  bool IsOwnWindow(WindowHandle) override { return false; }

 private:
  std::string title_;
  std::string class_;
};

TEST(RulesWithTheSystemLocale, FullWidthAndJapaneseTitles) {
  struct Case {
    const char* what;
    const char* ruleTitle;
    std::uint8_t inTitle;
    const char* ruleClass;
    const char* title;
    const char* cls;
    bool matches;
  } cases[] = {
      {"full-width Latin folds", "ｍｅｍｏ", 0, "", "ＭＥＭＯ", "C", true},
      {"full-width contained", "ｍｅｍ", 1, "", "テキストＭＥＭＯ", "C", true},
      {"full-width is not ASCII", "memo", 0, "", "ＭＥＭＯ", "C", false},
      {"Japanese title exact", "メモ帳", 0, "", "メモ帳", "C", true},
      {"kana type ignored when contained", "めも", 1, "", "メモ帳", "C", true},
      {"class ignoring case", "", 0, "notepad", "x", "Notepad", true},
      {"accented letters fold", "é", 1, "", "CAFÉ", "C", true},
  };
  Win32Locale locale;
  for (const Case& c : cases) {
    OneWindow window(c.title, c.cls);
    const WindowRule rule{false, "r", c.ruleTitle, c.inTitle, c.ruleClass};
    EXPECT_EQ(RuleMatches(window, locale, rule, 1), c.matches) << c.what;
  }
}

}  // namespace
}  // namespace kestrova

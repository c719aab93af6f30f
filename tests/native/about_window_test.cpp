#include "shell/about_window.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "fakes/fake_app.h"
#include "fakes/fake_form.h"
#include "platform/version_info.h"
#include "resources/version.h"

namespace kestrova {
namespace {

using testing::FakePrompts;
using testing::FakeShell;

class FakeVersionInfo : public VersionInfo {
 public:
  std::vector<std::string> keys;
  std::string Text(const std::string& key) override {
    keys.push_back(key);
    return key == "LegalCopyright" ? "Copyright (C) 2026 試験" : "";
  }
};

TEST(VersionText, NumbersWithoutLeadingZeros) {
  const struct {
    int major, minor, revision;
    const char* text;
  } cases[] = {{2, 1, 11, "Ver.2.1.11"}, {1, 0, 0, "Ver.1.0.0"}, {10, 0, 305, "Ver.10.0.305"}};
  for (const auto& c : cases) EXPECT_EQ(VersionText(c.major, c.minor, c.revision), c.text);
}

class AboutWindowTest : public ::testing::Test {
 protected:
  FakeShell shell;
  AboutWindow about{shell, "Ver.2.1.11", "Copyright (C) 2026 試験"};
  FormModel& form = about.Form();
};

TEST_F(AboutWindowTest, ShowsItsTextsAndAShadowedTitle) {
  EXPECT_STREQ(form.Spec().caption, "Kestrova-バージョン情報");
  const std::pair<int, const char*> texts[] = {
      {kAboutTitle, "Kestrova"},
      {kAboutTitleShadow, "Kestrova"},
      {kAboutVersion, "Ver.2.1.11"},
      {kAboutLegal, "Copyright (C) 2026 試験"},
      {kAboutDescription, "アクティブなウインドウのタイトルバー部分に日時を表示するプログラムです。"},
      {kAboutMailCaption, "作者へメール"},
      {kAboutWebCaption, "公開HP"},
      {kAboutCommand1, "OK"},
  };
  for (const auto& [id, text] : texts) EXPECT_EQ(form.Text(id), text) << id;

  const ControlSpec& title = *form.Find(kAboutTitle);
  const ControlSpec& shadow = *form.Find(kAboutTitleShadow);
  EXPECT_EQ(shadow.rect.left - title.rect.left, 45);
  EXPECT_EQ(shadow.rect.top - title.rect.top, 45);
  EXPECT_NE(shadow.color, title.color);
  // Drawn in table order: the shadow must lie under the title.
  EXPECT_LT(&shadow, &title);
}

TEST_F(AboutWindowTest, LinksShowTheAddressAndOpenTheirTag) {
  for (const int link : {kAboutMailLink, kAboutWebLink}) {
    EXPECT_NE(form.Find(link)->flags & kLink, 0u);
    EXPECT_NE(form.Find(link)->color, kSystemColor);
  }
  EXPECT_EQ(about.Tag(kAboutMailLink), "mailto:" + form.Text(kAboutMailLink));
  EXPECT_EQ(about.Tag(kAboutWebLink), form.Text(kAboutWebLink));
  // Nobody's real address until the project has a home.
  EXPECT_NE(form.Text(kAboutMailLink).find("@example."), std::string::npos);
  EXPECT_EQ(form.Text(kAboutWebLink).rfind("https://www.example.", 0), 0u);

  form.UserClick(kAboutWebLink);
  form.UserClick(kAboutMailLink);
  EXPECT_EQ(shell.opened, (std::vector<std::string>{about.Tag(kAboutWebLink), about.Tag(kAboutMailLink)}));
  EXPECT_FALSE(form.IsUnloaded());
}

TEST_F(AboutWindowTest, OnlyTheLinkUnderTheMouseIsUnderlined) {
  const struct {
    const char* name;
    std::vector<int> moves;  // 0: the window's background
    bool mail, web;
  } cases[] = {
      {"onto the mail link", {kAboutMailLink}, true, false},
      {"onto the web link", {kAboutWebLink}, false, true},
      {"off onto the background", {kAboutMailLink, 0}, false, false},
      {"from link to link", {kAboutMailLink, kAboutWebLink}, false, true},
      {"onto the OK button", {kAboutWebLink, kAboutCommand1}, false, false},
      {"onto the caption beside it", {kAboutMailLink, kAboutMailCaption}, false, false},
      {"back again", {kAboutMailLink, 0, kAboutMailLink}, true, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    form.UserMouseMove(0);
    for (const int id : c.moves) form.UserMouseMove(id);
    EXPECT_EQ(about.Underlined(kAboutMailLink), c.mail);
    EXPECT_EQ(about.Underlined(kAboutWebLink), c.web);
  }
}

// The shell may run messages while it starts a program; a click then must wait.
class ReentrantShell : public FakeShell {
 public:
  FormModel* form = nullptr;
  int clickDuringOpen = 0;
  std::vector<bool> busyDuringOpen;
  AboutWindow* about = nullptr;
  bool OpenDocument(WindowHandle owner, const std::string& target, const std::string& directory) override {
    busyDuringOpen.push_back(about->Busy());
    if (const int link = std::exchange(clickDuringOpen, 0)) form->UserClick(link);
    return FakeShell::OpenDocument(owner, target, directory);
  }
};

TEST(AboutWindowBusy, AClickWhileALinkOpensIsIgnored) {
  ReentrantShell shell;
  AboutWindow about(shell, "Ver.1.0.0", "");
  shell.form = &about.Form();
  shell.about = &about;
  shell.clickDuringOpen = kAboutWebLink;
  about.Form().UserClick(kAboutMailLink);
  EXPECT_EQ(shell.opened, std::vector<std::string>{about.Tag(kAboutMailLink)});
  EXPECT_FALSE(about.Busy());

  about.Form().UserClick(kAboutWebLink);  // free again afterwards
  EXPECT_EQ(shell.opened.back(), about.Tag(kAboutWebLink));
  EXPECT_EQ(shell.busyDuringOpen, (std::vector<bool>{true, true}));
}

TEST(ShowAbout, RunsModallyWithTheResourcesLegalNoticeAndOkCloses) {
  FakePrompts prompts;
  FakeShell shell;
  FakeVersionInfo version;
  bool closedByOk = false;
  prompts.dialogs.push_back([&](FormModel& form) {
    EXPECT_EQ(form.Text(kAboutVersion),
              VersionText(KESTROVA_VERSION_MAJOR, KESTROVA_VERSION_MINOR, KESTROVA_VERSION_REVISION));
    EXPECT_EQ(form.Text(kAboutLegal), "Copyright (C) 2026 試験");
    form.UserClick(kAboutCommand1);
    closedByOk = form.IsUnloaded();
  });
  ShowAbout(prompts, shell, version);
  EXPECT_EQ(prompts.modalRuns, 1);
  EXPECT_TRUE(closedByOk);
  EXPECT_EQ(version.keys, std::vector<std::string>{"LegalCopyright"});
  EXPECT_TRUE(prompts.asked.empty());
}

}  // namespace
}  // namespace kestrova

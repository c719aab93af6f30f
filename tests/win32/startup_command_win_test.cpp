// The startup command on the real file system: registering writes a shortcut
// to Kestrova.exe (built beside this test) into a scratch Startup folder, and
// the caption follows the folder, also when the file goes behind its back.
#include <gtest/gtest.h>
#include <windows.h>

#include <deque>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/prompts.h"
#include "platform/win32/files_win.h"
#include "platform/win32/text_win.h"
#include "settings/win32/codepage_win.h"
#include "shell/startup_command.h"

namespace kestrova {
namespace {

namespace fs = std::filesystem;

class ScriptedPrompts : public Prompts {
 public:
  std::deque<PromptAnswer> answers;
  std::vector<std::string> titles;
  PromptAnswer Ask(PromptKind kind, const std::string& title, const std::string&) override {
    titles.push_back(title);
    if (kind != PromptKind::kQuestion || answers.empty()) return PromptAnswer::kOk;
    const PromptAnswer a = answers.front();
    answers.pop_front();
    return a;
  }
  void RunModal(FormModel&) override {}
};

std::string ExeFolder() {
  wchar_t self[MAX_PATH] = L"";
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  return win32::Narrow(fs::path(self).parent_path().wstring()) + "\\";
}

class StartupCommandWin : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = fs::temp_directory_path() / L"kestrova スタートアップ試験";
    fs::remove_all(folder);
    fs::create_directories(folder);
  }
  void TearDown() override { fs::remove_all(folder); }

  std::string Folder() const { return win32::Narrow(folder.wstring()) + "\\"; }
  bool LinkExists() const { return fs::exists(folder / L"Kestrova.lnk"); }

  fs::path folder;
  ScriptedPrompts prompts;
  win32::Win32Files files;
  WinCodePage codePage;
};

TEST_F(StartupCommandWin, RegistersRemovesAndFollowsTheFolder) {
  StartupCommand command(prompts, files, codePage, ExeFolder(), Folder());
  command.Refresh();
  EXPECT_FALSE(command.Registered());
  const auto answerYes = [&] { prompts.answers = {PromptAnswer::kYes}; };

  answerYes();
  command.Run();
  EXPECT_TRUE(LinkExists());
  EXPECT_STREQ(command.Caption(), "スタートアップから削除(&S)");
  answerYes();
  command.Run();
  EXPECT_FALSE(LinkExists());
  EXPECT_STREQ(command.Caption(), "スタートアップに登録(&S)");

  // Deleted by hand while the menu offered removal: removing still ends well.
  answerYes();
  command.Run();
  fs::remove(folder / L"Kestrova.lnk");
  answerYes();
  command.Run();
  EXPECT_FALSE(command.Registered());
  EXPECT_EQ(prompts.titles,
            (std::vector<std::string>{"スタートアップ登録", "登録完了", "スタートアップ登録", "削除完了",
                                      "スタートアップ登録", "登録完了", "スタートアップ登録", "削除完了"}));
}

}  // namespace
}  // namespace kestrova

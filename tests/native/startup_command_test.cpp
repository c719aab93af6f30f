#include "shell/startup_command.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/fake_files.h"
#include "fakes/fake_form.h"
#include "settings/codepage_iconv.h"

namespace kestrova {
namespace {

using testing::FakeFiles;
using testing::FakePrompts;

constexpr char kLink[] = "C:\\Users\\u\\Startup\\Kestrova.lnk";
constexpr char kRegisterQ[] = "『Kestrova』をスタートアップに登録します。\r\nよろしいですか？";
constexpr char kRemoveQ[] = "『Kestrova』をスタートアップから削除します。\r\nよろしいですか？";
constexpr char kDone[] = "処理は正常に終了しました。";
constexpr char kFailed[] = "処理は失敗しました。";
constexpr char kWelcome[] =
    "『Kestrova』をお使い頂きありがとうございます。\r\n"
    "このプログラムをスタートアップに登録すると、次回からWindows起動時にプログラムを開始出来るようになります"
    "。\r\n"
    "スタートアップに登録しますか？\r\n"
    "※この設定は、設定画面で変更可能です。";

// A shortcut that cannot be deleted (write-protected, in use).
class LockedFiles : public FakeFiles {
 public:
  bool locked = false;
  bool Delete(const std::string& path) override { return locked ? !Exists(path) : FakeFiles::Delete(path); }
};

struct Box {
  PromptKind kind;
  std::string title;
  std::string text;
};

class StartupCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    files.volumes["C:\\"] = VolumeFacts{"SYSTEM", 0x1234ABCD};
    files.AddFolder("C:\\Tools");
    files.AddFile("C:\\Tools\\Kestrova.exe", 1000, 1, "KESTRO~1.EXE");
    files.AddFolder("C:\\Users\\u\\Startup");
  }

  void PlaceShortcut() { files.AddFile(kLink, 348, 1); }

  void ExpectBoxes(const std::vector<Box>& expected) {
    ASSERT_EQ(prompts.asked.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
      EXPECT_EQ(prompts.asked[i].kind, expected[i].kind) << "box " << i;
      EXPECT_EQ(prompts.asked[i].title, expected[i].title) << "box " << i;
      EXPECT_EQ(prompts.asked[i].text, expected[i].text) << "box " << i;
    }
  }

  void ExpectRegistered(bool registered) {
    EXPECT_EQ(command.Registered(), registered);
    EXPECT_EQ(files.Exists(kLink), registered);
    EXPECT_STREQ(command.Caption(), registered ? "スタートアップから削除(&S)" : "スタートアップに登録(&S)");
  }

  LockedFiles files;
  FakePrompts prompts;
  Cp932CodePage codePage;
  StartupCommand command{prompts, files, codePage, "C:\\Tools\\", "C:\\Users\\u\\Startup\\"};
};

const Box kAskRegister{PromptKind::kQuestion, "スタートアップ登録", kRegisterQ};
const Box kAskRemove{PromptKind::kQuestion, "スタートアップ登録", kRemoveQ};
const Box kRegistered{PromptKind::kInformation, "登録完了", kDone};
const Box kRegisterFailed{PromptKind::kExclamation, "登録失敗", kFailed};
const Box kRemoved{PromptKind::kInformation, "削除完了", kDone};
const Box kRemoveFailed{PromptKind::kExclamation, "削除失敗", kFailed};

TEST_F(StartupCommandTest, EveryAnswerPathEndsWithTheCaptionOfTheFileSystem) {
  enum Trouble { kNone, kCannotCreate, kLaterBlockFails, kLocked, kNoProgram };
  struct Case {
    const char* name;
    bool present;
    PromptAnswer answer;
    Trouble trouble;
    std::vector<Box> boxes;
    bool registeredAfter;
  };
  const PromptAnswer yes = PromptAnswer::kYes, no = PromptAnswer::kNo;
  const Case cases[] = {
      {"register, No", false, no, kNone, {kAskRegister}, false},
      {"register, Yes", false, yes, kNone, {kAskRegister, kRegistered}, true},
      {"folder not writable", false, yes, kCannotCreate, {kAskRegister, kRegisterFailed}, false},
      {"later block fails", false, yes, kLaterBlockFails, {kAskRegister, kRegisterFailed}, false},
      {"program missing", false, yes, kNoProgram, {kAskRegister, kRegisterFailed}, false},
      {"remove, No", true, no, kNone, {kAskRemove}, true},
      {"remove, Yes", true, yes, kNone, {kAskRemove, kRemoved}, false},
      {"remove, file locked", true, yes, kLocked, {kAskRemove, kRemoveFailed}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    files.entries.erase(kLink);
    if (c.present) PlaceShortcut();
    if (c.trouble == kNoProgram) files.entries.erase("C:\\Tools\\Kestrova.exe");
    files.writes = 0;
    files.failWriteNumber = c.trouble == kCannotCreate ? 1 : c.trouble == kLaterBlockFails ? 4 : 0;
    files.locked = c.trouble == kLocked;
    prompts.asked.clear();
    prompts.answers = {c.answer};
    command.Refresh();
    ASSERT_EQ(command.Registered(), c.present);

    command.Run();

    ExpectBoxes(c.boxes);
    ExpectRegistered(c.registeredAfter);
    // Written whole: the worked example's 348 bytes for C:\Tools\Kestrova.exe.
    if (c.registeredAfter && !c.present) {
      EXPECT_EQ(files.entries[kLink].bytes.size(), 348u);
    }
  }
}

TEST_F(StartupCommandTest, ChangesBehindTheProgramsBackAreReadAgain) {
  // Deleted by hand while the menu offered removal: removing still succeeds.
  PlaceShortcut();
  command.Refresh();
  files.entries.erase(kLink);
  prompts.answers = {PromptAnswer::kYes};
  command.Run();
  ExpectBoxes({kAskRemove, kRemoved});
  ExpectRegistered(false);

  // Put back by hand while the menu offered registration: No still shows removal.
  PlaceShortcut();
  prompts.asked.clear();
  prompts.answers = {PromptAnswer::kNo};
  command.Run();
  ExpectBoxes({kAskRegister});
  ExpectRegistered(true);
}

TEST_F(StartupCommandTest, WithoutStartupFolderNothingIsWrittenAnywhere) {
  files.AddFile("Kestrova.lnk", 1, 1);  // in whatever the current folder is
  StartupCommand noFolder(prompts, files, codePage, "C:\\Tools\\", "");
  noFolder.Refresh();
  EXPECT_FALSE(noFolder.Available());
  EXPECT_FALSE(noFolder.Registered());
  prompts.answers = {PromptAnswer::kYes};
  noFolder.Run();
  ExpectBoxes({kAskRegister, kRegisterFailed});
  EXPECT_EQ(files.writes, 0);
  EXPECT_STREQ(noFolder.Caption(), "スタートアップに登録(&S)");
}

TEST_F(StartupCommandTest, FoldersWithoutTrailingBackslashAreJoined) {
  StartupCommand bare(prompts, files, codePage, "C:\\Tools", "C:\\Users\\u\\Startup");
  EXPECT_EQ(bare.LinkPath(), kLink);
  prompts.answers = {PromptAnswer::kYes};
  bare.Run();
  EXPECT_TRUE(files.Exists(kLink));
  EXPECT_TRUE(bare.Registered());
}

TEST_F(StartupCommandTest, WelcomeYesRunsTheRegistrationWithItsOwnQuestion) {
  const Box welcome{PromptKind::kQuestion, "ようこそ！", kWelcome};
  struct Case {
    const char* name;
    bool present;
    std::vector<PromptAnswer> answers;
    std::vector<Box> boxes;
    bool registeredAfter;
  };
  const Case cases[] = {
      {"No", false, {PromptAnswer::kNo}, {welcome}, false},
      {"Yes, then No", false, {PromptAnswer::kYes, PromptAnswer::kNo}, {welcome, kAskRegister}, false},
      {"Yes, Yes",
       false,
       {PromptAnswer::kYes, PromptAnswer::kYes},
       {welcome, kAskRegister, kRegistered},
       true},
      // A shortcut left from an earlier installation: the answer asked to register, not to remove.
      {"Yes, Yes over an old shortcut",
       true,
       {PromptAnswer::kYes, PromptAnswer::kYes},
       {welcome, kAskRegister, kRegistered},
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    files.entries.erase(kLink);
    if (c.present) PlaceShortcut();
    command.Refresh();
    prompts.asked.clear();
    prompts.answers.assign(c.answers.begin(), c.answers.end());
    command.Welcome();
    ExpectBoxes(c.boxes);
    ExpectRegistered(c.registeredAfter);
  }
  EXPECT_EQ(files.entries[kLink].bytes.size(), 348u);  // the old file was replaced
}

}  // namespace
}  // namespace kestrova

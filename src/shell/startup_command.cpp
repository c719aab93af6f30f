#include "shell/startup_command.h"

#include <utility>

#include "platform/files.h"
#include "platform/prompts.h"
#include "shell/shortcut.h"

namespace kestrova {

namespace {

constexpr char kQuestionTitle[] = "スタートアップ登録";
constexpr char kRegisterQuestion[] = "『Kestrova』をスタートアップに登録します。\r\nよろしいですか？";
constexpr char kRemoveQuestion[] = "『Kestrova』をスタートアップから削除します。\r\nよろしいですか？";
constexpr char kDone[] = "処理は正常に終了しました。";
constexpr char kFailed[] = "処理は失敗しました。";
constexpr char kWelcomeTitle[] = "ようこそ！";
constexpr char kWelcomeText[] =
    "『Kestrova』をお使い頂きありがとうございます。\r\n"
    "このプログラムをスタートアップに登録すると、次回からWindows起動時にプログラムを開始出来るようになります"
    "。\r\n"
    "スタートアップに登録しますか？\r\n"
    "※この設定は、設定画面で変更可能です。";

std::string AsFolder(std::string path) {
  if (!path.empty() && path.back() != '\\') path += '\\';
  return path;
}

}  // namespace

StartupCommand::StartupCommand(Prompts& prompts, Files& files, CodePage& codePage, std::string appPath,
                               std::string startupFolder)
    : prompts_(prompts),
      files_(files),
      codePage_(codePage),
      appPath_(AsFolder(std::move(appPath))),
      startupFolder_(AsFolder(std::move(startupFolder))) {}

void StartupCommand::Refresh() {
  // Without a Startup folder the link path would name a file in the current folder.
  registered_ = Available() && files_.Exists(LinkPath());
}

void StartupCommand::Run() {
  if (registered_) {
    Remove();
  } else {
    Register();
  }
  // Also after a failure: the caption follows the file, never what was attempted.
  Refresh();
}

void StartupCommand::Welcome() {
  if (prompts_.Ask(PromptKind::kQuestion, kWelcomeTitle, kWelcomeText) != PromptAnswer::kYes) return;
  // A shortcut left from an earlier installation is written anew, as the answer asked.
  Register();
  Refresh();
}

bool StartupCommand::Confirmed(const char* question) {
  return prompts_.Ask(PromptKind::kQuestion, kQuestionTitle, question) == PromptAnswer::kYes;
}

void StartupCommand::Register() {
  if (!Confirmed(kRegisterQuestion)) return;
  const bool written =
      Available() && WriteShortcutFile(files_, codePage_, ProgramShortcut(appPath_, startupFolder_));
  if (written) {
    prompts_.Ask(PromptKind::kInformation, "登録完了", kDone);
  } else {
    prompts_.Ask(PromptKind::kExclamation, "登録失敗", kFailed);
  }
}

void StartupCommand::Remove() {
  if (!Confirmed(kRemoveQuestion)) return;
  // A shortcut someone else already deleted counts as removed.
  if (files_.Delete(LinkPath())) {
    prompts_.Ask(PromptKind::kInformation, "削除完了", kDone);
  } else {
    prompts_.Ask(PromptKind::kExclamation, "削除失敗", kFailed);
  }
}

}  // namespace kestrova

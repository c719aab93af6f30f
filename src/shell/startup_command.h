#pragma once
// Registering the program in the user's Startup folder and removing it again:
// the settings menu's command, which the first-run welcome question runs too.
// The Startup folder is the truth: it is read again after every run.
#include <string>

namespace kestrova {

class CodePage;
class Files;
class Prompts;

inline constexpr const char* kStartupRegisterCaption = "スタートアップに登録(&S)";
inline constexpr const char* kStartupRemoveCaption = "スタートアップから削除(&S)";
inline constexpr const char* kStartupLinkName = "Kestrova.lnk";

class StartupCommand {
 public:
  // `appPath` and `startupFolder` are folders ("" when the system named no Startup folder).
  StartupCommand(Prompts& prompts, Files& files, CodePage& codePage, std::string appPath,
                 std::string startupFolder);

  // Reads whether the shortcut is there. The settings window's load calls it
  // after the welcome question; every run ends with it.
  void Refresh();

  // The menu command: asks, registers or removes, reports the result, reads the folder again.
  void Run();

  // The first-run welcome question; Yes registers, with the command's own confirmation.
  void Welcome();

  // False without a Startup folder: the command then does nothing and its item is greyed.
  bool Available() const { return !startupFolder_.empty(); }
  bool Registered() const { return registered_; }
  // The menu item's caption for what the command would do now.
  const char* Caption() const { return registered_ ? kStartupRemoveCaption : kStartupRegisterCaption; }
  std::string LinkPath() const { return startupFolder_ + kStartupLinkName; }

 private:
  void Register();
  void Remove();
  bool Confirmed(const char* question);

  Prompts& prompts_;
  Files& files_;
  CodePage& codePage_;
  std::string appPath_;
  std::string startupFolder_;
  bool registered_ = false;
};

}  // namespace kestrova

#pragma once
// Kestrova.exe's options: each asks the running copy for one command.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrova {

enum class RemoteCommand { kPause, kResume, kToggle, kTimeCopy, kSysInfoCopy, kTimeType, kSetting, kExit };

struct CommandLine {
  enum class Kind { kNone, kCommand, kBad } kind = Kind::kNone;
  RemoteCommand command = RemoteCommand::kPause;
};

// The arguments after the program's name: none, one known option ('/' or '-',
// any case), or bad (unknown, or more than one).
CommandLine ParseCommandLine(const std::vector<std::string>& args);

// "pause" for /pause; the name also travels to the running copy.
const char* RemoteCommandName(RemoteCommand command);
std::optional<RemoteCommand> RemoteCommandFromName(std::string_view name);

// The message for a bad command line, listing the options.
std::string CommandLineUsage();

// Exit codes of a run with an option.
inline constexpr int kExitDone = 0;
inline constexpr int kExitNotRunning = 1;
inline constexpr int kExitBadOption = 2;

// How long /timetype waits for the caller's window to take the focus back.
inline constexpr int kTimeTypeDelayMs = 500;

}  // namespace kestrova

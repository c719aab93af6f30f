#pragma once
// The startup shortcut, written byte by byte in the Shell Link Binary File Format.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/profile_store.h"

namespace kestrova {

// What a shortcut holds. Texts are UTF-8; empty ones are left out of the file.
struct ShortcutFields {
  std::string target;
  std::string linkFile;
  std::string arguments;
  std::string workingDirectory;
  std::string iconLocation;
  std::int32_t iconIndex = 0;
  std::uint8_t hotKey = 0;  // virtual-key code, taken with Ctrl+Alt
  std::string description;
};

// The program's own startup shortcut: `appPath` and `startupFolder` end in "\".
ShortcutFields ProgramShortcut(const std::string& appPath, const std::string& startupFolder);

// The file's blocks in writing order, each to follow the previous one.
// Nothing when the target is missing or not on a drive letter.
std::optional<std::vector<std::string>> BuildShortcutBlocks(Files& files, CodePage& codePage,
                                                            const ShortcutFields& fields);

// True when the whole file was written. A file left incomplete by a failed
// block is removed, so that logon never meets a truncated shortcut.
bool WriteShortcutFile(Files& files, CodePage& codePage, const ShortcutFields& fields);

}  // namespace kestrova

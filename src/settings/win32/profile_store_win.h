#pragma once
// The private-profile service of kernel32. Its wide calls take the path, so
// a program folder whose name is outside the ANSI code page still works.
#include <string>

#include "platform/profile_store.h"

namespace kestrova {

class WinProfileStore : public ProfileStore {
 public:
  std::string ReadString(const std::string& path, const std::string& section, const std::string& key,
                         const std::string& def) override;
  int ReadInt(const std::string& path, const std::string& section, const std::string& key, int def) override;
  bool WriteString(const std::string& path, const std::string& section, const std::string& key,
                   const std::string& value) override;
  std::optional<std::string> ReadFileBytes(const std::string& path) override;
  bool WriteFileInPlace(const std::string& path, std::string_view bytes) override;
  bool RenameFile(const std::string& from, const std::string& to) override;
  bool RemoveFile(const std::string& path) override;
};

}  // namespace kestrova

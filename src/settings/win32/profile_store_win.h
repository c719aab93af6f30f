#pragma once
// The private-profile service of kernel32, in the ANSI code page.
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
};

}  // namespace kestrova

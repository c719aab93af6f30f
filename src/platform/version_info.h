#pragma once
// The program's version resource, read as the system reads it.
#include <string>

namespace kestrova {

class VersionInfo {
 public:
  virtual ~VersionInfo() = default;
  // A text of the resource's string table ("LegalCopyright", "FileVersion"...);
  // "" when the program carries none.
  virtual std::string Text(const std::string& key) = 0;
};

}  // namespace kestrova

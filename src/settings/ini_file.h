#pragma once
// Kestrova.ini through the private-profile service. Text is UTF-8 here and
// the ANSI code page in the file; the path stays UTF-8.
#include <string>

namespace kestrova {

class ProfileStore;
class CodePage;

// A number as the file keeps it with a sign column: " 1", "-1".
inline std::string SignColumn(long long value) {
  return value >= 0 ? " " + std::to_string(value) : std::to_string(value);
}

class IniFile {
 public:
  IniFile(ProfileStore& store, CodePage& codePage, std::string path);

  const std::string& Path() const { return path_; }

  int IniReadInt(const std::string& section, const std::string& key, int def);
  // At most 127 bytes of the file's code page, never half a double-byte character.
  std::string IniReadString(const std::string& section, const std::string& key, const std::string& def);
  // A line break in `value` is written as a blank: a value is one line.
  bool IniWriteString(const std::string& section, const std::string& key, const std::string& value);

 private:
  ProfileStore& store_;
  CodePage& codePage_;
  std::string path_;
};

}  // namespace kestrova

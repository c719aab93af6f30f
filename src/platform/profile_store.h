#pragma once
// The platform's private-profile (INI) service. Sections, keys and values go
// in and come out in the ANSI code page (bytes), exactly as the service
// stores them. The path is UTF-8 like every other name of a file here: the
// file is the program's, and its folder may have any name.
#include <string>

namespace kestrova {

class ProfileStore {
 public:
  virtual ~ProfileStore() = default;
  // The value of `key`, or `def` when the key is absent. Values come back
  // whole (the 127-byte limit is applied above this layer).
  virtual std::string ReadString(const std::string& path, const std::string& section,
                                 const std::string& key, const std::string& def) = 0;
  // The service's own integer reading: `def` when absent or empty, else the
  // signed decimal at the start of the value (0 when there is none).
  virtual int ReadInt(const std::string& path, const std::string& section, const std::string& key,
                      int def) = 0;
  virtual bool WriteString(const std::string& path, const std::string& section,
                           const std::string& key, const std::string& value) = 0;
};

// Conversion between UTF-8 and the system's ANSI code page.
class CodePage {
 public:
  virtual ~CodePage() = default;
  virtual std::string ToAnsi(const std::string& utf8) = 0;
  virtual std::string FromAnsi(const std::string& ansi) = 0;
  virtual bool IsLeadByte(unsigned char byte) = 0;
};

}  // namespace kestrova

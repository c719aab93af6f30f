#pragma once
// A private-profile service of our own over a file on disk, for systems that
// have none. It keeps the rules of the Windows service (as Wine has it):
// - names and values lose surrounding blanks; one pair of enclosing quotes
//   (double or single) is dropped from a value on reading;
// - section and key names compare without regard to ASCII case, and the
//   first of two equal sections or keys is the one used;
// - a line without "=" is no value (comments and garbage are kept as they are);
// - writing keeps every other line and the order of keys and sections, puts a
//   new key after the last line of its section and a new section at the end of
//   the file, creates the file if needed and ends every line with CR LF;
// - LF and CR LF line ends are both read.
// Bytes are in the ANSI code page: trail bytes of double-byte characters are
// never taken for "]" or for letters to fold.
#include <cstddef>
#include <string>
#include <unordered_map>
#include <utility>

#include "platform/profile_store.h"

namespace kestrova {

class ProfileFile : public ProfileStore {
 public:
  // `codePage` tells the lead bytes of the file's double-byte characters.
  explicit ProfileFile(CodePage& codePage) : codePage_(codePage) {}

  std::string ReadString(const std::string& path, const std::string& section, const std::string& key,
                         const std::string& def) override;
  int ReadInt(const std::string& path, const std::string& section, const std::string& key, int def) override;
  bool WriteString(const std::string& path, const std::string& section, const std::string& key,
                   const std::string& value) override;

 private:
  // The contents of `path`, or nothing when there are none to read.
  bool LookUp(const std::string& path, const std::string& section, const std::string& key,
              std::string& value);

  CodePage& codePage_;
  // Where each section's lines are in the file read last; used while the
  // file still holds exactly that text (reading the settings reads one file
  // thousands of times in a row).
  std::string indexedPath_;
  std::string indexedText_;
  std::unordered_map<std::string, std::pair<std::size_t, std::size_t>> sectionBodies_;
};

}  // namespace kestrova

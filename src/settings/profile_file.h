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
// - LF and CR LF line ends are both read;
// - a file that starts with the UTF-16LE byte-order mark is read and written
//   in UTF-16LE (with the mark); any other is in the ANSI code page, whose
//   trail bytes of double-byte characters are never taken for "]" or for
//   letters to fold.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "platform/profile_store.h"

namespace kestrova {

// The service's reading of one text in memory, with an index of its sections
// (reading the settings reads one file thousands of times in a row).
class ProfileIndex {
 public:
  // `leadBytes` tells the double-byte characters of an ANSI text; nullptr
  // for UTF-8, no byte of whose characters is ever "[", "]", "=" or a letter.
  explicit ProfileIndex(CodePage* leadBytes) : leadBytes_(leadBytes) {}

  // Indexes `text`, unless it is the text indexed already.
  void Use(std::string_view text);
  // The value as the service hands it out: up to a NUL, without enclosing
  // quotes; nothing when the key is absent or has no "=".
  std::optional<std::string> LookUp(std::string_view section, std::string_view key) const;

 private:
  CodePage* leadBytes_;
  std::string text_;
  bool indexed_ = false;
  std::unordered_map<std::string, std::pair<std::size_t, std::size_t>> sectionBodies_;
};

// `text` with `key` of `section` set to `value`, as the service writes it.
std::string WithProfileValue(std::string_view text, std::string_view section, std::string_view key,
                             std::string_view value, CodePage* leadBytes);

// The service's number reading of a value.
int ParseProfileInt(std::string_view text);

class ProfileFile : public ProfileStore {
 public:
  // `codePage` is the file's while it is not Unicode.
  explicit ProfileFile(CodePage& codePage) : codePage_(codePage), ansi_(&codePage), unicode_(nullptr) {}

  std::string ReadString(const std::string& path, const std::string& section, const std::string& key,
                         const std::string& def) override;
  int ReadInt(const std::string& path, const std::string& section, const std::string& key, int def) override;
  bool WriteString(const std::string& path, const std::string& section, const std::string& key,
                   const std::string& value) override;
  std::optional<std::string> ReadFileBytes(const std::string& path) override;
  bool WriteFileInPlace(const std::string& path, std::string_view bytes) override;
  bool RenameFile(const std::string& from, const std::string& to) override;
  bool RemoveFile(const std::string& path) override;

 private:
  std::optional<std::string> LookUp(const std::string& path, const std::string& section,
                                    const std::string& key);

  CodePage& codePage_;
  ProfileIndex ansi_;
  ProfileIndex unicode_;
  // The bytes of the file indexed last, to know when to index anew.
  std::string indexedPath_;
  std::string indexedBytes_;
};

}  // namespace kestrova

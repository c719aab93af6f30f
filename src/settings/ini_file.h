#pragma once
// Kestrova.ini through the private-profile service. Text is UTF-8 here; the
// file is in the ANSI code page while every text fits it, and in UTF-16LE from
// the first text that does not (ini_form.h); the path stays UTF-8.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "settings/ini_form.h"
#include "settings/profile_file.h"

namespace kestrova {

class ProfileStore;
class CodePage;

// A number as the file keeps it with a sign column: " 1", "-1".
inline std::string SignColumn(long long value) {
  return value >= 0 ? " " + std::to_string(value) : std::to_string(value);
}

// The longest start of `utf8` that takes at most `maxBytes` in the ANSI code
// page; a double-byte character is never split.
std::string CutToAnsiBytes(CodePage& codePage, const std::string& utf8, std::size_t maxBytes);

// One key of a record as the file keeps it.
struct IniValue {
  std::string key;
  std::string value;
};

class IniFile {
 public:
  IniFile(ProfileStore& store, CodePage& codePage, std::string path);

  const std::string& Path() const { return path_; }

  int IniReadInt(const std::string& section, const std::string& key, int def);
  // At most 127 bytes of the ANSI code page (a character it lacks counts as
  // the "?" it would become there), never half a character, whatever the
  // file's form: a value reads back alike in every form.
  std::string IniReadString(const std::string& section, const std::string& key, const std::string& def);
  // A line break in `value` is written as a blank: a value is one line. A
  // text the file's code page cannot hold first turns the file into Unicode;
  // false when that fails (the value is not written then, rather than lost to "?").
  bool IniWriteString(const std::string& section, const std::string& key, const std::string& value);
  // The keys of one record, all of them or none: false when the file cannot
  // take one of the texts (nothing of the record is written then).
  bool WriteRecord(const std::string& section, const std::vector<IniValue>& values);

  // Completes a change of form that was cut short; run at start, before the
  // first read. While a side file is left nothing is written, and reads come
  // from the side file when it could be read.
  void FinishInterruptedRewrite();
  // As last seen, reading the file when it has not been.
  IniForm Form();
  // A side file of a rewrite waits to be finished or removed.
  bool Pending() const { return pending_; }

 private:
  void KnowForm();
  IniForm FormOf(const std::string& bytes);
  void Know(const std::string& bytes);
  // Settles a side file left waiting; false while it stays.
  bool Settle();
  // Puts the file read as `bytes` in a form that takes the texts (`fits`:
  // the code page holds them all). False when the file could not be changed.
  bool Prepare(const std::string& bytes, bool fits);
  bool Fits(const std::string& utf8) { return FitsCodePage(codePage_, utf8); }

  ProfileStore& store_;
  CodePage& codePage_;
  std::string path_;
  bool formKnown_ = false;
  IniForm form_ = IniForm::kAnsi;
  // Read here: a file the service has no form for, or the side file of a rewrite left waiting.
  ProfileIndex memory_{nullptr};
  bool fromMemory_ = false;
  // A rewrite is not settled: the side file would put its own bytes over
  // anything written meanwhile.
  bool pending_ = false;
  // The whole side file as last read or written.
  std::optional<std::string> side_;
};

}  // namespace kestrova

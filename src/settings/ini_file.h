#pragma once
// Kestrova.ini through the private-profile service. Text is UTF-8 here; the
// file is in the ANSI code page while every text fits it, and in UTF-16LE from
// the first text that does not (ini_form.h); the path stays UTF-8.
#include <cstddef>
#include <string>

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

  // Completes a change of form that a crash interrupted; run at start, before
  // the first read. Until it succeeds nothing is written.
  void FinishInterruptedRewrite();
  // As last seen, reading the file when it has not been.
  IniForm Form();

 private:
  void KnowForm();
  // Puts the file in a form that takes any text (`needUnicode`) or any form
  // the service writes (from UTF-8). False when the file could not be changed.
  bool ChangeForm(bool needUnicode);
  bool Fits(const std::string& utf8) { return FitsCodePage(codePage_, utf8); }

  ProfileStore& store_;
  CodePage& codePage_;
  std::string path_;
  bool formKnown_ = false;
  IniForm form_ = IniForm::kAnsi;
  // A UTF-8 file is read here, the service having no such form.
  ProfileIndex utf8_{nullptr};
  // A rewrite is half done: the side file puts it right at the next start,
  // and anything written meanwhile would be lost to it.
  bool stuck_ = false;
};

}  // namespace kestrova

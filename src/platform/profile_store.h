#pragma once
// The platform's private-profile (INI) service. Names and values are UTF-8
// here; the service keeps them in the file's form: the ANSI code page, or
// UTF-16LE when the file starts with its byte-order mark. A text bound for an
// ANSI file must fit the code page (IniFile sees to that). The path is UTF-8
// like every other name of a file here: the file is the program's, and its
// folder may have any name.
#include <optional>
#include <string>
#include <string_view>

namespace kestrova {

class ProfileStore {
 public:
  virtual ~ProfileStore() = default;
  // The value of `key`, or `def` when the key is absent. Values come back
  // whole (the 127-byte limit is applied above this layer).
  virtual std::string ReadString(const std::string& path, const std::string& section, const std::string& key,
                                 const std::string& def) = 0;
  // The service's own integer reading: `def` when absent or empty, else the
  // signed decimal at the start of the value (0 when there is none).
  virtual int ReadInt(const std::string& path, const std::string& section, const std::string& key,
                      int def) = 0;
  virtual bool WriteString(const std::string& path, const std::string& section, const std::string& key,
                           const std::string& value) = 0;

  // The whole file, for the rare change of its form. A store with no file
  // behind it keeps one form: it has no files to read, and cannot write them.
  //
  // The file's bytes; "" for a missing file, nothing when it cannot be read.
  virtual std::optional<std::string> ReadFileBytes(const std::string&) { return std::string(); }
  // Makes `bytes` the whole of the file, flushed to disk: an existing file is
  // written in place (the same file, so a hard link to it keeps it), a missing one created.
  virtual bool WriteFileInPlace(const std::string&, std::string_view) { return false; }
  // Renames `from` to `to`, replacing a file of that name, flushed to disk.
  virtual bool RenameFile(const std::string&, const std::string&) { return false; }
  // False when the file is still there afterwards.
  virtual bool RemoveFile(const std::string&) { return false; }
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

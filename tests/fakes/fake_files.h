#pragma once
// An in-memory file system for the shortcut writer and the startup command.
#include <map>
#include <set>
#include <string>

#include "platform/files.h"

namespace kestrova::testing {

class FakeFiles : public Files {
 public:
  struct Entry {
    FileFacts facts;
    std::string shortName;  // "" keeps the long name
    std::string bytes;      // contents of files written here
  };
  std::map<std::string, Entry> entries;        // by full path
  std::map<std::string, int> driveTypes;       // by root; others are fixed drives
  std::map<std::string, VolumeFacts> volumes;  // by root; others cannot be read
  int failWriteNumber = 0;   // the n-th write call (1 = the first) fails to open the file; 0 none
  int shortWriteNumber = 0;  // the n-th write call writes one byte less than asked
  int writes = 0;
  std::set<std::string> readOnlyFolders;  // "C:\\Tools": no file in them can be written
  int deletes = 0;

  void AddFolder(const std::string& path, const std::string& shortName = "");
  void AddFile(const std::string& path, std::uint64_t size, std::uint64_t modified,
               const std::string& shortName = "", std::uint32_t attributes = 0x20);

  std::int64_t WriteFileChunk(const std::string& path, std::string_view bytes, std::int64_t offset) override;
  std::optional<std::string> ReadAll(const std::string& path) override;
  bool Exists(const std::string& path) override { return entries.count(path) != 0; }
  // As the interface says: a file that was not there is not there afterwards either.
  bool Delete(const std::string& path) override {
    ++deletes;
    entries.erase(path);
    return true;
  }
  std::optional<FileFacts> Facts(const std::string& path) override;
  std::string ShortPath(const std::string& path) override;
  int DriveType(const std::string& root) override;
  std::optional<VolumeFacts> Volume(const std::string& root) override;
};

}  // namespace kestrova::testing

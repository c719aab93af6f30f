#include "fakes/fake_files.h"

namespace kestrova::testing {

void FakeFiles::AddFolder(const std::string& path, const std::string& shortName) {
  entries[path] = Entry{FileFacts{kAttributeDirectory, 0, 0}, shortName, {}};
}

void FakeFiles::AddFile(const std::string& path, std::uint64_t size, std::uint64_t modified,
                        const std::string& shortName, std::uint32_t attributes) {
  entries[path] = Entry{FileFacts{attributes, size, modified}, shortName, {}};
}

std::int64_t FakeFiles::WriteFileChunk(const std::string& path, std::string_view bytes, std::int64_t offset) {
  ++writes;
  if (writes == failWriteNumber) return -1;
  if (readOnlyFolders.count(path.substr(0, path.find_last_of('\\'))) != 0) return -1;
  if (writes == shortWriteNumber && !bytes.empty()) bytes.remove_suffix(1);
  Entry& entry = entries[path];
  entry.facts.attributes = 0x80;
  if (offset == kCreate) {
    entry.bytes.clear();
    offset = 0;
  }
  const auto at = static_cast<std::size_t>(offset);
  if (entry.bytes.size() < at + bytes.size()) entry.bytes.resize(at + bytes.size(), '\0');
  entry.bytes.replace(at, bytes.size(), bytes);
  entry.facts.size = entry.bytes.size();
  return static_cast<std::int64_t>(bytes.size());
}

std::optional<std::string> FakeFiles::ReadAll(const std::string& path) {
  auto it = entries.find(path);
  if (it == entries.end() || (it->second.facts.attributes & kAttributeDirectory) != 0) return std::nullopt;
  return it->second.bytes;
}

std::optional<FileFacts> FakeFiles::Facts(const std::string& path) {
  auto it = entries.find(path);
  if (it == entries.end()) return std::nullopt;
  return it->second.facts;
}

// Builds the short form component by component, as the system does.
std::string FakeFiles::ShortPath(const std::string& path) {
  if (entries.count(path) == 0) return {};
  std::string out = path.substr(0, 3);  // the drive root
  std::size_t start = 3;
  while (start < path.size()) {
    std::size_t end = path.find('\\', start);
    if (end == std::string::npos) end = path.size();
    auto it = entries.find(path.substr(0, end));
    const std::string longName = path.substr(start, end - start);
    out += (it != entries.end() && !it->second.shortName.empty()) ? it->second.shortName : longName;
    if (end < path.size()) out += '\\';
    start = end + 1;
  }
  return out;
}

int FakeFiles::DriveType(const std::string& root) {
  auto it = driveTypes.find(root);
  return it == driveTypes.end() ? kDriveFixed : it->second;
}

std::optional<VolumeFacts> FakeFiles::Volume(const std::string& root) {
  auto it = volumes.find(root);
  if (it == volumes.end()) return std::nullopt;
  return it->second;
}

}  // namespace kestrova::testing

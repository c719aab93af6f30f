#pragma once
// The file system as the shortcut writer, the startup command and the title record need it.
// Paths are UTF-8; the Win32 implementation goes through the Unicode calls.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kestrova {

struct FileFacts {
  std::uint32_t attributes = 0;  // FILE_ATTRIBUTE_* bits
  std::uint64_t size = 0;
  std::uint64_t modified = 0;  // FILETIME: 100 ns units since 1601-01-01 UTC
};

struct VolumeFacts {
  std::string label;
  std::uint32_t serial = 0;
};

inline constexpr std::uint32_t kAttributeDirectory = 0x10;
inline constexpr std::uint32_t kNoAttributes = 0xFFFFFFFF;  // what the system reports for a missing path

// Drive types as the system numbers them.
inline constexpr int kDriveRemovable = 2;
inline constexpr int kDriveFixed = 3;
inline constexpr int kDriveCdRom = 5;

class Files {
 public:
  // Offset that creates the file anew (or empties it) before writing at its start.
  static constexpr std::int64_t kCreate = -1;

  virtual ~Files() = default;
  // Opens the file, writes `bytes` at `offset` bytes from its start and flushes it.
  // Bytes written; -1 when the file cannot be opened.
  virtual std::int64_t WriteFileChunk(const std::string& path, std::string_view bytes,
                                      std::int64_t offset) = 0;
  // The whole file; nothing when it cannot be opened.
  virtual std::optional<std::string> ReadAll(const std::string& path) = 0;
  virtual bool Exists(const std::string& path) = 0;
  // False when the file is still there afterwards.
  virtual bool Delete(const std::string& path) = 0;
  // Attributes, size and last-modified time; nothing when the path does not exist.
  virtual std::optional<FileFacts> Facts(const std::string& path) = 0;
  // The 8.3 form of an existing path (the long form where the volume keeps no short
  // names); "" when the path does not exist.
  virtual std::string ShortPath(const std::string& path) = 0;
  // Type of the drive whose root is `root` (for example "C:\").
  virtual int DriveType(const std::string& root) = 0;
  // Label and serial number; nothing when the volume cannot be read.
  virtual std::optional<VolumeFacts> Volume(const std::string& root) = 0;
};

}  // namespace kestrova

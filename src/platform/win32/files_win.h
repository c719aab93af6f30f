#pragma once
#include "platform/files.h"

namespace kestrova::win32 {

class Win32Files : public Files {
 public:
  std::int64_t WriteFileChunk(const std::string& path, std::string_view bytes, std::int64_t offset) override;
  std::optional<std::string> ReadAll(const std::string& path) override;
  bool Exists(const std::string& path) override;
  bool Delete(const std::string& path) override;
  std::optional<FileFacts> Facts(const std::string& path) override;
  std::string ShortPath(const std::string& path) override;
  int DriveType(const std::string& root) override;
  std::optional<VolumeFacts> Volume(const std::string& root) override;
};

}  // namespace kestrova::win32

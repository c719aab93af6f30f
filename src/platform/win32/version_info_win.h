#pragma once
// VERSIONINFO of an executable file, through version.dll.
#include <string>
#include <utility>

#include "platform/version_info.h"

namespace kestrova::win32 {

class Win32VersionInfo : public VersionInfo {
 public:
  // `exePath` "" reads the running program's own file.
  explicit Win32VersionInfo(std::string exePath = {}) : exePath_(std::move(exePath)) {}
  std::string Text(const std::string& key) override;

 private:
  std::string exePath_;
};

}  // namespace kestrova::win32

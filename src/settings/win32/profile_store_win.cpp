#include "settings/win32/profile_store_win.h"

#include <windows.h>

#include <optional>
#include <vector>

namespace kestrova {
namespace {

constexpr DWORD kFirstBuffer = 256;
constexpr DWORD kLargestBuffer = 1u << 20;

// The whole value, or nothing when the service answered with `probe` (the
// key may be absent). A full buffer means the value may have been cut, so the
// call is repeated with a larger one.
std::optional<std::string> ReadWhole(const std::string& path, const std::string& section,
                                     const std::string& key, const char* probe) {
  std::vector<char> buffer(kFirstBuffer);
  DWORD length = 0;
  for (;;) {
    const auto size = static_cast<DWORD>(buffer.size());
    length = GetPrivateProfileStringA(section.c_str(), key.c_str(), probe, buffer.data(), size, path.c_str());
    if (length + 1 < size || size >= kLargestBuffer) break;
    buffer.assign(static_cast<std::size_t>(size) * 2, '\0');
  }
  std::string value(buffer.data(), length);
  if (value == probe) return std::nullopt;
  return value;
}

}  // namespace

std::string WinProfileStore::ReadString(const std::string& path, const std::string& section,
                                        const std::string& key, const std::string& def) {
  // The service trims and unquotes defaults, so absence is detected with two
  // probes instead: only an absent key answers both.
  if (auto value = ReadWhole(path, section, key, "\x01")) return *value;
  if (auto value = ReadWhole(path, section, key, "\x02")) return *value;
  return def;
}

int WinProfileStore::ReadInt(const std::string& path, const std::string& section, const std::string& key,
                             int def) {
  return static_cast<int>(GetPrivateProfileIntA(section.c_str(), key.c_str(), def, path.c_str()));
}

bool WinProfileStore::WriteString(const std::string& path, const std::string& section, const std::string& key,
                                  const std::string& value) {
  return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), path.c_str()) != FALSE;
}

}  // namespace kestrova

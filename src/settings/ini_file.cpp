#include "settings/ini_file.h"

#include <utility>

#include "core/text.h"
#include "platform/profile_store.h"

namespace kestrova {
namespace {

// The longest text the settings file hands out, in bytes of its code page.
constexpr std::size_t kMaxValueBytes = 127;

}  // namespace

IniFile::IniFile(ProfileStore& store, CodePage& codePage, std::string path)
    : store_(store), codePage_(codePage), path_(std::move(path)) {}

int IniFile::IniReadInt(const std::string& section, const std::string& key, int def) {
  return store_.ReadInt(path_, codePage_.ToAnsi(section), codePage_.ToAnsi(key), def);
}

std::string IniFile::IniReadString(const std::string& section, const std::string& key,
                                   const std::string& def) {
  std::string ansi = store_.ReadString(path_, codePage_.ToAnsi(section),
                                       codePage_.ToAnsi(key), codePage_.ToAnsi(def));
  if (ansi.size() > kMaxValueBytes) {
    // Whole characters only: a lead byte that would lose its trail byte goes too.
    std::size_t end = 0;
    while (end < ansi.size()) {
      const std::size_t step = codePage_.IsLeadByte(static_cast<unsigned char>(ansi[end])) ? 2 : 1;
      if (end + step > kMaxValueBytes) break;
      end += step;
    }
    ansi.resize(end);
  }
  if (const std::size_t nul = ansi.find('\0'); nul != std::string::npos) ansi.resize(nul);
  return codePage_.FromAnsi(ansi);
}

bool IniFile::IniWriteString(const std::string& section, const std::string& key, const std::string& value) {
  return store_.WriteString(path_, codePage_.ToAnsi(section), codePage_.ToAnsi(key),
                            codePage_.ToAnsi(LineBreaksAsBlanks(value)));
}

}  // namespace kestrova

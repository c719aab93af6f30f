// The portable settings-file reader over arbitrary file contents: reads of
// names taken from the input and of the program's own, then one write back.
#include <fuzzer/FuzzedDataProvider.h>
#include <unistd.h>

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include "settings/codepage_iconv.h"
#include "settings/ini_file.h"
#include "settings/profile_file.h"

namespace {

const std::string& FilePath() {
  static const std::string path =
      (std::filesystem::temp_directory_path() / ("kestrova-fuzz-" + std::to_string(getpid()) + ".ini"))
          .string();
  return path;
}

// Letters and digits for names; printable ASCII for values.
bool Plain(const std::string& text, bool name) {
  if (name && text.empty()) return false;
  for (unsigned char c : text) {
    const bool ok = name ? (std::isalnum(c) != 0 || c == '_') : (c >= 0x20 && c < 0x7f);
    if (!ok) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static kestrova::Cp932CodePage codePage;
  static kestrova::ProfileFile store(codePage);

  FuzzedDataProvider input(data, size);
  const std::string names[] = {input.ConsumeRandomLengthString(16),
                               input.ConsumeRandomLengthString(16),
                               "Main",
                               "main",
                               "AntiKestrova001",
                               "Name"};
  const std::string value = input.ConsumeRandomLengthString(200);
  const std::string contents = input.ConsumeBytesAsString(input.remaining_bytes());

  const std::string& path = FilePath();
  std::remove(path.c_str());  // a new file: rewriting a truncated one is flushed to disk on some systems
  if (std::FILE* file = std::fopen(path.c_str(), "wb")) {
    std::fwrite(contents.data(), 1, contents.size(), file);
    std::fclose(file);
  }

  kestrova::IniFile ini(store, codePage, path);
  for (const std::string& section : names) {
    for (const std::string& key : names) {
      store.ReadString(path, section, key, "def");
      store.ReadInt(path, section, key, 7);
      ini.IniReadString(section, key, value);
      ini.IniReadInt(section, key, -1);
    }
  }
  // The program writes only through the settings file, which settles the file's form
  // first (an unmarked UTF-16 file becomes marked); the service's own write comes after.
  ini.IniWriteString(names[1], names[0], value);
  store.WriteString(path, names[0], names[1], value);
  // Whatever the file held, a plainly named key reads back what was written.
  if (Plain(names[0], true) && Plain(names[1], true) && Plain(value, false)) {
    std::string expected = value;
    expected.erase(0, expected.find_first_not_of(' '));
    expected.erase(expected.find_last_not_of(' ') + 1);
    if (expected.size() >= 2 && (expected[0] == '"' || expected[0] == '\'') &&
        expected.back() == expected[0]) {
      expected = expected.substr(1, expected.size() - 2);
    }
    if (store.ReadString(path, names[0], names[1], "\x01") != expected) __builtin_trap();
  }
  return 0;
}

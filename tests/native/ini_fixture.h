#pragma once
// A real Kestrova.ini in a temporary folder, read and written through the
// portable store in code page 932.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "settings/codepage_iconv.h"
#include "settings/ini_file.h"
#include "settings/profile_file.h"

namespace kestrova::testing {

class IniFixture : public ::testing::Test {
 protected:
  IniFixture() { std::filesystem::create_directories(dir_); }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }

  std::string Path() const { return (dir_ / "Kestrova.ini").string(); }

  // The file as a user would have written it, in UTF-8 here and CP932 on disk.
  void WriteFile(const std::string& utf8) {
    std::filesystem::remove(Path());  // new rather than truncated: much faster on ext4
    std::ofstream(Path(), std::ios::binary) << codePage_.ToAnsi(utf8);
  }
  std::string ReadFile() {
    std::ifstream in(Path(), std::ios::binary);
    return codePage_.FromAnsi({std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()});
  }

  static std::filesystem::path NewFolder() {
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    return std::filesystem::temp_directory_path() / ("kestrova-ini-" + std::to_string(stamp));
  }

  std::filesystem::path dir_ = NewFolder();
  Cp932CodePage codePage_;
  ProfileFile store_{codePage_};
  IniFile ini_{store_, codePage_, Path()};
};

}  // namespace kestrova::testing

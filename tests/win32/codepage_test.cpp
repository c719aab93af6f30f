// The Win32 code page and, beside the real private-profile service, the
// portable store on the same files: every read must agree.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "documented_conversion.h"
#include "settings/ini_file.h"
#include "settings/ini_form.h"
#include "settings/profile_file.h"
#include "settings/win32/codepage_win.h"
#include "settings/win32/profile_store_win.h"

namespace kestrova {
namespace {

namespace fs = std::filesystem;

#define SKIP_UNLESS_CP932()                                                                             \
  if (GetACP() != 932)                                                                                  \
  GTEST_SKIP() << "the ANSI code page is " << GetACP()                                                  \
               << ", not 932: run under a Japanese locale (LC_ALL=ja_JP.UTF-8 for Wine); the Japanese " \
                  "cases are skipped"

TEST(WinCodePage, AnsiCodePageIsJapanese) {
  SKIP_UNLESS_CP932();
  WinCodePage codePage;
  EXPECT_EQ(codePage.ToAnsi("表示"), "\x95\x5c\x8e\xa6");
}

TEST(WinCodePage, KeepsEmbeddedNulsAndLongTexts) {
  WinCodePage codePage;
  EXPECT_EQ(codePage.FromAnsi(std::string("a\0b", 3)), std::string("a\0b", 3));
  EXPECT_EQ(codePage.ToAnsi(""), "");
  const std::string longText(1 << 20, 'x');
  EXPECT_EQ(codePage.FromAnsi(codePage.ToAnsi(longText)), longText);
}

// The code page given by number, whatever the system's is: 932 (Japanese),
// 1252 (English) and 65001 (UTF-8 as the system code page, which refuses the
// no-best-fit flag on Windows, though not under Wine).
TEST(WinCodePage, ConvertsFitsAndCutsUnderEachSystemCodePage) {
  struct Case {
    unsigned codePage;
    std::string text, ansi;
    bool fits;
    std::string cutToFour;
    unsigned char leadByte;
    bool isLead;
  };
  const Case cases[] = {
      {932, "表示", "\x95\x5c\x8e\xa6", true, "表示", 0x95, true},
      {932, "ā😀", "???", false, "ā😀", 0x95, true},
      {1252, "é表示", "\xe9??", false, "é表示", 0x95, false},
      // Best fit would make "a" of "ā".
      {1252, "ā", "?", false, "ā", 0xe9, false},
      {65001, "表示😀", "表示😀", true, "表", 0xe8, false},
      {65001, "abc", "abc", true, "abc", 0xe8, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.codePage) + " " + c.text);
    WinCodePage codePage(c.codePage, &testing::DocumentedWideCharToMultiByte);
    EXPECT_EQ(codePage.ToAnsi(c.text), c.ansi);
    EXPECT_EQ(FitsCodePage(codePage, c.text), c.fits);
    EXPECT_EQ(CutToAnsiBytes(codePage, c.text, 4), c.cutToFour);
    EXPECT_EQ(codePage.IsLeadByte(c.leadByte), c.isLead);
    if (c.fits) {
      EXPECT_EQ(codePage.FromAnsi(c.ansi), c.text);
    }
  }
}

TEST(WinProfileStore, ReadsValuesLongerThanAnyFirstBuffer) {
  const fs::path path = fs::temp_directory_path() / "kestrova-long-value.ini";
  const std::string value(5000, 'v');
  std::ofstream(path, std::ios::binary) << "[S]\r\nk=" << value << "\r\n";
  WinProfileStore store;
  EXPECT_EQ(store.ReadString(path.string(), "S", "k", ""), value);
  fs::remove(path);
}

// Files made of the pieces a hand-edited Kestrova.ini may hold.
class Generator {
 public:
  explicit Generator(unsigned seed) : random_(seed) {}

  std::string Name() { return Pick(names_); }
  std::string Value() { return Pick(values_); }
  const std::vector<std::string>& Names() const { return names_; }

  std::string File() {
    std::string file;
    const int lines = Below(14);
    for (int i = 0; i < lines; ++i) {
      switch (Below(7)) {
        case 0:
        case 1:
          file += Blanks() + "[" + Blanks() + Name() + Blanks() + "]" + (Below(4) == 0 ? " ; note" : "");
          break;
        case 2:
          file += std::vector<std::string>{"; comment", "garbage ###", "= no name",
                                           "[unclosed"}[static_cast<std::size_t>(Below(4))];
          break;
        case 3:
          file += Blanks();
          break;
        default:
          file += Blanks() + Name() + Blanks() + "=" + Blanks() + Value() + Blanks();
          break;
      }
      if (i + 1 < lines || Below(2)) file += Below(3) ? "\r\n" : "\n";
    }
    return file;
  }

 private:
  int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }
  std::string Pick(const std::vector<std::string>& from) {
    return from[static_cast<std::size_t>(Below(static_cast<int>(from.size())))];
  }
  std::string Blanks() {
    return std::vector<std::string>{"", "", " ", "\t", "  "}[static_cast<std::size_t>(Below(5))];
  }

  std::mt19937 random_;
  // "表" ends in 0x5C, "A‐" in 0x5D; "ア" and "ヂ" differ only in case of a trail byte.
  std::vector<std::string> names_ = {"Main", "main", "MAIN", "S", "表", "ア", "ヂ", "A‐", "x y"};
  std::vector<std::string> values_ = {"",     "1",    " -12x", "\"q\"", "'s'",     "\"",        "a=b",
                                      "表ソ", "0x1F", "\"\"",  "abc",   "\" 7 \"", "4294967296"};
};

class ProfileAgreement : public ::testing::Test {
 protected:
  void SetUp() override {
    SKIP_UNLESS_CP932();
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    dir_ = fs::temp_directory_path() / ("kestrova-agree-" + std::to_string(stamp));
    fs::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }
  std::string NewPath(const std::string& text) {
    const std::string path = (dir_ / ("f" + std::to_string(files_++) + ".ini")).string();
    std::ofstream(path, std::ios::binary) << codePage_.ToAnsi(text);
    return path;
  }

  // Every pair of names read by both, from their own copies of one file.
  void ExpectSameReads(const std::string& servicePath, const std::string& portablePath,
                       const std::string& file) {
    for (const std::string& section : generator_.Names()) {
      for (const std::string& key : generator_.Names()) {
        ASSERT_EQ(service_.ReadString(servicePath, section, key, "D"),
                  portable_.ReadString(portablePath, section, key, "D"))
            << "[" << section << "] " << key << " in\n"
            << file;
        ASSERT_EQ(service_.ReadInt(servicePath, section, key, 5),
                  portable_.ReadInt(portablePath, section, key, 5))
            << "[" << section << "] " << key << " in\n"
            << file;
      }
    }
  }

  Generator generator_{20261208};
  WinCodePage codePage_;
  WinProfileStore service_;
  ProfileFile portable_{codePage_};

 private:
  fs::path dir_;
  int files_ = 0;
};

TEST_F(ProfileAgreement, GeneratedFilesReadAndWriteAlike) {
  for (int round = 0; round < 20; ++round) {
    const std::string file = generator_.File();
    const std::string servicePath = NewPath(file);
    const std::string portablePath = NewPath(file);
    ExpectSameReads(servicePath, portablePath, file);
    for (int w = 0; w < 3; ++w) {
      const std::string section = generator_.Name(), key = generator_.Name(), value = generator_.Value();
      ASSERT_EQ(service_.WriteString(servicePath, section, key, value),
                portable_.WriteString(portablePath, section, key, value));
      ExpectSameReads(servicePath, portablePath,
                      file + "\n-- after writing [" + section + "] " + key + "=" + value);
    }
    // What the service wrote, the portable store reads alike.
    ExpectSameReads(servicePath, servicePath, file);
    if (HasFatalFailure()) return;
  }
}

}  // namespace
}  // namespace kestrova

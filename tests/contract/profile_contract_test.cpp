// One suite for the settings file's platform layer: natively it runs against
// ProfileFile with the iconv code page, under Windows (or Wine) against the
// private-profile service and the system code page. Both must agree.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "settings/ini_file.h"

#ifdef KESTROVA_REAL_PLATFORM
#include <windows.h>

#include "settings/win32/codepage_win.h"
#include "settings/win32/profile_store_win.h"
namespace {
struct Platform {
  kestrova::WinCodePage codePage;
  kestrova::WinProfileStore store;
};
unsigned AnsiCodePage() { return GetACP(); }
}  // namespace
#else
#include "settings/codepage_iconv.h"
#include "settings/profile_file.h"
namespace {
struct Platform {
  kestrova::Cp932CodePage codePage;
  kestrova::ProfileFile store{codePage};
};
unsigned AnsiCodePage() { return 932; }
}  // namespace
#endif

namespace {

namespace fs = std::filesystem;
using kestrova::IniFile;

#define SKIP_UNLESS_CP932()                                  \
  if (AnsiCodePage() != 932)                                 \
  GTEST_SKIP() << "the ANSI code page is " << AnsiCodePage() \
               << ", not 932: run under a Japanese locale (LC_ALL=ja_JP.UTF-8 for Wine)"

std::string Repeat(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

class ProfileContract : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    dir_ = fs::temp_directory_path() / ("kestrova-profile-" + std::to_string(stamp));
    fs::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }

  // A fresh file for every use: the service may keep a file it has read.
  std::string NewPath() { return (dir_ / ("p" + std::to_string(files_++) + ".ini")).string(); }

  std::string HandWritten(const std::string& bytes) {
    const std::string path = NewPath();
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }

  static std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  // The file's non-blank lines, blanks around "=" removed: what every
  // implementation of the service must agree on.
  static std::vector<std::string> Outline(const std::string& contents) {
    std::vector<std::string> lines;
    std::string line;
    auto flush = [&] {
      const auto first = line.find_first_not_of(" \t\r");
      if (first != std::string::npos) {
        line = line.substr(first, line.find_last_not_of(" \t\r") - first + 1);
        const auto eq = line.find('=');
        if (eq != std::string::npos && line[0] != ';') {
          std::string name = line.substr(0, eq), value = line.substr(eq + 1);
          name.erase(name.find_last_not_of(" \t") + 1);
          value.erase(0, value.find_first_not_of(" \t"));
          line = name + "=" + value;
        }
        lines.push_back(line);
      }
      line.clear();
    };
    for (char c : contents) {
      if (c == '\n')
        flush();
      else
        line += c;
    }
    flush();
    return lines;
  }

  Platform platform_;
  kestrova::ProfileStore& store_ = platform_.store;
  kestrova::CodePage& codePage_ = platform_.codePage;

 private:
  fs::path dir_;
  int files_ = 0;
};

TEST_F(ProfileContract, AbsentKeysGiveTheDefaultAsItIs) {
  const std::string missing = NewPath();
  const std::string present = HandWritten("[S]\r\nk=v\r\n");
  for (const std::string& def :
       {std::string(""), std::string(" lead and trail  "), std::string("\"quoted\""), std::string("\x01")}) {
    EXPECT_EQ(store_.ReadString(missing, "S", "k", def), def);
    EXPECT_EQ(store_.ReadString(present, "S", "other", def), def);
    EXPECT_EQ(store_.ReadString(present, "Other", "k", def), def);
  }
  EXPECT_EQ(store_.ReadInt(missing, "S", "k", 7), 7);
  EXPECT_EQ(store_.ReadInt(present, "S", "other", -3), -3);
  EXPECT_FALSE(fs::exists(missing)) << "reading never creates the file";
}

TEST_F(ProfileContract, EmptyValueIsNotAbsent) {
  const std::string path = HandWritten("[S]\r\nEmpty=\r\nQuotes=\"\"\r\nBlanks=   \r\nNoEquals\r\n");
  EXPECT_EQ(store_.ReadString(path, "S", "Empty", "def"), "");
  EXPECT_EQ(store_.ReadString(path, "S", "Quotes", "def"), "");
  EXPECT_EQ(store_.ReadString(path, "S", "Blanks", "def"), "");
  EXPECT_EQ(store_.ReadString(path, "S", "NoEquals", "def"), "def") << "a line without = holds no value";
  // Numbers: empty and absent alike give the default.
  EXPECT_EQ(store_.ReadInt(path, "S", "Empty", 9), 9);
  EXPECT_EQ(store_.ReadInt(path, "S", "Quotes", 9), 9);
  EXPECT_EQ(store_.ReadInt(path, "S", "Blanks", 9), 9);
}

TEST_F(ProfileContract, ReadsAHandWrittenFile) {
  const std::string path = HandWritten(
      "; comment before any section\r\n"
      "top=level\r\n"
      "  [Main]  \r\n"
      "  Key1 =  value one  \r\n"
      "\tTabbed\t=\tx\t\r\n"
      "Double=\"  quoted  \"\r\n"
      "Single='single'\r\n"
      "Unbalanced=\"open\r\n"
      "Lone=\"\r\n"
      "Inner=a \"b\" c\r\n"
      "Equals=b=c\r\n"
      "garbage line ### \r\n"
      "Twice=first\r\n"
      "Twice=second\r\n"
      "[ Spaced ]\r\n"
      "A=1\r\n"
      "[Tail] ; note\r\n"
      "B=2\r\n"
      "[Main]\r\n"
      "Key1=from the second Main\r\n"
      "Later=only in the second Main\r\n"
      "[Unix]\n"
      "LF=lf only\n"
      "[Last]\r\n"
      "NoNewline=end");
  struct Case {
    const char* section;
    const char* key;
    const char* expected;
  } cases[] = {
      {"Main", "Key1", "value one"},
      {"MAIN", "key1", "value one"},
      {"  main ", " KEY1 ", "value one"},
      {"Main", "Tabbed", "x"},
      {"Main", "Double", "  quoted  "},
      {"Main", "Single", "single"},
      {"Main", "Unbalanced", "\"open"},
      {"Main", "Lone", "\""},
      {"Main", "Inner", "a \"b\" c"},
      {"Main", "Equals", "b=c"},
      {"Main", "Twice", "first"},
      {"Main", "Later", "DEF"},  // only the first section of a name counts
      {"Main", "top", "DEF"},
      {"Spaced", "A", "1"},
      {"Tail", "B", "2"},
      {"Unix", "LF", "lf only"},
      {"Last", "NoNewline", "end"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(store_.ReadString(path, c.section, c.key, "DEF"), c.expected) << c.section << " / " << c.key;
  }
}

TEST_F(ProfileContract, ReadsNumbersAsTheServiceDoes) {
  struct Case {
    const char* value;
    int expected;
  } cases[] = {
      {"12", 12},
      {" -1", -1},
      {"12x", 12},
      {"+7", 7},
      {"\" 3\"", 3},
      {"abc", 0},
      {"-", 0},
      {"1 2", 1},
      {"- 3", 0},
      {"+-3", 0},
      {"-0012", -12},
      {"4294967295", -1},           // 32 bits, wrapping
      {"99999999999", 1215752191},  // wraps as well
      {"0x10", 16},                 // the service's own prefixes
      {"-0x10", -16},
      {"0XfF", 0},
      {"0b101", 5},
      {"0o17", 15},
      {"017", 17},
      {"123456789012345678901234567890123", 1849262357},  // only 29 characters are read
  };
  std::string file = "[N]\r\n";
  for (std::size_t i = 0; i < std::size(cases); ++i)
    file += "k" + std::to_string(i) + "=" + cases[i].value + "\r\n";
  const std::string path = HandWritten(file);
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(store_.ReadInt(path, "N", "k" + std::to_string(i), 77), cases[i].expected) << cases[i].value;
  }
}

TEST_F(ProfileContract, WriteReadRoundTrips) {
  struct Case {
    const char* written;
    const char* read;
  } cases[] = {
      {" 1", "1"},
      {"-1", "-1"},
      {"\" <yyyy/mm/dd(ddd) hh:mm:ss>\"", " <yyyy/mm/dd(ddd) hh:mm:ss>"},
      {"  raw text  ", "raw text"},
      {"", ""},
      {"'single'", "single"},
      {"\"\"\"inner\"\"\"", "\"\"inner\"\""},
      {"a=b", "a=b"},
      {"\"unbalanced", "\"unbalanced"},
      {"; not a comment", "; not a comment"},
  };
  const std::string path = NewPath();
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    ASSERT_TRUE(store_.WriteString(path, "S", "k" + std::to_string(i), cases[i].written));
  }
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(store_.ReadString(path, "S", "k" + std::to_string(i), "DEF"), cases[i].read)
        << cases[i].written;
  }
  EXPECT_EQ(store_.ReadInt(path, "S", "k0", 5), 1);
  EXPECT_EQ(store_.ReadInt(path, "S", "k1", 5), -1);
}

TEST_F(ProfileContract, FirstWriteCreatesTheFileWithCrLf) {
  const std::string path = NewPath();
  ASSERT_TRUE(store_.WriteString(path, "Main", "LeftText", "1"));
  ASSERT_TRUE(store_.WriteString(path, "Main", "MiddleText", "2"));
  ASSERT_TRUE(store_.WriteString(path, "Clock", "Alarm", "0"));
  EXPECT_EQ(Contents(path), "[Main]\r\nLeftText=1\r\nMiddleText=2\r\n[Clock]\r\nAlarm=0\r\n");
}

TEST_F(ProfileContract, WritesKeepOrderAndAppendAtTheEnd) {
  const std::string path = HandWritten(
      "; top\r\n[S1]\r\nk1=v1\r\n\r\n; between\r\n[S2]\r\nK2 = v2\r\nk3=v3\n[S1]\r\nk1=second S1\r\n");
  ASSERT_TRUE(store_.WriteString(path, "S1", "new", "n"));       // after the last line of S1
  ASSERT_TRUE(store_.WriteString(path, "s2", "k2", "5"));        // in place, its name kept
  ASSERT_TRUE(store_.WriteString(path, "S3", "z", "\"  q \""));  // a new section at the end
  ASSERT_TRUE(store_.WriteString(path, "S1", "k1", ""));         // the first S1 only
  ASSERT_TRUE(store_.WriteString(path, "S3", "a", "after z"));
  const std::vector<std::string> expected = {"; top", "[S1]",       "k1=",      "; between", "new=n",
                                             "[S2]",  "K2=5",       "k3=v3",    "[S1]",      "k1=second S1",
                                             "[S3]",  "z=\"  q \"", "a=after z"};
  EXPECT_EQ(Outline(Contents(path)), expected);
  EXPECT_EQ(store_.ReadString(path, "S3", "z", "DEF"), "  q ");
  EXPECT_EQ(store_.ReadString(path, "S1", "k1", "DEF"), "");
  const std::string written = Contents(path);
  EXPECT_EQ(written.find("\n", written.find("k3=v3")) - 1, written.find("\r\n", written.find("k3=v3")))
      << "every line is written with CR LF";
}

TEST_F(ProfileContract, WriteIntoAMissingFolderFails) {
  EXPECT_FALSE(store_.WriteString(NewPath() + ".d/inner.ini", "S", "k", "v"));
}

TEST_F(ProfileContract, ShiftJisBytesRoundTrip) {
  SKIP_UNLESS_CP932();
  const std::string hyou = "表", so = "ソ", a = "ア", dzi = "ヂ", dash = "‐";
  const std::string path = NewPath();
  // In the file: 0x5C ("\") and 0x5D ("]") as trail bytes; "ア" and "ヂ"
  // differ only in a trail byte that looks like "A" / "a".
  ASSERT_TRUE(store_.WriteString(path, "J", hyou, hyou + so));
  ASSERT_TRUE(store_.WriteString(path, "J", a, "1"));
  ASSERT_TRUE(store_.WriteString(path, "J", dzi, "2"));
  ASSERT_TRUE(store_.WriteString(path, "A" + dash, "k", so + " " + so));
  ASSERT_TRUE(store_.WriteString(path, "J", "end", hyou));
  EXPECT_EQ(store_.ReadString(path, "J", hyou, "DEF"), hyou + so);
  EXPECT_EQ(store_.ReadString(path, "J", a, "DEF"), "1");
  EXPECT_EQ(store_.ReadString(path, "J", dzi, "DEF"), "2");
  EXPECT_EQ(store_.ReadString(path, "A" + dash, "k", "DEF"), so + " " + so);
  EXPECT_EQ(store_.ReadString(path, "J", "end", "DEF"), hyou);
  const std::string sHyou = "\x95\x5c", sSo = "\x83\x5c", sA = "\x83\x41", sDzi = "\x83\x61",
                    sDash = "\x81\x5d";
  const std::vector<std::string> expected = {"[J]",
                                             sHyou + "=" + sHyou + sSo,
                                             sA + "=1",
                                             sDzi + "=2",
                                             "end=" + sHyou,
                                             "[A" + sDash + "]",
                                             "k=" + sSo + " " + sSo};
  EXPECT_EQ(Outline(Contents(path)), expected);
}

TEST_F(ProfileContract, IniFileRoundTripsJapaneseText) {
  SKIP_UNLESS_CP932();
  const std::string path = NewPath();
  IniFile ini(store_, codePage_, path);
  const std::string texts[] = {"表示するメッセージ", "表", "ソ", "能力", "ｱｲｳ", "～＼", "a\\b~c"};
  for (std::size_t i = 0; i < std::size(texts); ++i) {
    ASSERT_TRUE(ini.IniWriteString("メッセージ", "キー" + std::to_string(i), texts[i]));
  }
  for (std::size_t i = 0; i < std::size(texts); ++i) {
    EXPECT_EQ(ini.IniReadString("メッセージ", "キー" + std::to_string(i), "DEF"), texts[i]);
  }
  EXPECT_EQ(Contents(path).substr(0, 13), "[\x83\x81\x83\x62\x83\x5a\x81\x5b\x83\x57]\r")
      << "the file is in CP932";
}

TEST_F(ProfileContract, IniFileCutsValuesAt127BytesOnWholeCharacters) {
  SKIP_UNLESS_CP932();
  struct Case {
    std::string stored;
    std::string expected;
  } cases[] = {
      {std::string(200, 'x'), std::string(127, 'x')},
      {std::string(127, 'x'), std::string(127, 'x')},
      {Repeat("表", 80), Repeat("表", 63)},              // 160 bytes: 126, not half of the 64th
      {"a" + Repeat("表", 80), "a" + Repeat("表", 63)},  // exactly 127
      {std::string(126, 'x') + "表", std::string(126, 'x')},
      {Repeat("ｱ", 200), Repeat("ｱ", 127)},  // half-width: one byte each
      {"\"" + std::string(130, 'q') + "\"", std::string(127, 'q')},
  };
  const std::string path = NewPath();
  IniFile ini(store_, codePage_, path);
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    ASSERT_TRUE(ini.IniWriteString("Cut", "k" + std::to_string(i), cases[i].stored));
  }
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(ini.IniReadString("Cut", "k" + std::to_string(i), ""), cases[i].expected) << "case " << i;
  }
  EXPECT_EQ(ini.IniReadString("Cut", "absent", Repeat("表", 70)), Repeat("表", 63)) << "defaults are cut too";
}

TEST_F(ProfileContract, IniFileKeepsEmptyApartFromAbsent) {
  const std::string path = HandWritten("[Main]\r\nName=\r\nUse=\r\n");
  IniFile ini(store_, codePage_, path);
  EXPECT_EQ(ini.IniReadString("Main", "Name", "default"), "");
  EXPECT_EQ(ini.IniReadString("Main", "Absent", "default"), "default");
  EXPECT_EQ(ini.IniReadInt("Main", "Use", -1), -1);
  EXPECT_EQ(ini.IniReadInt("Main", "Absent", -1), -1);
}

TEST_F(ProfileContract, IniFileWritesLineBreaksAsBlanks) {
  const std::string path = NewPath();
  IniFile ini(store_, codePage_, path);
  ASSERT_TRUE(ini.IniWriteString("S", "k", "one\r\n[Main]\rTaskIcon=0\ntwo"));
  EXPECT_EQ(ini.IniReadString("S", "k", "DEF"), "one [Main] TaskIcon=0 two");
  EXPECT_EQ(ini.IniReadString("Main", "TaskIcon", "DEF"), "DEF");
  EXPECT_EQ(Outline(Contents(path)).size(), 2u);
}

// ---- code page ----

class CodePageContract : public ::testing::Test {
 protected:
  void SetUp() override {
    if (AnsiCodePage() != 932) {
      GTEST_SKIP() << "the ANSI code page is " << AnsiCodePage()
                   << ", not 932: run under a Japanese locale (LC_ALL=ja_JP.UTF-8 for Wine)";
    }
  }
  Platform platform_;
  kestrova::CodePage& codePage_ = platform_.codePage;
};

TEST_F(CodePageContract, ConvertsBothWays) {
  struct Case {
    const char* utf8;
    const char* ansi;
  } cases[] = {
      {"表示するメッセージ", "\x95\x5c\x8e\xa6\x82\xb7\x82\xe9\x83\x81\x83\x62\x83\x5a\x81\x5b\x83\x57"},
      {"ソ表能", "\x83\x5c\x95\x5c\x94\x5c"},
      {"ｱｲｳ", "\xb1\xb2\xb3"},
      {"～＼・", "\x81\x60\x81\x5f\x81\x45"},
      {"a\\b~c", "a\\b~c"},
      {"令和", "\x97\xdf\x98\x61"},
      {"", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(codePage_.ToAnsi(c.utf8), c.ansi) << c.utf8;
    EXPECT_EQ(codePage_.FromAnsi(c.ansi), c.utf8) << c.utf8;
  }
  EXPECT_EQ(codePage_.ToAnsi(std::string("a\0b", 3)), std::string("a\0b", 3));
}

TEST_F(CodePageContract, CharactersOutsideTheCodePageBecomeQuestionMarks) {
  struct Case {
    const char* utf8;
    const char* ansi;
  } cases[] = {
      {"é", "?"},                      // no "best fit" look-alike
      {"¥", "?"},        {"〜", "?"},  // U+301C; the code page has U+FF5E
      {"😀", "??"},                     // one per UTF-16 unit
      {"a😀bé", "a??b?"},
  };
  for (const Case& c : cases) EXPECT_EQ(codePage_.ToAnsi(c.utf8), c.ansi) << c.utf8;
}

TEST_F(CodePageContract, BrokenBytesReadAsMiddleDots) {
  EXPECT_EQ(codePage_.FromAnsi("\x85\x40z"), "・z");  // an undefined double-byte code
  EXPECT_EQ(codePage_.FromAnsi("a\x81"), "a・");      // a lead byte at the end
  EXPECT_EQ(codePage_.FromAnsi("\x81\x0d"), "・");    // a lead byte takes any next byte
  // Single bytes without a character still survive a round trip.
  EXPECT_EQ(codePage_.ToAnsi(codePage_.FromAnsi("\x80\xa0\xfd\xfe\xff")), "\x80\xa0\xfd\xfe\xff");
}

TEST_F(CodePageContract, LeadBytes) {
  for (int b = 0; b < 256; ++b) {
    const bool lead = (b >= 0x81 && b <= 0x9f) || (b >= 0xe0 && b <= 0xfc);
    EXPECT_EQ(codePage_.IsLeadByte(static_cast<unsigned char>(b)), lead) << b;
  }
}

std::uint64_t Fnv(std::uint64_t hash, const std::string& bytes) {
  for (unsigned char c : bytes) hash = (hash ^ c) * 1099511628211ull;
  return (hash ^ 0xff) * 1099511628211ull;  // keeps "ab" + "" apart from "a" + "b"
}

// The whole table, both ways, condensed: the same figure on every platform.
TEST_F(CodePageContract, WholeTableAgrees) {
  std::uint64_t fromAnsi = 14695981039346656037ull;
  for (int b = 0; b < 256; ++b) {
    if (!codePage_.IsLeadByte(static_cast<unsigned char>(b))) {
      fromAnsi = Fnv(fromAnsi, codePage_.FromAnsi(std::string(1, static_cast<char>(b))));
      continue;
    }
    for (int t = 0x40; t <= 0xfc; ++t) {
      fromAnsi = Fnv(fromAnsi, codePage_.FromAnsi({static_cast<char>(b), static_cast<char>(t)}));
    }
  }
  std::uint64_t toAnsi = 14695981039346656037ull;
  for (std::uint32_t cp = 1; cp < 0x10000; ++cp) {
    if (cp >= 0xd800 && cp < 0xe000) continue;
    std::string utf8;
    if (cp < 0x80) {
      utf8 = {static_cast<char>(cp)};
    } else if (cp < 0x800) {
      utf8 = {static_cast<char>(0xc0 | (cp >> 6)), static_cast<char>(0x80 | (cp & 0x3f))};
    } else {
      utf8 = {static_cast<char>(0xe0 | (cp >> 12)), static_cast<char>(0x80 | ((cp >> 6) & 0x3f)),
              static_cast<char>(0x80 | (cp & 0x3f))};
    }
    toAnsi = Fnv(toAnsi, codePage_.ToAnsi(utf8));
  }
  EXPECT_EQ(fromAnsi, 12017247546349896045ull);
  EXPECT_EQ(toAnsi, 8055611471356333871ull);
}

}  // namespace

// When Kestrova.ini changes its form and how: ANSI while every text fits,
// UTF-16LE from the first that does not, UTF-8 read and rewritten; the
// rewrite keeps every line, survives a crash at any step and keeps a hard link.
#include "settings/ini_form.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "core/utf16le.h"
#include "ini_fixture.h"
#include "settings/settings.h"

namespace kestrova::testing {
namespace {

namespace fs = std::filesystem;

const std::string kForeign = " <hh:nn:ss> é 😀 会議";  // é and 😀 are not in code page 932
const std::string kMark = "\xFF\xFE";

std::string Repeat(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

// The portable store, failing where a test says.
class FailingStore : public ProfileFile {
 public:
  using ProfileFile::ProfileFile;
  std::set<std::string> failWrites;  // paths WriteFileInPlace fails on, untouched
  std::set<std::string> halfWrites;  // paths it fails on after writing half
  bool failRename = false;
  bool WriteFileInPlace(const std::string& path, std::string_view bytes) override {
    if (halfWrites.count(path) != 0) {
      ProfileFile::WriteFileInPlace(path, bytes.substr(0, bytes.size() / 2));
      return false;
    }
    return failWrites.count(path) == 0 && ProfileFile::WriteFileInPlace(path, bytes);
  }
  bool RenameFile(const std::string& from, const std::string& to) override {
    return !failRename && ProfileFile::RenameFile(from, to);
  }
};

class IniFormTest : public IniFixture {
 protected:
  std::string Bytes(const std::string& path = "") {
    std::ifstream in(path.empty() ? Path() : path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  void WriteBytes(const std::string& bytes) {
    fs::remove(Path());
    std::ofstream(Path(), std::ios::binary) << bytes;
  }
  std::string Text() {
    const std::string bytes = Bytes();
    return bytes.rfind(kMark, 0) == 0 ? Utf8FromUtf16Le(bytes.substr(2)) : codePage_.FromAnsi(bytes);
  }
  bool SideFiles() { return fs::exists(Path() + ".new") || fs::exists(Path() + ".tmp"); }

  static Settings Typed(const std::string& text) {
    Settings s;
    s.FormatText = text;
    s.SysInfStr = text;
    s.WindowRules = {{true, "r" + text, "t" + text, 1, "c" + text}};
    AlarmEntry alarm;
    alarm.Title = "a" + text;
    alarm.Message = "m" + text;
    s.Alarms = {alarm};
    s.AlarmCount = 1;
    return s;
  }
};

TEST_F(IniFormTest, TheFileIsRewrittenOnlyForATextThatDoesNotFit) {
  const std::string hand = "; by hand\r\n[Extra]\r\nKeep=表示\r\n\r\n[Clock]\r\nFormatText=\"old\"\r\n";
  WriteFile(hand);
  // Fitting texts, Japanese ones included, go through the service as ever.
  ASSERT_TRUE(ini_.IniWriteString("Clock", "FormatText", "\" 表 <hh:nn>\""));
  ProfileFile plain(codePage_);
  const std::string plainPath = (dir_ / "plain.ini").string();
  std::ofstream(plainPath, std::ios::binary) << codePage_.ToAnsi(hand);
  plain.WriteString(plainPath, "Clock", "FormatText", "\" 表 <hh:nn>\"");
  EXPECT_EQ(Bytes(), Bytes(plainPath)) << "byte for byte what the service alone writes";
  EXPECT_EQ(ini_.Form(), kestrova::IniForm::kAnsi);

  const std::string before = Text();
  ASSERT_TRUE(ini_.IniWriteString("Clock", "FormatText", "\"" + kForeign + "\""));
  EXPECT_EQ(Bytes().substr(0, 2), kMark);
  EXPECT_EQ(ini_.Form(), kestrova::IniForm::kUtf16);
  EXPECT_EQ(Text(), "; by hand\r\n[Extra]\r\nKeep=表示\r\n\r\n[Clock]\r\nFormatText=\"" + kForeign + "\"\r\n")
      << "every line kept, in its place";
  EXPECT_NE(before, Text());
  EXPECT_FALSE(SideFiles());
  // It stays Unicode, and reads back whole from a fresh start.
  ASSERT_TRUE(ini_.IniWriteString("Clock", "FormatText", "\"plain\""));
  EXPECT_EQ(Bytes().substr(0, 2), kMark);
  ASSERT_TRUE(ini_.IniWriteString("Main", kForeign, kForeign));
  IniFile again(store_, codePage_, Path());
  EXPECT_EQ(again.IniReadString("Main", kForeign, ""), kForeign.substr(1));
  EXPECT_EQ(again.IniReadString("Extra", "Keep", ""), "表示");
}

TEST_F(IniFormTest, SettingsRulesAndAlarmsSurviveARestart) {
  SaveSettings(ini_, Typed(kForeign));
  IniFile again(store_, codePage_, Path());
  again.FinishInterruptedRewrite();
  Settings loaded;
  LoadSettings(again, loaded);
  EXPECT_EQ(loaded.FormatText, kForeign);
  EXPECT_EQ(loaded.SysInfStr, kForeign);
  EXPECT_EQ(loaded.WindowRules, Typed(kForeign).WindowRules);
  EXPECT_EQ(loaded.Alarms, Typed(kForeign).Alarms);
}

TEST_F(IniFormTest, Utf8FilesAreReadAsTheyAreAndRewrittenAtTheFirstWrite) {
  struct Case {
    std::string value;
    std::string startsWith;  // of the file after the first write
  } cases[] = {
      {"表示", "[Main]\r\n"},  // all of it fits: the code page
      {"é 😀 会議", kMark},     // else UTF-16LE
  };
  for (const Case& c : cases) {
    const std::string file = "\xEF\xBB\xBF[Main]\r\nText=" + c.value + "\r\nLeftText=3\r\n";
    WriteBytes(file);
    IniFile ini(store_, codePage_, Path());
    EXPECT_EQ(ini.IniReadString("Main", "Text", ""), c.value);
    EXPECT_EQ(ini.IniReadInt("Main", "LeftText", 0), 3);
    EXPECT_EQ(ini.IniReadInt("Main", "Absent", 7), 7);
    EXPECT_EQ(Bytes(), file) << "reading changes nothing";
    ASSERT_TRUE(ini.IniWriteString("Main", "Use", "1"));
    EXPECT_EQ(Bytes().rfind(c.startsWith, 0), 0u) << c.value;
    IniFile again(store_, codePage_, Path());
    EXPECT_EQ(again.IniReadString("Main", "Text", ""), c.value);
    EXPECT_EQ(again.IniReadInt("Main", "Use", 0), 1);
  }
}

TEST_F(IniFormTest, ValuesAreCutAlikeInEveryForm) {
  // 127 bytes of the code page, a lacking character counting as its "?".
  const std::string cases[][2] = {
      {Repeat("表", 80), Repeat("表", 63)},
      {Repeat("é", 200), Repeat("é", 127)},
      {"x" + Repeat("😀", 70), "x" + Repeat("😀", 63)},
      {"x" + Repeat("😀", 63), "x" + Repeat("😀", 63)},
  };
  for (const bool unicode : {false, true}) {
    WriteBytes(unicode ? kMark : "");
    IniFile ini(store_, codePage_, Path());
    for (const auto& c : cases) {
      if (!unicode && !FitsCodePage(codePage_, c[0])) continue;
      ASSERT_TRUE(ini.IniWriteString("Cut", "k", c[0]));
      EXPECT_EQ(ini.IniReadString("Cut", "k", ""), c[1]) << c[0] << (unicode ? " (Unicode)" : " (ANSI)");
    }
  }
}

TEST_F(IniFormTest, ACrashAtAnyStepLeavesTheOldOrTheNewFileWhole) {
  FailingStore store(codePage_);
  const std::string old = "[Main]\r\nLeftText=2\r\n";
  // The side file cannot be written, or not renamed, or the file itself is
  // read-only: nothing changes, and the text is refused rather than stored as "?".
  for (int step = 0; step < 3; ++step) {
    WriteBytes(old);
    store.failWrites = {step == 0 ? Path() + ".tmp" : step == 2 ? Path() : ""};
    store.failRename = step == 1;
    IniFile ini(store, codePage_, Path());
    EXPECT_FALSE(ini.IniWriteString("Clock", "FormatText", kForeign));
    EXPECT_EQ(Bytes(), old);
    EXPECT_FALSE(SideFiles());
    store.failWrites.clear();
    EXPECT_TRUE(ini.IniWriteString("Main", "Use", "1")) << "fitting texts still go in";
  }
  // The copy over the original fails half way: the whole side file waits for
  // the next start, and nothing written meanwhile could survive it.
  WriteBytes(old);
  store.failRename = false;
  store.halfWrites = {Path()};
  IniFile ini(store, codePage_, Path());
  EXPECT_FALSE(ini.IniWriteString("Clock", "FormatText", kForeign));
  EXPECT_TRUE(fs::exists(Path() + ".new"));
  EXPECT_FALSE(ini.IniWriteString("Main", "Use", "1"));
  store.halfWrites.clear();
  IniFile next(store, codePage_, Path());
  next.FinishInterruptedRewrite();
  EXPECT_EQ(Bytes(), kMark + Utf16Le("[Main]\r\nLeftText=2\r\n"));
  EXPECT_FALSE(SideFiles());
  EXPECT_EQ(next.IniReadInt("Main", "LeftText", 0), 2);
  EXPECT_TRUE(next.IniWriteString("Clock", "FormatText", kForeign));
  EXPECT_EQ(next.IniReadString("Clock", "FormatText", ""), kForeign.substr(1));
}

TEST_F(IniFormTest, TheRewriteKeepsAHardLink) {
  WriteFile("[Main]\r\nLeftText=2\r\n");
  const fs::path link = dir_ / "persist.ini";
  fs::create_hard_link(Path(), link);
  ASSERT_TRUE(ini_.IniWriteString("Clock", "FormatText", kForeign));
  EXPECT_EQ(fs::hard_link_count(Path()), 2u);
  EXPECT_EQ(Bytes(link.string()), Bytes());
  EXPECT_EQ(Bytes().substr(0, 2), kMark);
}

TEST_F(IniFormTest, FilesOfNoFormReadAsAnsi) {
  for (const std::string bytes : {"", "\xFF", "\xFE\xFF", "\xEF\xBB", "\xEF\xBB\xBE"}) {
    EXPECT_EQ(DetectIniForm(bytes), kestrova::IniForm::kAnsi) << bytes;
  }
  EXPECT_EQ(DetectIniForm("\xFF\xFE"), kestrova::IniForm::kUtf16);
  EXPECT_EQ(DetectIniForm("\xEF\xBB\xBF"), kestrova::IniForm::kUtf8);
  kestrova::IniForm to;
  EXPECT_EQ(RewrittenFile(codePage_, "\xEF\xBB\xBFx=\xFF", false, to), kMark + Utf16Le("x=\xEF\xBF\xBD"))
      << "a broken UTF-8 byte as U+FFFD";
  EXPECT_EQ(to, kestrova::IniForm::kUtf16);
}

}  // namespace
}  // namespace kestrova::testing

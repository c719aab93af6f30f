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
#include <vector>

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
  std::set<std::string> failWrites;     // paths WriteFileInPlace fails on, untouched
  std::set<std::string> halfWrites;     // paths it fails on after writing half
  std::set<std::string> failRemoves;    // paths held open by another program: they stay
  std::set<std::string> failReads;      // paths that cannot be read
  std::set<std::string> loseAfterRead;  // paths that vanish once they have been read
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
  bool RemoveFile(const std::string& path) override {
    if (failRemoves.count(path) != 0) return !fs::exists(path);
    return ProfileFile::RemoveFile(path);
  }
  std::optional<std::string> ReadFileBytes(const std::string& path) override {
    if (failReads.count(path) != 0) return std::nullopt;
    std::optional<std::string> bytes = ProfileFile::ReadFileBytes(path);
    if (loseAfterRead.count(path) != 0) fs::remove(path);
    return bytes;
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
  EXPECT_EQ(Bytes(), codePage_.ToAnsi("; by hand\r\n[Extra]\r\nKeep=表示\r\n\r\n[Clock]\r\nFormatText=\" 表 "
                                      "<hh:nn>\"\r\n"))
      << "Shift-JIS, the one line changed";
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

TEST_F(IniFormTest, FormsAreToldByMarkAndBytes) {
  const std::string text = "[Main]\r\nText=表示 é\r\n";
  std::string be = Utf16Le(text);
  for (std::size_t i = 0; i + 1 < be.size(); i += 2) std::swap(be[i], be[i + 1]);
  const struct {
    std::string bytes;
    kestrova::IniForm form;
  } cases[] = {
      {"", kestrova::IniForm::kAnsi},
      {"[Main]\r\nText=plain\r\n", kestrova::IniForm::kAnsi},
      {codePage_.ToAnsi(text.substr(0, 16)), kestrova::IniForm::kAnsi},
      {"\xFF\xFE" + Utf16Le(text), kestrova::IniForm::kUtf16},
      {"\xEF\xBB\xBF" + text, kestrova::IniForm::kUtf8},
      {text, kestrova::IniForm::kUtf8Plain},
      {Utf16Le(text), kestrova::IniForm::kUtf16Plain},
      {"\xFE\xFF" + be, kestrova::IniForm::kUtf16Be},
      {be, kestrova::IniForm::kUtf16Be},
      {"\xFE\xFF", kestrova::IniForm::kUtf16Be},
      {"x=\xC0\x80\r\n", kestrova::IniForm::kAnsi},       // overlong: no UTF-8
      {"x=\xED\xA0\x80\r\n", kestrova::IniForm::kAnsi},   // a surrogate
      {std::string("[Main]\0\0\0\0x\0=1\0\0\0\0\0\r\n", 22), kestrova::IniForm::kUnknown},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DetectIniForm(c.bytes), c.form) << ::testing::PrintToString(c.bytes);
  }
  EXPECT_EQ(CleanUtf8("a\xC0\x80z\xE0\x80\xAF"), "a\xEF\xBF\xBD\xEF\xBF\xBDz\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD")
      << "an overlong form is no NUL and no slash";
}

// Real Shift-JIS text is almost never valid UTF-8: the program's own files and texts stay ANSI.
TEST_F(IniFormTest, ShiftJisOfTheProgramIsNeverTakenForUtf8) {
  std::vector<std::string> samples = {"表示", "除外する", "許可する", "Kestrova-設定画面", "ｱｲｳｴｵ ﾃｽﾄ",
                                      " <yyyy/mm/dd(ddd) hh:mm:ss> 会議", "前", "中", "後"};
  std::ifstream table(std::string(KESTROVA_SOURCE_DIR) + "/src/resources/strings.inc");
  for (std::string line; std::getline(table, line);) samples.push_back(line);
  std::ifstream readme(std::string(KESTROVA_SOURCE_DIR) + "/Readme.txt", std::ios::binary);
  const std::string guide{std::istreambuf_iterator<char>(readme), std::istreambuf_iterator<char>()};
  ASSERT_GT(guide.size(), 1000u);
  EXPECT_EQ(DetectIniForm(guide), kestrova::IniForm::kAnsi);
  std::size_t japanese = 0;
  for (const std::string& utf8 : samples) {
    const std::string ansi = codePage_.ToAnsi(utf8);
    if (ansi == utf8 || !FitsCodePage(codePage_, utf8)) continue;
    ++japanese;
    EXPECT_EQ(DetectIniForm("[Main]\r\nText=" + ansi + "\r\n"), kestrova::IniForm::kAnsi) << utf8;
  }
  EXPECT_GT(japanese, 100u);
  WriteFile("[Main]\r\nText=表示\r\n");
  EXPECT_EQ(ini_.IniReadString("Main", "Text", ""), "表示");
}

TEST_F(IniFormTest, EveryUnicodeFormReadsWholeAndBecomesUtf16AtTheFirstWrite) {
  const std::string text = "[Main]\r\nText=" + kForeign + "\r\nLeftText=3\r\n";
  std::string be = Utf16Le(text);
  for (std::size_t i = 0; i + 1 < be.size(); i += 2) std::swap(be[i], be[i + 1]);
  for (const std::string& file : {text, Utf16Le(text), "\xFE\xFF" + be, be}) {
    WriteBytes(file);
    IniFile ini(store_, codePage_, Path());
    EXPECT_EQ(ini.IniReadString("Main", "Text", ""), kForeign.substr(1)) << ::testing::PrintToString(file);
    EXPECT_EQ(ini.IniReadInt("Main", "LeftText", 0), 3);
    EXPECT_EQ(Bytes(), file) << "reading changes nothing";
    ASSERT_TRUE(ini.IniWriteString("Main", "Use", "1"));
    EXPECT_EQ(Bytes().substr(0, 2), kMark);
    IniFile again(store_, codePage_, Path());
    EXPECT_EQ(again.IniReadString("Main", "Text", ""), kForeign.substr(1));
    EXPECT_EQ(again.IniReadInt("Main", "Use", 0), 1);
  }
}

TEST_F(IniFormTest, BytesOfNoFormAreNeverRewritten) {
  const std::string file("[Main]\r\nLeftText=2\0\0\0\0\0\0\0\0\r\n", 28);
  WriteBytes(file);
  EXPECT_EQ(ini_.Form(), kestrova::IniForm::kUnknown);
  EXPECT_FALSE(ini_.IniWriteString("Clock", "FormatText", kForeign));
  EXPECT_EQ(Bytes(), file);
  EXPECT_FALSE(SideFiles());
}

// An editor deletes, restores or re-saves the file while the program runs.
TEST_F(IniFormTest, EachWriteGoesByTheFormOnDisk) {
  WriteBytes("[Main]\r\nLeftText=2\r\n");
  ASSERT_EQ(ini_.Form(), kestrova::IniForm::kAnsi);
  WriteBytes("\xEF\xBB\xBF[Main]\r\nText=é\r\n");  // re-saved as UTF-8
  ASSERT_TRUE(ini_.IniWriteString("Main", "Use", "1"));
  EXPECT_EQ(Bytes().substr(0, 2), kMark) << "the UTF-8 text is kept: the file is rewritten first";
  EXPECT_EQ(IniFile(store_, codePage_, Path()).IniReadString("Main", "Text", ""), "é");

  ASSERT_TRUE(ini_.IniWriteString("Clock", "FormatText", kForeign));
  fs::remove(Path());  // deleted: the next text that does not fit needs a new rewrite
  ASSERT_TRUE(ini_.IniWriteString("Clock", "FormatText", kForeign));
  EXPECT_EQ(Bytes().substr(0, 2), kMark);
  EXPECT_EQ(IniFile(store_, codePage_, Path()).IniReadString("Clock", "FormatText", ""), kForeign.substr(1));

  WriteBytes("[Main]\r\nText=" + kForeign + "\r\n");  // UTF-8 without a mark
  ASSERT_TRUE(ini_.IniWriteString("Main", "Use", "1"));
  EXPECT_EQ(Bytes().substr(0, 2), kMark) << "no ANSI bytes appended to a UTF-8 file";
  EXPECT_EQ(IniFile(store_, codePage_, Path()).IniReadString("Main", "Text", ""), kForeign.substr(1));
}

// Another program holds the side file open: it cannot be removed.
TEST_F(IniFormTest, ASideFileThatStaysNeverRollsTheSettingsBack) {
  FailingStore store(codePage_);
  WriteBytes("[Main]\r\nLeftText=2\r\n");
  store.failRemoves = {Path() + ".new"};
  IniFile ini(store, codePage_, Path());
  EXPECT_FALSE(ini.IniWriteString("Clock", "FormatText", kForeign)) << "told, not taken for done";
  EXPECT_TRUE(ini.Pending());
  EXPECT_FALSE(ini.IniWriteString("Main", "LeftText", "4")) << "nothing goes in that the side file would undo";
  const std::string rewritten = Bytes();
  EXPECT_EQ(rewritten, Bytes(Path() + ".new"));

  // The next start finds the file holding the side file already: nothing is copied back.
  IniFile next(store, codePage_, Path());
  next.FinishInterruptedRewrite();
  EXPECT_TRUE(next.Pending());
  EXPECT_EQ(next.IniReadInt("Main", "LeftText", 0), 2);
  // Once the other program lets go, the removal is tried again before the next write.
  store.failRemoves.clear();
  ASSERT_TRUE(next.IniWriteString("Main", "LeftText", "5"));
  EXPECT_FALSE(SideFiles());
  ASSERT_TRUE(next.IniWriteString("Clock", "FormatText", kForeign));
  IniFile third(store, codePage_, Path());
  third.FinishInterruptedRewrite();
  EXPECT_EQ(third.IniReadInt("Main", "LeftText", 0), 5);
  EXPECT_EQ(third.IniReadString("Clock", "FormatText", ""), kForeign.substr(1));
}

TEST_F(IniFormTest, ASideFileThatGoesOrCannotBeReadWritesNothing) {
  const std::string rewritten = kMark + Utf16Le("[Main]\r\nLeftText=7\r\n");
  for (const bool lost : {true, false}) {
    FailingStore store(codePage_);
    WriteBytes("[Main]\r\nLeftText=");  // torn by a crash during the copy
    std::ofstream(Path() + ".new", std::ios::binary) << rewritten;
    std::set<std::string>& failing = lost ? store.loseAfterRead : store.failReads;
    failing.insert(Path() + ".new");
    if (lost) store.halfWrites = {Path()};
    IniFile ini(store, codePage_, Path());
    ini.FinishInterruptedRewrite();
    EXPECT_TRUE(ini.Pending());
    EXPECT_NE(Bytes(), "") << "never emptied";
    if (lost) {
      EXPECT_EQ(ini.IniReadInt("Main", "LeftText", 0), 7) << "read from the whole side file";
    }
    EXPECT_FALSE(ini.IniWriteString("Main", "Use", "1"));
  }
}

TEST_F(IniFormTest, APendingRewriteAtStartReadsTheWholeSideFile) {
  FailingStore store(codePage_);
  const std::string rewritten = kMark + Utf16Le("[Clock]\r\nFormatText=\"" + kForeign + "\"\r\n");
  WriteBytes(rewritten.substr(0, 11));
  std::ofstream(Path() + ".new", std::ios::binary) << rewritten;
  store.failWrites = {Path()};
  IniFile ini(store, codePage_, Path());
  ini.FinishInterruptedRewrite();
  EXPECT_TRUE(ini.Pending());
  Settings loaded;
  LoadSettings(ini, loaded);
  EXPECT_EQ(loaded.FormatText, kForeign);
  store.failWrites.clear();
  ASSERT_TRUE(ini.IniWriteString("Main", "Use", "1")) << "the copy is tried again first";
  EXPECT_EQ(IniFile(store, codePage_, Path()).IniReadString("Clock", "FormatText", ""), kForeign);
}

// The folder is not writable (or the disk is full) while the file is.
TEST_F(IniFormTest, ARecordTheFileCannotTakeIsLeftOutWhole) {
  FailingStore store(codePage_);
  WriteBytes("");
  store.failWrites = {Path() + ".tmp"};
  IniFile ini(store, codePage_, Path());
  Settings s;
  s.WindowRules = {{false, "plain", "t", 0, "c"}, {true, "r" + kForeign, "t", 1, "c"}};
  AlarmEntry fits, foreign;
  fits.Title = "会議";
  foreign.Title = "ok";
  foreign.Message = kForeign;
  s.Alarms = {foreign, fits};
  s.AlarmCount = 2;
  EXPECT_FALSE(SaveSettings(ini, s));
  EXPECT_EQ(Text().find("Alarm0000"), std::string::npos) << Text();
  EXPECT_EQ(Text().find("AntiKestrova002"), std::string::npos) << Text();
  IniFile again(store, codePage_, Path());
  Settings loaded;
  LoadSettings(again, loaded);
  ASSERT_EQ(loaded.Alarms.size(), 2u);
  EXPECT_EQ(loaded.Alarms[1].Title, "会議");
  EXPECT_EQ(loaded.WindowRules.size(), 1u);
  store.failWrites.clear();
  EXPECT_TRUE(SaveSettings(ini, s));
}

}  // namespace
}  // namespace kestrova::testing

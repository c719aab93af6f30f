// Kestrova.ini through the real service under the system's code page (ctest
// runs this with 932 and with 1252): a text the code page cannot hold turns
// the file into UTF-16LE and survives a restart, a file that fits keeps its
// bytes, Unicode and UTF-8 files read back whole, broken files never stop the
// program, and a hard link to the file (Scoop's persist) survives every save.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "core/utf16le.h"
#include "platform/win32/text_win.h"
#include "settings/ini_file.h"
#include "settings/settings.h"
#include "settings/win32/codepage_win.h"
#include "settings/win32/profile_store_win.h"
#include "raw_file.h"

namespace kestrova {
namespace {

using win32::Narrow;

// Outside code page 932 and 1252 alike.
const std::string kForeign = " <hh:nn:ss> 会議 é 😀";

// The code page's own letters: they keep the file in ANSI.
std::string Native() { return GetACP() == 932 ? " <hh:nn:ss> 会議" : " <hh:nn:ss> café"; }

class IniUnicode : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH];
    ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
    folder_ = std::wstring(temp) + L"kestrova-unicode-" + std::to_wstring(GetTickCount64()) + L"-" +
              std::to_wstring(GetCurrentProcessId());
    ASSERT_TRUE(CreateDirectoryW(folder_.c_str(), nullptr));
    path_ = Narrow(folder_) + "\\Kestrova.ini";
  }
  void TearDown() override {
    for (const char* name : {"\\Kestrova.ini", "\\Kestrova.ini.new", "\\Kestrova.ini.tmp", "\\link.ini"}) {
      DeleteFileW((folder_ + win32::Widen(name)).c_str());
    }
    RemoveDirectoryW(folder_.c_str());
  }

  // A start of the program: a new store and file object over the same path.
  IniFile& Start(const std::string& path = "") {
    stores_.push_back(std::make_unique<WinProfileStore>());
    inis_.push_back(std::make_unique<IniFile>(*stores_.back(), codePage_, path.empty() ? path_ : path));
    inis_.back()->FinishInterruptedRewrite();
    return *inis_.back();
  }
  Settings Load(const std::string& path = "") {
    Settings s;
    LoadSettings(Start(path), s);
    return s;
  }

  static std::string Bytes(const std::string& path) { return test::ReadRawFile(win32::Widen(path)); }
  std::string Bytes() const { return Bytes(path_); }
  void WriteBytes(const std::string& bytes) const { ASSERT_TRUE(test::WriteRawFile(win32::Widen(path_), bytes)); }
  // The file's text, whichever its form.
  std::string Text() {
    const std::string bytes = Bytes();
    if (bytes.rfind("\xFF\xFE", 0) == 0) return Utf8FromUtf16Le(bytes.substr(2));
    return codePage_.FromAnsi(bytes);
  }
  static DWORD Links(const std::string& path) {
    HANDLE h = CreateFileW(win32::Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return 0;
    BY_HANDLE_FILE_INFORMATION info = {};
    const BOOL ok = GetFileInformationByHandle(h, &info);
    CloseHandle(h);
    return ok ? info.nNumberOfLinks : 0;
  }
  bool SideFilesLeft() const {
    return GetFileAttributesW((win32::Widen(path_) + L".new").c_str()) != INVALID_FILE_ATTRIBUTES ||
           GetFileAttributesW((win32::Widen(path_) + L".tmp").c_str()) != INVALID_FILE_ATTRIBUTES;
  }

  // Every text a user can type into a pattern, a rule or an alarm.
  static Settings Typed(const std::string& text) {
    Settings s;
    s.Use = 1;
    s.FormatText = text;
    s.WorldTimeFormatText = text + " W";
    s.SysInfStr = text + " S";
    s.WindowRules = {{false, "r" + text, "t" + text, 1, "c" + text}, {true, "plain", "", 0, "Notepad"}};
    AlarmEntry alarm;
    alarm.Title = "a" + text;
    alarm.Message = "m" + text;
    alarm.Type = 0;
    s.Alarms = {alarm};
    s.AlarmCount = 1;
    return s;
  }
  void Save(const Settings& s) {
    IniFile& ini = Start();
    SaveSettings(ini, s);
    WriteSetting(ini, s, SettingKey::kUse);
  }
  static void ExpectTexts(const Settings& loaded, const Settings& saved) {
    EXPECT_EQ(loaded.Use, 1);
    EXPECT_EQ(loaded.FormatText, saved.FormatText);
    EXPECT_EQ(loaded.WorldTimeFormatText, saved.WorldTimeFormatText);
    EXPECT_EQ(loaded.SysInfStr, saved.SysInfStr);
    EXPECT_EQ(loaded.WindowRules, saved.WindowRules);
    EXPECT_EQ(loaded.Alarms, saved.Alarms);
  }

  std::wstring folder_;
  std::string path_;
  WinCodePage codePage_;
  std::vector<std::unique_ptr<WinProfileStore>> stores_;
  std::vector<std::unique_ptr<IniFile>> inis_;
};

TEST_F(IniUnicode, TypedTextSurvivesARestartAndTheFileKeepsEveryLine) {
  WriteBytes("; kept by hand\r\n[Extra]\r\nKeep=this one\r\n");
  Save(Typed(Native()));
  ASSERT_NE(Bytes().substr(0, 2), "\xFF\xFE") << "the code page's own letters need no Unicode";
  const std::string before = Text();

  Save(Typed(kForeign));
  EXPECT_EQ(Bytes().substr(0, 2), "\xFF\xFE") << "UTF-16LE with its mark";
  EXPECT_FALSE(SideFilesLeft());
  ExpectTexts(Load(), Typed(kForeign));
  // The same lines in the same order, only the typed texts changed.
  std::string expected = before;
  for (std::size_t at = 0; (at = expected.find(Native(), at)) != std::string::npos; at += kForeign.size()) {
    expected.replace(at, Native().size(), kForeign);
  }
  EXPECT_EQ(Text(), expected);

  // Unicode it stays, also for texts that would fit the code page again.
  Save(Typed(Native()));
  EXPECT_EQ(Bytes().substr(0, 2), "\xFF\xFE");
  ExpectTexts(Load(), Typed(Native()));
}

TEST_F(IniUnicode, AFileThatFitsKeepsItsBytes) {
  Save(Typed(Native()));
  const std::string first = Bytes();
  ExpectTexts(Load(), Typed(Native()));
  Save(Load());
  EXPECT_EQ(Bytes(), first) << "saving what was loaded changes no byte";
  EXPECT_EQ(first.find('\0'), std::string::npos) << "no UTF-16";
  EXPECT_NE(first.find("FormatText=\"" + codePage_.ToAnsi(Native()) + "\"\r\n"), std::string::npos) << first;
}

TEST_F(IniUnicode, UnicodeAndUtf8FilesReadBackWhole) {
  const std::string text = "[Main]\r\nUse=1\r\nLeftText= 3\r\n[Clock]\r\nFormatText=\"" + kForeign +
                           "\"\r\nAlarm=1\r\n[AntiKestrova001]\r\nName=r" + kForeign + "\r\nWindowTitle=t" +
                           kForeign + "\r\nInTitle=1\r\nWindowClass=c" + kForeign +
                           "\r\nAntiType=0\r\n[AntiKestrova002]\r\nName=\r\n[Alarm0000]\r\nTitle=a" +
                           kForeign + "\r\nType=0\r\nMessage=m" + kForeign + "\r\n";
  for (const std::string& file : {"\xFF\xFE" + Utf16Le(text), "\xEF\xBB\xBF" + text}) {
    WriteBytes(file);
    const Settings loaded = Load();
    EXPECT_EQ(loaded.LeftText, 3);
    EXPECT_EQ(loaded.FormatText, kForeign);
    ASSERT_EQ(loaded.WindowRules.size(), 1u);
    EXPECT_EQ(loaded.WindowRules[0].WindowClass, "c" + kForeign);
    ASSERT_EQ(loaded.Alarms.size(), 1u);
    EXPECT_EQ(loaded.Alarms[0].Message, "m" + kForeign);
    EXPECT_EQ(Bytes(), file) << "reading changes nothing";
    // The first write leaves UTF-8 behind (the service has no such form) and keeps every value.
    ASSERT_TRUE(Start().IniWriteString("Main", "TaskIcon", " 0"));
    EXPECT_EQ(Bytes().substr(0, 2), "\xFF\xFE");
    const Settings again = Load();
    EXPECT_EQ(again.TaskIcon, 0);
    EXPECT_EQ(again.FormatText, kForeign);
    EXPECT_EQ(again.Alarms, loaded.Alarms);
  }
}

TEST_F(IniUnicode, BrokenFilesGiveDefaultsAndCanBeSavedOver) {
  constexpr int kAny = -99;  // noise: whatever it reads as, it must not stop the program
  struct Case {
    std::string bytes;
    int leftText;
  };
  std::vector<Case> cases = {
      {"\xFF", 1},
      {"\xEF\xBB", 1},
      {"\xFE\xFF", 1},
      {"\xFF\xFE", 1},
      {std::string("\xFF\xFE\x00", 3), 1},
      {"\xEF\xBB\xBF", 1},
      {"\xFF\xFE" + Utf16Le("[Main]\r\nLeftText=3\r\n") + "\x5B", 3},  // an odd byte count
      {"\xEF\xBB\xBF[Main]\r\nLeftText=3\r\nx=\xFF\xC3(\r\n", 3},      // broken UTF-8
  };
  std::mt19937 random(20261208);
  for (int i = 0; i < 6; ++i) {
    std::string noise(random() % 300, '\0');
    for (char& c : noise) c = static_cast<char>(random());
    cases.push_back({(i % 2 ? "\xFF\xFE" : "") + noise, kAny});
  }
  const Settings defaults;
  for (const Case& c : cases) {
    WriteBytes(c.bytes);
    const Settings loaded = Load();
    if (c.leftText != kAny) {
      EXPECT_EQ(loaded.LeftText, c.leftText) << ::testing::PrintToString(c.bytes);
      EXPECT_EQ(loaded.FormatText, defaults.FormatText);
      EXPECT_TRUE(loaded.WindowRules.empty());
    }
    Save(Typed(kForeign));
    ExpectTexts(Load(), Typed(kForeign));
  }
}

TEST_F(IniUnicode, AHardLinkSurvivesEverySave) {
  Save(Typed(Native()));
  const std::string link = Narrow(folder_) + "\\link.ini";
  ASSERT_TRUE(CreateHardLinkW(win32::Widen(link).c_str(), win32::Widen(path_).c_str(), nullptr));
  ASSERT_EQ(Links(path_), 2u);

  Settings s = Typed(Native());
  s.TaskIcon = 0;
  Save(s);  // the service's own write
  EXPECT_EQ(Links(path_), 2u);
  EXPECT_EQ(Load(link).TaskIcon, 0);

  Save(Typed(kForeign));  // the one rewrite
  EXPECT_EQ(Links(path_), 2u) << "written in place, not replaced";
  EXPECT_EQ(Links(link), 2u);
  EXPECT_EQ(Bytes(link), Bytes());
  ExpectTexts(Load(link), Typed(kForeign));
  EXPECT_FALSE(SideFilesLeft());
}

TEST_F(IniUnicode, AnInterruptedRewriteIsFinishedAtTheNextStart) {
  Save(Typed(Native()));
  const std::string link = Narrow(folder_) + "\\link.ini";
  ASSERT_TRUE(CreateHardLinkW(win32::Widen(link).c_str(), win32::Widen(path_).c_str(), nullptr));
  const std::string old = Bytes();
  const std::string rewritten = "\xFF\xFE" + Utf16Le("[Clock]\r\nFormatText=\"" + kForeign + "\"\r\n");
  WinProfileStore store;

  // Cut short while the side file was written: the old file stands.
  ASSERT_TRUE(store.WriteFileInPlace(path_ + ".tmp", rewritten.substr(0, 7)));
  EXPECT_EQ(Load().FormatText, Native());
  EXPECT_EQ(Bytes(), old);
  EXPECT_FALSE(SideFilesLeft());

  // Cut short while copying it over the original: the whole side file finishes the copy.
  ASSERT_TRUE(store.WriteFileInPlace(path_ + ".new", rewritten));
  ASSERT_TRUE(store.WriteFileInPlace(path_, rewritten.substr(0, 9)));
  EXPECT_EQ(Load().FormatText, kForeign);
  EXPECT_EQ(Bytes(), rewritten);
  EXPECT_EQ(Links(path_), 2u);
  EXPECT_EQ(Bytes(link), rewritten);
  EXPECT_FALSE(SideFilesLeft());
}

}  // namespace
}  // namespace kestrova

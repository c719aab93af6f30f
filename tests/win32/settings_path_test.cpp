// Kestrova.ini in a program folder whose name the ANSI code page cannot
// spell: the settings must still be saved, read back, and kept in CP932.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/win32/text_win.h"
#include "settings/ini_file.h"
#include "settings/settings.h"
#include "settings/win32/codepage_win.h"
#include "settings/win32/profile_store_win.h"
#include "raw_file.h"

namespace kestrova {
namespace {

using win32::Narrow;

class UnicodeFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    if (GetACP() != 932) GTEST_SKIP() << "the ANSI code page is " << GetACP() << ", not 932";
    wchar_t temp[MAX_PATH];
    ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
    // "é" and "😀" exist in no ANSI code page of Japanese Windows.
    folder_ = std::wstring(temp) + L"Kestrova-\u00E9\U0001F600-" + std::to_wstring(GetTickCount64());
    ASSERT_TRUE(CreateDirectoryW(folder_.c_str(), nullptr));
    file_ = folder_ + L"\\Kestrova.ini";
  }
  void TearDown() override {
    DeleteFileW(file_.c_str());
    RemoveDirectoryW(folder_.c_str());
  }

  // The service may drop the blank of a sign column (Wine does); the rest is exact.
  static std::string Squeezed(std::string bytes) {
    for (std::size_t at; (at = bytes.find("= ")) != std::string::npos;) bytes.erase(at + 1, 1);
    return bytes;
  }

  std::string Bytes() const { return test::ReadRawFile(file_); }
  void WriteBytes(const std::string& bytes) const { ASSERT_TRUE(test::WriteRawFile(file_, bytes)); }

  std::wstring folder_;
  std::wstring file_;
  WinProfileStore store_;
  WinCodePage codePage_;
};

TEST_F(UnicodeFolder, SettingsAreSavedReadBackAndStayInCp932) {
  IniFile ini(store_, codePage_, SettingsPath(Narrow(folder_) + "\\"));
  Settings s;
  s.Use = 1;
  s.FormatText = " <時刻 hh:mm>";
  s.WindowRules = {{false, "メモ帳", "無題", 1, "Notepad"}};
  SaveSettings(ini, s);
  WriteSetting(ini, s, SettingKey::kUse);

  Settings loaded;
  LoadSettings(ini, loaded);
  EXPECT_EQ(loaded.Use, 1) << "otherwise every start is a first run";
  EXPECT_EQ(loaded.FormatText, " <時刻 hh:mm>");
  EXPECT_EQ(loaded.WindowRules, s.WindowRules);

  const std::string bytes = Squeezed(Bytes());
  // "時刻" and "メモ帳" in CP932; no byte-order mark, no UTF-16, no UTF-8.
  EXPECT_EQ(bytes.rfind("[Main]\r\nLeftText=1\r\n", 0), 0u) << bytes;
  EXPECT_NE(bytes.find("FormatText=\" <\x8E\x9E\x8D\x8F hh:mm>\"\r\n"), std::string::npos) << bytes;
  EXPECT_NE(bytes.find("Name=\x83\x81\x83\x82\x92\xA0\r\n"), std::string::npos) << bytes;
  EXPECT_EQ(bytes.find('\0'), std::string::npos);
  EXPECT_EQ(bytes.find("\xE6\x99\x82"), std::string::npos) << "no UTF-8";
}

TEST_F(UnicodeFolder, AHandWrittenCp932FileKeepsItsBytes) {
  WriteBytes("[Clock]\r\nFormatText=\"\x8E\x9E\x8D\x8F\"\r\n[Main]\r\nLeftText= 2\r\n");
  IniFile ini(store_, codePage_, Narrow(file_));
  EXPECT_EQ(ini.IniReadString("Clock", "FormatText", ""), "時刻");
  EXPECT_EQ(ini.IniReadInt("Main", "LeftText", 0), 2);
  ini.IniWriteString("Main", "Use", "1");
  ini.IniWriteString("Clock", "MessagePosition", " 1");
  EXPECT_EQ(Squeezed(Bytes()),
            "[Clock]\r\nFormatText=\"\x8E\x9E\x8D\x8F\"\r\nMessagePosition=1\r\n"
            "[Main]\r\nLeftText=2\r\nUse=1\r\n");
}

}  // namespace
}  // namespace kestrova

// The user's guide that the build puts beside the program: in the bytes
// Notepad on a Japanese system reads, and naming what the program shows.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/win32/text_win.h"

namespace kestrova {
namespace {

std::string ReadmeBytes() {
  wchar_t exe[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::ifstream in(std::filesystem::path(exe).parent_path() / "Readme.txt", std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST(Readme, IsShiftJisWithCrLfBesideTheProgram) {
  const std::string bytes = ReadmeBytes();
  ASSERT_GT(bytes.size(), 1000u) << "Readme.txt missing beside the program";
  EXPECT_NE(bytes.substr(0, 3), "\xEF\xBB\xBF") << "a UTF-8 file, not Shift-JIS";
  // Strict decoding fails on any byte sequence that is not code page 932.
  EXPECT_GT(MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()),
                                nullptr, 0),
            0);
  for (std::size_t i = bytes.find('\n'); i != std::string::npos; i = bytes.find('\n', i + 1)) {
    ASSERT_TRUE(i > 0 && bytes[i - 1] == '\r') << "bare LF at byte " << i;
  }
}

TEST(Readme, DescribesEveryMenuPageAndCode) {
  const std::wstring wide = win32::ToWide(932, ReadmeBytes());
  const std::string text = win32::Narrow(wide);
  const char* const expected[] = {"一時停止(&P)",
                                  "設定(&S)",
                                  "メッセージアラーム設定(&M)",
                                  "現在時刻をコピー(&C)",
                                  "システム情報をコピー(&I)",
                                  "バージョン情報(&A)",
                                  "終了(&X)",
                                  "ファイル(&F)",
                                  "ヘルプ(&H)",
                                  "お読み下さい(&R)",
                                  "スタートアップに登録(&S)",
                                  "スタートアップから削除(&S)",
                                  "設定を保存して閉じる(&O)",
                                  "設定を保存せずに閉じる(&C)",
                                  "基本設定",
                                  "タイトル",
                                  "時計・メッセージ",
                                  "世界時計",
                                  "カウントダウン",
                                  "システム情報",
                                  "タイミング",
                                  "Kestrova.ini",
                                  "Kestrova.lnk",
                                  "許可設定したウインドウ以外に表示しない",
                                  "タイトルバーを自分で描くウインドウには時計を重ねて表示する",
                                  "%1",
                                  "%2",
                                  "%3",
                                  "%4",
                                  "%5",
                                  "%6",
                                  "%7",
                                  "%8",
                                  "%9",
                                  "%A",
                                  "%B",
                                  "%C",
                                  "%D",
                                  "%E",
                                  "%F",
                                  "%G",
                                  "%H",
                                  "%I",
                                  "%J",
                                  "%K",
                                  "%L",
                                  "%%",
                                  "yyyy",
                                  "ddd",
                                  "aaa",
                                  "ggg",
                                  "AMPM",
                                  "Alt+Tab",
                                  "ホットキーの設定(&K)",
                                  "[Hotkey]",
                                  "/timecopy",
                                  "/sysinfocopy",
                                  "/timetype",
                                  "/setting",
                                  "/exit"};
  for (const char* part : expected) EXPECT_NE(text.find(part), std::string::npos) << part;
}

}  // namespace
}  // namespace kestrova

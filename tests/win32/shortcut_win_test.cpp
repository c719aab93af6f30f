// The startup shortcut written through the real file calls and read back by
// the system's own shell-link reader.
#include <gtest/gtest.h>
#include <windows.h>
// after windows.h
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "documented_conversion.h"
#include "platform/win32/files_win.h"
#include "platform/win32/text_win.h"
#include "settings/win32/codepage_win.h"
#include "shell/shortcut.h"

namespace kestrova {
namespace {

namespace fs = std::filesystem;
using win32::Narrow;
using win32::Widen;

struct ReadBack {
  HRESULT loaded = E_FAIL;
  std::string target, workingDirectory, description;
};

ReadBack ReadShortcut(const std::string& linkFile) {
  ReadBack out;
  IShellLinkW* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(&link)))) {
    return out;
  }
  IPersistFile* file = nullptr;
  if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    out.loaded = file->Load(Widen(linkFile).c_str(), STGM_READ);
    wchar_t text[MAX_PATH * 2] = {};
    if (SUCCEEDED(link->GetPath(text, MAX_PATH * 2, nullptr, 0))) out.target = Narrow(text);
    text[0] = 0;
    if (SUCCEEDED(link->GetWorkingDirectory(text, MAX_PATH * 2))) out.workingDirectory = Narrow(text);
    text[0] = 0;
    if (SUCCEEDED(link->GetDescription(text, MAX_PATH * 2))) out.description = Narrow(text);
    file->Release();
  }
  link->Release();
  return out;
}

// The long form of an existing path, so that a short and a long name of one file compare equal.
std::string LongPath(const std::string& path) {
  wchar_t text[MAX_PATH * 2] = {};
  const DWORD n = GetLongPathNameW(Widen(path).c_str(), text, MAX_PATH * 2);
  return n > 0 && n < MAX_PATH * 2 ? Narrow(text) : std::string();
}

class ShortcutWin : public ::testing::Test {
 protected:
  void SetUp() override {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    root = fs::temp_directory_path() / ("kestrova-shortcut-" + std::to_string(GetCurrentProcessId()));
    fs::create_directories(root / "Startup");
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(root, ignored);
    CoUninitialize();
  }

  // A program folder under the temporary root, holding a stand-in Kestrova.exe; "\" at its end.
  std::string ProgramFolder(const std::string& name) {
    const fs::path folder = root / fs::path(Widen(name));
    fs::create_directories(folder);
    std::ofstream(folder / "Kestrova.exe", std::ios::binary) << std::string(3000, 'M');
    return Narrow(folder.wstring()) + "\\";
  }
  std::string StartupFolder() { return Narrow((root / "Startup").wstring()) + "\\"; }

  fs::path root;
  win32::Win32Files files;
  WinCodePage codePage;
};

TEST_F(ShortcutWin, ShellReadsBackTargetWorkingDirectoryAndDescription) {
  // A folder the code page holds (Japanese under code page 932) and one it cannot.
  for (const std::string name : {"Tools", "ツール", "テスト😀"}) {
    SCOPED_TRACE(name);
    const std::string appPath = ProgramFolder(name);
    const ShortcutFields fields = ProgramShortcut(appPath, StartupFolder());
    ASSERT_TRUE(WriteShortcutFile(files, codePage, fields));

    const ReadBack back = ReadShortcut(fields.linkFile);
    ASSERT_EQ(back.loaded, S_OK);
    EXPECT_EQ(LongPath(back.target), LongPath(fields.target)) << back.target;
    EXPECT_EQ(back.workingDirectory, appPath);
    EXPECT_EQ(back.description, fields.description);
    if (codePage.FromAnsi(codePage.ToAnsi(fields.target)) == fields.target) {
      EXPECT_EQ(back.target, fields.target);
    }
  }
}

TEST_F(ShortcutWin, FileHoldsTheBlocksAtTheirOffsets) {
  const ShortcutFields fields = ProgramShortcut(ProgramFolder("Tools"), StartupFolder());
  // Something longer already there must not survive at the end.
  std::ofstream(fs::path(Widen(fields.linkFile)), std::ios::binary) << std::string(5000, 'x');
  ASSERT_TRUE(WriteShortcutFile(files, codePage, fields));
  const auto blocks = BuildShortcutBlocks(files, codePage, fields);
  ASSERT_TRUE(blocks);
  std::string expected;
  for (const std::string& block : *blocks) expected += block;
  std::ifstream in(fs::path(Widen(fields.linkFile)), std::ios::binary);
  const std::string written((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(written, expected);
  const auto facts = files.Facts(fields.target);
  ASSERT_TRUE(facts);
  EXPECT_EQ(facts->size, 3000u);
  EXPECT_EQ(facts->attributes & kAttributeDirectory, 0u);
}

// UTF-8 as the system code page holds every path: the ANSI parts carry the
// path itself, never the empty text of a refused conversion.
TEST_F(ShortcutWin, Utf8CodePageWritesThePathIntoTheAnsiParts) {
  WinCodePage utf8(CP_UTF8, &testing::DocumentedWideCharToMultiByte);
  for (const std::string name : {"ツール", "テスト😀"}) {
    SCOPED_TRACE(name);
    const ShortcutFields fields = ProgramShortcut(ProgramFolder(name), StartupFolder());
    const auto blocks = BuildShortcutBlocks(files, utf8, fields);
    ASSERT_TRUE(blocks);
    std::string joined;
    for (const std::string& block : *blocks) joined += block;
    EXPECT_NE(joined.find(fields.target + std::string(1, '\0')), std::string::npos);
    EXPECT_NE(joined.find(name + std::string(1, '\0')), std::string::npos);
  }
}

TEST_F(ShortcutWin, UnwritableStartupFolderLeavesNothingBehind) {
  const std::string appPath = ProgramFolder("Tools");
  // A Startup folder that does not exist: the first block cannot be opened.
  ShortcutFields fields = ProgramShortcut(appPath, StartupFolder() + "missing\\");
  EXPECT_FALSE(WriteShortcutFile(files, codePage, fields));
  EXPECT_FALSE(files.Exists(fields.linkFile));
  // A target that is not there writes nothing.
  fields = ProgramShortcut(appPath + "gone\\", StartupFolder());
  EXPECT_FALSE(WriteShortcutFile(files, codePage, fields));
  EXPECT_FALSE(files.Exists(fields.linkFile));
}

TEST_F(ShortcutWin, DeleteRemovesTheShortcut) {
  const ShortcutFields fields = ProgramShortcut(ProgramFolder("Tools"), StartupFolder());
  ASSERT_TRUE(WriteShortcutFile(files, codePage, fields));
  EXPECT_TRUE(files.Exists(fields.linkFile));
  EXPECT_TRUE(files.Delete(fields.linkFile));
  EXPECT_FALSE(files.Exists(fields.linkFile));
  EXPECT_TRUE(files.Delete(fields.linkFile));  // already gone counts as removed
}

}  // namespace
}  // namespace kestrova

// The program's folder through the link winget's portable install starts it by.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/win32/program_folder_win.h"
#include "platform/win32/text_win.h"

namespace kestrova {
namespace {

namespace fs = std::filesystem;

// Under Wine, "ln -s" of the Unix system on the Unix names of the two files.
// (Wine cannot remove such a link either: `rm` does, with `fresh`.)
void UnixLink(const fs::path& target, const fs::path& link, bool fresh = false) {
  using UnixName = char*(CDECL*)(const wchar_t*);
  const auto unixName = reinterpret_cast<UnixName>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  if (unixName == nullptr) return;
  char* from = unixName(target.c_str());
  char* to = unixName(link.c_str());
  if (from != nullptr && to != nullptr) {
    std::wstring command = fresh ? L"/bin/rm -f \"" + win32::Widen(to) + L"\""
                                 : L"/bin/ln -s \"" + win32::Widen(from) + L"\" \"" + win32::Widen(to) + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    const wchar_t* program = fresh ? L"Z:\\bin\\rm" : L"Z:\\bin\\ln";
    if (CreateProcessW(program, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
      WaitForSingleObject(process.hProcess, 10000);
      CloseHandle(process.hThread);
      CloseHandle(process.hProcess);
    }
  }
  HeapFree(GetProcessHeap(), 0, from);
  HeapFree(GetProcessHeap(), 0, to);
}

TEST(ProgramFolder, ThroughASymbolicLinkIsTheFolderOfTheExe) {
  const fs::path root = fs::temp_directory_path() / ("kestrova-link-" + std::to_string(GetCurrentProcessId()));
  const fs::path package = root / L"Packages" / L"Kestrova ツール";
  const fs::path links = root / L"Links";
  fs::create_directories(package);
  fs::create_directories(links);
  std::ofstream(package / "Kestrova.exe", std::ios::binary) << "MZ";
  const fs::path link = links / "kestrova.exe";
  // Unprivileged links need developer mode on Windows; the flag is ignored where unknown.
  // Wine answers success without a link: there, the link is a Unix one, made by ln.
  bool unixLink = false;
  if (!CreateSymbolicLinkW(link.c_str(), (package / "Kestrova.exe").c_str(), 0x2) || !fs::exists(link)) {
    unixLink = true;
    UnixLink(package / "Kestrova.exe", link);
    // Wine does not wait for a Unix process: the link shows up a moment later.
    for (int i = 0; i < 250 && !fs::exists(link); ++i) Sleep(20);
  }
  std::error_code ignored;
  if (!fs::exists(link)) {
    fs::remove_all(root, ignored);
    GTEST_SKIP() << "no symbolic link could be made here";
  }
  const std::string expected = win32::Narrow(fs::canonical(package).wstring());
  EXPECT_EQ(win32::FinalFolderOf(link.wstring()), expected);
  EXPECT_EQ(win32::FinalFolderOf((package / "Kestrova.exe").wstring()), expected);
  // A file that is not there: the folder of the path as given.
  EXPECT_EQ(win32::FinalFolderOf((links / "gone.exe").wstring()), win32::Narrow(links.wstring()));
  // This test program's own folder has no prefix left on it.
  EXPECT_EQ(win32::ProgramFolder().rfind("\\\\?\\", 0), std::string::npos);
  // Wine's DeleteFileW would remove the target, not the Unix link.
  if (unixLink) {
    UnixLink(package / "Kestrova.exe", link, true);
  } else {
    DeleteFileW(link.c_str());
  }
  for (int i = 0; i < 250 && fs::exists(root); ++i) {
    fs::remove_all(root, ignored);
    Sleep(20);
  }
}

}  // namespace
}  // namespace kestrova

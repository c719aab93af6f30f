// Debian's lnkinfo (liblnk-utils), an independent reader of the format, over
// shortcuts the writer produced.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <regex>

#include "fakes/fake_files.h"
#include "settings/codepage_iconv.h"
#include "shell/shortcut.h"

namespace kestrova {
namespace {

struct LnkInfo {
  int status = -1;
  std::string output;  // tabs folded to single spaces
};

LnkInfo RunLnkInfo(const std::string& bytes) {
  const std::string path = ::testing::TempDir() + "kestrova_lnkinfo_test.lnk";
  std::ofstream(path, std::ios::binary) << bytes;
  LnkInfo result;
  FILE* pipe = popen(("lnkinfo -c windows-932 '" + path + "' 2>&1").c_str(), "r");
  if (pipe == nullptr) return result;
  char buffer[4096];
  for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) result.output.append(buffer, n);
  const int status = pclose(pipe);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.output = std::regex_replace(result.output, std::regex("[ \t]+"), " ");
  std::remove(path.c_str());
  return result;
}

TEST(ShortcutLnkInfo, ParsesWhatTheWriterWrites) {
  if (std::system("command -v lnkinfo >/dev/null 2>&1") != 0) {
    FAIL() << "lnkinfo is missing: run scripts/install-deps.sh (package liblnk-utils)";
  }
  struct Case {
    std::string appPath, folderShortName;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {"C:\\Tools\\",
       "",
       {"Local path : C:\\Tools\\Kestrova.exe\n", "Working directory : C:\\Tools\\\n", "Name : Tools\n",
        "Name : Kestrova.exe\n", "Volume label : SYSTEM\n", "Drive serial number : 0x1234abcd\n"}},
      {"C:\\予定ソフト\\",
       "予定ソ~1",
       {"Local path : C:\\予定ソフト\\Kestrova.exe\n", "Name : 予定ソフト\n",
        "Working directory : C:\\予定ソフト\\\n"}},
      // lnkinfo shows characters beyond U+FFFF wrongly, so only the rest is compared.
      {"C:\\Tools😀\\",
       "TOOLS~1",
       {"Local path : C:\\Tools", "\\Kestrova.exe\n", "Working directory : C:\\Tools"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.appPath);
    testing::FakeFiles files;
    Cp932CodePage codePage;
    files.volumes["C:\\"] = VolumeFacts{"SYSTEM", 0x1234ABCD};
    const std::string folder = c.appPath.substr(0, c.appPath.size() - 1);
    files.AddFolder(folder, c.folderShortName);
    files.AddFile(c.appPath + "Kestrova.exe", 4096, 0x01D9F00011223344, "KESTRO~1.EXE");
    const ShortcutFields fields = ProgramShortcut(c.appPath, "C:\\Startup\\");
    ASSERT_TRUE(WriteShortcutFile(files, codePage, fields));
    const LnkInfo info = RunLnkInfo(files.entries[fields.linkFile].bytes);
    EXPECT_EQ(info.status, 0) << info.output;
    EXPECT_NE(info.output.find(
                  "Description : アクティブウインドウのタイトルバーに日時を表示するプログラムです。\n"),
              std::string::npos)
        << info.output;
    for (const std::string& line : c.expected) EXPECT_NE(info.output.find(line), std::string::npos) << line;
  }
}

}  // namespace
}  // namespace kestrova

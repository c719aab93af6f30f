#include "shell/shortcut.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <numeric>
#include <sstream>

#include "fakes/fake_files.h"
#include "settings/codepage_iconv.h"
#include "core/utf16le.h"

namespace kestrova {
namespace {

using testing::FakeFiles;

constexpr std::uint64_t kModified = 0x01D9F00011223344;  // FILETIME of the program
constexpr char kDescription[] = "アクティブウインドウのタイトルバーに日時を表示するプログラムです。";

// "4C 00 1F" -> the bytes 0x4C, 0x00, 0x1F.
std::string Hex(const std::string& text) {
  std::istringstream in(text);
  std::string out, byte;
  while (in >> byte) out += static_cast<char>(std::stoi(byte, nullptr, 16));
  return out;
}

std::uint32_t Read32(const std::string& bytes, std::size_t at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(bytes.at(at + i));
  return v;
}

std::uint32_t Read16(const std::string& bytes, std::size_t at) {
  return static_cast<unsigned char>(bytes.at(at)) | (static_cast<unsigned char>(bytes.at(at + 1)) << 8);
}

class ShortcutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    files.volumes["C:\\"] = VolumeFacts{"SYSTEM", 0x1234ABCD};
    files.AddFolder("C:\\Tools");
    files.AddFile("C:\\Tools\\Kestrova.exe", 0x0001E240, kModified, "KESTRO~1.EXE");
  }

  std::string Written(const ShortcutFields& f) {
    EXPECT_TRUE(WriteShortcutFile(files, codePage, f));
    return files.entries[f.linkFile].bytes;
  }

  FakeFiles files;
  Cp932CodePage codePage;
  ShortcutFields program = ProgramShortcut("C:\\Tools\\", "C:\\Startup\\");
};

TEST_F(ShortcutTest, ProgramShortcutIsWrittenByteForByte) {
  const std::string header =
      Hex("4C 00 00 00  01 14 02 00 00 00 00 00 C0 00 00 00 00 00 00 46  17 00 00 00  20 00 00 00"
          " 44 33 22 11 00 F0 D9 01  44 33 22 11 00 F0 D9 01  44 33 22 11 00 F0 D9 01"
          " 40 E2 01 00  00 00 00 00  01 00 00 00  00 00  00 00  00 00 00 00  00 00 00 00");
  const std::string idList = Hex("71 00  14 00 1F 50 E0 4F D0 20 EA 3A 69 10 A2 D8 08 00 2B 30 30 9D"
                                 " 19 00 23 43 3A 5C 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00"
                                 " 1A 00 31 00 00 00 00 00 00 00 00 00 10 00") +
                             "Tools" + '\0' + "Tools" + '\0' +
                             Hex("28 00 32 00 40 E2 01 00 00 00 00 00 20 00") + "Kestrova.exe" + '\0' +
                             "KESTRO~1.EXE" + '\0' + Hex("00 00");
  const std::string linkInfo =
      Hex("4A 00 00 00  1C 00 00 00  01 00 00 00  1C 00 00 00  33 00 00 00  00 00 00 00  49 00 00 00"
          " 17 00 00 00  03 00 00 00  CD AB 34 12  10 00 00 00") +
      "SYSTEM" + '\0' + "C:\\Tools\\Kestrova.exe" + '\0' + '\0';
  const std::string strings =
      Hex("42 00") + codePage.ToAnsi(kDescription) + Hex("09 00") + "C:\\Tools\\" + Hex("00 00 00 00");

  const std::string bytes = Written(program);

  EXPECT_EQ(bytes.size(), 348u);
  EXPECT_EQ(bytes.substr(0, 76), header);
  EXPECT_EQ(bytes.substr(76, 115), idList);
  EXPECT_EQ(bytes.substr(191, 74), linkInfo);
  EXPECT_EQ(bytes.substr(265), strings);
  EXPECT_EQ(files.entries["C:\\Startup\\Kestrova.lnk"].bytes, header + idList + linkInfo + strings);
}

TEST_F(ShortcutTest, EachBlockIsItsOwnWriteAtItsOffset) {
  const auto blocks = BuildShortcutBlocks(files, codePage, program);
  ASSERT_TRUE(blocks);
  std::vector<std::size_t> sizes;
  for (const std::string& b : *blocks) sizes.push_back(b.size());
  // header, ID list size, My Computer, drive, folder, file, terminal ID, LinkInfo header and rest, strings
  EXPECT_EQ(sizes, (std::vector<std::size_t>{76, 2, 20, 25, 26, 40, 2, 28, 46, 83}));
  Written(program);
  EXPECT_EQ(files.writes, 10);
}

TEST_F(ShortcutTest, ProgramInADriveRootHasOnlyDriveAndFileItems) {
  // Drive types map to the drive item's type byte.
  const std::pair<int, int> driveItems[] = {
      {kDriveRemovable, 0x29}, {kDriveCdRom, 0x25}, {kDriveFixed, 0x23}, {4, 0x23}, {6, 0x23}, {0, 0x23}};
  for (auto [driveType, itemType] : driveItems) {
    SCOPED_TRACE(driveType);
    files.driveTypes["E:\\"] = driveType;
    files.AddFile("E:\\Kestrova.exe", 1000, kModified, "KESTRO~1.EXE");
    const std::string bytes = Written(ProgramShortcut("E:\\", "C:\\Startup\\"));
    EXPECT_EQ(Read16(bytes, 76), 20u + 25 + 40 + 2);  // My Computer, drive, file, terminal
    EXPECT_EQ(static_cast<unsigned char>(bytes[76 + 2 + 20 + 2]), itemType);
    EXPECT_EQ(bytes.substr(76 + 2 + 20 + 25, 3), Hex("28 00 32"));
    EXPECT_EQ(bytes.substr(76 + 2 + 85, 2), Hex("00 00"));
    // The LinkInfo keeps the drive type number itself.
    EXPECT_EQ(Read32(bytes, 76 + 2 + 87 + 28 + 4), static_cast<std::uint32_t>(driveType));
  }
}

TEST_F(ShortcutTest, JapaneseNamesAreCountedInCodePageBytes) {
  // ソ is 83 5C in the code page: its trail byte is a backslash.
  files.AddFolder("C:\\ツール");
  files.AddFolder("C:\\ツール\\予定ソフト", "予定ソ~1");
  files.AddFile("C:\\ツール\\予定ソフト\\Kestrova.exe", 500, kModified, "KESTRO~1.EXE");
  const std::string bytes = Written(ProgramShortcut("C:\\ツール\\予定ソフト\\", "C:\\Startup\\"));

  const std::size_t folder1 = 76 + 2 + 20 + 25;
  EXPECT_EQ(Read16(bytes, folder1), 6u + 6 + 16);
  EXPECT_EQ(bytes.substr(folder1 + 14, 14), Hex("83 63 81 5B 83 8B 00 83 63 81 5B 83 8B 00"));
  const std::size_t folder2 = folder1 + 28;
  EXPECT_EQ(Read16(bytes, folder2), 10u + 8 + 16);
  EXPECT_EQ(bytes.substr(folder2 + 14, 20),
            Hex("97 5C 92 E8 83 5C 83 74 83 67 00 97 5C 92 E8 83 5C 7E 31 00"));
  EXPECT_EQ(Read16(bytes, 76), 20u + 25 + 28 + 34 + 40 + 2);
  const std::size_t linkInfo = 76 + 2 + Read16(bytes, 76);
  const std::string target =
      "C:\\" + Hex("83 63 81 5B 83 8B") + "\\" + Hex("97 5C 92 E8 83 5C 83 74 83 67") + "\\Kestrova.exe";
  EXPECT_EQ(Read32(bytes, linkInfo), 28u + 23 + target.size() + 1 + 1);
  EXPECT_EQ(bytes.substr(linkInfo + 28 + 23, target.size() + 1), target + '\0');
  // Working directory count in bytes too, after the 66-byte description.
  const std::size_t workDir = linkInfo + Read32(bytes, linkInfo) + 2 + 66;
  EXPECT_EQ(Read16(bytes, workDir), target.size() - 12);
}

TEST_F(ShortcutTest, UnreadableVolumeGivesEmptyLabelAndUnknownSerial) {
  files.volumes.clear();
  const std::string bytes = Written(program);
  EXPECT_EQ(bytes.size(), 348u - 6);
  EXPECT_EQ(Read32(bytes, 191), 74u - 6);
  EXPECT_EQ(bytes.substr(191 + 28, 17), Hex("11 00 00 00 03 00 00 00 FF FF FF FF 10 00 00 00 00"));
}

TEST_F(ShortcutTest, OptionalFieldsSetTheirFlagsAndStrings) {
  struct Case {
    std::string arguments, iconLocation, description, workingDirectory;
    std::uint8_t hotKey;
    std::uint32_t flags;
    std::string hotKeyBytes, strings;
  };
  const Case cases[] = {
      {"", "", "", "", 0, 0x03, Hex("00 00"), ""},
      {"-x", "", "", "", 0, 0x23, Hex("00 00"), Hex("02 00") + "-x"},
      {"", "C:\\i.ico", "", "", 0x4B, 0x43, Hex("4B 06"), Hex("08 00") + "C:\\i.ico"},
      {"a", "b", "c", "d", 0x70, 0x77, Hex("70 06"),
       Hex("01 00") + "c" + Hex("01 00") + "d" + Hex("01 00") + "a" + Hex("01 00") + "b"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.flags);
    ShortcutFields f = program;
    f.arguments = c.arguments;
    f.iconLocation = c.iconLocation;
    f.description = c.description;
    f.workingDirectory = c.workingDirectory;
    f.hotKey = c.hotKey;
    f.iconIndex = -2;
    const std::string bytes = Written(f);
    EXPECT_EQ(Read32(bytes, 20), c.flags);
    EXPECT_EQ(Read32(bytes, 56), 0xFFFFFFFEu);
    EXPECT_EQ(bytes.substr(64, 2), c.hotKeyBytes);
    EXPECT_EQ(bytes.substr(191 + 74), c.strings + Hex("00 00 00 00"));
  }
}

TEST_F(ShortcutTest, MissingTargetOrNetworkPathWritesNothing) {
  files.AddFile("\\\\server\\share\\Kestrova.exe", 10, kModified);
  for (const std::string appPath : {"C:\\Elsewhere\\", "\\\\server\\share\\"}) {
    SCOPED_TRACE(appPath);
    EXPECT_FALSE(WriteShortcutFile(files, codePage, ProgramShortcut(appPath, "C:\\Startup\\")));
    EXPECT_EQ(files.writes, 0);
    EXPECT_FALSE(files.Exists("C:\\Startup\\Kestrova.lnk"));
  }
}

TEST_F(ShortcutTest, LinkOutsideAResolvedFolderIsRefused) {
  // A lone backslash is what an unresolved Startup folder becomes.
  for (const std::string folder : {"\\", "", "Startup\\", "C:Startup\\"}) {
    SCOPED_TRACE(folder);
    EXPECT_FALSE(WriteShortcutFile(files, codePage, ProgramShortcut("C:\\Tools\\", folder)));
    EXPECT_EQ(files.writes, 0);
  }
  EXPECT_TRUE(WriteShortcutFile(files, codePage, ProgramShortcut("C:\\Tools\\", "\\\\server\\profile\\")));
  EXPECT_TRUE(files.Exists("\\\\server\\profile\\Kestrova.lnk"));
}

TEST_F(ShortcutTest, WritingOverAnOldShortcutReplacesItWhole) {
  files.entries["C:\\Startup\\Kestrova.lnk"].bytes = std::string(1000, 'x');
  EXPECT_EQ(Written(program).size(), 348u);
}

TEST_F(ShortcutTest, FailedBlockLeavesNoPartialShortcut) {
  for (int failing = 1; failing <= 10; ++failing) {
    for (bool shortWrite : {false, true}) {
      SCOPED_TRACE(::testing::Message() << "block " << failing << (shortWrite ? " short" : " unopened"));
      files.entries.erase("C:\\Startup\\Kestrova.lnk");
      files.writes = 0;
      (shortWrite ? files.shortWriteNumber : files.failWriteNumber) = failing;
      EXPECT_FALSE(WriteShortcutFile(files, codePage, program));
      EXPECT_EQ(files.writes, failing);  // nothing after the failed block
      EXPECT_FALSE(files.Exists("C:\\Startup\\Kestrova.lnk"));
      files.shortWriteNumber = files.failWriteNumber = 0;
    }
  }
}

TEST_F(ShortcutTest, ShortcutThatCannotBeOpenedIsLeftAlone) {
  // A write-protected old shortcut stays as it was; it is not ours to remove.
  files.entries["C:\\Startup\\Kestrova.lnk"].bytes = "old";
  files.failWriteNumber = 1;
  EXPECT_FALSE(WriteShortcutFile(files, codePage, program));
  EXPECT_EQ(files.entries["C:\\Startup\\Kestrova.lnk"].bytes, "old");
}

// Wide text as its UTF-16LE bytes, ASCII only plus the given extra.
std::string Utf16(const std::string& ascii) {
  std::string out;
  for (char c : ascii) out += std::string(1, c) + '\0';
  return out;
}

TEST_F(ShortcutTest, PathOutsideTheCodePageGoesByUnicodeLinkInfo) {
  files.AddFolder("C:\\Tools\\😀x", "12F3~1");
  files.AddFile("C:\\Tools\\😀x\\Kestrova.exe", 77, kModified, "KESTRO~1.EXE");
  const std::string bytes = Written(ProgramShortcut("C:\\Tools\\😀x\\", "C:\\Startup\\"));
  const std::string smiley = Hex("3D D8 00 DE");

  // LinkInfo, unicode strings and the name and working directory; no "?"-named ID list.
  EXPECT_EQ(Read32(bytes, 20), 0x02u | 0x04 | 0x10 | 0x80);
  const std::size_t info = 76;
  EXPECT_EQ(Read32(bytes, info + 4), 0x24u);
  EXPECT_EQ(Read32(bytes, info + 8), 1u);
  EXPECT_EQ(Read32(bytes, info + 12), 0x24u);
  const std::string ansiPath = "C:\\Tools\\12F3~1\\KESTRO~1.EXE";
  EXPECT_EQ(bytes.substr(info + Read32(bytes, info + 16), ansiPath.size() + 1), ansiPath + '\0');
  EXPECT_EQ(bytes.substr(info + Read32(bytes, info + 24), 1), Hex("00"));
  const std::string widePath = Utf16("C:\\Tools\\") + smiley + Utf16("x\\Kestrova.exe");
  EXPECT_EQ(bytes.substr(info + Read32(bytes, info + 28), widePath.size() + 2), widePath + Hex("00 00"));
  EXPECT_EQ(bytes.substr(info + Read32(bytes, info + 32), 2), Hex("00 00"));

  const std::size_t strings = info + Read32(bytes, info);
  EXPECT_EQ(Read16(bytes, strings), 33u);                       // characters, not bytes
  EXPECT_EQ(bytes.substr(strings + 2, 4), Hex("A2 30 AF 30"));  // アク
  const std::size_t workDir = strings + 2 + 66;
  const std::string wideDir = Utf16("C:\\Tools\\") + smiley + Utf16("x\\");
  EXPECT_EQ(Read16(bytes, workDir), wideDir.size() / 2);
  EXPECT_EQ(bytes.substr(workDir + 2), wideDir + Hex("00 00 00 00"));
}

TEST_F(ShortcutTest, TextsOutsideTheCodePageAloneTurnStringsUnicode) {
  ShortcutFields f = program;
  f.arguments = "—";  // a dash the code page lacks
  const std::string bytes = Written(f);
  EXPECT_EQ(Read32(bytes, 20), 0x17u | 0x20 | 0x80);
  EXPECT_EQ(Read16(bytes, 76), 113u);  // the ID list stays
  EXPECT_EQ(bytes.substr(bytes.size() - 8), Hex("01 00 14 20 00 00 00 00"));
}

TEST(Utf16Le, EncodesEveryPlaneAndReplacesBrokenBytes) {
  const std::pair<std::string, std::string> cases[] = {
      {"A", "41 00"},
      {"\xC3\xA9", "E9 00"},
      {"ア", "A2 30"},
      {"😀", "3D D8 00 DE"},
      {"\xEF\xBF\xBF", "FF FF"},
      {"\xFF", "FD FF"},
      {"\xE3\x81", "FD FF FD FF"},
      {"\xED\xA0\x80", "FD FF FD FF FD FF"},
      {"\x61\x80\x62", "61 00 FD FF 62 00"},
  };
  for (const auto& [utf8, hex] : cases) EXPECT_EQ(Utf16Le(utf8), Hex(hex)) << hex;
}

}  // namespace
}  // namespace kestrova

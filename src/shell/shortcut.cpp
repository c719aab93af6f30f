#include "shell/shortcut.h"

#include <cstddef>

#include "core/utf16le.h"

namespace kestrova {
namespace {

constexpr std::uint32_t kHasLinkTargetIdList = 0x01;
constexpr std::uint32_t kHasLinkInfo = 0x02;
constexpr std::uint32_t kHasName = 0x04;
constexpr std::uint32_t kHasWorkingDir = 0x10;
constexpr std::uint32_t kHasArguments = 0x20;
constexpr std::uint32_t kHasIconLocation = 0x40;
constexpr std::uint32_t kIsUnicode = 0x80;

constexpr std::uint32_t kHeaderSize = 0x4C;
constexpr std::uint32_t kLinkInfoHeaderSize = 0x1C;
constexpr std::uint32_t kLinkInfoHeaderSizeUnicode = 0x24;
constexpr std::uint32_t kVolumeIdAndLocalBasePath = 1;
constexpr std::uint32_t kShowNormal = 1;
constexpr std::uint32_t kHotKeyCtrlAlt = 0x06;
constexpr std::uint32_t kUnknownSerial = 0xFFFFFFFF;

constexpr unsigned char kLinkClsid[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                          0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
constexpr unsigned char kMyComputerItem[20] = {0x14, 0x00, 0x1F, 0x50, 0xE0, 0x4F, 0xD0, 0x20, 0xEA, 0x3A,
                                               0x69, 0x10, 0xA2, 0xD8, 0x08, 0x00, 0x2B, 0x30, 0x30, 0x9D};

constexpr char kProgramDescription[] = "アクティブウインドウのタイトルバーに日時を表示するプログラムです。";

void Put16(std::string& out, std::uint32_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>((v >> 8) & 0xFF);
}

void Put32(std::string& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

void Put64(std::string& out, std::uint64_t v) {
  Put32(out, static_cast<std::uint32_t>(v));
  Put32(out, static_cast<std::uint32_t>(v >> 32));
}

bool HoldsInAnsi(CodePage& codePage, const std::string& text) {
  return codePage.FromAnsi(codePage.ToAnsi(text)) == text;
}

// Components between backslashes; a trailing backslash adds none.
std::vector<std::string> SplitPath(const std::string& path) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start < path.size()) {
    std::size_t end = path.find('\\', start);
    if (end == std::string::npos) end = path.size();
    parts.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

bool IsDriveRoot(const std::string& component) {
  return component.size() == 2 && component[1] == ':' &&
         ((component[0] >= 'A' && component[0] <= 'Z') || (component[0] >= 'a' && component[0] <= 'z'));
}

std::string PathItem(int type, const std::string& root, std::uint32_t fileSize, std::uint32_t attributes,
                     const std::string& longName, const std::string& shortName) {
  std::string body(1, static_cast<char>(type));
  body += root + '\0';
  Put32(body, fileSize);
  Put32(body, 0);
  Put16(body, attributes & 0xFFFF);
  body += longName + '\0';
  body += shortName + '\0';
  std::string item;
  Put16(item, static_cast<std::uint32_t>(body.size() + 2));
  return item + body;
}

// "X:\..." or a network path "\\server\...".
bool IsAbsolutePath(const std::string& path) {
  if (path.size() >= 3 && IsDriveRoot(path.substr(0, 2)) && path[2] == '\\') return true;
  return path.size() > 2 && path[0] == '\\' && path[1] == '\\';
}

int DriveItemType(int driveType) {
  if (driveType == kDriveRemovable) return 0x29;
  if (driveType == kDriveCdRom) return 0x25;
  return 0x23;
}

struct Target {
  std::string root;  // "C:\"
  std::vector<std::string> longNames, shortNames;
  int driveType = 0;
  FileFacts facts;
  VolumeFacts volume;
};

// The ID list's path items: the drive, then each folder, then the file.
std::vector<std::string> PathItems(Files& files, CodePage& codePage, const Target& t) {
  std::vector<std::string> items;
  items.push_back(PathItem(DriveItemType(t.driveType), codePage.ToAnsi(t.root), 0, 0, std::string(3, '\0'),
                           std::string(3, '\0')));
  std::string walked = t.root;
  for (std::size_t i = 0; i < t.longNames.size(); ++i) {
    walked += (i > 0 ? "\\" : "") + t.longNames[i];
    const std::optional<FileFacts> facts = files.Facts(walked);
    const std::uint32_t attributes = facts ? facts->attributes : kNoAttributes;
    const bool folder = (attributes & kAttributeDirectory) != 0;
    const std::string& shortName = i < t.shortNames.size() ? t.shortNames[i] : t.longNames[i];
    items.push_back(PathItem(folder ? 0x31 : 0x32, "", folder ? 0 : static_cast<std::uint32_t>(t.facts.size),
                             attributes, codePage.ToAnsi(t.longNames[i]), codePage.ToAnsi(shortName)));
  }
  return items;
}

std::string VolumeId(CodePage& codePage, const Target& t) {
  const std::string label = codePage.ToAnsi(t.volume.label);
  std::string out;
  Put32(out, static_cast<std::uint32_t>(16 + label.size() + 1));
  Put32(out, static_cast<std::uint32_t>(t.driveType));
  Put32(out, t.volume.serial);
  Put32(out, 0x10);
  return out + label + '\0';
}

// LinkInfo as the system code page can hold it: header, then the rest.
std::pair<std::string, std::string> AnsiLinkInfo(const std::string& volumeId, const std::string& basePath) {
  std::string rest = volumeId + basePath + '\0' + '\0';
  std::string header;
  Put32(header, static_cast<std::uint32_t>(kLinkInfoHeaderSize + rest.size()));
  Put32(header, kLinkInfoHeaderSize);
  Put32(header, kVolumeIdAndLocalBasePath);
  Put32(header, kLinkInfoHeaderSize);
  Put32(header, static_cast<std::uint32_t>(kLinkInfoHeaderSize + volumeId.size()));
  Put32(header, 0);
  // The closing zero byte is the empty common path suffix; an offset of 0 would
  // make readers take the size field's own bytes as part of the path.
  Put32(header, static_cast<std::uint32_t>(kLinkInfoHeaderSize + rest.size() - 1));
  return {header, rest};
}

// LinkInfo carrying the path in UTF-16 too, for a path the code page cannot hold;
// the ANSI base path is one that still leads to the file where possible.
std::pair<std::string, std::string> UnicodeLinkInfo(const std::string& volumeId,
                                                    const std::string& ansiBasePath,
                                                    const std::string& target) {
  const std::string wideBasePath = Utf16Le(target);
  const auto localBasePath = static_cast<std::uint32_t>(kLinkInfoHeaderSizeUnicode + volumeId.size());
  const auto suffix = static_cast<std::uint32_t>(localBasePath + ansiBasePath.size() + 1);
  const std::uint32_t localBasePathUnicode = suffix + 1;
  const auto suffixUnicode = static_cast<std::uint32_t>(localBasePathUnicode + wideBasePath.size() + 2);
  std::string rest = volumeId + ansiBasePath + '\0' + '\0' + wideBasePath + std::string(4, '\0');
  std::string header;
  Put32(header, suffixUnicode + 2);
  Put32(header, kLinkInfoHeaderSizeUnicode);
  Put32(header, kVolumeIdAndLocalBasePath);
  Put32(header, kLinkInfoHeaderSizeUnicode);
  Put32(header, localBasePath);
  Put32(header, 0);
  Put32(header, suffix);
  Put32(header, localBasePathUnicode);
  Put32(header, suffixUnicode);
  return {header, rest};
}

// Counted strings in the order the format reads them, then the terminal block.
std::optional<std::string> StringData(CodePage& codePage, const ShortcutFields& f, bool unicode) {
  std::string out;
  for (const std::string* text : {&f.description, &f.workingDirectory, &f.arguments, &f.iconLocation}) {
    if (text->empty()) continue;
    const std::string bytes = unicode ? Utf16Le(*text) : codePage.ToAnsi(*text);
    const std::size_t count = unicode ? bytes.size() / 2 : bytes.size();
    if (count > 0xFFFF) return std::nullopt;
    Put16(out, static_cast<std::uint32_t>(count));
    out += bytes;
  }
  return out + std::string(4, '\0');
}

std::string Header(const ShortcutFields& f, std::uint32_t flags, const FileFacts& facts) {
  std::string out;
  Put32(out, kHeaderSize);
  out.append(reinterpret_cast<const char*>(kLinkClsid), sizeof kLinkClsid);
  Put32(out, flags);
  Put32(out, facts.attributes);
  for (int i = 0; i < 3; ++i) Put64(out, facts.modified);
  Put32(out, static_cast<std::uint32_t>(facts.size));
  Put32(out, static_cast<std::uint32_t>(f.iconIndex));
  Put32(out, kShowNormal);
  Put16(out, f.hotKey == 0 ? 0 : (kHotKeyCtrlAlt << 8) | f.hotKey);
  Put16(out, 0);
  Put32(out, 0);
  Put32(out, 0);
  return out;
}

}  // namespace

ShortcutFields ProgramShortcut(const std::string& appPath, const std::string& startupFolder) {
  ShortcutFields f;
  f.target = appPath + "Kestrova.exe";
  f.linkFile = startupFolder + "Kestrova.lnk";
  f.workingDirectory = appPath;
  f.description = kProgramDescription;
  return f;
}

std::optional<std::vector<std::string>> BuildShortcutBlocks(Files& files, CodePage& codePage,
                                                            const ShortcutFields& f) {
  const std::string shortPath = files.ShortPath(f.target);
  if (shortPath.empty()) return std::nullopt;
  Target t;
  t.longNames = SplitPath(f.target);
  t.shortNames = SplitPath(shortPath);
  // Network paths are not handled: the program only links its own file on a drive.
  if (t.longNames.size() < 2 || !IsDriveRoot(t.longNames.front())) return std::nullopt;
  t.root = t.longNames.front() + "\\";
  t.longNames.erase(t.longNames.begin());
  if (!t.shortNames.empty()) t.shortNames.erase(t.shortNames.begin());
  t.driveType = files.DriveType(t.root);
  t.facts = files.Facts(f.target).value_or(FileFacts{kNoAttributes, 0, 0});
  t.volume = files.Volume(t.root).value_or(VolumeFacts{"", kUnknownSerial});

  const bool pathInAnsi = HoldsInAnsi(codePage, f.target) && HoldsInAnsi(codePage, shortPath);
  bool stringsInAnsi = true;
  for (const std::string* text : {&f.description, &f.workingDirectory, &f.arguments, &f.iconLocation}) {
    stringsInAnsi = stringsInAnsi && HoldsInAnsi(codePage, *text);
  }

  // An ID list of "?" names would lead nowhere, so a path outside the code page
  // goes by its UTF-16 LinkInfo alone.
  std::uint32_t flags =
      kHasLinkInfo | (pathInAnsi ? kHasLinkTargetIdList : 0) | (stringsInAnsi ? 0 : kIsUnicode);
  if (!f.arguments.empty()) flags |= kHasArguments;
  if (!f.workingDirectory.empty()) flags |= kHasWorkingDir;
  if (!f.iconLocation.empty()) flags |= kHasIconLocation;
  if (!f.description.empty()) flags |= kHasName;

  const std::optional<std::string> strings = StringData(codePage, f, !stringsInAnsi);
  if (!strings) return std::nullopt;

  std::vector<std::string> blocks{Header(f, flags, t.facts)};
  const std::string volumeId = VolumeId(codePage, t);
  if (pathInAnsi) {
    const std::vector<std::string> items = PathItems(files, codePage, t);
    std::size_t idListSize = sizeof kMyComputerItem + 2;
    for (const std::string& item : items) idListSize += item.size();
    if (idListSize > 0xFFFF) return std::nullopt;
    std::string size;
    Put16(size, static_cast<std::uint32_t>(idListSize));
    blocks.push_back(size);
    blocks.emplace_back(reinterpret_cast<const char*>(kMyComputerItem), sizeof kMyComputerItem);
    blocks.insert(blocks.end(), items.begin(), items.end());
    blocks.emplace_back(2, '\0');
    auto [header, rest] = AnsiLinkInfo(volumeId, codePage.ToAnsi(f.target));
    blocks.push_back(header);
    blocks.push_back(rest);
  } else {
    const std::string ansiBasePath = codePage.ToAnsi(HoldsInAnsi(codePage, shortPath) ? shortPath : f.target);
    auto [header, rest] = UnicodeLinkInfo(volumeId, ansiBasePath, f.target);
    blocks.push_back(header);
    blocks.push_back(rest);
  }
  blocks.push_back(*strings);
  return blocks;
}

bool WriteShortcutFile(Files& files, CodePage& codePage, const ShortcutFields& fields) {
  // An unresolved Startup folder leaves just "\": that would put the shortcut
  // in the root of the current drive and report success for nothing.
  if (!IsAbsolutePath(fields.linkFile)) return false;
  const std::optional<std::vector<std::string>> blocks = BuildShortcutBlocks(files, codePage, fields);
  if (!blocks) return false;
  std::int64_t offset = Files::kCreate;
  std::int64_t end = 0;
  for (const std::string& block : *blocks) {
    const std::int64_t written = files.WriteFileChunk(fields.linkFile, block, offset);
    // A short write leaves the file as corrupt as a failed one.
    if (written < static_cast<std::int64_t>(block.size())) {
      // Once the file was created it is ours and incomplete; a file that could
      // not even be opened is left as it was.
      if (offset != Files::kCreate || written >= 0) files.Delete(fields.linkFile);
      return false;
    }
    end += static_cast<std::int64_t>(block.size());
    offset = end;
  }
  return true;
}

}  // namespace kestrova

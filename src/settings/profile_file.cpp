#include "settings/profile_file.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <string_view>

#ifdef _WIN32
#include <io.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

#include "core/number_parse.h"
#include "core/text.h"
#include "core/utf16le.h"

namespace kestrova {
namespace {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);
constexpr char kUtf16Mark[] = "\xFF\xFE";

// UTF-8 text has no double-byte characters.
class NoLeadBytes final : public CodePage {
 public:
  std::string ToAnsi(const std::string& utf8) override { return utf8; }
  std::string FromAnsi(const std::string& ansi) override { return ansi; }
  bool IsLeadByte(unsigned char) override { return false; }
};

CodePage& LeadBytesOf(CodePage* codePage) {
  static NoLeadBytes utf8;
  return codePage != nullptr ? *codePage : utf8;
}

bool IsUnicode(std::string_view bytes) { return bytes.substr(0, 2) == kUtf16Mark; }

// The service's blanks: tab to carriage return, space, and ^Z (old DOS files).
bool IsBlank(unsigned char c) { return (c >= 0x09 && c <= 0x0D) || c == 0x1A || c == 0x20; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && IsBlank(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return s;
}

// Strings reach the service as C strings.
std::string_view UpToNul(std::string_view s) { return s.substr(0, s.find('\0')); }

bool SameName(std::string_view a, std::string_view b, CodePage& codePage) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size();) {
    const auto x = static_cast<unsigned char>(a[i]);
    const auto y = static_cast<unsigned char>(b[i]);
    if (codePage.IsLeadByte(x)) {
      // The trail byte is part of a character, not a letter to fold.
      if (x != y || (i + 1 < a.size() && a[i + 1] != b[i + 1])) return false;
      i += 2;
    } else {
      if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
      ++i;
    }
  }
  return true;
}

// The name as the index keeps it: ASCII letters in lower case, trail bytes as they are.
std::string FoldName(std::string_view name, CodePage& codePage) {
  std::string folded(name);
  for (std::size_t i = 0; i < folded.size(); ++i) {
    const auto c = static_cast<unsigned char>(folded[i]);
    if (codePage.IsLeadByte(c)) {
      ++i;
    } else {
      folded[i] = AsciiLower(folded[i]);
    }
  }
  return folded;
}

struct LineInfo {
  enum Kind { kBlank, kHeader, kEntry } kind = kBlank;
  std::string_view name;
  std::string_view value;
  bool hasValue = false;
};

LineInfo Classify(std::string_view line, CodePage& codePage) {
  LineInfo info;
  const std::string_view text = Trim(line);
  if (text.empty()) return info;
  if (text.front() == '[') {
    std::size_t close = kNone;
    for (std::size_t i = 1; i < text.size();) {
      if (codePage.IsLeadByte(static_cast<unsigned char>(text[i]))) {
        i += 2;
        continue;
      }
      if (text[i] == ']') close = i;
      ++i;
    }
    if (close != kNone) {
      info.kind = LineInfo::kHeader;
      info.name = Trim(text.substr(1, close - 1));
      return info;
    }
  }
  info.kind = LineInfo::kEntry;
  const std::size_t eq = text.find('=');  // "=" is never a trail byte
  if (eq == std::string_view::npos) {
    info.name = text;
  } else {
    info.name = Trim(text.substr(0, eq));
    info.value = Trim(text.substr(eq + 1));
    info.hasValue = true;
  }
  return info;
}

// Calls `f(index, line)` for every line, without its CR LF or LF, until f says stop.
template <class F>
void ForEachLine(std::string_view text, F f) {
  std::size_t index = 0;
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t nl = text.find('\n', pos);
    const std::size_t end = nl == std::string_view::npos ? text.size() : nl;
    std::string_view line = text.substr(pos, end - pos);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!f(index++, line)) return;
    pos = end + 1;
  }
}

// Where a key is, in the first section of its name.
struct Location {
  bool haveSection = false;
  std::size_t lastLine =
      kNone;  // last non-blank line of the section; kNone: the part before any header, empty
  bool haveKey = false;
  std::size_t keyLine = kNone;
  std::string_view keyName;
  std::string_view value;
  bool hasValue = false;
};

Location Locate(std::string_view text, std::string_view section, std::string_view key, CodePage& codePage,
                bool stopAtKey) {
  Location loc;
  // Lines before the first header form a section without a name.
  bool inSection = section.empty();
  loc.haveSection = inSection;
  ForEachLine(text, [&](std::size_t index, std::string_view line) {
    // Outside the section only headers matter, and they start with "[".
    if (!inSection) {
      const std::size_t first = line.find_first_not_of(" \t\n\v\f\r\x1a");
      if (first == std::string_view::npos || line[first] != '[') return true;
    }
    const LineInfo info = Classify(line, codePage);
    if (info.kind == LineInfo::kHeader) {
      if (inSection) return false;
      if (SameName(info.name, section, codePage)) {
        inSection = loc.haveSection = true;
        loc.lastLine = index;
      }
    } else if (info.kind == LineInfo::kEntry && inSection) {
      loc.lastLine = index;
      if (!loc.haveKey && SameName(info.name, key, codePage)) {
        loc.haveKey = true;
        loc.keyLine = index;
        loc.keyName = info.name;
        loc.value = info.value;
        loc.hasValue = info.hasValue;
        if (stopAtKey) return false;
      }
    }
    return true;
  });
  return loc;
}

std::string_view Unquote(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

// Cuts an open file after `size` bytes (what is left of a longer old text).
bool CutAt(std::FILE* file, std::size_t size) {
#ifdef _WIN32
  return _chsize_s(_fileno(file), static_cast<long long>(size)) == 0;
#else
  return ftruncate(fileno(file), static_cast<off_t>(size)) == 0;
#endif
}

bool FlushToDisk(std::FILE* file) {
#ifdef _WIN32
  return _commit(_fileno(file)) == 0;
#else
  return fsync(fileno(file)) == 0;
#endif
}

// A rename lives in the folder: POSIX flushes it with the folder's own
// descriptor; the C library on Windows has none, so the renamed file is
// flushed, which writes its entry with it.
bool FlushRename(const std::string& target) {
#ifdef _WIN32
  std::FILE* file = std::fopen(target.c_str(), "r+b");
  if (file == nullptr) return false;
  const bool ok = FlushToDisk(file);
  return std::fclose(file) == 0 && ok;
#else
  const std::size_t slash = target.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash);
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd < 0) return false;
  const bool ok = fsync(fd) == 0;
  return close(fd) == 0 && ok;
#endif
}

enum class LoadResult { kOk, kMissing, kFailed };

LoadResult Load(const std::string& path, std::string& content) {
  content.clear();
  std::FILE* file = std::fopen(std::string(UpToNul(path)).c_str(), "rb");
  if (file == nullptr) return errno == ENOENT ? LoadResult::kMissing : LoadResult::kFailed;
  char buffer[16384];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) content.append(buffer, n);
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  return failed ? LoadResult::kFailed : LoadResult::kOk;
}

// Overwrites in place, then cuts what is left of the old text: on some file
// systems (ext4) a file truncated to nothing is flushed to disk on closing,
// which makes every write take milliseconds.
bool Store(const std::string& path, const std::string& content) {
  const std::string name(UpToNul(path));
  std::FILE* file = std::fopen(name.c_str(), "r+b");
  if (file == nullptr) file = std::fopen(name.c_str(), "wb");
  if (file == nullptr) return false;
  const bool written = std::fwrite(content.data(), 1, content.size(), file) == content.size() &&
                       std::fflush(file) == 0 && CutAt(file, content.size());
  return std::fclose(file) == 0 && written;
}

}  // namespace

// The service's number reading: blanks, a sign, an optional 0b/0o/0x prefix,
// digits, wrapping at 32 bits; only the first 29 characters are looked at.
int ParseProfileInt(std::string_view text) {
  text = text.substr(0, 29);
  std::size_t i = 0;
  while (i < text.size() && static_cast<unsigned char>(text[i]) <= ' ') ++i;
  const bool negative = ReadSign(text, i);
  unsigned base = 10;
  if (i + 1 < text.size() && text[i] == '0') {
    const char p = text[i + 1];
    base = p == 'x' ? 16 : p == 'o' ? 8 : p == 'b' ? 2 : 10;
    if (base != 10) i += 2;
  }
  auto total = static_cast<std::uint32_t>(ReadDigits(text, i, base).value);
  if (negative) total = 0u - total;
  return static_cast<int>(total);
}

void ProfileIndex::Use(std::string_view text) {
  if (indexed_ && text == text_) return;
  CodePage& codePage = LeadBytesOf(leadBytes_);
  text_ = text;
  indexed_ = true;
  sectionBodies_.clear();
  // Lines before the first header are the section without a name.
  std::string current;
  std::size_t bodyBegin = 0;
  auto close = [&](std::size_t end) { sectionBodies_.try_emplace(current, bodyBegin, end); };
  ForEachLine(text_, [&](std::size_t, std::string_view line) {
    const std::size_t first = line.find_first_not_of(" \t\n\v\f\r\x1a");
    if (first == std::string_view::npos || line[first] != '[') return true;
    const LineInfo info = Classify(line, codePage);
    if (info.kind != LineInfo::kHeader) return true;
    const auto lineBegin = static_cast<std::size_t>(line.data() - text_.data());
    close(lineBegin);
    current = FoldName(info.name, codePage);
    const std::size_t lineEnd = text_.find('\n', lineBegin);
    bodyBegin = lineEnd == std::string::npos ? text_.size() : lineEnd + 1;
    return true;
  });
  close(text_.size());
}

std::optional<std::string> ProfileIndex::LookUp(std::string_view section, std::string_view key) const {
  CodePage& codePage = LeadBytesOf(leadBytes_);
  const auto body = sectionBodies_.find(FoldName(Trim(UpToNul(section)), codePage));
  if (body == sectionBodies_.end()) return std::nullopt;
  const std::string_view lines =
      std::string_view(text_).substr(body->second.first, body->second.second - body->second.first);
  const Location loc = Locate(lines, "", Trim(UpToNul(key)), codePage, true);
  if (!loc.haveKey || !loc.hasValue) return std::nullopt;
  return std::string(Unquote(UpToNul(loc.value)));
}

std::string WithProfileValue(std::string_view content, std::string_view section, std::string_view key,
                             std::string_view value, CodePage* leadBytes) {
  CodePage& codePage = LeadBytesOf(leadBytes);
  const std::string_view sectionName = Trim(UpToNul(section));
  const std::string_view keyName = Trim(UpToNul(key));
  const Location loc = Locate(content, sectionName, keyName, codePage, false);

  std::string entry(loc.haveKey ? loc.keyName : keyName);
  entry += '=';
  entry += UpToNul(value);

  std::string out;
  out.reserve(content.size() + entry.size() + sectionName.size() + 8);
  if (loc.haveSection && !loc.haveKey && loc.lastLine == kNone) out += entry + "\r\n";
  ForEachLine(content, [&](std::size_t index, std::string_view line) {
    out += (loc.haveKey && index == loc.keyLine) ? std::string_view(entry) : line;
    out += "\r\n";
    if (loc.haveSection && !loc.haveKey && index == loc.lastLine) out += entry + "\r\n";
    return true;
  });
  if (!loc.haveSection) {
    out += '[';
    out += sectionName;
    out += "]\r\n" + entry + "\r\n";
  }
  return out;
}

std::optional<std::string> ProfileFile::LookUp(const std::string& path, const std::string& section,
                                               const std::string& key) {
  std::string bytes;
  if (Load(path, bytes) != LoadResult::kOk) return std::nullopt;
  const bool unicode = IsUnicode(bytes);
  if (path != indexedPath_ || bytes != indexedBytes_) {
    if (unicode) {
      unicode_.Use(Utf8FromUtf16Le(std::string_view(bytes).substr(2)));
    } else {
      ansi_.Use(bytes);
    }
    indexedPath_ = path;
    indexedBytes_ = std::move(bytes);
  }
  if (unicode) return unicode_.LookUp(section, key);
  std::optional<std::string> value = ansi_.LookUp(codePage_.ToAnsi(section), codePage_.ToAnsi(key));
  if (value) *value = codePage_.FromAnsi(*value);
  return value;
}

std::string ProfileFile::ReadString(const std::string& path, const std::string& section,
                                    const std::string& key, const std::string& def) {
  return LookUp(path, section, key).value_or(def);
}

int ProfileFile::ReadInt(const std::string& path, const std::string& section, const std::string& key,
                         int def) {
  const std::optional<std::string> value = LookUp(path, section, key);
  if (!value || value->empty()) return def;
  return ParseProfileInt(*value);
}

bool ProfileFile::WriteString(const std::string& path, const std::string& section, const std::string& key,
                              const std::string& value) {
  std::string content;
  if (Load(path, content) == LoadResult::kFailed) return false;  // never replace a file we could not read
  if (IsUnicode(content)) {
    const std::string text =
        WithProfileValue(Utf8FromUtf16Le(std::string_view(content).substr(2)), section, key, value, nullptr);
    return Store(path, kUtf16Mark + Utf16Le(text));
  }
  return Store(path, WithProfileValue(content, codePage_.ToAnsi(section), codePage_.ToAnsi(key),
                                      codePage_.ToAnsi(value), &codePage_));
}

std::optional<std::string> ProfileFile::ReadFileBytes(const std::string& path) {
  std::string bytes;
  const LoadResult result = Load(path, bytes);
  if (result == LoadResult::kFailed) return std::nullopt;
  return bytes;
}

bool ProfileFile::WriteFileInPlace(const std::string& path, std::string_view bytes) {
  const std::string name(UpToNul(path));
  std::FILE* file = std::fopen(name.c_str(), "r+b");
  if (file == nullptr) file = std::fopen(name.c_str(), "wb");
  if (file == nullptr) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  ok = std::fflush(file) == 0 && ok;
  ok = CutAt(file, bytes.size()) && ok;
  ok = FlushToDisk(file) && ok;
  return std::fclose(file) == 0 && ok;
}

// Flushed as the interface promises: the new name is on disk once this
// returns, or a crash could bring the old file back beside the side file.
bool ProfileFile::RenameFile(const std::string& from, const std::string& to) {
  const std::string target(UpToNul(to));
#ifdef _WIN32
  std::remove(target.c_str());  // the C library's rename does not replace there
#endif
  if (std::rename(std::string(UpToNul(from)).c_str(), target.c_str()) != 0) return false;
  return FlushRename(target);
}

bool ProfileFile::RemoveFile(const std::string& path) {
  const std::string name(UpToNul(path));
  std::remove(name.c_str());
  std::FILE* still = std::fopen(name.c_str(), "rb");
  if (still == nullptr) return errno == ENOENT;
  std::fclose(still);
  return false;
}

}  // namespace kestrova

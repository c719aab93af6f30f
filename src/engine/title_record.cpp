#include "engine/title_record.h"

#include <algorithm>
#include <charconv>

#include "core/text.h"

namespace kestrova {

namespace {

constexpr std::string_view kHeader = "Kestrova titles 1\n";
// Enough for a clock, an alternating message and a unit that comes and goes.
constexpr size_t kMaxShapes = 8;

// Length of the digit (ASCII or full-width) starting at `i`; 0 when none.
size_t DigitAt(std::string_view s, size_t i) {
  const auto c = static_cast<unsigned char>(s[i]);
  if (c >= '0' && c <= '9') return 1;
  if (c == 0xEF && i + 2 < s.size() && static_cast<unsigned char>(s[i + 1]) == 0xBC) {
    const auto c3 = static_cast<unsigned char>(s[i + 2]);
    if (c3 >= 0x90 && c3 <= 0x99) return 3;  // ０..９
  }
  return 0;
}

// The text with every run of digits folded into one '#'.
std::string Shape(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  bool inNumber = false;
  for (size_t i = 0; i < s.size();) {
    if (const size_t n = DigitAt(s, i)) {
      if (!inNumber) out += '#';
      inNumber = true;
      i += n;
      continue;
    }
    inNumber = false;
    // A '#' of the text itself must not pass for a number.
    if (s[i] == '#' || s[i] == '\\') out += '\\';
    out += s[i++];
  }
  return out;
}

void AppendEscaped(std::string& out, std::string_view s) {
  for (char c : s) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      default:
        out += c;
    }
  }
}

bool Unescape(std::string_view s, std::string& out) {
  out.clear();
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '\\') {
      out += s[i];
      continue;
    }
    if (++i == s.size()) return false;
    switch (s[i]) {
      case '\\':
        out += '\\';
        break;
      case 't':
        out += '\t';
        break;
      case 'n':
        out += '\n';
        break;
      case 'r':
        out += '\r';
        break;
      default:
        return false;
    }
  }
  return true;
}

std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> fields;
  for (size_t start = 0;;) {
    const size_t tab = line.find('\t', start);
    fields.push_back(
        line.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start));
    if (tab == std::string_view::npos) return fields;
    start = tab + 1;
  }
}

// A line we never write (more shapes than we keep, a text that is not UTF-8)
// is foreign or damaged: it gives nothing back, so no title comes from garbage.
bool ParseLine(std::string_view line, DecoratedWindow& window) {
  if (!IsValidUtf8(line)) return false;
  const std::vector<std::string_view> fields = Fields(line);
  if (fields.size() < 3 || fields.size() - 2 > kMaxShapes) return false;
  const std::string_view handle = fields[0];
  const auto [end, error] = std::from_chars(handle.data(), handle.data() + handle.size(), window.Handle);
  if (error != std::errc() || end != handle.data() + handle.size() || window.Handle == 0) return false;
  if (!Unescape(fields[1], window.OwnTitle)) return false;
  window.Written.clear();
  std::string text;
  for (size_t i = 2; i < fields.size(); ++i) {
    if (!Unescape(fields[i], text)) return false;
    window.Written.push_back(text);
  }
  return true;
}

}  // namespace

bool SameShape(std::string_view a, std::string_view b) { return a == b || Shape(a) == Shape(b); }

std::string RecordText(const std::vector<DecoratedWindow>& windows) {
  std::string text(kHeader);
  for (const DecoratedWindow& w : windows) {
    text += std::to_string(w.Handle);
    text += '\t';
    AppendEscaped(text, w.OwnTitle);
    for (const std::string& written : w.Written) {
      text += '\t';
      AppendEscaped(text, written);
    }
    text += '\n';
  }
  return text;
}

std::vector<DecoratedWindow> ParseRecord(std::string_view text) {
  std::vector<DecoratedWindow> windows;
  if (!text.starts_with(kHeader)) return windows;
  text.remove_prefix(kHeader.size());
  // Only whole lines count: a kill in the middle of a write leaves a torn last one.
  for (size_t newline; (newline = text.find('\n')) != std::string_view::npos;
       text.remove_prefix(newline + 1)) {
    DecoratedWindow window;
    if (ParseLine(text.substr(0, newline), window)) windows.push_back(std::move(window));
  }
  return windows;
}

std::vector<DecoratedWindow> TitleRecord::Load() {
  const std::optional<std::string> text = files_.ReadAll(path_);
  return text ? ParseRecord(*text) : std::vector<DecoratedWindow>{};
}

void TitleRecord::Update(const LastTarget& last, const std::vector<LastTarget>& pending,
                         const std::vector<LastTarget>& unconfirmed) {
  // The usual tick: the same window, and a text of a shape already held.
  if (pending.empty() && unconfirmed.empty() &&
      (last.Handle == 0 ? held_.empty() : held_.size() == 1 && Holds(last))) {
    return;
  }
  std::vector<DecoratedWindow> next;
  const auto add = [this, &next](const LastTarget& r) {
    if (r.Handle == 0) return;
    const auto same = [&r](const DecoratedWindow& w) {
      return w.Handle == r.Handle && w.OwnTitle == r.OwnTitle;
    };
    auto entry = std::find_if(next.begin(), next.end(), same);
    if (entry == next.end()) {
      const auto held = std::find_if(held_.begin(), held_.end(), same);
      next.push_back(held != held_.end() ? *held : DecoratedWindow{r.Handle, r.OwnTitle, {}});
      entry = std::prev(next.end());
    }
    std::vector<std::string>& written = entry->Written;
    if (std::any_of(written.begin(), written.end(),
                    [&r](const std::string& w) { return SameShape(w, r.WrittenTitle); })) {
      return;
    }
    if (written.size() >= kMaxShapes) written.erase(written.begin());
    written.push_back(r.WrittenTitle);
  };
  add(last);
  for (const LastTarget& r : pending) add(r);
  for (const LastTarget& r : unconfirmed) add(r);
  if (next == held_) return;
  held_ = std::move(next);
  Save();
}

bool TitleRecord::Holds(const LastTarget& r) const {
  return std::any_of(held_.begin(), held_.end(), [&r](const DecoratedWindow& w) {
    return w.Handle == r.Handle && w.OwnTitle == r.OwnTitle &&
           std::any_of(w.Written.begin(), w.Written.end(),
                       [&r](const std::string& written) { return SameShape(written, r.WrittenTitle); });
  });
}

void TitleRecord::Clear() {
  held_.clear();
  files_.Delete(path_);
  if (onChange) onChange(held_);
}

void TitleRecord::Save() {
  if (onChange) onChange(held_);
  if (held_.empty()) {
    files_.Delete(path_);
    return;
  }
  files_.WriteFileChunk(path_, RecordText(held_), Files::kCreate);
}

std::vector<LastTarget> RestoreRecordedTitles(WindowSystem& windows,
                                              const std::vector<DecoratedWindow>& recorded) {
  std::vector<LastTarget> notTaken;
  for (const DecoratedWindow& w : recorded) {
    // A handle that is gone may since belong to an unrelated window.
    if (!windows.Exists(w.Handle)) continue;
    const std::string current = windows.ReadTitle(w.Handle);
    if (current == w.OwnTitle) continue;
    // A window that set a title of its own meanwhile keeps it.
    if (std::none_of(w.Written.begin(), w.Written.end(),
                     [&current](const std::string& written) { return SameShape(current, written); })) {
      continue;
    }
    if (!windows.WriteTitle(w.Handle, w.OwnTitle)) notTaken.push_back({w.Handle, w.OwnTitle, current});
  }
  return notTaken;
}

}  // namespace kestrova

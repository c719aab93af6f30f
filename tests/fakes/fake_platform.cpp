#include "fakes/fake_platform.h"

#include <algorithm>

#include "settings/codepage_iconv.h"

namespace kestrova::testing {

namespace {
// Upper-cases ASCII a-z and full-width ａ-ｚ (U+FF41..U+FF5A, EF BD 81..9A in UTF-8).
std::string UpperLatin(std::string_view text) {
  std::string out(text);
  for (size_t i = 0; i < out.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(out[i]);
    if (c >= 'a' && c <= 'z') {
      out[i] = static_cast<char>(c - 'a' + 'A');
    } else if (c == 0xEF && i + 2 < out.size() && static_cast<unsigned char>(out[i + 1]) == 0xBD) {
      unsigned char c3 = static_cast<unsigned char>(out[i + 2]);
      if (c3 >= 0x81 && c3 <= 0x9A) {  // ａ..ｚ -> Ａ..Ｚ (EF BC A1..BA)
        out[i + 1] = static_cast<char>(0xBC);
        out[i + 2] = static_cast<char>(c3 - 0x81 + 0xA1);
      }
      i += 2;
    }
  }
  return out;
}
}  // namespace

namespace {

std::u32string Decode(std::string_view utf8) {
  std::u32string out;
  for (size_t i = 0; i < utf8.size();) {
    const unsigned char c = static_cast<unsigned char>(utf8[i]);
    const int n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    char32_t cp = n == 1 ? c : c & (0x7F >> n);
    for (int k = 1; k < n && i + static_cast<size_t>(k) < utf8.size(); ++k) {
      cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + static_cast<size_t>(k)]) & 0x3F);
    }
    out.push_back(cp);
    i += static_cast<size_t>(n);
  }
  return out;
}

// Half-width katakana U+FF66..U+FF9D as full width.
constexpr char32_t kHalfKana[] =
    U"ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤユヨラリ"
    U"ルレロワン";

// What the system comparison ignores, folded away: case, width, kana type.
std::u32string Folded(std::string_view utf8) {
  std::u32string out;
  for (char32_t c : Decode(utf8)) {
    if (c >= 0xFF01 && c <= 0xFF5E) c -= 0xFEE0;  // full-width ASCII
    if (c >= 'a' && c <= 'z') c -= 'a' - 'A';
    if (c >= 0x3041 && c <= 0x3096) c += 0x60;  // hiragana
    if (c >= 0xFF66 && c <= 0xFF9D) c = kHalfKana[c - 0xFF66];
    if ((c == 0xFF9E || c == 0xFF9F) && !out.empty()) {  // voiced marks join the kana before
      out.back() += c == 0xFF9E ? 1 : 2;
      continue;
    }
    out.push_back(c);
  }
  return out;
}

}  // namespace

std::string FakeLocale::ToUpper(std::string_view text) { return UpperLatin(text); }

bool FakeLocale::ContainsNoCase(std::string_view text, std::string_view part) {
  return Folded(text).find(Folded(part)) != std::u32string::npos;
}

std::string FakeLocale::AnsiRendering(std::string_view text) {
  static Cp932CodePage cp932;
  return cp932.FromAnsi(cp932.ToAnsi(std::string(text)));
}

WindowHandle FakeWindowSystem::FindChild(WindowHandle parent, std::string_view className) {
  FakeLocale upper;
  for (auto& [h, w] : windows) {
    if (w.exists && w.parent == parent && upper.ToUpper(w.className) == upper.ToUpper(className)) return h;
  }
  return 0;
}

WindowHandle FakeWindowSystem::ActiveMdiChild(WindowHandle mdiClient) {
  auto it = windows.find(mdiClient);
  if (it == windows.end() || !it->second.exists || it->second.hung) return 0;
  return it->second.mdiActive;
}

std::string FakeWindowSystem::ReadTitle(WindowHandle window) {
  auto it = windows.find(window);
  if (it == windows.end() || !it->second.exists) return "";
  return it->second.title;
}

bool FakeWindowSystem::WriteTitle(WindowHandle window, std::string_view title) {
  auto it = windows.find(window);
  if (it == windows.end() || !it->second.exists || it->second.hung) return false;
  if (it->second.late) {
    queued.emplace_back(window, std::string(title));
    return false;
  }
  it->second.title = std::string(title);
  writes.emplace_back(window, std::string(title));
  return true;
}

std::string FakeWindowSystem::ReadClassName(WindowHandle window) {
  auto it = windows.find(window);
  if (it == windows.end() || !it->second.exists) return "";
  return it->second.className;
}

void FakeWindowSystem::Land() {
  for (auto& [window, title] : queued) {
    auto it = windows.find(window);
    if (it == windows.end() || !it->second.exists) continue;
    it->second.title = title;
    writes.emplace_back(window, title);
  }
  queued.clear();
}

bool FakeWindowSystem::Exists(WindowHandle window) {
  auto it = windows.find(window);
  return it != windows.end() && it->second.exists;
}

std::string FakeSysInfoSources::MemoryText(int item, bool zeroPad) {
  if (item < 1 || item > 7) return "";
  if (item == 7) return zeroPad ? "042%" : "42%";
  return "mem" + std::to_string(item);
}

std::string FakeSysInfoSources::CpuUsageText(bool& cpuSampled, bool zeroPad) {
  if (!cpuSampled) {
    ++cpuSamples;
    cpuSampled = true;
  }
  std::string v = std::to_string(cpuSamples);
  return (zeroPad ? std::string(v.size() < 3 ? 3 - v.size() : 0, '0') + v : v) + "%";
}

std::string FakeSysInfoSources::NetworkText(int item) {
  if (item < 0 || item > 5) return "";
  return "net" + std::to_string(item);
}

std::string FakeSysInfoSources::DiskText(char drive, int item) {
  if (item < 0 || item > 3) return "";
  return std::string("disk") + drive + std::to_string(item);
}

}  // namespace kestrova::testing

// The % codes of the system-information text.
#include "core/text.h"
#include "format/format.h"
#include "sysinfo/sources.h"

namespace kestrova {

namespace {

// Appends the piece of the code at text[at] (just after its "%") and returns
// how many characters the "%" and the code take. Codes that name nothing ("%0"
// not followed by 7 or 8, "%I".."%L" without a drive letter A-Z after them)
// give an empty piece and take two, so whatever followed stays in the text.
size_t AppendCode(std::string& out, std::string_view text, size_t at, bool& cpuSampled,
                  SysInfoSources& sources) {
  const char code = AsciiUpper(text[at]);
  const char next = at + 1 < text.size() ? AsciiUpper(text[at + 1]) : '\0';
  switch (code) {
    case '0':
      if (next == '7') {
        out += sources.MemoryText(7, true);
        return 3;
      }
      if (next == '8') {
        out += sources.CpuUsageText(cpuSampled, true);
        return 3;
      }
      return 2;
    case '1':
    case '2':
    case '3':
    case '4':
    case '5':
    case '6':
    case '7':
      out += sources.MemoryText(code - '0', false);
      return 2;
    case '8':
      out += sources.CpuUsageText(cpuSampled, false);
      return 2;
    case '9':
      out += sources.BatteryText();
      return 2;
    case 'A':
      out += sources.UptimeText();
      return 2;
    case 'B':
      out += sources.CursorText();
      return 2;
    case 'C':
    case 'D':
    case 'E':
    case 'F':
    case 'G':
    case 'H':
      out += sources.NetworkText(code - 'C');
      return 2;
    case 'I':
    case 'J':
    case 'K':
    case 'L':
      if (next < 'A' || next > 'Z') return 2;
      out += sources.DiskText(next, code - 'I');
      return 3;
    default: {  // "%%" and "%" before anything else give that character
      const size_t length = Utf8CharLength(text, at);
      out.append(text.substr(at, length));
      return 1 + length;
    }
  }
}

}  // namespace

std::string ExpandFormat(std::string_view text, bool& cpuSampled, SysInfoSources& sources) {
  std::string out;
  out.reserve(text.size() + 32);
  size_t pos = 0;
  for (;;) {
    const size_t percent = text.find('%', pos);
    if (percent == std::string_view::npos) {
      out.append(text.substr(pos));
      return out;
    }
    out.append(text.substr(pos, percent - pos));
    if (percent + 1 >= text.size()) return out;  // a lone "%" at the end vanishes
    pos = percent + AppendCode(out, text, percent + 1, cpuSampled, sources);
  }
}

}  // namespace kestrova

// The % codes of the system-information text.
#include "core/text.h"
#include "format/format.h"
#include "sysinfo/sources.h"

namespace kestrova {

// Codes that name nothing ("%0" not followed by 7 or 8, "%I".."%L" without a
// drive letter A-Z after them) give an empty piece and consume two
// characters, so whatever followed stays in the text.
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
    const size_t at = percent + 1;
    if (at >= text.size()) return out;  // a lone "%" at the end vanishes
    const char code = AsciiUpper(text[at]);
    const char next = at + 1 < text.size() ? AsciiUpper(text[at + 1]) : '\0';
    size_t consumed = 2;
    switch (code) {
      case '0':
        if (next == '7') {
          out += sources.MemoryText(7, true);
          consumed = 3;
        } else if (next == '8') {
          out += sources.CpuUsageText(cpuSampled, true);
          consumed = 3;
        }
        break;
      case '1':
      case '2':
      case '3':
      case '4':
      case '5':
      case '6':
      case '7':
        out += sources.MemoryText(code - '0', false);
        break;
      case '8':
        out += sources.CpuUsageText(cpuSampled, false);
        break;
      case '9':
        out += sources.BatteryText();
        break;
      case 'A':
        out += sources.UptimeText();
        break;
      case 'B':
        out += sources.CursorText();
        break;
      case 'C':
      case 'D':
      case 'E':
      case 'F':
      case 'G':
      case 'H':
        out += sources.NetworkText(code - 'C');
        break;
      case 'I':
      case 'J':
      case 'K':
      case 'L':
        if (next >= 'A' && next <= 'Z') {
          out += sources.DiskText(next, code - 'I');
          consumed = 3;
        }
        break;
      default:  // "%%" and "%" before anything else give that character
        consumed = 1 + Utf8CharLength(text, at);
        out.append(text.substr(at, consumed - 1));
        break;
    }
    pos = percent + consumed;
  }
}

}  // namespace kestrova

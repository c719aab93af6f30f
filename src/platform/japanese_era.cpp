#include "platform/japanese_era.h"

#include "core/number_parse.h"

namespace kestrova {
namespace {

// A date part of at most five digits; -1 when there is none.
int ReadPart(std::string_view text, std::size_t& pos) {
  const DigitRun run = ReadDigits(text, pos);
  return run.digits == 0 || run.digits > 5 ? -1 : static_cast<int>(run.value);
}

void SkipBlanks(std::string_view text, std::size_t& pos) {
  while (pos < text.size() && text[pos] == ' ') ++pos;
}

}  // namespace

bool ParseJapaneseEra(std::string_view name, std::string_view value, JapaneseEra& era) {
  std::size_t pos = 0;
  const int y = ReadPart(name, pos);
  SkipBlanks(name, pos);
  const int m = ReadPart(name, pos);
  SkipBlanks(name, pos);
  const int d = ReadPart(name, pos);
  if (y < 1 || m < 1 || m > 12 || d < 1 || d > 31 || pos != name.size()) return false;
  std::string_view fields[4];
  std::size_t count = 0;
  for (std::size_t start = 0; count < 4;) {
    const std::size_t end = value.find('_', start);
    fields[count++] =
        value.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  if (count < 4 || fields[0].empty()) return false;
  era = JapaneseEra{y, m, d, std::string(fields[0]), std::string(fields[1]), std::string(fields[3])};
  return true;
}

}  // namespace kestrova

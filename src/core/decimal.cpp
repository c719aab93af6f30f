#include "core/decimal.h"

namespace kestrova {

std::string FormatSeconds(std::int64_t seconds) {
  std::string out;
  AppendDecimal(out, seconds / 3600, 2);
  out += ':';
  AppendDecimal(out, (seconds % 3600) / 60, 2);
  out += ':';
  AppendDecimal(out, seconds % 60, 2);
  return out;
}

}  // namespace kestrova

#include "settings/key_table.h"

#include "core/decimal.h"
#include "core/number_parse.h"

namespace kestrova {

std::string EncodeNumber(std::int64_t value, Encoding encoding) {
  return encoding == Encoding::kSigned ? SignColumn(value) : DecimalText(value);
}

std::string EncodeText(const std::string& text, Encoding encoding) {
  return encoding == Encoding::kQuoted ? "\"" + text + "\"" : text;
}

std::int32_t ParseNumberOr(const std::string& text, std::int32_t def) {
  std::int32_t value = def;
  ParseInt32(text, value);
  return value;
}

}  // namespace kestrova

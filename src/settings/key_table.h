#pragma once
// What every stored record's key table is made of: a row per key with its
// name, encoding and default, and the reading and writing of one row.
#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

#include "core/text.h"
#include "settings/ini_file.h"

namespace kestrova {

// How a value is written in Kestrova.ini.
enum class Encoding : unsigned char {
  kSigned,  // N: decimal with a sign column, " 1" / "-1"
  kPlain,   // D: plain decimal, "1" / "-1"
  kQuoted,  // Q: text in double quotes, so its outer blanks survive
  kRaw,     // T: text as is
  kChoice,  // a word added by hand, compared in upper case; never written
};

// A word of a kChoice key and the number it stands for.
struct TextChoice {
  std::string_view word;  // upper case
  std::int32_t value;
};

// One key of a record. `number` is a number key's default and, for a
// choice, the value of a word that is none of the choices; `text` is a text
// key's default and a choice's default word.
template <class Id>
struct KeyRow {
  Id id;
  const char* section;  // nullptr for records kept in numbered sections
  const char* key;
  Encoding encoding;
  std::int32_t number = 0;
  const char* text = "";
  std::span<const TextChoice> choices = {};
  bool savedWithRecord = true;  // false: written by its owner alone, or never
};

template <class Id, std::size_t N>
constexpr bool InIdOrder(const KeyRow<Id> (&rows)[N]) {
  for (std::size_t i = 0; i < N; ++i) {
    if (static_cast<std::size_t>(rows[i].id) != i) return false;
  }
  return true;
}

constexpr bool SameWordUpper(std::string_view word, std::string_view text) {
  if (word.size() != text.size()) return false;
  for (std::size_t i = 0; i < word.size(); ++i) {
    if (AsciiUpper(text[i]) != word[i]) return false;
  }
  return true;
}

// The number a word stands for; `unknown` for a word that is none of the choices.
constexpr std::int32_t DecodeChoice(std::span<const TextChoice> choices, std::string_view word,
                                    std::int32_t unknown) {
  for (const TextChoice& choice : choices) {
    if (SameWordUpper(choice.word, word)) return choice.value;
  }
  return unknown;
}

// The number a missing key gives (a choice's default word decoded).
template <class Id>
constexpr std::int32_t DefaultNumber(const KeyRow<Id>& row) {
  return row.encoding == Encoding::kChoice ? DecodeChoice(row.choices, row.text, row.number) : row.number;
}

// A number for a field of type T: a flag is set by exactly 1, a narrow field
// keeps `fallback` for a number it cannot hold.
template <class T>
constexpr T NarrowNumber(std::int64_t value, std::int32_t fallback) {
  if constexpr (std::is_same_v<T, bool>) {
    return value == 1;
  } else {
    if (value < std::numeric_limits<T>::min() || value > std::numeric_limits<T>::max()) {
      return static_cast<T>(fallback);
    }
    return static_cast<T>(value);
  }
}

template <class T, class Id>
constexpr T DefaultOf(const KeyRow<Id>& row) {
  if constexpr (std::is_same_v<T, std::string>) {
    return row.text;
  } else {
    return NarrowNumber<T>(DefaultNumber(row), row.number);
  }
}

std::string EncodeNumber(std::int64_t value, Encoding encoding);
std::string EncodeText(const std::string& text, Encoding encoding);

// How a record's number keys are read: by the service's own integer reading
// (a leading number, the rest ignored) or as text that must be a whole
// number, anything else giving the default.
enum class NumberReading : unsigned char { kProfileInt, kWholeText };

// The member of `Record` a key is kept in; std::monostate for a key no member holds.
template <class Record>
using FieldRef = std::variant<std::monostate, std::int32_t Record::*, std::int16_t Record::*,
                              std::uint8_t Record::*, bool Record::*, std::string Record::*>;

// A whole number as text, or `def`.
std::int32_t ParseNumberOr(const std::string& text, std::int32_t def);

template <class Id>
std::int64_t ReadNumberKey(IniFile& ini, const std::string& section, const KeyRow<Id>& row,
                           NumberReading reading) {
  if (row.encoding == Encoding::kChoice) {
    return DecodeChoice(row.choices, ini.IniReadString(section, row.key, row.text), row.number);
  }
  if (reading == NumberReading::kProfileInt) return ini.IniReadInt(section, row.key, row.number);
  return ParseNumberOr(ini.IniReadString(section, row.key, EncodeNumber(row.number, Encoding::kPlain)),
                       row.number);
}

template <class Record, class Id>
void ReadKey(IniFile& ini, const std::string& section, const KeyRow<Id>& row, const FieldRef<Record>& field,
             Record& record, NumberReading reading) {
  std::visit(
      [&](auto member) {
        if constexpr (!std::is_same_v<decltype(member), std::monostate>) {
          using T = std::remove_reference_t<decltype(record.*member)>;
          if constexpr (std::is_same_v<T, std::string>) {
            record.*member = ini.IniReadString(section, row.key, row.text);
          } else {
            record.*member = NarrowNumber<T>(ReadNumberKey(ini, section, row, reading), row.number);
          }
        }
      },
      field);
}

// The key's text as the file keeps it.
template <class Record, class Id>
std::string EncodeKey(const KeyRow<Id>& row, const FieldRef<Record>& field, const Record& record) {
  return std::visit(
      [&](auto member) -> std::string {
        if constexpr (std::is_same_v<decltype(member), std::monostate>) {
          return {};
        } else if constexpr (std::is_same_v<std::remove_cvref_t<decltype(record.*member)>, std::string>) {
          return EncodeText(record.*member, row.encoding);
        } else {
          return EncodeNumber(static_cast<std::int64_t>(record.*member), row.encoding);
        }
      },
      field);
}

template <class Record, class Id>
bool WriteKey(IniFile& ini, const std::string& section, const KeyRow<Id>& row, const FieldRef<Record>& field,
              const Record& record) {
  return ini.IniWriteString(section, row.key, EncodeKey(row, field, record));
}

// Every key of a record kept in a section of its own, all of them or none.
template <class Record, class Rows, class FieldOf>
bool WriteRecordKeys(IniFile& ini, const std::string& section, const Rows& rows, FieldOf fieldOf,
                     const Record& record) {
  std::vector<IniValue> values;
  for (const auto& row : rows) values.push_back({row.key, EncodeKey(row, fieldOf(row.id), record)});
  return ini.WriteRecord(section, values);
}

}  // namespace kestrova

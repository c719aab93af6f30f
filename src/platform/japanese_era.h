#pragma once
// The eras of the Japanese calendar.
#include <string>
#include <string_view>
#include <vector>

namespace kestrova {

// One era: first day, full name, first kanji and initial letter
// (令和: 2019-05-01, "令和", "令", "R").
struct JapaneseEra {
  int year = 0;
  int month = 1;
  int day = 1;
  std::string name;
  std::string kanji;
  std::string letter;
};

// The eras a Japanese Windows knows, oldest first.
inline std::vector<JapaneseEra> DefaultJapaneseEras() {
  return {{1868, 9, 8, "明治", "明", "M"},
          {1912, 7, 30, "大正", "大", "T"},
          {1926, 12, 25, "昭和", "昭", "S"},
          {1989, 1, 8, "平成", "平", "H"},
          {2019, 5, 1, "令和", "令", "R"}};
}

// One entry of the host's Japanese era list: name "2019 05 01", value
// "令和_令_Reiwa_R". False (era untouched) when either is malformed.
bool ParseJapaneseEra(std::string_view name, std::string_view value, JapaneseEra& era);

}  // namespace kestrova

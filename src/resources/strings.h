#pragma once
// The program's numbered string table (UTF-8), the same table the resource
// script carries.
#include <string>
#include <string_view>

namespace kestrova {

// "" for a number that is not in the table.
std::string_view ResString(int id);

// Strings 500-506, the weekday names "日" .. "土", Sunday (0) first; "" for
// a day outside 0..6. The full name adds "曜日": "日曜日".
std::string_view WeekdayName(int dayOfWeek);
std::string WeekdayFullName(int dayOfWeek);

}  // namespace kestrova

#pragma once
// The program's numbered string table (UTF-8), the same table the resource
// script carries.
#include <string_view>

namespace kestrova {

// "" for a number that is not in the table.
std::string_view ResString(int id);

}  // namespace kestrova

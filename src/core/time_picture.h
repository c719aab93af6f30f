#pragma once
// A time of day in a picture of the host's time-format syntax: H/HH (0-23),
// h/hh (1-12), m/mm, s/ss, t (first character of the morning/afternoon
// string) and tt (all of it), 'quoted' text and '' for a quote.
#include <string>
#include <string_view>

namespace kestrova {

std::string FormatTimePicture(std::string_view picture, int hour, int minute, int second, std::string_view am,
                              std::string_view pm);

}  // namespace kestrova

#pragma once
// Pattern and code expansion for every piece of a title: clock, world clock,
// countdown and system information.
#include <cstdint>
#include <string>
#include <string_view>

#include "core/datetime.h"
#include "core/decimal.h"
#include "platform/clock.h"

namespace kestrova {

class SysInfoSources;
struct Settings;

// Puts a backslash before each of \ ! " # $ % & ' = ~ ^ @ { [ <
std::string EscapeFormatText(std::string_view pattern);

// Expands a date/time pattern (Sunday first, week of 1 January first).
// Pattern letters match in either case ("YYYY" is the year). "t t t t t"
// (the time format dialog's spelling) is the time like "ttttt". "AMPM"
// switches the hours to 1-12 as "AM/PM" does. Before the first era the era
// names are empty and "e"/"ee" give the plain year. The regional pictures'
// "y" is padded to two digits like "yy", as the host does.
std::string DateFormatter(const DateTime& value, std::string_view pattern, const RegionalSettings& regional);

// Number of rows of the world-clock zone table.
inline constexpr int kWorldZoneCount = 31;
// Offset in hours of zone row n (its table text read as a decimal; 0 when not a number or out of range).
double WorldZoneOffsetHours(int zone);
// Zone row n as offset minutes (the item data of the zone list), as city
// caption, and as the zone list's row text "(GMT+05:30):ニューデリー(DEL)"
// ("(GMT " for offset 0); 0 / "" for a row outside the table.
int ZoneMinutes(int zone);
std::string ZoneCaption(int zone);
std::string ZoneListText(int zone, const RegionalSettings& regional);
// Current UTC time moved by the zone offset plus one hour when dst is 1.
DateTime GetWorldTime(const DateTime& utcNow, double offsetHours, int dst);

// The target built from the six countdown list positions (0 = current value).
DateTime CountdownTarget(const DateTime& now, int year, int month, int day, int hour, int minute, int second);
std::string FormatCountdown(const DateTime& now, const DateTime& target);

// Expands the % codes of a system-information text.
std::string ExpandFormat(std::string_view text, bool& cpuSampled, SysInfoSources& sources);

// The clock, world-clock and countdown texts of the current settings.
std::string ClockText(const Settings& settings, Clock& clock, const RegionalSettings& regional);
std::string WorldClockText(const Settings& settings, Clock& clock, const RegionalSettings& regional);
std::string CountdownText(const Settings& settings, Clock& clock);

}  // namespace kestrova

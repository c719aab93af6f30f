#pragma once
// Clock and the host's regional settings.
#include <string>
#include <string_view>
#include <vector>

#include "core/datetime.h"

namespace kestrova {

class Clock {
 public:
  virtual ~Clock() = default;
  virtual DateTime LocalNow() = 0;
  virtual DateTime UtcNow() = 0;
};

// Regional settings used by the date formatter. Picture strings use the
// host's own syntax (d, M, y, g, H, h, m, s, t and 'quoted' text).
struct RegionalSettings {
  std::string timeSeparator = ":";
  std::string dateSeparator = "/";
  std::string shortDate = "yyyy/MM/dd";
  std::string longDate = "yyyy'年'M'月'd'日'";
  std::string timeFormat = "H:mm:ss";
  std::string am = "午前";
  std::string pm = "午後";
};

class Locale {
 public:
  virtual ~Locale() = default;
  virtual RegionalSettings Regional() = 0;
  // Upper case by the system locale's rules (full-width Latin included).
  virtual std::string ToUpper(std::string_view text) = 0;
  // Whether `text` contains `part`, ignoring case by the system locale's rules.
  virtual bool ContainsNoCase(std::string_view text, std::string_view part) = 0;
};

}  // namespace kestrova

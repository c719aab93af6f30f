#include <string>

#include "ui/settings_window.h"

namespace kestrova {

std::string IntervalText(int position) {
  const int ms = position * 2;
  const std::string seconds = "00" + std::to_string(ms / 1000);
  const std::string millis = "00" + std::to_string(ms % 1000);
  return seconds.substr(seconds.size() - 2) + "秒" + millis.substr(millis.size() - 3);
}

std::string AlternationText(int count, int position) {
  // n ticks of 2 ms * position: whole milliseconds, so three decimals at most.
  const long long ms = 2LL * count * position;
  std::string seconds = std::to_string(ms / 1000);
  if (const long long rest = ms % 1000; rest != 0) {
    std::string digits = std::to_string(rest);
    digits.insert(0, 3 - digits.size(), '0');
    while (digits.back() == '0') digits.pop_back();
    seconds += "." + digits;
  }
  return std::to_string(count) + "カウント（" + seconds + "秒）";
}

}  // namespace kestrova

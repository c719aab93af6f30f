#pragma once
// Small text helpers shared by the format expansion files.
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace kestrova {

// Decimal with at least `minDigits` digits, a minus sign in front of them.
// `Out` is std::string or TextSink.
template <class Out>
void AppendNumber(Out& out, std::int64_t value, int minDigits) {
  if (value >= 0 && value < 100 && minDigits <= 2) {  // nearly every clock field
    if (value >= 10 || minDigits == 2) out += static_cast<char>('0' + value / 10);
    out += static_cast<char>('0' + value % 10);
    return;
  }
  if (value >= 1000 && value < 10000 && minDigits <= 4) {  // years
    const char digits[4] = {static_cast<char>('0' + value / 1000), static_cast<char>('0' + value / 100 % 10),
                            static_cast<char>('0' + value / 10 % 10), static_cast<char>('0' + value % 10)};
    out += std::string_view(digits, 4);
    return;
  }
  char buf[24];
  int n = 0;
  std::uint64_t u = value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  do {
    buf[n++] = static_cast<char>('0' + u % 10);
    u /= 10;
  } while (u != 0);
  while (n < minDigits && n < 20) buf[n++] = '0';
  if (value < 0) buf[n++] = '-';
  char text[24];
  for (int k = 0; k < n; ++k) text[k] = buf[n - 1 - k];
  out += std::string_view(text, static_cast<size_t>(n));
}

// Collects a result on the stack and makes one string of it at the end: the
// clock text is built on every tick.
class TextSink {
 public:
  TextSink& operator+=(char c) {
    if (used_ == sizeof(buf_)) Flush();
    buf_[used_++] = c;
    return *this;
  }
  TextSink& operator+=(std::string_view s) {
    if (s.size() > sizeof(buf_) - used_) {
      Flush();
      if (s.size() > sizeof(buf_)) {
        spill_.append(s);
        return *this;
      }
    }
    if (s.size() <= 8) {  // separators, names: cheaper than a call
      for (char c : s) buf_[used_++] = c;
    } else {
      std::memcpy(buf_ + used_, s.data(), s.size());
      used_ += s.size();
    }
    return *this;
  }
  std::string Take() {
    if (spill_.empty()) return std::string(buf_, used_);
    Flush();
    return std::move(spill_);
  }

 private:
  void Flush() {
    spill_.append(buf_, used_);
    used_ = 0;
  }
  char buf_[240];
  size_t used_ = 0;
  std::string spill_;
};

}  // namespace kestrova

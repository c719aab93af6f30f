#pragma once
// The date formatter's output buffer.
#include <cstring>
#include <string>
#include <string_view>

namespace kestrova {

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

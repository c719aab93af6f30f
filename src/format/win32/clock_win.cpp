#include "format/win32/clock_win.h"

#include <windows.h>

namespace kestrova {

namespace {
DateTime FromSystemTime(const SYSTEMTIME& st) {
  return DateTime{st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond};
}
}  // namespace

std::int64_t LocalClockMilliseconds() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  return ToSeconds(FromSystemTime(st)) * 1000 + st.wMilliseconds;
}

DateTime Win32Clock::LocalNow() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  return FromSystemTime(st);
}

DateTime Win32Clock::UtcNow() {
  SYSTEMTIME st;
  GetSystemTime(&st);
  return FromSystemTime(st);
}

}  // namespace kestrova

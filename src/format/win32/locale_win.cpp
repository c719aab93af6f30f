#include "format/win32/locale_win.h"

#include <windows.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "platform/japanese_era.h"
#include "platform/win32/text_win.h"

namespace kestrova {

namespace {

using win32::Narrow;
using win32::Widen;

// "" when the locale has no such value.
std::string LocaleText(LCTYPE type) {
  wchar_t buf[128];
  const int n = GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, type, buf, 128);
  return n > 1 ? Narrow(std::wstring_view(buf, static_cast<size_t>(n - 1))) : std::string();
}

int LocaleNumber(LCTYPE type) {
  DWORD value = 0;
  if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, type | LOCALE_RETURN_NUMBER, reinterpret_cast<LPWSTR>(&value),
                      sizeof(value) / sizeof(wchar_t)) == 0) {
    return 0;
  }
  return static_cast<int>(value);
}

// What the picture letter g gives under the user's calendar.
std::string CalendarEraText() {
  SYSTEMTIME st{};
  st.wYear = 2000;
  st.wMonth = 1;
  st.wDay = 1;
  wchar_t buf[64];
  const int n = GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &st, L"g", buf, 64, nullptr);
  return n > 1 ? Narrow(std::wstring_view(buf, static_cast<size_t>(n - 1))) : std::string();
}

// The era list Windows keeps up to date ("2019 05 01" = "令和_令_Reiwa_R");
// empty where the key is missing.
std::vector<JapaneseEra> RegistryEras() {
  std::vector<JapaneseEra> eras;
  HKEY key;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Control\\Nls\\Calendars\\Japanese\\Eras",
                    0, KEY_READ, &key) != ERROR_SUCCESS) {
    return eras;
  }
  for (DWORD index = 0;; ++index) {
    wchar_t name[64];
    wchar_t value[128] = {};
    DWORD nameLength = 64;
    DWORD valueBytes = sizeof(value) - sizeof(wchar_t);
    DWORD type = 0;
    const LONG result = RegEnumValueW(key, index, name, &nameLength, nullptr, &type,
                                      reinterpret_cast<BYTE*>(value), &valueBytes);
    if (result == ERROR_NO_MORE_ITEMS) break;
    if (result != ERROR_SUCCESS || type != REG_SZ) continue;
    std::wstring_view text(value, valueBytes / sizeof(wchar_t));
    while (!text.empty() && text.back() == L'\0') text.remove_suffix(1);
    JapaneseEra era;
    if (ParseJapaneseEra(Narrow(std::wstring_view(name, nameLength)), Narrow(text), era)) {
      eras.push_back(std::move(era));
    }
  }
  RegCloseKey(key);
  std::sort(eras.begin(), eras.end(), [](const JapaneseEra& a, const JapaneseEra& b) {
    return std::tie(a.year, a.month, a.day) < std::tie(b.year, b.month, b.day);
  });
  return eras;
}

RegionalSettings ReadRegional() {
  RegionalSettings r;
  r.timeSeparator = LocaleText(LOCALE_STIME);
  r.dateSeparator = LocaleText(LOCALE_SDATE);
  r.shortDate = LocaleText(LOCALE_SSHORTDATE);
  r.longDate = LocaleText(LOCALE_SLONGDATE);
  r.timeFormat = LocaleText(LOCALE_STIMEFORMAT);
  r.am = LocaleText(LOCALE_S1159);
  r.pm = LocaleText(LOCALE_S2359);
  // The locale numbers weekdays from Monday; the table starts on Sunday.
  for (int d = 0; d < 7; ++d) {
    const LCTYPE offset = static_cast<LCTYPE>((d + 6) % 7);
    r.dayNames[static_cast<size_t>(d)] = LocaleText(LOCALE_SDAYNAME1 + offset);
    r.abbrevDayNames[static_cast<size_t>(d)] = LocaleText(LOCALE_SABBREVDAYNAME1 + offset);
  }
  for (int m = 0; m < 12; ++m) {
    r.monthNames[static_cast<size_t>(m)] = LocaleText(LOCALE_SMONTHNAME1 + static_cast<LCTYPE>(m));
    r.abbrevMonthNames[static_cast<size_t>(m)] =
        LocaleText(LOCALE_SABBREVMONTHNAME1 + static_cast<LCTYPE>(m));
  }
  r.japaneseCalendar = LocaleNumber(LOCALE_ICALENDARTYPE) == CAL_JAPAN;
  r.calendarEra = CalendarEraText();
  std::vector<JapaneseEra> eras = RegistryEras();
  if (!eras.empty()) r.eras = std::move(eras);
  return r;
}

}  // namespace

RegionalSettings Win32Locale::Regional() {
  if (!loaded_) Reload();
  return regional_;
}

void Win32Locale::Reload() {
  regional_ = ReadRegional();
  loaded_ = true;
}

std::string Win32Locale::ToUpper(std::string_view text) {
  std::wstring wide = Widen(text);
  if (wide.empty()) return std::string(text);
  const int size = static_cast<int>(wide.size());
  const int n = LCMapStringW(LOCALE_SYSTEM_DEFAULT, LCMAP_UPPERCASE, wide.data(), size, nullptr, 0);
  if (n <= 0) return std::string(text);
  std::wstring upper(static_cast<size_t>(n), L'\0');
  LCMapStringW(LOCALE_SYSTEM_DEFAULT, LCMAP_UPPERCASE, wide.data(), size, upper.data(), n);
  return Narrow(upper);
}

namespace {

// One spelling for everything the comparison ignores: upper case, full width, katakana.
std::wstring Folded(std::string_view text) {
  std::wstring wide = Widen(text);
  if (wide.empty()) return wide;
  constexpr DWORD kFold = LCMAP_UPPERCASE | LCMAP_FULLWIDTH | LCMAP_KATAKANA;
  const int size = static_cast<int>(wide.size());
  const int n = LCMapStringW(LOCALE_SYSTEM_DEFAULT, kFold, wide.data(), size, nullptr, 0);
  if (n <= 0) return wide;
  std::wstring folded(static_cast<size_t>(n), L'\0');
  LCMapStringW(LOCALE_SYSTEM_DEFAULT, kFold, wide.data(), size, folded.data(), n);
  return folded;
}

}  // namespace

bool Win32Locale::ContainsNoCase(std::string_view text, std::string_view part) {
  return Folded(text).find(Folded(part)) != std::wstring::npos;
}

std::string Win32Locale::AnsiRendering(std::string_view text) {
  // As the settings file stores it: no look-alikes, "?" for what is missing.
  return Narrow(win32::ToWide(CP_ACP, win32::ToCodePage(CP_ACP, Widen(text))));
}

}  // namespace kestrova

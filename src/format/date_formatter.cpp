// The date/time pattern language of the clock pieces.
#include <algorithm>
#include <cstring>
#include <tuple>

#include "core/decimal.h"
#include "core/text.h"
#include "core/time_picture.h"
#include "format/format.h"
#include "format/text_sink.h"
#include "resources/strings.h"

namespace kestrova {

namespace {

constexpr std::string_view kDayAbbr[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr std::string_view kDayFull[7] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                          "Thursday", "Friday", "Saturday"};
constexpr std::string_view kMonthAbbr[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                             "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
constexpr std::string_view kMonthFull[12] = {"January",   "February", "March",    "April",
                                             "May",       "June",     "July",     "August",
                                             "September", "October",  "November", "December"};

// After the separators, three runs (days, months and years, the time of day):
// Expand hands each run to its own function, so the order matters.
enum class Tok : unsigned char {
  Literal,
  Escape,
  TimeSep,
  DateSep,
  DateTimeC,
  Day,
  Day2,
  DayAbbr,
  DayFull,
  ShortDate,
  LongDate,
  JaDayAbbr,
  JaDayFull,
  WeekDay,
  Week,
  DayOfYear,
  Month,
  Month2,
  MonthAbbr,
  MonthFull,
  Quarter,
  EraLetter,
  EraKanji,
  EraName,
  EraYear,
  EraYear2,
  Year2,
  Year4,
  Hour,
  Hour2,
  Minute,
  Minute2,
  Second,
  Second2,
  Time,
  AmPm,       // AM/PM, am/pm
  AP,         // A/P, a/p
  AmPmLocal,  // AMPM, ampm
};

struct Token {
  Tok tok;
  size_t len;
};

// Bytes that may start a token; a run of other bytes is copied in one go.
constexpr bool MayStartToken(unsigned char c) {
  switch (c | 0x20) {  // letters in either case
    case 'a':
    case 'c':
    case 'd':
    case 'e':
    case 'g':
    case 'h':
    case 'm':
    case 'n':
    case 'q':
    case 's':
    case 't':
    case 'w':
    case 'y':
      return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    default:
      return c == '\\' || c == ':' || c == '/';
  }
}

struct TokenStarts {
  bool table[256] = {};
  constexpr TokenStarts() {
    for (int c = 0; c < 256; ++c) table[c] = MayStartToken(static_cast<unsigned char>(c));
  }
};
constexpr TokenStarts kTokenStarts;

// Length of the run of the letter at p[i], in either case.
size_t RunLength(std::string_view p, size_t i) {
  const char c = static_cast<char>(p[i] | 0x20);
  size_t n = 1;
  while (i + n < p.size() && static_cast<char>(p[i + n] | 0x20) == c) ++n;
  return n;
}

// `word` is lower case; pattern letters match in either case.
bool MatchAt(std::string_view p, size_t i, std::string_view word) {
  if (p.size() - i < word.size()) return false;
  for (size_t k = 0; k < word.size(); ++k) {
    if (AsciiLower(p[i + k]) != word[k]) return false;
  }
  return true;
}

// Longest token at p[i]. Letters match in either case, as the host's
// formatter of this pattern language does.
Token NextToken(std::string_view p, size_t i) {
  switch (AsciiLower(p[i])) {
    case '\\':
      return {Tok::Escape, 1};
    case ':':
      return {Tok::TimeSep, 1};
    case '/':
      return {Tok::DateSep, 1};
    case 'c':
      return {Tok::DateTimeC, 1};
    case 'q':
      return {Tok::Quarter, 1};
    case 'd': {
      static constexpr Tok kByRun[] = {Tok::Day,     Tok::Day2,      Tok::DayAbbr,
                                       Tok::DayFull, Tok::ShortDate, Tok::LongDate};
      const size_t n = std::min<size_t>(RunLength(p, i), 6);
      return {kByRun[n - 1], n};
    }
    case 'm': {
      static constexpr Tok kByRun[] = {Tok::Month, Tok::Month2, Tok::MonthAbbr, Tok::MonthFull};
      const size_t n = std::min<size_t>(RunLength(p, i), 4);
      return {kByRun[n - 1], n};
    }
    case 'g': {
      static constexpr Tok kByRun[] = {Tok::EraLetter, Tok::EraKanji, Tok::EraName};
      const size_t n = std::min<size_t>(RunLength(p, i), 3);
      return {kByRun[n - 1], n};
    }
    case 'w':
      return RunLength(p, i) >= 2 ? Token{Tok::Week, 2} : Token{Tok::WeekDay, 1};
    case 'e':
      return RunLength(p, i) >= 2 ? Token{Tok::EraYear2, 2} : Token{Tok::EraYear, 1};
    case 'h':
      return RunLength(p, i) >= 2 ? Token{Tok::Hour2, 2} : Token{Tok::Hour, 1};
    case 'n':
      return RunLength(p, i) >= 2 ? Token{Tok::Minute2, 2} : Token{Tok::Minute, 1};
    case 's':
      return RunLength(p, i) >= 2 ? Token{Tok::Second2, 2} : Token{Tok::Second, 1};
    case 'y': {
      const size_t n = RunLength(p, i);
      if (n >= 4) return {Tok::Year4, 4};
      if (n >= 2) return {Tok::Year2, 2};
      return {Tok::DayOfYear, 1};
    }
    case 'a': {
      if (MatchAt(p, i, "am/pm")) return {Tok::AmPm, 5};
      if (MatchAt(p, i, "ampm")) return {Tok::AmPmLocal, 4};
      const size_t n = RunLength(p, i);
      if (n >= 4) return {Tok::JaDayFull, 4};
      if (n == 3) return {Tok::JaDayAbbr, 3};
      if (MatchAt(p, i, "a/p")) return {Tok::AP, 3};
      return {Tok::Literal, 1};
    }
    case 't':
      // The time format dialog inserts the time token as "t t t t t " (the
      // blank after the last letter stays literal text); both spellings give
      // the time.
      if (RunLength(p, i) >= 5) return {Tok::Time, 5};
      if (MatchAt(p, i, "t t t t t")) return {Tok::Time, 9};
      return {Tok::Literal, 1};
    default:
      return {Tok::Literal, 1};
  }
}

bool UsesTwelveHours(std::string_view p) {
  if (p.empty() || (!std::memchr(p.data(), 'a', p.size()) && !std::memchr(p.data(), 'A', p.size())))
    return false;
  for (size_t i = 0; i < p.size();) {
    const Token t = NextToken(p, i);
    if (t.tok == Tok::AmPm || t.tok == Tok::AP || t.tok == Tok::AmPmLocal) return true;
    i += t.tok == Tok::Escape ? 2 : t.len;
  }
  return false;
}

int TwelveHour(int hour) {
  const int h = hour % 12;
  return h == 0 ? 12 : h;
}

const JapaneseEra* FindEra(const std::vector<JapaneseEra>& eras, const DateTime& v) {
  const JapaneseEra* found = nullptr;
  for (const JapaneseEra& e : eras) {
    if (std::tie(v.year, v.month, v.day) >= std::tie(e.year, e.month, e.day)) found = &e;
  }
  return found;
}

// Year within the era; before the first era there is none and the plain year stands in.
int EraYearOf(const JapaneseEra* era, const DateTime& v) { return era ? v.year - era->year + 1 : v.year; }

int YearMod100(int year) { return ((year % 100) + 100) % 100; }

// The regional date and time formats, in the host's picture syntax.
void AppendPicture(TextSink& out, const DateTime& v, std::string_view pic, const RegionalSettings& r,
                   bool isDate) {
  WalkPicture(out, pic, [&](TextSink& o, char c, size_t n) {
    if (!isDate) return AppendTimeField(o, c, n, v.hour, v.minute, v.second, r.am, r.pm);
    switch (c) {
      case 'd':
        if (n <= 2) {
          AppendDecimal(o, v.day, static_cast<int>(n));
        } else {
          o += (n == 3 ? r.abbrevDayNames : r.dayNames)[static_cast<size_t>(DayOfWeek(v))];
        }
        return true;
      case 'M':
        if (n <= 2) {
          AppendDecimal(o, v.month, static_cast<int>(n));
        } else if (v.month >= 1 && v.month <= 12) {
          o += (n == 3 ? r.abbrevMonthNames : r.monthNames)[static_cast<size_t>(v.month - 1)];
        }
        return true;
      case 'y':
        if (r.japaneseCalendar) {
          AppendDecimal(o, EraYearOf(FindEra(r.eras, v), v), n == 1 ? 1 : 2);
        } else if (n <= 2) {  // the host pads y as it pads yy
          AppendDecimal(o, YearMod100(v.year), 2);
        } else {
          AppendDecimal(o, v.year, 1);
        }
        return true;
      case 'g':
        if (r.japaneseCalendar) {
          if (const JapaneseEra* era = FindEra(r.eras, v)) o += era->name;
        } else {
          o += r.calendarEra;
        }
        return true;
      default:
        return false;
    }
  });
}

void Expand(TextSink& out, const DateTime& v, std::string_view p, const RegionalSettings& r);
void AppendShortDate(TextSink& out, const DateTime& v, const RegionalSettings& r);
void AppendTime(TextSink& out, const DateTime& v, const RegionalSettings& r);

// The tokens of days and whole dates.
void AppendDayPiece(TextSink& out, Tok tok, const DateTime& v, const RegionalSettings& r) {
  switch (tok) {
    case Tok::DateTimeC:
      if (!HasDatePart(v)) {
        AppendTime(out, v, r);
      } else {
        AppendShortDate(out, v, r);
        if (HasTimePart(v)) {
          out += ' ';
          AppendTime(out, v, r);
        }
      }
      break;
    case Tok::Day:
    case Tok::Day2:
      AppendDecimal(out, v.day, tok == Tok::Day2 ? 2 : 1);
      break;
    case Tok::DayAbbr:
      out += kDayAbbr[DayOfWeek(v)];
      break;
    case Tok::DayFull:
      out += kDayFull[DayOfWeek(v)];
      break;
    case Tok::JaDayAbbr:
      out += WeekdayName(DayOfWeek(v));
      break;
    case Tok::JaDayFull:
      out += WeekdayFullName(DayOfWeek(v));
      break;
    case Tok::ShortDate:
      AppendShortDate(out, v, r);
      break;
    case Tok::LongDate:
      if (r.longDate.empty()) {
        Expand(out, v, "mmmm dd, yyyy", r);
      } else {
        AppendPicture(out, v, r.longDate, r, true);
      }
      break;
    case Tok::WeekDay:
      AppendDecimal(out, DayOfWeek(v) + 1, 1);
      break;
    case Tok::Week: {
      const int jan1 = DayOfWeek(DateTime{v.year, 1, 1});
      AppendDecimal(out, (DayOfYear(v) - 1 + jan1) / 7 + 1, 1);
      break;
    }
    default:  // Tok::DayOfYear
      AppendDecimal(out, DayOfYear(v), 1);
      break;
  }
}

// The tokens of months, quarters, eras and years; m and mm give the minute
// where they follow an hour.
void AppendYearPiece(TextSink& out, Tok tok, const DateTime& v, const RegionalSettings& r, bool minuteHere) {
  switch (tok) {
    case Tok::Month:
    case Tok::Month2:
      AppendDecimal(out, minuteHere ? v.minute : v.month, tok == Tok::Month2 ? 2 : 1);
      break;
    case Tok::MonthAbbr:
    case Tok::MonthFull:
      if (v.month >= 1 && v.month <= 12) {
        out += (tok == Tok::MonthAbbr ? kMonthAbbr : kMonthFull)[v.month - 1];
      }
      break;
    case Tok::Quarter:
      AppendDecimal(out, (v.month - 1) / 3 + 1, 1);
      break;
    case Tok::EraLetter:
    case Tok::EraKanji:
    case Tok::EraName:
      if (const JapaneseEra* era = FindEra(r.eras, v)) {
        out += tok == Tok::EraLetter ? era->letter : tok == Tok::EraKanji ? era->kanji : era->name;
      }
      break;
    case Tok::EraYear:
    case Tok::EraYear2:
      AppendDecimal(out, EraYearOf(FindEra(r.eras, v), v), tok == Tok::EraYear2 ? 2 : 1);
      break;
    case Tok::Year2:
      AppendDecimal(out, YearMod100(v.year), 2);
      break;
    default:  // Tok::Year4
      AppendDecimal(out, v.year, 4);
      break;
  }
}

// The tokens of the time of day; `letter` is the token's first letter, whose
// case picks "AM"/"PM" or "am"/"pm".
void AppendTimePiece(TextSink& out, Tok tok, char letter, const DateTime& v, const RegionalSettings& r,
                     bool twelve) {
  const bool upper = letter == 'A';
  switch (tok) {
    case Tok::Hour:
    case Tok::Hour2:
      AppendDecimal(out, twelve ? TwelveHour(v.hour) : v.hour, tok == Tok::Hour2 ? 2 : 1);
      break;
    case Tok::Minute:
    case Tok::Minute2:
      AppendDecimal(out, v.minute, tok == Tok::Minute2 ? 2 : 1);
      break;
    case Tok::Second:
    case Tok::Second2:
      AppendDecimal(out, v.second, tok == Tok::Second2 ? 2 : 1);
      break;
    case Tok::Time:
      AppendTime(out, v, r);
      break;
    case Tok::AmPm:
      out += v.hour < 12 ? (upper ? "AM" : "am") : (upper ? "PM" : "pm");
      break;
    case Tok::AP:
      out += v.hour < 12 ? (upper ? 'A' : 'a') : (upper ? 'P' : 'p');
      break;
    default:  // Tok::AmPmLocal
      out += v.hour < 12 ? r.am : r.pm;
      break;
  }
}

// Which of the three above owns a token: the enumeration lists each group in one run.
bool IsTimeToken(Tok tok) { return tok >= Tok::Hour; }
bool IsYearToken(Tok tok) { return tok >= Tok::Month && tok < Tok::Hour; }

void Expand(TextSink& out, const DateTime& v, std::string_view p, const RegionalSettings& r) {
  const bool twelve = UsesTwelveHours(p);
  bool afterHour = false;  // m and mm right after h or hh are minutes
  size_t i = 0;
  while (i < p.size()) {
    const Token t = NextToken(p, i);
    const size_t at = i;
    i += t.len;
    switch (t.tok) {
      case Tok::Literal:
        while (i < p.size() && !kTokenStarts.table[static_cast<unsigned char>(p[i])]) ++i;
        out += p.substr(at, i - at);
        continue;
      case Tok::Escape:
        if (i < p.size()) out += p[i++];
        continue;
      case Tok::TimeSep:
        out += r.timeSeparator;
        continue;
      case Tok::DateSep:
        out += r.dateSeparator;
        continue;
      default:
        break;
    }
    const bool minuteHere = afterHour;
    afterHour = t.tok == Tok::Hour || t.tok == Tok::Hour2;
    if (IsTimeToken(t.tok)) {
      AppendTimePiece(out, t.tok, p[at], v, r, twelve);
    } else if (IsYearToken(t.tok)) {
      AppendYearPiece(out, t.tok, v, r, minuteHere);
    } else {
      AppendDayPiece(out, t.tok, v, r);
    }
  }
}

void AppendShortDate(TextSink& out, const DateTime& v, const RegionalSettings& r) {
  if (r.shortDate.empty()) {
    Expand(out, v, "m/d/yy", r);
  } else {
    AppendPicture(out, v, r.shortDate, r, true);
  }
}

void AppendTime(TextSink& out, const DateTime& v, const RegionalSettings& r) {
  if (r.timeFormat.empty()) {
    Expand(out, v, "h:mm:ss", r);
  } else {
    AppendPicture(out, v, r.timeFormat, r, false);
  }
}

}  // namespace

std::string DateFormatter(const DateTime& value, std::string_view pattern, const RegionalSettings& regional) {
  TextSink out;
  Expand(out, value, pattern, regional);
  return out.Take();
}

}  // namespace kestrova

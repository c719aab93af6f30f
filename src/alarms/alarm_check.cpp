#include "alarms/alarm_check.h"

#include <algorithm>

#include "alarms/alarm_list.h"
#include "settings/alarm_store.h"
#include "settings/settings.h"

namespace kestrova {

namespace {

bool WithinTimeWindow(const AlarmEntry& entry, const DateTime& now) {
  // 64-bit: hand-edited hours or minutes must not overflow into a false match.
  const std::int64_t start = std::int64_t{entry.Hour} * 3600 + std::int64_t{entry.Minute} * 60 + entry.Second;
  // An end past midnight is never reached: the window does not wrap.
  const std::int64_t end = start + DurationToTime(entry.Time);
  const std::int64_t time = SecondOfDay(now);
  return start < time && time < end;
}

}  // namespace

bool IsAlarmDue(const AlarmEntry& entry, const DateTime& now) {
  const bool month = now.month == entry.Month;
  const bool day = now.day == entry.Day;
  const bool week = DayOfWeek(now) == entry.Week;
  switch (entry.Type) {
    case 0:
      return true;
    case 1:
      return month;
    case 2:
      return day;
    case 3:
      return month && day;
    case 4:
      return week;
    case 5:
      return WithinTimeWindow(entry, now);
    case 6:
      return month && WithinTimeWindow(entry, now);
    case 7:
      return day && WithinTimeWindow(entry, now);
    case 8:
      return month && day && WithinTimeWindow(entry, now);
    case 9:
      return week && WithinTimeWindow(entry, now);
    default:
      return false;
  }
}

AlarmChecker::AlarmChecker(Settings& settings, Clock& clock, AlarmPopupHost& popups)
    : settings_(settings), clock_(clock), popups_(popups) {
  popups_.UseAlarmIds(ids_);
}

int AlarmChecker::EntryCount() const { return AlarmEntryCount(settings_); }

std::optional<std::int64_t> AlarmChecker::OpenTickSpan() {
  const std::optional<std::int64_t> outer = spanFrom_;
  const std::int64_t now = ToSeconds(clock_.LocalNow());
  const bool follows = lastTickSecond_ && *lastTickSecond_ < now && now - *lastTickSecond_ <= kMaxLookBackSeconds;
  spanFrom_ = follows ? *lastTickSecond_ + 1 : now;
  lastTickSecond_ = now;
  return outer;
}

bool AlarmChecker::Due(const AlarmEntry& entry) {
  const DateTime now = clock_.LocalNow();
  if (IsAlarmDue(entry, now)) return true;
  if (!spanFrom_) return false;
  // Bounded again: a popup may have held this evaluation for hours.
  const std::int64_t to = ToSeconds(now);
  for (std::int64_t s = std::max(*spanFrom_, to - kMaxLookBackSeconds); s < to; ++s) {
    if (IsAlarmDue(entry, FromSeconds(s))) return true;
  }
  return false;
}

std::string AlarmChecker::CheckAlarm(const std::string& clockText) {
  return CheckAlarm(clockText, clockText.empty() ? AlarmCall::kTick : AlarmCall::kClockPiece);
}

std::string AlarmChecker::CheckAlarm(const std::string& clockText, AlarmCall call) {
  // The count is read again on every turn: a popup opened by CheckDate runs a
  // nested message loop, and the alarm editor may replace the list meanwhile.
  for (int i = 0; i < EntryCount(); ++i) {
    if (!CheckDate(i)) {
      if (i < EntryCount()) settings_.Alarms[static_cast<size_t>(i)].Shown = false;
      continue;
    }
    if (i >= EntryCount()) break;
    const std::string message = settings_.Alarms[static_cast<size_t>(i)].Message;
    switch (settings_.MessagePosition) {
      case 0:
        return clockText + " " + message;
      case 1:
        return message + " " + clockText;
      case 2:
        // Only the tick's own evaluation moves the alternation: a tick makes one
        // of those plus one per clock piece, so counting every evaluation would
        // switch at an uneven rate and could leave one side on screen for good.
        // Counted once per tick, the title shows the message for ChangeTiming
        // ticks and then the clock for as many; every piece of one title shows
        // the same side.
        if (call == AlarmCall::kTick && ++alternateCount_ >= settings_.ChangeTiming) {
          alternateCount_ = 0;
          alternateShowMessage_ = !alternateShowMessage_;
        }
        return alternateShowMessage_ ? " " + message + " " : clockText;
      case 3:
        return message;
      default:
        return clockText;
    }
  }
  return clockText;
}

bool AlarmChecker::CheckDate(int entry) {
  if (entry < 0 || entry >= EntryCount()) return false;
  const AlarmEntry& e = settings_.Alarms[static_cast<size_t>(entry)];
  const bool due = Due(e);
  if (due && !popupOpen_ && !e.Shown && e.Box != 0) {
    popupOpen_ = true;
    // Cleared however the popup ends, or no popup would ever open again.
    struct PopupGuard {
      bool& open;
      ~PopupGuard() { open = false; }
    } guard{popupOpen_};
    // The list may be replaced while the popup is open: copy what is needed
    // and look the entry up again afterwards, by id, not by position.
    const std::string message = e.Message;
    const AlarmIds::Id id = ids_.IdOf(entry);
    popups_.ShowAlarmPopup(entry, message);
    const int now = ids_.IndexOf(id);
    if (now >= 0 && now < EntryCount()) settings_.Alarms[static_cast<size_t>(now)].Shown = true;
  }
  return due;
}

}  // namespace kestrova

#pragma once
// Evaluation of the message alarms on every tick: which entry is due, what the
// clock piece becomes, and when an entry's popup is shown.
#include <cstdint>
#include <optional>
#include <string>

#include "alarms/alarm_ids.h"
#include "core/datetime.h"
#include "platform/clock.h"
#include "settings/alarm_entry.h"

namespace kestrova {

struct Settings;

// Shows the alarm popup for one entry, modally. Returns once the popup has
// closed and its closing step has run. Ticks, and with them CheckAlarm, keep
// running while it is open.
class AlarmPopupHost {
 public:
  virtual ~AlarmPopupHost() = default;
  virtual void ShowAlarmPopup(int entry, const std::string& message) = 0;
  // The checker's ids: a popup that writes into the list finds its entry
  // through them, wherever the editor has moved it meanwhile.
  virtual void UseAlarmIds(AlarmIds&) {}
};

// Whether an entry's month, day, weekday and time conditions hold at `now`.
// The time window is start < time of day < start + duration, without wrapping
// past midnight. Types other than 0..9 are never due.
bool IsAlarmDue(const AlarmEntry& entry, const DateTime& now);

// The two kinds of evaluation a tick makes: one for the tick itself (its text
// is not used) and one per clock piece of the title. A tick that a window
// event ran in between the timer's makes kEventTick instead: it leaves the
// alternation alone, which counts the timer's ticks.
enum class AlarmCall { kTick, kClockPiece, kEventTick };

class AlarmChecker {
 public:
  AlarmChecker(Settings& settings, Clock& clock, AlarmPopupHost& popups);

  // The clock piece for `clockText`, with the first due entry's message placed
  // by MessagePosition. An empty clockText is the tick's own evaluation; any
  // other text is a clock piece.
  std::string CheckAlarm(const std::string& clockText);
  std::string CheckAlarm(const std::string& clockText, AlarmCall call);

  // Whether entry `entry` is due now; opens its popup when it is due, wants
  // one, has not had one this due period and no popup is open. Within a tick
  // "now" is every second since the previous tick's: ticks 3 s or a minute
  // apart land on the boundaries, and a window strict on both sides (due
  // from one second after its start to one before its end) would otherwise
  // fall between two of them and never be due.
  bool CheckDate(int entry);

  // A tick begins: its evaluations look back to the second after the
  // previous tick's. Returns what CloseTickSpan puts back when it ends (a
  // popup's nested loop runs whole ticks inside one).
  std::optional<std::int64_t> OpenTickSpan();
  void CloseTickSpan(std::optional<std::int64_t> outer) { spanFrom_ = outer; }
  // No tick looks further back: the longest interval, 65 534 ms. Seconds
  // asleep or skipped by a clock set forward further are not made up.
  static constexpr std::int64_t kMaxLookBackSeconds = 66;

  std::int32_t AlternateCount() const { return alternateCount_; }
  bool AlternateShowMessage() const { return alternateShowMessage_; }
  bool PopupOpen() const { return popupOpen_; }
  // What the alarm editor tells when it replaces the list.
  AlarmIds& Ids() { return ids_; }

 private:
  // Entries that exist both by count and in the list (a hand-edited file may
  // make the two differ).
  int EntryCount() const;
  bool Due(const AlarmEntry& entry);

  Settings& settings_;
  Clock& clock_;
  AlarmPopupHost& popups_;
  std::int32_t alternateCount_ = 0;
  bool alternateShowMessage_ = false;
  bool popupOpen_ = false;
  AlarmIds ids_;
  std::optional<std::int64_t> spanFrom_;     // the first second the open tick looks at
  std::optional<std::int64_t> lastTickSecond_;  // the second the last tick began in
};

}  // namespace kestrova

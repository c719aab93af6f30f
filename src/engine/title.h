#pragma once
// Choosing the target window, composing its title from the three pieces,
// writing it, and giving a window its own title back.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/window_system.h"

namespace kestrova {

struct Settings;
class SysInfoSources;
class TitleRecord;

struct LastTarget {
  WindowHandle Handle = 0;
  std::string OwnTitle;
  std::string WrittenTitle;
};

// Values of LeftText, MiddleText and RightText.
enum TextSelector : int {
  kPieceNothing = 0,
  kPieceTitle = 1,
  kPieceClock = 2,
  kPieceWorldClock = 3,
  kPieceCountdown = 4,
  kPieceSystemInfo = 5,
};

// The first `limit` characters (code points) of a UTF-8 text; a negative limit keeps it whole.
std::string CutToCharacters(const std::string& text, int limit);

// The text of a clock, world-clock, countdown or system-information piece
// (the clock without any alarm message); "" for any other selector.
std::string PieceText(int selector, const Settings& settings, Clock& clock, const RegionalSettings& regional,
                      SysInfoSources& sysinfo, bool& cpuSampled);

class TitleWriter {
 public:
  // The alarm check: takes the clock text, returns the clock piece. The flag
  // tells a clock piece from the composition's own evaluation (an empty clock
  // format gives an empty clock text too).
  using CheckAlarmFn = std::function<std::string(const std::string& clockText, bool clockPiece)>;

  TitleWriter(WindowSystem& windows, Clock& clock, Locale& locale, SysInfoSources& sysinfo,
              const Settings& settings, CheckAlarmFn checkAlarm);

  WindowHandle GetTargetWindow();
  // The front window as GetTargetWindow last found it.
  WindowHandle Foreground() const { return foreground_; }
  // Non-zero window: compose and write its title. 0: give the last window its title back.
  void ChangeTitle(WindowHandle window);
  // The composed text for a window whose own title is `ownTitle`.
  std::string ComposeTitle(const std::string& ownTitle);

  const LastTarget& Last() const { return last_; }
  // What Last() was written besides its own title: the other pieces, joined.
  const std::string& WrittenPieces() const { return writtenPieces_; }
  // Run on every tick, whatever the tick then does: give-backs that a hung
  // window did not take are tried again, and writes that reported a time-out
  // but landed later are given back, except in the window last written.
  // Records of windows that no longer exist are dropped.
  void Settle();

  // Kept up to date with every window that shows a text of ours; may be null.
  void SetRecord(TitleRecord* record);
  // Give-backs left over from an earlier run that a window did not take yet.
  void AdoptGiveBacks(std::vector<LastTarget> giveBacks);

  // Windows whose own title could not be written back yet (they did not answer).
  const std::vector<LastTarget>& PendingGiveBacks() const { return pending_; }
  // Writes that reported a time-out; each may still land.
  const std::vector<LastTarget>& UnconfirmedWrites() const { return unconfirmed_; }

 private:
  void Change(WindowHandle window);
  void GiveBack();
  void Record();
  void QueueGiveBack(LastTarget giveBack);
  std::string Piece(int selector, const std::string& ownTitle, bool& cpuSampled,
                    const RegionalSettings& regional);

  WindowSystem& windows_;
  Clock& clock_;
  Locale& locale_;
  SysInfoSources& sysinfo_;
  const Settings& settings_;
  CheckAlarmFn checkAlarm_;
  LastTarget last_;
  WindowHandle foreground_ = 0;
  std::vector<LastTarget> pending_;
  std::vector<LastTarget> unconfirmed_;
  TitleRecord* record_ = nullptr;
  std::string composedPieces_;
  std::string writtenPieces_;
  // Counts writes and give-backs, so that a composition interrupted by a
  // nested message loop can tell that it is out of date.
  std::uint64_t generation_ = 0;
};

}  // namespace kestrova

#include "engine/title.h"

#include <algorithm>

#include "core/text.h"
#include "format/format.h"
#include "engine/title_record.h"
#include "settings/settings.h"

namespace kestrova {

std::string CutToCharacters(const std::string& text, int limit) {
  if (limit < 0) return text;
  size_t pos = 0;
  for (int count = 0; pos < text.size() && count < limit; ++count) pos += Utf8CharLength(text, pos);
  return text.substr(0, pos);
}

std::string PieceText(int selector, const Settings& settings, Clock& clock, const RegionalSettings& regional,
                      SysInfoSources& sysinfo, bool& cpuSampled) {
  switch (selector) {
    case kPieceClock:
      return ClockText(settings, clock, regional);
    case kPieceWorldClock:
      return WorldClockText(settings, clock, regional);
    case kPieceCountdown:
      return CountdownText(settings, clock);
    case kPieceSystemInfo:
      return ExpandFormat(settings.SysInfStr, cpuSampled, sysinfo);
    default:
      return {};
  }
}

TitleWriter::TitleWriter(WindowSystem& windows, Clock& clock, Locale& locale, SysInfoSources& sysinfo,
                         const Settings& settings, CheckAlarmFn checkAlarm)
    : windows_(windows),
      clock_(clock),
      locale_(locale),
      sysinfo_(sysinfo),
      settings_(settings),
      checkAlarm_(std::move(checkAlarm)) {}

WindowHandle TitleWriter::GetTargetWindow() {
  WindowHandle window = foreground_ = windows_.ForegroundWindow();
  if (window != 0 && settings_.MDIChild != 0) {
    if (WindowHandle client = windows_.FindChild(window, "mdiclient")) {
      if (WindowHandle child = windows_.ActiveMdiChild(client)) window = child;
    }
  }
  return window;
}

std::string TitleWriter::Piece(int selector, const std::string& ownTitle, bool& cpuSampled,
                               const RegionalSettings& regional) {
  switch (selector) {
    case kPieceTitle:
      // Below -1 only comes from a hand-edited file; it is taken as no limit.
      return CutToCharacters(ownTitle, settings_.TitleLenght);
    case kPieceClock:
      return checkAlarm_(PieceText(selector, settings_, clock_, regional, sysinfo_, cpuSampled), true);
    default:
      return PieceText(selector, settings_, clock_, regional, sysinfo_, cpuSampled);
  }
}

std::string TitleWriter::ComposeTitle(const std::string& ownTitle) {
  const RegionalSettings regional = locale_.Regional();
  bool cpuSampled = false;
  std::string text;
  // A local first: an alarm popup may compose again meanwhile.
  std::string others;
  for (int selector : {settings_.LeftText, settings_.MiddleText, settings_.RightText}) {
    std::string piece = Piece(selector, ownTitle, cpuSampled, regional);
    if (selector != kPieceTitle) others += piece;
    text += piece;
  }
  composedPieces_ = std::move(others);
  return text;
}

namespace {

// Bounds on each list of records; the oldest goes first. A window that stays
// hung in front must not push every other window's record out.
constexpr size_t kMaxRecords = 16;
constexpr std::ptrdiff_t kMaxRecordsPerWindow = 4;

void Remember(std::vector<LastTarget>& records, LastTarget record) {
  const auto sameWindow = [&record](const LastTarget& r) { return r.Handle == record.Handle; };
  std::erase_if(records,
                [&](const LastTarget& r) { return sameWindow(r) && r.WrittenTitle == record.WrittenTitle; });
  if (std::count_if(records.begin(), records.end(), sameWindow) >= kMaxRecordsPerWindow) {
    records.erase(std::find_if(records.begin(), records.end(), sameWindow));
  }
  if (records.size() >= kMaxRecords) records.erase(records.begin());
  records.push_back(std::move(record));
}

}  // namespace

void TitleWriter::QueueGiveBack(LastTarget giveBack) {
  std::erase_if(pending_, [&giveBack](const LastTarget& p) { return p.Handle == giveBack.Handle; });
  Remember(pending_, std::move(giveBack));
}

void TitleWriter::GiveBack() {
  const WindowHandle former = last_.Handle;
  const std::string current = windows_.ReadTitle(former);
  // A window that changed its title itself (or is gone) keeps what it shows now.
  std::string text = current != last_.WrittenTitle ? current : last_.OwnTitle;
  for (const LastTarget& u : unconfirmed_) {
    // A write that timed out landed after all.
    if (former != 0 && u.Handle == former && current == u.WrittenTitle) text = u.OwnTitle;
  }
  std::erase_if(unconfirmed_, [former, &current](const LastTarget& u) {
    return u.Handle == former && u.WrittenTitle == current;
  });
  last_ = {};
  writtenPieces_.clear();
  ++generation_;
  // A handle that is gone may be reused by an unrelated window: never write to it.
  if (former == 0 || !windows_.Exists(former)) return;
  if (windows_.WriteTitle(former, text) || text == current) return;
  // The window did not answer: it would keep our text for good once it
  // recovers, so the give-back is tried again on later ticks.
  QueueGiveBack({former, std::move(text), current});
}

void TitleWriter::SetRecord(TitleRecord* record) {
  record_ = record;
  Record();
}

void TitleWriter::AdoptGiveBacks(std::vector<LastTarget> giveBacks) {
  for (LastTarget& g : giveBacks) QueueGiveBack(std::move(g));
  Record();
}

void TitleWriter::Record() {
  if (record_ != nullptr) record_->Update(last_, pending_, unconfirmed_);
}

void TitleWriter::Settle() {
  if (pending_.empty() && unconfirmed_.empty()) return;
  std::erase_if(pending_, [this](const LastTarget& p) {
    // Done once written, or once the window shows a title of its own again.
    return !windows_.Exists(p.Handle) || windows_.ReadTitle(p.Handle) != p.WrittenTitle ||
           windows_.WriteTitle(p.Handle, p.OwnTitle);
  });
  std::vector<LastTarget> notTaken;
  std::erase_if(unconfirmed_, [this, &notTaken](const LastTarget& u) {
    if (!windows_.Exists(u.Handle)) return true;
    // The window last written is rewritten or given back by the tick itself;
    // any other that shows what was written took it late.
    if (u.Handle == last_.Handle || windows_.ReadTitle(u.Handle) != u.WrittenTitle) return false;
    if (!windows_.WriteTitle(u.Handle, u.OwnTitle)) notTaken.push_back(u);
    return true;
  });
  for (LastTarget& u : notTaken) QueueGiveBack(std::move(u));
  Record();
}

void TitleWriter::ChangeTitle(WindowHandle window) {
  Change(window);
  Record();
}

void TitleWriter::Change(WindowHandle window) {
  if (window == 0) {
    GiveBack();
    return;
  }

  // An alarm popup runs ticks and commands (pause, exit) of its own until it
  // closes. When any of them wrote or gave back a title meanwhile, this call is
  // stale: going on would overwrite what they did and could leave our text in
  // a window that no longer counts as decorated.
  const std::uint64_t generation = generation_;
  const auto stale = [this, generation] { return generation_ != generation; };
  checkAlarm_(std::string(), false);
  if (stale()) return;
  const std::string current = windows_.ReadTitle(window);
  const bool stillOurs = window == last_.Handle && current == last_.WrittenTitle;
  std::string own = stillOurs ? last_.OwnTitle : current;
  // Back in front before its own title could be returned, or showing a write
  // that timed out and landed late.
  for (const auto* records : {&pending_, &unconfirmed_}) {
    for (const LastTarget& r : *records) {
      if (r.Handle == window && current == r.WrittenTitle) own = r.OwnTitle;
    }
  }
  std::string composed = ComposeTitle(own);
  if (stale()) return;
  // What the window already shows is not sent again: a title that changes
  // once a minute is written once a minute, and the caption is not repainted
  // for nothing.
  const bool unchanged = composed == current;
  if (!unchanged && !windows_.WriteTitle(window, composed)) {
    // A hung (or vanished) window is skipped this tick. What it shows is still
    // what was last written, so the last target stays as it was; the text
    // may yet land, so it is still recognised as ours.
    if (windows_.Exists(window)) Remember(unconfirmed_, {window, std::move(own), std::move(composed)});
    return;
  }
  ++generation_;
  const auto thisWindow = [window](const LastTarget& r) { return r.Handle == window; };
  std::erase_if(unconfirmed_, thisWindow);
  std::erase_if(pending_, thisWindow);
  // Remember the text as the window took it, so that a window that shortens
  // titles is still recognised as showing ours on the next tick.
  std::string shown = unchanged ? current : windows_.ReadTitle(window);
  last_ = {window, std::move(own),
           shown.empty() && !composed.empty() ? std::move(composed) : std::move(shown)};
  writtenPieces_ = composedPieces_;
}

}  // namespace kestrova

#pragma once
// One message alarm and its keys in the Alarm0000, Alarm0001, ... sections.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "settings/key_table.h"

namespace kestrova {

// In write order.
enum class AlarmKey : unsigned char {
  kTitle,
  kType,
  kMonth,
  kDay,
  kWeek,
  kHour,
  kMinute,
  kSecond,
  kMessage,
  kTime,
  kBox,
};

// A missing key reads as its default, so a missing section is an entry that is never due.
inline constexpr KeyRow<AlarmKey> kAlarmKeys[] = {
    {AlarmKey::kTitle, nullptr, "Title", Encoding::kRaw, 0, "タイトル無し"},
    {AlarmKey::kType, nullptr, "Type", Encoding::kSigned, -1},
    {AlarmKey::kMonth, nullptr, "Month", Encoding::kSigned, 1},
    {AlarmKey::kDay, nullptr, "Day", Encoding::kSigned, 1},
    {AlarmKey::kWeek, nullptr, "Week", Encoding::kSigned, 1},
    {AlarmKey::kHour, nullptr, "Hour", Encoding::kSigned, 1},
    {AlarmKey::kMinute, nullptr, "Minute", Encoding::kSigned, 1},
    {AlarmKey::kSecond, nullptr, "Second", Encoding::kSigned, 1},
    {AlarmKey::kMessage, nullptr, "Message", Encoding::kRaw, 0, "メッセージ無し"},
    {AlarmKey::kTime, nullptr, "Time", Encoding::kPlain, 0},
    {AlarmKey::kBox, nullptr, "Box", Encoding::kPlain, 0},
};
static_assert(InIdOrder(kAlarmKeys), "kAlarmKeys lists every AlarmKey once, in the enum's order");

constexpr const KeyRow<AlarmKey>& AlarmRow(AlarmKey key) { return kAlarmKeys[static_cast<std::size_t>(key)]; }

// List order is priority order. A new entry is what a missing section reads as.
struct AlarmEntry {
  std::string Title = DefaultOf<std::string>(AlarmRow(AlarmKey::kTitle));
  std::int32_t Type = DefaultOf<std::int32_t>(AlarmRow(AlarmKey::kType));
  std::int32_t Month = DefaultOf<std::int32_t>(AlarmRow(AlarmKey::kMonth));
  std::int32_t Day = DefaultOf<std::int32_t>(AlarmRow(AlarmKey::kDay));
  std::int32_t Week = DefaultOf<std::int32_t>(AlarmRow(AlarmKey::kWeek));  // 0 = Sunday
  std::int32_t Hour = DefaultOf<std::int32_t>(AlarmRow(AlarmKey::kHour));
  std::int32_t Minute = DefaultOf<std::int32_t>(AlarmRow(AlarmKey::kMinute));
  std::int32_t Second = DefaultOf<std::int32_t>(AlarmRow(AlarmKey::kSecond));
  std::string Message = DefaultOf<std::string>(AlarmRow(AlarmKey::kMessage));
  std::int32_t Time = DefaultOf<std::int32_t>(AlarmRow(AlarmKey::kTime));
  std::int32_t Box = DefaultOf<std::int32_t>(AlarmRow(AlarmKey::kBox));
  bool Shown = false;  // run time only: the popup was shown for the current due period

  friend bool operator==(const AlarmEntry&, const AlarmEntry&) = default;
};

using AlarmList = std::vector<AlarmEntry>;

}  // namespace kestrova

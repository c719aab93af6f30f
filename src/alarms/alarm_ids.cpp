#include "alarms/alarm_ids.h"

#include <algorithm>

namespace kestrova {

AlarmIds::Id AlarmIds::IdOf(int index) {
  if (index < 0) return kNone;
  while (ids_.size() <= static_cast<size_t>(index)) ids_.push_back(next_++);
  return ids_[static_cast<size_t>(index)];
}

int AlarmIds::IndexOf(Id id) const {
  if (id == kNone) return -1;
  const auto it = std::find(ids_.begin(), ids_.end(), id);
  return it == ids_.end() ? -1 : static_cast<int>(it - ids_.begin());
}

std::vector<AlarmIds::Id> AlarmIds::Ids(int count) {
  if (count > 0) IdOf(count - 1);
  return {ids_.begin(), ids_.begin() + std::clamp(count, 0, static_cast<int>(ids_.size()))};
}

void AlarmIds::Rebuilt(std::vector<Id> ids) {
  for (Id& id : ids) {
    if (id == kNone) id = next_++;
  }
  ids_ = std::move(ids);
}

}  // namespace kestrova

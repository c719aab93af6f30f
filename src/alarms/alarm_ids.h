#pragma once
// Which alarm is which across edits of the list. A popup opened for entry 3
// must write its check box into that alarm even when the editor has moved or
// deleted it meanwhile. Kept in memory only; the file knows positions.
#include <cstdint>
#include <vector>

namespace kestrova {

class AlarmIds {
 public:
  using Id = std::uint64_t;
  static constexpr Id kNone = 0;

  // The id of the entry now at `index` (new ids for positions not seen before).
  Id IdOf(int index);
  // Where the entry with `id` is now; -1 when it was deleted or is unknown.
  int IndexOf(Id id) const;
  // The ids of the first `count` entries, in list order.
  std::vector<Id> Ids(int count);
  // The list was rebuilt: entry k is the one that had ids[k], kNone for a new one.
  void Rebuilt(std::vector<Id> ids);

 private:
  std::vector<Id> ids_;
  Id next_ = 1;
};

}  // namespace kestrova

#include "ui/window_picker.h"

#include "engine/title.h"

namespace kestrova {

std::optional<PickedWindow> OwnTitlePicker::PickUnderCursor() {
  std::optional<PickedWindow> picked = inner_.PickUnderCursor();
  const TitleWriter* titles = titles_ ? titles_() : nullptr;
  if (!picked || picked->window == 0 || titles == nullptr) return picked;
  // The window last written, and those whose give-back or write is still open.
  std::vector<const LastTarget*> ours = {&titles->Last()};
  for (const LastTarget& t : titles->PendingGiveBacks()) ours.push_back(&t);
  for (const LastTarget& t : titles->UnconfirmedWrites()) ours.push_back(&t);
  for (const LastTarget* t : ours) {
    if (t->Handle != picked->window || t->WrittenTitle.empty()) continue;
    if (picked->title == t->WrittenTitle ||
        picked->title == CutToAnsiBytes(codePage_, t->WrittenTitle, kPickedTextBytes)) {
      picked->title = CutToAnsiBytes(codePage_, t->OwnTitle, kPickedTextBytes);
      break;
    }
  }
  return picked;
}

}  // namespace kestrova

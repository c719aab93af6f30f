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
      return picked;
    }
  }
  // The frame shows a maximised child's title inside its own.
  const WindowHandle client = windows_.FindChild(picked->window, "MDIClient");
  const WindowHandle child = client != 0 ? windows_.ActiveMdiChild(client) : 0;
  if (child == 0) return picked;
  for (const LastTarget* t : ours) {
    if (t->Handle != child || t->WrittenTitle.empty()) continue;
    const std::size_t at = picked->title.find(t->WrittenTitle);
    if (at == std::string::npos) continue;
    picked->title.replace(at, t->WrittenTitle.size(), t->OwnTitle);
    picked->title = CutToAnsiBytes(codePage_, picked->title, kPickedTextBytes);
    break;
  }
  return picked;
}

}  // namespace kestrova

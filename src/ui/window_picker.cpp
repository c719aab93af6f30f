#include "ui/window_picker.h"

#include "core/text.h"
#include "engine/title.h"

namespace kestrova {

std::string CutToAnsiBytes(CodePage& codePage, const std::string& utf8, std::size_t maxBytes) {
  if (codePage.ToAnsi(utf8).size() <= maxBytes) return utf8;
  // Character by character: each one costs one or two bytes (an emoji two "?").
  std::size_t used = 0;
  std::size_t i = 0;
  while (i < utf8.size()) {
    const std::size_t n = Utf8CharLength(utf8, i);
    const std::size_t cost = codePage.ToAnsi(utf8.substr(i, n)).size();
    if (used + cost > maxBytes) break;
    used += cost;
    i += n;
  }
  return utf8.substr(0, i);
}

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

#include "form/form.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

namespace kestrova {

namespace {

// A tab control's caption lists its pages: "基本設定|表示|...".
std::vector<std::string> SplitPages(const std::string& caption) {
  std::vector<std::string> pages;
  for (size_t start = 0, bar = 0; !caption.empty() && bar != std::string::npos; start = bar + 1) {
    bar = caption.find('|', start);
    pages.push_back(caption.substr(start, bar == std::string::npos ? bar : bar - start));
  }
  return pages;
}

}  // namespace

FormModel::FormModel(const FormSpec& spec) : spec_(spec) {
  for (const ControlSpec& c : spec_.controls) {
    ControlState& s = states_[c.id];
    s.text = c.caption;
    if (c.kind == ControlKind::kTab) {
      s.items = SplitPages(s.text);
      s.max = static_cast<int>(s.items.size()) - 1;
    }
    if (c.kind == ControlKind::kComboList || c.kind == ControlKind::kListBox) s.value = -1;
  }
}

const ControlSpec* FormModel::Find(int id) const {
  for (const ControlSpec& c : spec_.controls) {
    if (c.id == id) return &c;
  }
  return nullptr;
}

const ControlSpec& FormModel::Checked(int id) const {
  const ControlSpec* c = Find(id);
  if (c == nullptr) throw std::out_of_range("no control " + std::to_string(id));
  return *c;
}

const ControlState& FormModel::State(int id) const {
  auto it = states_.find(id);
  if (it == states_.end()) throw std::out_of_range("no control " + std::to_string(id));
  return it->second;
}

ControlState& FormModel::Mutable(int id) { return const_cast<ControlState&>(State(id)); }

void FormModel::Notify(int id) {
  if (view_ != nullptr) view_->ControlChanged(id);
}

void FormModel::Run(std::map<int, Handler>& handlers, int id, Cause cause) {
  auto it = handlers.find(id);
  if (it == handlers.end() || !it->second || running_[id]) return;
  bool& running = running_[id];
  running = true;
  struct Reset {
    bool& flag;
    ~Reset() { flag = false; }
  } reset{running};
  Handler h = it->second;  // a copy: the handler may replace itself
  h(cause);
}

int FormModel::Clamp(const ControlSpec& c, const ControlState& s, int value) const {
  switch (c.kind) {
    case ControlKind::kCheckBox:
      return std::clamp(value, 0, 2);
    case ControlKind::kOptionButton:
      return value != 0 ? 1 : 0;
    case ControlKind::kComboList:
    case ControlKind::kListBox:
    case ControlKind::kTab:
      // Nothing selected stays possible only in an empty list.
      return s.items.empty() ? -1 : std::clamp(value, 0, static_cast<int>(s.items.size()) - 1);
    case ControlKind::kHScroll:
    case ControlKind::kVScroll:
      return std::clamp(value, s.min, std::max(s.min, s.max));
    default:
      return value;
  }
}

void FormModel::SetText(int id, const std::string& text, Cause cause) {
  ControlState& s = Mutable(id);
  if (s.text == text) return;
  s.text = text;
  const int size = static_cast<int>(text.size());
  s.selStart = std::min(s.selStart, size);
  s.selLength = std::min(s.selLength, size - s.selStart);
  Notify(id);
  Run(change_, id, cause);
}

void FormModel::SetValue(int id, int value, Cause cause) {
  const ControlSpec* c = Find(id);
  ControlState& s = Mutable(id);
  value = Clamp(*c, s, value);
  if (s.value == value) {
    // The program's assignments act as a user's change would, and a click on
    // the option that is already set is still a click.
    if (cause == Cause::kProgram || (c->kind == ControlKind::kOptionButton && value == 1)) {
      Run(change_, id, cause);
    }
    return;
  }
  s.value = value;
  if (c->kind == ControlKind::kOptionButton && value == 1) {
    for (const ControlSpec& other : spec_.controls) {
      if (other.id == id || other.kind != ControlKind::kOptionButton || std::string(other.name) != c->name) {
        continue;
      }
      ControlState& o = Mutable(other.id);
      if (o.value == 0) continue;
      o.value = 0;
      Notify(other.id);
    }
  }
  Notify(id);
  Run(change_, id, cause);
}

void FormModel::SetItems(int id, std::vector<std::string> items) {
  ControlState& s = Mutable(id);
  s.items = std::move(items);
  const int last = static_cast<int>(s.items.size()) - 1;
  if (s.value > last) s.value = last;
  Notify(id);
}

void FormModel::SetRange(int id, int min, int max, int smallChange, int largeChange) {
  ControlState& s = Mutable(id);
  s.min = min;
  s.max = std::max(min, max);
  s.smallChange = smallChange;
  s.largeChange = largeChange;
  const int old = s.value;
  s.value = std::clamp(s.value, s.min, s.max);
  Notify(id);
  if (s.value != old) Run(change_, id, Cause::kProgram);
}

void FormModel::SetEnabled(int id, bool enabled) {
  ControlState& s = Mutable(id);
  if (s.enabled == enabled) return;
  s.enabled = enabled;
  Notify(id);
}

void FormModel::SetVisible(int id, bool visible) {
  ControlState& s = Mutable(id);
  if (s.visible == visible) return;
  s.visible = visible;
  Notify(id);
}

void FormModel::UserSelection(int id, int start, int length) {
  ControlState& s = Mutable(id);
  const int size = static_cast<int>(s.text.size());
  s.selStart = std::clamp(start, 0, size);
  s.selLength = std::clamp(length, 0, size - s.selStart);
}

void FormModel::SetSelection(int id, int start, int length) {
  UserSelection(id, start, length);
  Notify(id);
}

void FormModel::ReplaceSelection(int id, const std::string& text) {
  const ControlState& s = State(id);
  const int start = s.selStart;
  std::string next = s.text;
  next.replace(static_cast<size_t>(start), static_cast<size_t>(s.selLength), text);
  SetSelection(id, 0, 0);
  SetText(id, next);
  SetSelection(id, start + static_cast<int>(text.size()), 0);
}

int FormModel::GroupValue(int id) const {
  const ControlSpec* c = &Checked(id);
  for (const ControlSpec& other : spec_.controls) {
    if (other.kind == ControlKind::kOptionButton && std::string(other.name) == c->name &&
        State(other.id).value != 0) {
      return other.index;
    }
  }
  return -1;
}

void FormModel::SetGroupValue(int id, int index, Cause cause) {
  const ControlSpec* c = &Checked(id);
  // The member nearest to `index`: a stored value the group cannot show still opens the window.
  const ControlSpec* best = nullptr;
  for (const ControlSpec& other : spec_.controls) {
    if (other.kind != ControlKind::kOptionButton || std::string(other.name) != c->name) continue;
    if (best == nullptr || std::abs(other.index - index) < std::abs(best->index - index)) best = &other;
  }
  if (best != nullptr) SetValue(best->id, 1, cause);
}

void FormModel::UserClick(int id) {
  const ControlSpec* c = Find(id);
  if (c == nullptr || !State(id).enabled) return;
  Run(click_, id, Cause::kUser);
}

void FormModel::UserDoubleClick(int id) {
  if (Find(id) == nullptr || !State(id).enabled) return;
  Run(doubleClick_, id, Cause::kUser);
}

void FormModel::UserMouse(int id, MouseAction action, int buttons) {
  if (Find(id) == nullptr || !State(id).enabled) return;
  auto it = mouse_.find(id);
  if (it != mouse_.end() && it->second) it->second(action, buttons);
}

void FormModel::UserClose() {
  if (queryClose_ && !queryClose_()) return;
  Close();
}

void FormModel::Unloaded() {
  if (unloaded_) return;
  unloaded_ = true;
  if (unload_) unload_();
}

void FormModel::Show(bool visible) {
  if (view_ != nullptr) view_->Show(visible);
}

void FormModel::Focus(int id) {
  if (view_ != nullptr) view_->Focus(id);
}

void FormModel::Close() {
  if (view_ != nullptr) {
    view_->Close();
  } else {
    Unloaded();
  }
}

}  // namespace kestrova

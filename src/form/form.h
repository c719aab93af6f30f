#pragma once
// The form kernel: every window of the program is a table of controls
// (form_spec.h), a FormModel holding their state and running their handlers,
// and a view that shows it (the Win32 renderer, or a recording fake in tests).
//
// Describing and driving a window:
//
//   constexpr ControlSpec kRows[] = {
//       {.id = 101, .kind = ControlKind::kCheckBox, .name = "Check1",
//        .rect = {120, 1800, 4560, 300}, .caption = "起動時に...", .flags = kTabStop},
//       {.id = 1, .kind = ControlKind::kButton, .name = "Command1",
//        .rect = {1793, 2220, 1215, 375}, .caption = "OK", .flags = kTabStop | kDefaultButton},
//   };
//   FormModel form({.caption = "Kestrova-...", .clientWidth = 4800, .clientHeight = 2715,
//                   .controls = kRows});
//   form.OnChange(101, [&](Cause) { ... form.Value(101) ... });
//   form.OnClick(1, [&](Cause) { form.Close(); });
//   form.OnUnload([&] { ... the closing step ... });
//   form.SetValue(101, 1);   // runs the handler, as a user's click would
//
// On screen (form/win32/form_win.h, modal_win.h): `FormWindow window(form, icon);` then
// `RunModal(window, owner)` for a dialog, or `window.Create(owner)` and
// `form.Show(true)` for a modeless window; Prompts::RunModal (platform/prompts.h)
// does the same behind an interface that tests replace with a script. Record
// fields bind to controls through the rows of form/binding.h.
//
// The renderer reports user actions through the User* calls with their cause;
// the model tells the view about each changed control with ControlChanged(id)
// and the view reads the new state back. Handlers may set other controls: the
// other control's handler runs at once, nested. A control's own handler is
// not re-entered while it runs. Values are clamped to what the control can
// show (scroll range, list size, 0..2 for a check box), never refused.
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "form/form_spec.h"

namespace kestrova {

enum class Cause { kProgram, kUser, kThumbDrag };

// Mouse reports of a picture. Once the left button went down on it, the
// picture keeps receiving moves wherever the pointer is, until the release.
enum class MouseAction { kDown, kMove, kUp };
enum MouseButton : int { kLeftButton = 1, kRightButton = 2, kMiddleButton = 4 };

struct ControlState {
  std::string text;  // caption or contents
  int value = 0;     // check, option 0/1, selected index, scroll position, tab page, underline 0/1
  int min = 0, max = 0, smallChange = 1, largeChange = 1;
  std::vector<std::string> items;
  bool enabled = true;
  bool visible = true;
  int selStart = 0, selLength = 0;  // text boxes, in bytes of `text`
};

class FormView {
 public:
  virtual ~FormView() = default;
  virtual void ControlChanged(int id) = 0;
  virtual void Show(bool visible) = 0;
  virtual void Focus(int id) = 0;
  virtual void Close() = 0;
};

class FormModel {
 public:
  using Handler = std::function<void(Cause)>;

  explicit FormModel(const FormSpec& spec);

  const FormSpec& Spec() const { return spec_; }
  const ControlSpec* Find(int id) const;
  void AttachView(FormView* view) { view_ = view; }

  const ControlState& State(int id) const;
  const std::string& Text(int id) const { return State(id).text; }
  int Value(int id) const { return State(id).value; }

  // Program changes. SetText runs the change handler when the text changed;
  // SetValue from the program runs it always, as does setting an option (a click).
  void SetText(int id, const std::string& text, Cause cause = Cause::kProgram);
  void SetValue(int id, int value, Cause cause = Cause::kProgram);
  void SetItems(int id, std::vector<std::string> items);
  void SetRange(int id, int min, int max, int smallChange = 1, int largeChange = 1);
  void SetEnabled(int id, bool enabled);
  void SetVisible(int id, bool visible);
  void SetSelection(int id, int start, int length);
  // Replaces the selection of a text box (or inserts at the caret) and puts the caret after it.
  void ReplaceSelection(int id, const std::string& text);

  // Option groups: the index of the set member of `id`'s group (-1 for none), and setting it.
  int GroupValue(int id) const;
  void SetGroupValue(int id, int index, Cause cause = Cause::kProgram);

  // What the renderer reports.
  void UserText(int id, const std::string& text) { SetText(id, text, Cause::kUser); }
  void UserValue(int id, int value, Cause cause = Cause::kUser) { SetValue(id, value, cause); }
  void UserSelection(int id, int start, int length);
  void UserClick(int id);
  void UserDoubleClick(int id);
  // `buttons`: the MouseButton bits held (for kUp: the one released).
  void UserMouse(int id, MouseAction action, int buttons);
  // The mouse moved, or a button went down or up, over control `id`; 0 is the
  // window's own background.
  void UserMouseMove(int id) { Run(mouseMove_, id, Cause::kUser); }
  // Close box, or Esc without a cancel button: the query handler may refuse.
  void UserClose();
  // The window is gone, whatever closed it: runs the unload handler once.
  void Unloaded();

  void OnChange(int id, Handler h) { change_[id] = std::move(h); }
  void OnClick(int id, Handler h) { click_[id] = std::move(h); }
  void OnDoubleClick(int id, Handler h) { doubleClick_[id] = std::move(h); }
  void OnMouse(int id, std::function<void(MouseAction, int buttons)> h) { mouse_[id] = std::move(h); }
  void OnMouseMove(int id, Handler h) { mouseMove_[id] = std::move(h); }
  void OnQueryClose(std::function<bool()> h) { queryClose_ = std::move(h); }
  void OnUnload(std::function<void()> h) { unload_ = std::move(h); }

  void Show(bool visible);
  void Focus(int id);
  void Close();
  bool IsUnloaded() const { return unloaded_; }

 private:
  const ControlSpec& Checked(int id) const;
  ControlState& Mutable(int id);
  void Notify(int id);
  void Run(std::map<int, Handler>& handlers, int id, Cause cause);
  int Clamp(const ControlSpec& c, const ControlState& s, int value) const;

  FormSpec spec_;
  std::map<int, ControlState> states_;
  std::map<int, Handler> change_, click_, doubleClick_, mouseMove_;
  std::map<int, std::function<void(MouseAction, int)>> mouse_;
  std::map<int, bool> running_;
  std::function<bool()> queryClose_;
  std::function<void()> unload_;
  FormView* view_ = nullptr;
  bool unloaded_ = false;
};

}  // namespace kestrova

#pragma once
// A form view that records what the model told it, and prompts that answer
// from a script and record what was asked.
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "form/form.h"
#include "platform/prompts.h"

namespace kestrova::testing {

class RecordingFormView : public FormView {
 public:
  explicit RecordingFormView(FormModel& form) : form_(form) { form_.AttachView(this); }
  ~RecordingFormView() override { form_.AttachView(nullptr); }

  std::vector<int> changed;        // one entry per notification, in order
  std::vector<std::string> calls;  // window-level operations: "show", "hide", "focus 12", "close"

  void ControlChanged(int id) override { changed.push_back(id); }
  void Show(bool visible) override { calls.push_back(visible ? "show" : "hide"); }
  void Focus(int id) override { calls.push_back("focus " + std::to_string(id)); }
  // Like a real window: closing unloads the form.
  void Close() override {
    calls.push_back("close");
    form_.Unloaded();
  }

 private:
  FormModel& form_;
};

class FakePrompts : public Prompts {
 public:
  struct Asked {
    PromptKind kind;
    std::string title;
    std::string text;
  };
  std::vector<Asked> asked;
  std::deque<PromptAnswer> answers;  // replayed in order; kOk/kNo when empty
  // What the "user" does in each modal form, in order; a form with no script is closed.
  std::deque<std::function<void(FormModel&)>> dialogs;
  int modalRuns = 0;
  // Runs while a question or message box is up (its nested loop goes on).
  std::function<void(const Asked&)> whileAsked;

  PromptAnswer Ask(PromptKind kind, const std::string& title, const std::string& text) override;
  void RunModal(FormModel& form) override;
};

}  // namespace kestrova::testing

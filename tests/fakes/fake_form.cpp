#include "fakes/fake_form.h"

namespace kestrova::testing {

PromptAnswer FakePrompts::Ask(PromptKind kind, const std::string& title, const std::string& text) {
  asked.push_back({kind, title, text});
  if (whileAsked) whileAsked(asked.back());
  if (answers.empty()) return kind == PromptKind::kQuestion ? PromptAnswer::kNo : PromptAnswer::kOk;
  const PromptAnswer answer = answers.front();
  answers.pop_front();
  return answer;
}

void FakePrompts::RunModal(FormModel& form) {
  ++modalRuns;
  RecordingFormView view(form);
  if (!dialogs.empty()) {
    auto act = std::move(dialogs.front());
    dialogs.pop_front();
    act(form);
  }
  // A real window never outlives its modal run.
  if (!form.IsUnloaded()) form.Close();
}

}  // namespace kestrova::testing

#pragma once
// Message boxes and modal windows, as the program asks for them. Tests
// replay scripted answers through a fake.
#include <string>

namespace kestrova {

class FormModel;

enum class PromptKind {
  kQuestion,     // Yes/No, question icon: confirmations
  kInformation,  // OK, information icon: notices
  kExclamation,  // OK, exclamation icon: warnings and failures
};

enum class PromptAnswer { kOk, kYes, kNo };

class Prompts {
 public:
  virtual ~Prompts() = default;
  // `title` is the caption as given ("Kestrova" where one is given).
  virtual PromptAnswer Ask(PromptKind kind, const std::string& title, const std::string& text) = 0;
  // Shows `form` modally over its owner and returns when it has closed; ticks
  // go on meanwhile. The form has run its unload handler by then.
  virtual void RunModal(FormModel& form) = 0;
};

}  // namespace kestrova

#include "form/win32/prompts_win.h"

#include "form/win32/modal_win.h"
#include "platform/win32/text_win.h"

namespace kestrova::win32 {

PromptAnswer Win32Prompts::Ask(PromptKind kind, const std::string& title, const std::string& text) {
  UINT type = MB_OK | MB_ICONEXCLAMATION;
  if (kind == PromptKind::kQuestion) type = MB_YESNO | MB_ICONQUESTION;
  if (kind == PromptKind::kInformation) type = MB_OK | MB_ICONINFORMATION;
  const int answer = MessageBoxW(Owner(), Widen(text).c_str(), Widen(title).c_str(), type);
  if (kind != PromptKind::kQuestion) return PromptAnswer::kOk;
  return answer == IDYES ? PromptAnswer::kYes : PromptAnswer::kNo;
}

void Win32Prompts::RunModal(FormModel& form) {
  FormWindow window(form, icon_);
  const HWND owner = Owner();
  open_.push_back(&window);
  win32::RunModal(window, owner);
  open_.pop_back();
}

// What a modal window opens belongs to it, so that the window waits behind it
// instead of taking a second OK while its warning is up.
HWND Win32Prompts::Owner() const {
  for (auto it = open_.rbegin(); it != open_.rend(); ++it) {
    if ((*it)->Hwnd() != nullptr) return (*it)->Hwnd();
  }
  return owner_;
}

}  // namespace kestrova::win32

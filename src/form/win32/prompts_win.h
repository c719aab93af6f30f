#pragma once
// Message boxes and modal forms on screen, owned by one window, or by the
// modal form they are opened from.
#include <windows.h>

#include <vector>

#include "platform/prompts.h"

namespace kestrova::win32 {

class FormWindow;

class Win32Prompts : public Prompts {
 public:
  Win32Prompts(HWND owner, HICON icon) : owner_(owner), icon_(icon) {}
  void SetOwner(HWND owner) { owner_ = owner; }
  // The icon the modal forms show.
  void SetIcon(HICON icon) { icon_ = icon; }

  PromptAnswer Ask(PromptKind kind, const std::string& title, const std::string& text) override;
  void RunModal(FormModel& form) override;

 private:
  HWND Owner() const;

  HWND owner_;
  HICON icon_;
  std::vector<FormWindow*> open_;  // the modal windows running, innermost last
};

}  // namespace kestrova::win32

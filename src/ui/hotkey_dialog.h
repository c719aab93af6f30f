#pragma once
// "Kestrova-ホットキー": one hot-key field and a clear button per command.
#include <optional>

#include "form/form.h"
#include "ui/keyboard_commands.h"

namespace kestrova {

class Prompts;

inline constexpr const char* kHotkeyCaption = "Kestrova-ホットキー";

enum HotkeyDialogControl : int {
  kHotkeyOk = 1,
  kHotkeyCancel = 2,
  kHotkeyLabelBase = 100,  // + command
  kHotkeyFieldBase = 110,
  kHotkeyClearBase = 120,
  kHotkeyStatusBase = 130,  // what became of the stored text
};

class HotkeyDialog {
 public:
  HotkeyDialog(const HotkeyTexts& texts, const HotkeyStatuses& statuses);

  FormModel& Form() { return form_; }
  // The texts of OK; nothing after Cancel or the close box.
  const std::optional<HotkeyTexts>& Result() const { return result_; }

 private:
  FormModel form_;
  HotkeyTexts texts_;
  std::optional<HotkeyTexts> result_;
};

// What the status line says of a stored text.
std::string HotkeyStatusText(const std::string& text, HotkeyStatus status);

// Runs the dialog; the new texts, or nothing when cancelled.
std::optional<HotkeyTexts> EditHotkeys(Prompts& prompts, const HotkeyTexts& texts, const HotkeyStatuses& statuses);

}  // namespace kestrova

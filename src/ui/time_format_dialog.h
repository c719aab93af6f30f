#pragma once
// The time format dialog (Form2): builds a clock pattern from ready-made
// patterns and single elements, each with its explanation.
#include <optional>
#include <string>

#include "form/form.h"

namespace kestrova {

class Prompts;

inline constexpr const char* kTimeFormatCaption = "Kestrova-時刻形式の設定";

enum TimeFormatControl : int {
  kFormatOk = 1,        // Command2(0)
  kFormatCancel = 2,    // Command2(1)
  kFormatSimple = 100,  // Option1(0) "簡易"
  kFormatDetailed,      // Option1(1) "詳細"
  kFormatList1,
  kFormatText1,    // the explanation
  kFormatText2,    // the pattern being built
  kFormatAdd,      // Command1(0)
  kFormatReplace,  // Command1(1)
  kFormatDefault,  // Command1(2)
};

inline constexpr int kFormatPresetCount = 12;
inline constexpr int kFormatElementCount = 38;

// The explanation of row `row` of the simple (presets) or detailed (elements) list.
std::string FormatExplanation(bool detailed, int row);

class TimeFormatDialog {
 public:
  // Opens in "簡易" mode with an empty pattern.
  TimeFormatDialog();

  FormModel& Form() { return form_; }
  // The pattern of OK; nothing after Cancel or the close box.
  const std::optional<std::string>& Result() const { return result_; }

 private:
  void Fill(bool detailed);
  // The selected row's text, or nothing.
  std::optional<std::string> Row() const;

  FormModel form_;
  bool filled_ = false;
  bool detailed_ = false;  // which list is filled in
  std::optional<std::string> result_;
};

// Runs the dialog modally: the new pattern for the box it was opened from, or
// nothing when it was cancelled.
std::optional<std::string> EditTimeFormat(Prompts& prompts);

}  // namespace kestrova

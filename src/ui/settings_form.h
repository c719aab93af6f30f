#pragma once
// The settings window (Form1) as data: its control ids and its control table.
#include "form/form_spec.h"

namespace kestrova {

inline constexpr const char* kSettingsCaption = "Kestrova-設定画面";
inline constexpr int kSettingsPageCount = 7;

// Control ids. Members of a control group are the group's base id + index.
enum SettingsControl : int {
  // Command2(0..2); 1 and 2 are the dialog's OK and Cancel ids, so Enter and Esc press them.
  kCommand2Ok = 1,
  kCommand2Cancel = 2,
  kCommand2Apply = 3,
  kTabStrip = 10,  // Picture2(7) and its tab control
  kLabel2 = 11,    // the preview
  // Page 0
  kCheck1 = 100,  // 0 WindowHide, 1 TaskIcon, 2 MDIChild, 3 Overlay
  kCombo1 = 110,  // 0 front, 1 middle, 2 back
  kLabel5 = 120,  // the choice descriptions
  kCombo4 = 125,  // Theme: the window colours
  kLabel7 = 126,  // its caption
  // Page 1
  kText3 = 130,
  kVScroll1 = 131,
  kList2 = 132,
  kCommand4 = 140,  // 0 add, 1 edit, 2 delete
  kChkAnMW = 145,
  // Page 2 (and Text1(1), Command1(1) on page 3)
  kText1 = 150,
  kCommand1 = 155,
  kLabel6 = 160,
  kCommand3 = 161,
  kFrame1 = 162,
  kOption1 = 170,  // 0..3
  // Page 3
  kCombo2 = 180,
  kCheck2 = 181,
  // Page 4
  kCombo3 = 190,  // 0..5: year, month, day, hour, minute, second
  kCommand5 = 199,
  // Page 5
  kText2 = 200,
  kList1 = 201,
  // Page 6
  kOption2 = 210,  // 0..4
  kHScroll1 = 220,
  kLabel3 = 221,
  kHScroll2 = 222,
  kLabel4 = 223,
  // Label1(0..23): captions of their neighbours
  kLabel1 = 300,
};

// The Command2 buttons by index, as the menu commands name them.
enum class Command2 : int { kOk = 0, kCancel = 1, kApply = 2 };

const FormSpec& SettingsFormSpec();

}  // namespace kestrova

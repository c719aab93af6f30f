#pragma once
// A window described as data: one row per control, laid out in twips.
#include <span>

namespace kestrova {

enum class ControlKind {
  kLabel,
  kTextBox,
  kButton,
  kCheckBox,      // value 0, 1 or 2 (greyed)
  kOptionButton,  // value 0/1; one per group (same name) is set
  kComboList,     // drop-down, pick only; value = selected index or -1
  kListBox,       // value = selected index or -1
  kHScroll,
  kVScroll,
  kFrame,
  kPicture,  // custom paint, icon or drag target; the renderer's painter draws it
  kTab,      // its items are the page captions; value = page shown
  kHotKey,   // a key combination field; value = virtual key | HOTKEYF_* << 8, 0 for none
};

enum ControlFlag : unsigned {
  kTabStop = 1u << 0,
  kReadOnly = 1u << 1,
  kMultiLine = 1u << 2,
  kDefaultButton = 1u << 3,  // Enter
  kCancelButton = 1u << 4,   // Esc
  kGroupStart = 1u << 5,     // arrow keys stop here (first option of a group)
  kNotify = 1u << 6,         // a label or picture that reports clicks
  kLink = 1u << 7,           // a label that opens something: hand cursor, reports clicks and the mouse
  kWindowIcon = 1u << 8,     // a picture that shows the window's icon
};

// Text colour 0xRRGGBB of a label, or the colour that fills a picture nobody
// paints. Coloured labels and links are drawn by the renderer, each with the
// coloured labels it overlaps, so that two of them offset a little make a
// drop shadow.
inline constexpr unsigned kSystemColor = 0xFFFFFFFFu;

struct TwipRect {
  int left = 0, top = 0, width = 0, height = 0;
};

struct ControlSpec {
  int id = 0;  // also the child window id; 1 and 2 are the dialog's OK and Cancel ids
  ControlKind kind = ControlKind::kLabel;
  const char* name = "";  // e.g. "Option1"; members of a control group share it
  int index = -1;         // index within the control group, -1 for none
  int page = -1;          // tab page index, -1 for every page
  TwipRect rect = {};
  const char* caption = "";
  const char* tooltip = "";
  unsigned flags = 0;
  const char* fontName = nullptr;  // nullptr: the system UI font
  int fontTenthPoints = 0;         // e.g. 83 for 8.25 pt
  // Picture: number of a cursor resource it shows; also the mouse cursor over
  // it and while a drag started on it lasts.
  int image = 0;
  unsigned color = kSystemColor;
};

struct FormSpec {
  const char* caption = "";
  int clientWidth = 0;  // twips
  int clientHeight = 0;
  std::span<const ControlSpec> controls = {};
  bool topMost = false;
};

}  // namespace kestrova

#pragma once
// System-wide hotkeys and keystrokes typed into whatever has the focus.
#include <string>

namespace kestrova {

// Modifier bits as RegisterHotKey takes them.
enum HotkeyModifier : unsigned { kModAlt = 1, kModCtrl = 2, kModShift = 4, kModWin = 8 };

struct Hotkey {
  unsigned modifiers = 0;
  int key = 0;  // virtual-key code; 0: none
  bool Empty() const { return key == 0; }
  bool operator==(const Hotkey&) const = default;
};

class HotkeyService {
 public:
  virtual ~HotkeyService() = default;
  // False when the combination is held already (by another program, mostly).
  virtual bool Register(int id, const Hotkey& hotkey) = 0;
  virtual void Unregister(int id) = 0;
  // Types `utf8` as Unicode keystrokes after `delayMs`, once no modifier key is held.
  virtual void TypeText(const std::string& utf8, int delayMs) = 0;
  // A balloon from the tray icon.
  virtual void ShowBalloon(const std::string& title, const std::string& text) = 0;
};

}  // namespace kestrova

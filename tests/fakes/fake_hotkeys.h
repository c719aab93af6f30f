#pragma once
// Hotkeys held by "other programs", and what would have been typed.
#include <map>
#include <string>
#include <vector>

#include "platform/hotkeys.h"

namespace kestrova::testing {

class FakeHotkeys : public HotkeyService {
 public:
  std::vector<Hotkey> heldElsewhere;
  std::map<int, Hotkey> registered;
  std::vector<std::pair<std::string, int>> typed;  // text, delay
  std::vector<std::string> balloons;
  bool Register(int id, const Hotkey& hotkey) override {
    for (const Hotkey& h : heldElsewhere) {
      if (h == hotkey) return false;
    }
    for (const auto& [other, h] : registered) {
      if (h == hotkey && other != id) return false;
    }
    registered[id] = hotkey;
    return true;
  }
  void Unregister(int id) override { registered.erase(id); }
  void TypeText(const std::string& utf8, int delayMs) override { typed.emplace_back(utf8, delayMs); }
  void ShowBalloon(const std::string&, const std::string& text) override { balloons.push_back(text); }
};

}  // namespace kestrova::testing

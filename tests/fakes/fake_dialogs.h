#pragma once
// Fakes for what the dialogs reach beyond prompts: the version resource and the drag pick.
#include <map>
#include <optional>
#include <string>

#include "platform/version_info.h"
#include "ui/window_picker.h"

namespace kestrova::testing {

class MapVersionInfo : public VersionInfo {
 public:
  std::map<std::string, std::string> texts;
  std::string Text(const std::string& key) override {
    auto it = texts.find(key);
    return it == texts.end() ? std::string() : it->second;
  }
};

class FixedWindowPicker : public WindowPicker {
 public:
  std::optional<PickedWindow> under;
  std::optional<PickedWindow> PickUnderCursor() override { return under; }
};

}  // namespace kestrova::testing

#pragma once
// Fakes for the program's shell, settings file and settings window view.
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "alarms/alarm_check.h"
#include "platform/profile_store.h"
#include "platform/shell.h"
#include "ui/settings_window_view.h"

namespace kestrova::testing {

// Keeps every value byte for byte as written, with case-insensitive names;
// reading drops the blanks around a value and one pair of quotes, as the
// service does (its finer rules are the portable store's business).
class MemoryProfileStore : public ProfileStore {
 public:
  std::map<std::tuple<std::string, std::string>, std::string> values;  // (SECTION, KEY) upper-cased
  int writes = 0;
  std::string ReadString(const std::string& path, const std::string& section, const std::string& key,
                         const std::string& def) override;
  int ReadInt(const std::string& path, const std::string& section, const std::string& key, int def) override;
  bool WriteString(const std::string& path, const std::string& section, const std::string& key,
                   const std::string& value) override;
  // Whole files by path, apart from the values above (a change of form never happens here).
  std::map<std::string, std::string> files;
  std::optional<std::string> ReadFileBytes(const std::string& path) override {
    auto it = files.find(path);
    return it == files.end() ? std::string() : it->second;
  }
  bool WriteFileInPlace(const std::string& path, std::string_view bytes) override {
    files[path] = std::string(bytes);
    return true;
  }
  bool RenameFile(const std::string& from, const std::string& to) override {
    files[to] = files[from];
    files.erase(from);
    return true;
  }
  bool RemoveFile(const std::string& path) override {
    files.erase(path);
    return true;
  }
  // The value as written.
  std::string Get(const std::string& section, const std::string& key) const;
  bool Has(const std::string& section, const std::string& key) const;
};

// UTF-8 passes through unchanged.
class PassThroughCodePage : public CodePage {
 public:
  std::string ToAnsi(const std::string& utf8) override { return utf8; }
  std::string FromAnsi(const std::string& ansi) override { return ansi; }
  bool IsLeadByte(unsigned char) override { return false; }
};

class FakeShell : public Shell {
 public:
  bool otherInstance = false;
  std::vector<WindowHandle> wakeUps;
  std::string startupFolder = "C:\\Users\\u\\Startup";
  std::vector<std::string> existingFiles;
  bool iconsLoaded = false;
  bool trayIcon = false;
  int trayAdds = 0;
  std::string trayTip;
  bool AnotherInstanceRunning() override { return otherInstance; }
  void SendWakeUp(WindowHandle w) override { wakeUps.push_back(w); }
  std::string GetSpecialFolderPath(int) override { return startupFolder; }
  bool FileExists(const std::string& path) override;
  void ExtractAppIcons(const std::string&) override { iconsLoaded = true; }
  void DestroyAppIcons() override { iconsLoaded = false; }
  void AddTrayIcon(WindowHandle, const std::string& tip) override {
    trayIcon = true;
    ++trayAdds;
    trayTip = tip;
  }
  void RemoveTrayIcon() override { trayIcon = false; }
  std::string clipboard;
  void SetClipboardText(WindowHandle, const std::string& text) override { clipboard = text; }
  std::vector<std::string> opened;  // targets, in order
  std::vector<std::string> openedIn;  // their folders
  bool OpenDocument(WindowHandle, const std::string& target, const std::string& directory) override {
    opened.push_back(target);
    openedIn.push_back(directory);
    return true;
  }
};

// Records every popup; `onShow` runs while it is "open", as ticks and
// commands do behind a real modal popup.
class FakePopupHost : public AlarmPopupHost {
 public:
  std::vector<std::pair<int, std::string>> shown;
  std::function<void(int entry)> onShow;
  void ShowAlarmPopup(int entry, const std::string& message) override {
    shown.emplace_back(entry, message);
    if (onShow) onShow(entry);
  }
};

class FakeSettingsView : public SettingsWindowView {
 public:
  WindowHandle handle = 900;
  WindowHandle callback = 901;
  bool visible = false;
  int interval = 0;
  int menuRebuilds = 0;
  std::vector<MenuItem> shownIconMenu;
  int iconMenuChoice = kCmdNone;  // what the "user" picks in the tray menu
  bool closed = false;
  FakePopupHost popups;
  AlarmPopupHost& AlarmPopups() override { return popups; }
  WindowHandle Handle() override { return handle; }
  WindowHandle CallbackHandle() override { return callback; }
  void Show(bool show) override { visible = show; }
  bool IsVisible() override { return visible; }
  void SetTimerInterval(int ms) override { interval = ms; }
  void MenusChanged() override { ++menuRebuilds; }
  int TrackIconMenu(const std::vector<MenuItem>& items) override {
    shownIconMenu = items;
    return iconMenuChoice;
  }
  void Close() override { closed = true; }
};

}  // namespace kestrova::testing

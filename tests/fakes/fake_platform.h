#pragma once
// Fakes of the platform interfaces for native tests.
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/window_system.h"
#include "sysinfo/sources.h"

namespace kestrova::testing {

class FakeClock : public Clock {
 public:
  DateTime local{2026, 12, 8, 10, 30, 0};
  DateTime utc{2026, 12, 8, 1, 30, 0};
  // Runs before each reading of the local time.
  std::function<void()> onLocalNow;
  DateTime LocalNow() override {
    if (onLocalNow) onLocalNow();
    return local;
  }
  DateTime UtcNow() override { return utc; }
};

// Japanese regional settings; upper-casing folds ASCII and full-width Latin
// letters, containment also width and kana type, as the system locale does;
// the ANSI code page is 932.
class FakeLocale : public Locale {
 public:
  RegionalSettings regional;
  RegionalSettings Regional() override { return regional; }
  std::string ToUpper(std::string_view text) override;
  bool ContainsNoCase(std::string_view text, std::string_view part) override;
  std::string AnsiRendering(std::string_view text) override;
};

class FakeWindowSystem : public WindowSystem {
 public:
  struct Window {
    std::string title;
    std::string className = "TestWindow";
    WindowHandle parent = 0;
    WindowHandle mdiActive = 0;  // for an MDI client: its active child
    bool hung = false;           // writes time out
    bool late = false;           // writes time out, and land when Land() is called
    bool exists = true;
    bool own = false;  // a window of the program's own process
  };
  std::map<WindowHandle, Window> windows;
  WindowHandle foreground = 0;
  std::vector<std::pair<WindowHandle, std::string>> writes;  // every write that landed
  std::vector<std::pair<WindowHandle, std::string>> queued;  // timed out, not landed yet

  // The late writes land, in order, in windows that still exist.
  void Land();

  WindowHandle Add(WindowHandle h, std::string title, std::string className = "TestWindow") {
    windows[h].title = std::move(title);
    windows[h].className = std::move(className);
    return h;
  }
  WindowHandle ForegroundWindow() override { return foreground; }
  WindowHandle FindChild(WindowHandle parent, std::string_view className) override;
  WindowHandle ActiveMdiChild(WindowHandle mdiClient) override;
  std::string ReadTitle(WindowHandle window) override;
  bool WriteTitle(WindowHandle window, std::string_view title) override;
  std::string ReadClassName(WindowHandle window) override;
  bool Exists(WindowHandle window) override;
  bool IsOwnWindow(WindowHandle window) override {
    auto it = windows.find(window);
    return it != windows.end() && it->second.own;
  }
};

// Every source answers a fixed, recognisable text.
class FakeSysInfoSources : public SysInfoSources {
 public:
  int cpuSamples = 0;
  std::string MemoryText(int item, bool zeroPad) override;
  std::string CpuUsageText(bool& cpuSampled, bool zeroPad) override;
  std::string BatteryText() override { return "残量 : 80%"; }
  std::string UptimeText() override { return "01:02:03"; }
  std::string CursorText() override { return "X:640 Y:480 "; }
  std::string NetworkText(int item) override;
  std::string DiskText(char drive, int item) override;
};

}  // namespace kestrova::testing

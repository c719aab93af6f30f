// The alarm popup as a real modal window: each way of closing it runs the
// closing step once, writes "Box" to the settings file and returns.
#include "alarms/win32/alarm_popup_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <thread>

#include "alarms/alarm_popup.h"
#include "platform/profile_store.h"
#include "settings/ini_file.h"
#include "settings/settings.h"

namespace kestrova::win32 {
namespace {

// The private-profile service itself, counting writes.
class CountingProfileStore : public ProfileStore {
 public:
  int writes = 0;
  std::string ReadString(const std::string& path, const std::string& section, const std::string& key,
                         const std::string& def) override {
    char buffer[1024] = {};
    GetPrivateProfileStringA(section.c_str(), key.c_str(), def.c_str(), buffer, sizeof(buffer), path.c_str());
    return buffer;
  }
  int ReadInt(const std::string& path, const std::string& section, const std::string& key, int def) override {
    return static_cast<int>(GetPrivateProfileIntA(section.c_str(), key.c_str(), def, path.c_str()));
  }
  bool WriteString(const std::string& path, const std::string& section, const std::string& key,
                   const std::string& value) override {
    ++writes;
    return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), path.c_str()) != FALSE;
  }
};

class AsciiCodePage : public CodePage {
 public:
  std::string ToAnsi(const std::string& utf8) override { return utf8; }
  std::string FromAnsi(const std::string& ansi) override { return ansi; }
  bool IsLeadByte(unsigned char) override { return false; }
};

std::string TempIniPath() {
  char dir[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, dir);
  return std::string(dir) + "kestrova_alarm_popup_test.ini";
}

// What the test does once the popup is up, run from a timer inside its message loop.
std::function<void(HWND popup)> g_whenShown;
Win32AlarmPopupHost* g_host = nullptr;
int g_ownerTicks = 0;

void CALLBACK ActOnPopup(HWND, UINT, UINT_PTR id, DWORD) {
  HWND popup = g_host != nullptr ? g_host->PopupWindow() : nullptr;
  if (popup == nullptr || !g_whenShown) return;
  KillTimer(nullptr, id);
  auto act = std::move(g_whenShown);
  g_whenShown = nullptr;
  act(popup);
}

// A popup left open by a failing test is closed after a while instead of hanging the run.
void CALLBACK Watchdog(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  if (g_host != nullptr && g_host->PopupWindow() != nullptr) {
    ADD_FAILURE() << "popup still open";
    PostMessageW(g_host->PopupWindow(), WM_CLOSE, 0, 0);
  }
}

LRESULT CALLBACK OwnerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_TIMER) {
    ++g_ownerTicks;
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

class AlarmPopupWinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DeleteFileA(path.c_str());
    WNDCLASSW wc = {};
    wc.lpfnWndProc = &OwnerProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"KestrovaPopupOwner";
    RegisterClassW(&wc);
    owner = CreateWindowExW(0, L"KestrovaPopupOwner", L"owner", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr,
                            nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(owner, nullptr);
    settings.Alarms.assign(4, AlarmEntry{});
    for (AlarmEntry& e : settings.Alarms) e.Box = 1;
    settings.AlarmCount = 4;
    g_host = &host;
    g_ownerTicks = 0;
  }
  void TearDown() override {
    g_host = nullptr;
    g_whenShown = nullptr;
    DestroyWindow(owner);
    DeleteFileA(path.c_str());
  }

  // Shows entry `entry`'s popup; `act` runs once it is on screen.
  void Show(int entry, std::function<void(HWND)> act) {
    g_whenShown = std::move(act);
    SetTimer(nullptr, 0, 20, &ActOnPopup);
    const UINT_PTR watchdog = SetTimer(nullptr, 0, 10000, &Watchdog);
    host.ShowAlarmPopup(entry, "会議の時間です");
    KillTimer(nullptr, watchdog);
    EXPECT_EQ(host.PopupWindow(), nullptr);
    EXPECT_TRUE(IsWindowEnabled(owner)) << "owner enabled again";
  }

  std::string FileBox(int entry) {
    char section[16];
    wsprintfA(section, "Alarm%04d", entry);
    char buffer[32] = {};
    GetPrivateProfileStringA(section, "Box", "(none)", buffer, sizeof(buffer), path.c_str());
    return buffer;
  }

  std::string path = TempIniPath();
  CountingProfileStore store;
  AsciiCodePage codePage;
  IniFile ini{store, codePage, path};
  Settings settings;
  HWND owner = nullptr;
  Win32AlarmPopupHost host{nullptr, nullptr, settings, ini};
};

TEST_F(AlarmPopupWinTest, CheckBoxThenOkKeepsThePopup) {
  host.SetOwner(owner);
  bool ownerDisabled = false;
  std::wstring caption;
  Show(2, [&](HWND popup) {
    ownerDisabled = !IsWindowEnabled(owner);
    wchar_t text[128] = {};
    GetWindowTextW(popup, text, 128);
    caption = text;
    SendMessageW(GetDlgItem(popup, 101), BM_CLICK, 0, 0);
    SendMessageW(GetDlgItem(popup, IDOK), BM_CLICK, 0, 0);
  });
  EXPECT_TRUE(ownerDisabled) << "modal to its owner";
  EXPECT_EQ(caption, L"Kestrova-メッセージアラーム");
  EXPECT_EQ(FileBox(2), "1");
  EXPECT_EQ(settings.Alarms[2].Box, 1);
  EXPECT_EQ(store.writes, 1);
}

TEST_F(AlarmPopupWinTest, CloseBoxFromAnotherThreadBehavesLikeOk) {
  host.SetOwner(owner);
  std::thread closer;
  Show(3, [&](HWND popup) { closer = std::thread([popup] { PostMessageW(popup, WM_CLOSE, 0, 0); }); });
  closer.join();
  EXPECT_EQ(FileBox(3), "0");
  EXPECT_EQ(settings.Alarms[3].Box, 0);
  EXPECT_EQ(settings.Alarms[2].Box, 1);
  EXPECT_EQ(store.writes, 1);
}

TEST_F(AlarmPopupWinTest, SessionEndWritesOnceAndCloses) {
  host.SetOwner(owner);
  Show(1, [&](HWND popup) {
    SendMessageW(GetDlgItem(popup, 101), BM_CLICK, 0, 0);
    EXPECT_TRUE(SendMessageW(popup, WM_QUERYENDSESSION, 0, 0));
    SendMessageW(popup, WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(FileBox(1), "1") << "written before the session ends";
  });
  EXPECT_EQ(store.writes, 1);
}

TEST_F(AlarmPopupWinTest, TicksGoOnBehindThePopup) {
  host.SetOwner(owner);
  SetTimer(owner, 1, 10, nullptr);
  Show(0, [&](HWND popup) {
    // Leaves only after the owner's timer has fired a few times in the popup's loop.
    std::thread([popup] {
      for (int i = 0; i < 500 && g_ownerTicks < 5; ++i) Sleep(10);
      PostMessageW(popup, WM_CLOSE, 0, 0);
    }).detach();
  });
  KillTimer(owner, 1);
  EXPECT_GE(g_ownerTicks, 5);
}

TEST_F(AlarmPopupWinTest, QuitEndsThePopupAndReachesTheOuterLoop) {
  host.SetOwner(owner);
  Show(2, [&](HWND) { PostQuitMessage(7); });
  MSG msg;
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 7u);
  EXPECT_EQ(FileBox(2), "0");
}

TEST_F(AlarmPopupWinTest, EntryRemovedWhileOpenIsNotWritten) {
  Show(3, [&](HWND popup) {
    settings.Alarms.resize(2);  // the alarm editor's OK with fewer entries
    settings.AlarmCount = 2;
    PostMessageW(popup, WM_CLOSE, 0, 0);
  });
  EXPECT_EQ(store.writes, 0);
  EXPECT_EQ(FileBox(3), "(none)");
}

TEST_F(AlarmPopupWinTest, EscapeClosesLikeTheCloseBox) {
  host.SetOwner(owner);
  Show(0, [&](HWND popup) { PostMessageW(popup, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0); });
  EXPECT_EQ(FileBox(0), "0");
}

// With no window the user was never asked: the entry keeps its Box and the
// call returns at once.
TEST_F(AlarmPopupWinTest, PopupThatCannotBeMadeLeavesTheEntry) {
  HWND gone = CreateWindowExW(0, L"KestrovaPopupOwner", L"gone", WS_OVERLAPPEDWINDOW, 0, 0, 10, 10, nullptr,
                              nullptr, GetModuleHandleW(nullptr), nullptr);
  DestroyWindow(gone);
  host.SetOwner(gone);
  host.ShowAlarmPopup(1, "m");
  EXPECT_EQ(host.PopupWindow(), nullptr);
  EXPECT_EQ(store.writes, 0);
  EXPECT_EQ(settings.Alarms[1].Box, 1);
  EXPECT_EQ(FileBox(1), "(none)");
}

}  // namespace
}  // namespace kestrova::win32

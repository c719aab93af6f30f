// The about window on screen through the one renderer, and the legal notice
// read from Kestrova.exe's own VERSIONINFO (the program is built beside this test).
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "form/win32/prompts_win.h"
#include "platform/win32/text_win.h"
#include "platform/win32/version_info_win.h"
#include "resources/about_info.h"
#include "resources/version.h"
#include "shell/about_window.h"
#include "shell/win32/shell_win.h"
#include "when_shown.h"

namespace kestrova::win32 {
namespace {

std::string KestrovaPath() {
  wchar_t self[MAX_PATH] = L"";
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring path = self;
  return Narrow(path.substr(0, path.find_last_of(L"\\/") + 1) + L"Kestrova.exe");
}

class RecordingShell : public Win32Shell {
 public:
  std::vector<std::string> opened;
  bool OpenDocument(WindowHandle, const std::string& target, const std::string&) override {
    opened.push_back(target);
    return true;
  }
};

std::wstring TextOf(HWND hwnd) {
  wchar_t buffer[256] = {};
  GetWindowTextW(hwnd, buffer, 256);
  return buffer;
}

int CountPixels(HWND control, COLORREF color) {
  RECT r = {};
  GetClientRect(control, &r);
  HDC dc = GetDC(control);
  int n = 0;
  for (int y = 0; y < r.bottom; ++y) {
    for (int x = 0; x < r.right; ++x) n += GetPixel(dc, x, y) == color ? 1 : 0;
  }
  ReleaseDC(control, dc);
  return n;
}

void Hover(HWND about, HWND over) {
  SendMessageW(about, WM_SETCURSOR, reinterpret_cast<WPARAM>(over), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
}

class AboutWinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    owner = CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(owner, nullptr);
  }
  void TearDown() override { DestroyWindow(owner); }

  // Runs `show` (which opens the window modally); `act` runs once it is on screen.
  void WhileShown(const std::function<void()>& show, std::function<void(HWND)> act) {
    WhenShown(Widen(kAboutCaption), std::move(act), show);
    EXPECT_TRUE(IsWindowEnabled(owner)) << "owner enabled again";
  }

  HWND owner = nullptr;
  Win32Prompts prompts{nullptr, LoadIconW(nullptr, IDI_APPLICATION)};
  RecordingShell shell;
};

TEST(VersionInfoWin, LegalNoticeIsReadFromKestrovaExe) {
  Win32VersionInfo kestrova(KestrovaPath());
  EXPECT_EQ(kestrova.Text("LegalCopyright"), KESTROVA_LEGAL_COPYRIGHT);
  EXPECT_EQ(kestrova.Text("FileVersion"), KESTROVA_VERSION_STRING);
  EXPECT_EQ(kestrova.Text("NoSuchValue"), "");
  EXPECT_EQ(Win32VersionInfo("C:\\no\\such\\program.exe").Text("LegalCopyright"), "");
}

TEST_F(AboutWinTest, ShowsVersionAndLegalNoticeAndOkCloses) {
  prompts.SetOwner(owner);
  Win32VersionInfo version(KestrovaPath());
  std::wstring caption, versionText, legal;
  bool ownerDisabled = false;
  WhileShown([&] { ShowAbout(prompts, shell, version); },
             [&](HWND about) {
               caption = TextOf(about);
               versionText = TextOf(GetDlgItem(about, kAboutVersion));
               legal = TextOf(GetDlgItem(about, kAboutLegal));
               ownerDisabled = !IsWindowEnabled(owner);
               SendMessageW(GetDlgItem(about, kAboutCommand1), BM_CLICK, 0, 0);
             });
  EXPECT_EQ(caption, L"Kestrova-バージョン情報");
  EXPECT_EQ(Narrow(versionText),
            VersionText(KESTROVA_VERSION_MAJOR, KESTROVA_VERSION_MINOR, KESTROVA_VERSION_REVISION));
  EXPECT_EQ(Narrow(legal), KESTROVA_LEGAL_COPYRIGHT);
  EXPECT_TRUE(ownerDisabled) << "modal to its owner";
}

TEST_F(AboutWinTest, TitleIsDrawnOverItsShadow) {
  AboutWindow about(shell, "Ver.1.0.0", "");
  int title = 0, shadow = 0;
  WhileShown([&] { prompts.RunModal(about.Form()); },
             [&](HWND window) {
               HWND label = GetDlgItem(window, kAboutTitle);
               title = CountPixels(label, RGB(0x00, 0x00, 0x80));
               shadow = CountPixels(label, RGB(0xA0, 0xA0, 0xA0));
               PostMessageW(window, WM_CLOSE, 0, 0);
             });
  EXPECT_GT(title, 20);
  EXPECT_GT(shadow, 20);
}

TEST_F(AboutWinTest, HoverUnderlinesOnlyThatLinkWithTheHandCursorAndAClickOpensItsTag) {
  AboutWindow about(shell, "Ver.1.0.0", "");
  bool notify = false, underlined = false, otherUnderlined = true, cleared = false, hand = false;
  int plain = 0, drawnUnderlined = 0;
  WhileShown([&] { prompts.RunModal(about.Form()); },
             [&](HWND window) {
               HWND mail = GetDlgItem(window, kAboutMailLink);
               HWND web = GetDlgItem(window, kAboutWebLink);
               notify = (GetWindowLongW(mail, GWL_STYLE) & SS_NOTIFY) != 0;
               plain = CountPixels(mail, RGB(0, 0, 0xFF));
               Hover(window, mail);
               hand = GetCursor() == LoadCursorW(nullptr, IDC_HAND);
               underlined = about.Underlined(kAboutMailLink);
               otherUnderlined = about.Underlined(kAboutWebLink);
               UpdateWindow(window);
               RedrawWindow(mail, nullptr, nullptr, RDW_UPDATENOW);
               drawnUnderlined = CountPixels(mail, RGB(0, 0, 0xFF));
               Hover(window, window);
               cleared = !about.Underlined(kAboutMailLink) && !about.Underlined(kAboutWebLink);
               // A real press on the link: the static reports it to the window.
               SendMessageW(web, WM_LBUTTONDOWN, MK_LBUTTON, 0);
               SendMessageW(web, WM_LBUTTONUP, 0, 0);
               PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);  // Esc
             });
  EXPECT_TRUE(notify);
  EXPECT_TRUE(hand);
  EXPECT_TRUE(underlined);
  EXPECT_FALSE(otherUnderlined);
  EXPECT_TRUE(cleared);
  EXPECT_GT(plain, 0);
  EXPECT_GT(drawnUnderlined, plain) << "the underline is drawn";
  EXPECT_EQ(shell.opened, std::vector<std::string>{KESTROVA_WEB_ADDRESS});
}

TEST(ShellWin, OpeningAMissingFileReportsFailure) {
  Win32Shell shell;
  EXPECT_FALSE(shell.OpenDocument(0, "C:\\no\\such\\folder\\Readme.txt", "C:\\no\\such\\folder\\"));
}

}  // namespace
}  // namespace kestrova::win32

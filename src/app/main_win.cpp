// Kestrova.exe: binds the Win32 implementations to the program and runs the message loop.
// commctrl.h needs the types of windows.h.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <memory>

#include "app/program.h"
#include "format/win32/clock_win.h"
#include "engine/win32/crash_giveback_win.h"
#include "format/win32/locale_win.h"
#include "overlay/win32/overlay_win.h"
#include "engine/win32/window_system_win.h"
#include "form/win32/prompts_win.h"
#include "platform/win32/files_win.h"
#include "platform/win32/program_folder_win.h"
#include "platform/win32/text_win.h"
#include "platform/win32/version_info_win.h"
#include "settings/win32/codepage_win.h"
#include "settings/win32/profile_store_win.h"
#include "shell/win32/command_client_win.h"
#include "shell/win32/hotkeys_win.h"
#include "shell/win32/shell_win.h"
#include "sysinfo/system_info.h"
#include "sysinfo/win32/probes_win.h"
#include "ui/keyboard_commands.h"
#include "ui/settings_window.h"
#include "ui/win32/settings_window_win.h"
#include "ui/win32/window_picker_win.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // An option is for the running copy; only /setting may start this one.
  const kestrova::win32::CommandLineRun line = kestrova::win32::RunCommandLine(kestrova::win32::CommandLineArguments());
  if (!line.start) return line.exitCode;
  kestrova::win32::InstallCrashGiveBack();
  INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);

  using namespace kestrova;
  win32::Win32WindowSystem windows;
  Win32Clock clock;
  Win32Locale locale;
  WinProfileStore profile;
  WinCodePage codePage;
  std::unique_ptr<SystemProbes> probes = CreateWin32Probes();
  SystemInfo sysinfo(*probes);
  // The interface table and disk readings cost milliseconds each; the network
  // sampler refreshes every second anyway, so a short tick reuses them.
  sysinfo.SetReadingReuse(1000);
  sysinfo.SetLazyNetworkSampling(true);
  win32::Win32Shell shell;
  win32::Win32Prompts prompts(nullptr, nullptr);
  win32::Win32Files files;
  win32::Win32VersionInfo version;
  win32::Win32WindowPicker picker;
  Platform platform{windows,
                    clock,
                    locale,
                    profile,
                    codePage,
                    sysinfo,
                    shell,
                    prompts,
                    files,
                    version,
                    picker,
                    [&sysinfo] { sysinfo.Start(); },
                    [&sysinfo] { sysinfo.Stop(); },
                    &files,
                    win32::KeepForCrash};
  win32::Win32Hotkeys hotkeys;
  platform.hotkeys = &hotkeys;

  // Outlive the program, whose tick reports to the overlay until it ends.
  win32::Win32WindowGeometry geometry;
  win32::Win32OverlaySurface overlaySurface;
  win32::Win32CaptionHitTest captionHits;
  CaptionOverlay overlay(geometry, overlaySurface, captionHits);
  overlaySurface.onFollow = [&overlay] { overlay.Follow(); };

  Program program(platform);
  std::unique_ptr<win32::Win32SettingsWindow> view;
  const bool run = program.StartUp(win32::ProgramFolder(), [&](SettingsWindow& model) -> SettingsWindowView& {
    view = std::make_unique<win32::Win32SettingsWindow>(model, program.settings(), program.ini(),
                                                        shell.LargeIcon(), windows);
    prompts.SetOwner(view->hwnd());
    prompts.SetIcon(shell.LargeIcon());
    // Before the hotkeys are first registered: a combination held elsewhere gets its balloon.
    hotkeys.SetTrayWindow(reinterpret_cast<HWND>(view->CallbackHandle()));
    return *view;
  });
  if (!run) return 0;
  view->onRegionalChange = [&locale] { locale.Reload(); };
  hotkeys.onHotkey = [&program](int id) { program.keys()->Pressed(id); };
  hotkeys.onCommand = [&program](RemoteCommand command) { return program.keys()->Run(command); };
  hotkeys.onTaskbarCreated = [&program] { program.keys()->RegisterAll(false); };
  hotkeys.Open();
  if (line.openSettings) program.window().RunCommand(kCmdIconSetup);
  program.window().tick().SetOverlay(&overlay);

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (view && (view->PreTranslate(msg) || IsDialogMessageW(view->hwnd(), &msg))) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}

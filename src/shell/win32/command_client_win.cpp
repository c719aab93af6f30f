#include "shell/win32/command_client_win.h"

#include <windows.h>
#include <shellapi.h>

#include <cstring>

#include "platform/win32/text_win.h"
#include "shell/command_line.h"
#include "shell/win32/hotkeys_win.h"

namespace kestrova::win32 {

namespace {

// Long enough for a dialog the command waits behind, short of forever.
constexpr UINT kAnswerWaitMs = 20000;

bool Write(HANDLE out, const std::string& utf8) {
  if (out == nullptr || out == INVALID_HANDLE_VALUE) return false;
  DWORD mode = 0;
  DWORD written = 0;
  if (GetConsoleMode(out, &mode)) {
    const std::wstring text = Widen(utf8);
    return WriteConsoleW(out, text.c_str(), static_cast<DWORD>(text.size()), &written, nullptr) != FALSE;
  }
  if (GetFileType(out) == FILE_TYPE_UNKNOWN) return false;
  // A pipe or a file: UTF-8, as a script reading it expects today.
  return WriteFile(out, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr) != FALSE;
}

void ShowUsage() {
  const std::string text = CommandLineUsage() + "\r\n";
  if (Write(GetStdHandle(STD_OUTPUT_HANDLE), text)) return;
  if (AttachConsole(ATTACH_PARENT_PROCESS)) {
    HANDLE console = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, 0, nullptr);
    const bool done = Write(console, "\r\n" + text);
    if (console != INVALID_HANDLE_VALUE) CloseHandle(console);
    FreeConsole();
    if (done) return;
  }
  MessageBoxW(nullptr, Widen(CommandLineUsage()).c_str(), L"Kestrova", MB_OK | MB_ICONWARNING);
}

}  // namespace

std::vector<std::string> CommandLineArguments() {
  std::vector<std::string> args;
  int count = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
  if (argv == nullptr) return args;
  for (int i = 1; i < count; ++i) args.push_back(Narrow(argv[i]));
  LocalFree(argv);
  return args;
}

CommandLineRun RunCommandLine(const std::vector<std::string>& args) {
  const CommandLine line = ParseCommandLine(args);
  CommandLineRun run;
  if (line.kind == CommandLine::Kind::kNone) return run;
  run.start = false;
  if (line.kind == CommandLine::Kind::kBad) {
    ShowUsage();
    run.exitCode = kExitBadOption;
    return run;
  }
  HWND target = FindWindowW(kCommandWindowClass, nullptr);
  if (target == nullptr) {
    run.start = line.command == RemoteCommand::kSetting;
    run.openSettings = run.start;
    run.exitCode = kExitNotRunning;
    return run;
  }
  // The running copy may then bring its settings window to the front.
  DWORD process = 0;
  GetWindowThreadProcessId(target, &process);
  AllowSetForegroundWindow(process);
  const char* name = RemoteCommandName(line.command);
  COPYDATASTRUCT data = {};
  data.dwData = kCommandCopyData;
  data.cbData = static_cast<DWORD>(std::strlen(name));
  data.lpData = const_cast<char*>(name);
  DWORD_PTR answer = FALSE;
  const LRESULT sent = SendMessageTimeoutW(target, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                                           SMTO_ABORTIFHUNG, kAnswerWaitMs, &answer);
  run.exitCode = sent != 0 && answer != FALSE ? kExitDone : kExitNotRunning;
  return run;
}

}  // namespace kestrova::win32

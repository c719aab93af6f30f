// winctl: looks at and pokes top-level windows for the end-to-end tests.
//
//   winctl COMMAND [ARGS...]     one command, one line of JSON on stdout
//   winctl serve                 commands from stdin, one per line, arguments
//                                separated by TAB; one line of JSON back each
//
// Commands:
//   list                   every top-level window (hidden ones too)
//   foreground             the foreground window
//   info HWND              one window (with "menubar", the strip of a menu bar)
//   front HWND             bring it to the front (with fallbacks)
//   close HWND             post WM_CLOSE
//   mdiactive HWND         the active MDI child of a frame
//   send HWND TEXT         WM_COPYDATA control command for testwin
//   settitle HWND TEXT     WM_SETTEXT (with a timeout)
//   children HWND          the direct child windows, with their text, screen
//                          rectangle, whether enabled and, for buttons, their
//                          check state
//   click HWND             BM_CLICK on a button, as a mouse click would
//   procs                  running processes
//   clipboard              the clipboard's text ({"text": null} when it has none)
//   settingchange AREA     broadcast WM_SETTINGCHANGE with AREA (e.g.
//                          ImmersiveColorSet), as Windows does after a change
//   watch HWND MS          the title's changes over MS milliseconds, looked at
//                          every millisecond: [[local clock ms, title], ...]
//   switchlag A OWNA B OWNB N
//                          brings B and A to the front in turn, N times, at
//                          uneven gaps; for each switch the milliseconds until
//                          the new window shows more than its own title and
//                          the old one its own title again (-1: not in 5 s)
//
// Handles are decimal. Output is UTF-8 written as bytes, whatever the
// console code page says.
#include <windows.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr ULONG_PTR kControlMagic = 0x4B455354;  // testwin's 'KEST'
constexpr UINT kSendTimeoutMs = 2000;

std::string Narrow(const std::wstring& w) {
  if (w.empty()) return {};
  int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), out.data(), n, nullptr, nullptr);
  return out;
}

std::wstring Widen(const std::string& s) {
  if (s.empty()) return {};
  int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), out.data(), n);
  return out;
}

std::string Json(const std::wstring& w) {
  std::string out = "\"";
  for (unsigned char c : Narrow(w)) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", c);
      out += buf;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

std::string Num(uint64_t v) { return std::to_string(v); }
std::string Bool(bool b) { return b ? "true" : "false"; }
uint64_t HandleValue(HWND h) { return static_cast<uint64_t>(reinterpret_cast<uintptr_t>(h)); }

HWND ParseHwnd(const std::wstring& s) {
  return reinterpret_cast<HWND>(static_cast<uintptr_t>(std::wcstoull(s.c_str(), nullptr, 0)));
}

void WriteLine(const std::string& line) {
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  std::string data = line + "\n";
  DWORD written = 0;
  WriteFile(out, data.data(), static_cast<DWORD>(data.size()), &written, nullptr);
  FlushFileBuffers(out);
}

std::wstring WindowTitle(HWND h) {
  // GetWindowTextW reads another process's caption without sending it a
  // message, so a hung window cannot block us here.
  wchar_t buf[1024] = L"";
  GetWindowTextW(h, buf, 1024);
  return buf;
}

std::wstring WindowClass(HWND h) {
  wchar_t buf[256] = L"";
  GetClassNameW(h, buf, 256);
  return buf;
}

std::string Rect(HWND h) {
  RECT r = {};
  GetWindowRect(h, &r);
  return "[" + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
         std::to_string(r.bottom) + "]";
}

// Where a one-row menu bar lies: the strip of its height above the client area
// (Wine keeps another process's menus from us, GetMenuBarInfo included); null
// for a window without a menu.
std::string MenuBarStrip(HWND h) {
  if (GetMenu(h) == nullptr) return "null";
  POINT origin = {0, 0};
  RECT client = {};
  GetClientRect(h, &client);
  ClientToScreen(h, &origin);
  const int height = GetSystemMetrics(SM_CYMENU);
  return "[" + std::to_string(origin.x) + "," + std::to_string(origin.y - height) + "," +
         std::to_string(origin.x + client.right) + "," + std::to_string(origin.y) + "]";
}

std::string WindowJson(HWND h) {
  if (!h || !IsWindow(h)) return "{\"hwnd\":" + Num(HandleValue(h)) + ",\"exists\":false}";
  DWORD pid = 0;
  DWORD tid = GetWindowThreadProcessId(h, &pid);
  // Wine's X11 driver keeps the X window id of a top-level window here.
  auto xid = reinterpret_cast<uintptr_t>(GetPropW(h, L"__wine_x11_whole_window"));
  RECT r = {};
  GetWindowRect(h, &r);
  const std::string rect = "[" + std::to_string(r.left) + "," + std::to_string(r.top) + "," +
                           std::to_string(r.right) + "," + std::to_string(r.bottom) + "]";
  return "{\"hwnd\":" + Num(HandleValue(h)) + ",\"exists\":true,\"pid\":" + Num(pid) + ",\"tid\":" + Num(tid) +
         ",\"class\":" + Json(WindowClass(h)) + ",\"title\":" + Json(WindowTitle(h)) +
         ",\"visible\":" + Bool(IsWindowVisible(h)) +
         ",\"topmost\":" + Bool((GetWindowLongPtrW(h, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0) +
         ",\"xid\":" + Num(xid) + ",\"rect\":" + rect + ",\"menubar\":" + MenuBarStrip(h) + "}";
}

BOOL CALLBACK CollectWindow(HWND h, LPARAM lp) {
  reinterpret_cast<std::vector<HWND>*>(lp)->push_back(h);
  return TRUE;
}

std::string ListWindows() {
  std::vector<HWND> all;
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&all));
  std::string out = "[";
  for (size_t i = 0; i < all.size(); ++i) {
    if (i) out += ',';
    out += WindowJson(all[i]);
  }
  return out + "]";
}

bool WaitForeground(HWND h, int ms) {
  for (int waited = 0;; waited += 20) {
    if (GetForegroundWindow() == h) return true;
    if (waited >= ms) return false;
    Sleep(20);
  }
}

// Windows guards the foreground against other processes; Wine without a
// window manager mostly does not. Each step is tried only if the last failed.
std::string BringToFront(HWND h) {
  if (!IsWindow(h)) return "{\"ok\":false,\"method\":\"gone\"}";
  if (IsIconic(h)) ShowWindowAsync(h, SW_RESTORE);
  std::string method = "plain";
  SetForegroundWindow(h);
  bool ok = WaitForeground(h, 300);
  if (!ok) {
    method = "attach";
    DWORD self = GetCurrentThreadId();
    DWORD front = GetWindowThreadProcessId(GetForegroundWindow(), nullptr);
    DWORD target = GetWindowThreadProcessId(h, nullptr);
    bool attachedFront = front && front != self && AttachThreadInput(self, front, TRUE);
    bool attachedTarget = target && target != self && AttachThreadInput(self, target, TRUE);
    // Asynchronous, so a hung owner of either window cannot block us.
    SetWindowPos(h, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_ASYNCWINDOWPOS);
    SetForegroundWindow(h);
    if (attachedTarget) AttachThreadInput(self, target, FALSE);
    if (attachedFront) AttachThreadInput(self, front, FALSE);
    ok = WaitForeground(h, 500);
  }
  if (!ok) {
    method = "topmost";
    SetWindowPos(h, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_ASYNCWINDOWPOS);
    SetWindowPos(h, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_ASYNCWINDOWPOS);
    SetForegroundWindow(h);
    ok = WaitForeground(h, 500);
  }
  return "{\"ok\":" + Bool(ok) + ",\"method\":\"" + method + "\",\"foreground\":" +
         Num(HandleValue(GetForegroundWindow())) + "}";
}

std::string MdiActive(HWND frame) {
  HWND client = FindWindowExW(frame, nullptr, L"MDIClient", nullptr);
  if (!client) return "{\"hwnd\":0,\"client\":0}";
  DWORD_PTR active = 0;
  if (!SendMessageTimeoutW(client, WM_MDIGETACTIVE, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &active)) {
    return "{\"hwnd\":0,\"client\":" + Num(HandleValue(client)) + ",\"timeout\":true}";
  }
  HWND child = reinterpret_cast<HWND>(active);
  return "{\"hwnd\":" + Num(HandleValue(child)) + ",\"client\":" + Num(HandleValue(client)) +
         ",\"title\":" + Json(child ? WindowTitle(child) : L"") + "}";
}

std::string SendControl(HWND h, const std::wstring& text) {
  std::string utf8 = Narrow(text);
  COPYDATASTRUCT cds{kControlMagic, static_cast<DWORD>(utf8.size()), utf8.data()};
  DWORD_PTR result = 0;
  BOOL sent = SendMessageTimeoutW(h, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds), SMTO_ABORTIFHUNG,
                                  kSendTimeoutMs, &result);
  return "{\"ok\":" + Bool(sent && result) + "}";
}

// The clipboard's Unicode text; null when it holds none.
std::string Clipboard() {
  std::string out = "{\"text\":null}";
  if (!OpenClipboard(nullptr)) return "{\"error\":\"clipboard busy\"}";
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* text = static_cast<const wchar_t*>(GlobalLock(data))) {
      out = "{\"text\":" + Json(text) + "}";
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return out;
}

std::string SetTitle(HWND h, const std::wstring& text) {
  DWORD_PTR result = 0;
  BOOL sent = SendMessageTimeoutW(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG,
                                  kSendTimeoutMs, &result);
  return "{\"ok\":" + Bool(sent && result) + "}";
}

// WM_GETTEXT rather than GetWindowTextW: for a control of another process
// the latter gives only the text it was created with.
std::wstring ControlText(HWND h) {
  wchar_t buf[1024] = L"";
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(h, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG, kSendTimeoutMs,
                           &copied)) {
    return WindowTitle(h);
  }
  return buf;
}

std::string Children(HWND parent) {
  if (!IsWindow(parent)) return "{\"error\":\"no such window\"}";
  std::vector<HWND> all;
  for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) all.push_back(c);
  std::string out = "[";
  for (size_t i = 0; i < all.size(); ++i) {
    HWND c = all[i];
    std::wstring cls = WindowClass(c);
    std::string checked = "null";
    if (lstrcmpiW(cls.c_str(), L"Button") == 0) {
      DWORD_PTR state = 0;
      if (SendMessageTimeoutW(c, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &state)) {
        checked = Bool(state == BST_CHECKED);
      }
    }
    if (i) out += ',';
    out += "{\"hwnd\":" + Num(HandleValue(c)) + ",\"id\":" + Num(static_cast<uint64_t>(GetDlgCtrlID(c))) +
           ",\"class\":" + Json(cls) + ",\"text\":" + Json(ControlText(c)) +
           ",\"visible\":" + Bool(IsWindowVisible(c)) + ",\"enabled\":" + Bool(IsWindowEnabled(c)) +
           ",\"checked\":" + checked + ",\"rect\":" + Rect(c) + "}";
  }
  return out + "]";
}

// Sent, so that the answer comes after the click's handler has run (a click
// that closes a modal window returns once it is closed).
std::string Click(HWND h) {
  DWORD_PTR result = 0;
  BOOL sent = SendMessageTimeoutW(h, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result);
  return "{\"ok\":" + Bool(sent) + "}";
}

// Posts a message with numeric parameters (e.g. a tray notification to a callback window).
std::string Post(HWND h, const std::wstring& msg, const std::wstring& wParam, const std::wstring& lParam) {
  const UINT m = static_cast<UINT>(wcstoul(msg.c_str(), nullptr, 0));
  const BOOL ok = PostMessageW(h, m, static_cast<WPARAM>(wcstoull(wParam.c_str(), nullptr, 0)),
                               static_cast<LPARAM>(wcstoll(lParam.c_str(), nullptr, 0)));
  return "{\"ok\":" + Bool(ok) + "}";
}

std::string Processes() {
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snap == INVALID_HANDLE_VALUE) return "[]";
  std::string out = "[";
  PROCESSENTRY32W pe{};
  pe.dwSize = sizeof pe;
  for (BOOL more = Process32FirstW(snap, &pe); more; more = Process32NextW(snap, &pe)) {
    if (out.size() > 1) out += ",";
    out += "{\"pid\":" + Num(pe.th32ProcessID) + ",\"exe\":" + Json(pe.szExeFile) + "}";
  }
  CloseHandle(snap);
  return out + "]";
}

// The local clock as the program under test reads it, in ms since 1970.
long long LocalClockMs() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  // Days from the civil date (proleptic Gregorian).
  const int y = t.wYear - (t.wMonth <= 2 ? 1 : 0);
  const int era = (y >= 0 ? y : y - 399) / 400;
  const int yoe = y - era * 400;
  const int doy = (153 * (t.wMonth + (t.wMonth > 2 ? -3 : 9)) + 2) / 5 + t.wDay - 1;
  const long long days = era * 146097LL + yoe * 365 + yoe / 4 - yoe / 100 + doy - 719468;
  return ((days * 24 + t.wHour) * 60 + t.wMinute) * 60000LL + t.wSecond * 1000LL + t.wMilliseconds;
}

std::string Watch(HWND h, int ms) {
  std::string out = "[";
  std::wstring last;
  bool first = true;
  const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(ms);
  while (GetTickCount64() < end) {
    std::wstring title = WindowTitle(h);
    if (first || title != last) {
      out += std::string(first ? "" : ",") + "[" + std::to_string(LocalClockMs()) + "," + Json(title) + "]";
      last = std::move(title);
      first = false;
    }
    Sleep(1);
  }
  return out + "]";
}

std::string SwitchLag(HWND a, const std::wstring& ownA, HWND b, const std::wstring& ownB, int rounds) {
  LARGE_INTEGER freq, t0, t1;
  QueryPerformanceFrequency(&freq);
  std::string out = "[";
  for (int i = 0; i < rounds; ++i) {
    const bool toB = i % 2 == 0;
    HWND to = toB ? b : a, from = toB ? a : b;
    const std::wstring& ownTo = toB ? ownB : ownA;
    const std::wstring& ownFrom = toB ? ownA : ownB;
    // Uneven gaps, so that the switches fall anywhere between two ticks.
    Sleep(static_cast<DWORD>(700 + (i * 373) % 600));
    QueryPerformanceCounter(&t0);
    SetForegroundWindow(to);
    if (GetForegroundWindow() != to) BringToFront(to);
    double lag = -1;
    for (;;) {
      QueryPerformanceCounter(&t1);
      const double ms = static_cast<double>(t1.QuadPart - t0.QuadPart) * 1000.0 / static_cast<double>(freq.QuadPart);
      const std::wstring now = WindowTitle(to);
      if (now.size() > ownTo.size() && now.compare(0, ownTo.size(), ownTo) == 0 && WindowTitle(from) == ownFrom) {
        lag = ms;
        break;
      }
      if (ms > 5000) break;
      Sleep(1);
    }
    char buf[32];
    std::snprintf(buf, sizeof buf, "%s%.1f", i ? "," : "", lag);
    out += buf;
  }
  return out + "]";
}

std::string Run(const std::vector<std::wstring>& args) {
  if (args.empty()) return "{\"error\":\"no command\"}";
  const std::wstring& cmd = args[0];
  auto arg = [&](size_t i) { return i < args.size() ? args[i] : std::wstring(); };
  HWND h = ParseHwnd(arg(1));
  if (cmd == L"list") return ListWindows();
  if (cmd == L"foreground") return WindowJson(GetForegroundWindow());
  if (cmd == L"info") return WindowJson(h);
  if (cmd == L"front") return BringToFront(h);
  if (cmd == L"close") return "{\"ok\":" + Bool(PostMessageW(h, WM_CLOSE, 0, 0)) + "}";
  if (cmd == L"mdiactive") return MdiActive(h);
  if (cmd == L"send") return SendControl(h, arg(2));
  if (cmd == L"settitle") return SetTitle(h, arg(2));
  if (cmd == L"children") return Children(h);
  if (cmd == L"click") return Click(h);
  if (cmd == L"procs") return Processes();
  if (cmd == L"clipboard") return Clipboard();
  if (cmd == L"settingchange") {
    DWORD_PTR answer = 0;
    const LRESULT sent = SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, 0,
                                             reinterpret_cast<LPARAM>(arg(1).c_str()), SMTO_ABORTIFHUNG, 2000,
                                             &answer);
    return "{\"ok\":" + Bool(sent != 0) + "}";
  }
  if (cmd == L"post") return Post(h, arg(2), arg(3), arg(4));
  if (cmd == L"watch") return Watch(h, _wtoi(arg(2).c_str()));
  if (cmd == L"switchlag") return SwitchLag(h, arg(2), ParseHwnd(arg(3)), arg(4), _wtoi(arg(5).c_str()));
  return "{\"error\":" + Json(L"unknown command " + cmd) + "}";
}

std::vector<std::wstring> SplitTabs(const std::string& line) {
  std::vector<std::wstring> out;
  size_t start = 0;
  for (;;) {
    size_t tab = line.find('\t', start);
    out.push_back(Widen(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start)));
    if (tab == std::string::npos) return out;
    start = tab + 1;
  }
}

int Serve() {
  HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
  std::string pending;
  char buf[4096];
  DWORD got = 0;
  while (ReadFile(in, buf, sizeof buf, &got, nullptr) && got > 0) {
    pending.append(buf, got);
    for (size_t nl; (nl = pending.find('\n')) != std::string::npos;) {
      std::string line = pending.substr(0, nl);
      pending.erase(0, nl + 1);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (line == "quit") return 0;
      WriteLine(Run(SplitTabs(line)));
    }
  }
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc >= 2 && std::wstring(argv[1]) == L"serve") return Serve();
  std::vector<std::wstring> args(argv + 1, argv + argc);
  std::string result = Run(args);
  WriteLine(result);
  return result.rfind("{\"error\"", 0) == 0 ? 2 : 0;
}

// testwin: a plain top-level window (or MDI frame) that the end-to-end tests
// put in front of Kestrova and steer at run time.
//
//   testwin [--title T] [--class C] [--pos X Y] [--size W H]
//           [--mdi [--child1 T1] [--child2 T2]] [--own-caption light|dark]
//           [--hotkey MODIFIERS VK]   (RegisterHotKey's numbers: holds that combination)
//           [--popup] [--tool] [--topmost] [--strip-client] [--maximise] [--cover]
//
// --own-caption: the window draws its own title bar, as browsers do: its client
// area takes the whole window and it paints a tab and caption buttons itself.
// Other kinds of window: --popup a bare WS_POPUP (a splash screen), --tool a
// tool window, --topmost a topmost window that does not take the front (a
// pinned video), --strip-client a caption strip that answers client up to the
// buttons (tabs all along), --maximise shown maximised, --cover a borderless
// window covering its monitor (a full-screen game).
//
// Run-time control: WM_COPYDATA with dwData = kControlMagic and a UTF-8
// command (see RunCommand). The message is answered at once and the command
// runs later from the queue, so "hang" never blocks the sender.
#include <windows.h>
#include <shellapi.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr ULONG_PTR kControlMagic = 0x4B455354;  // 'KEST'
constexpr UINT kRunCommand = WM_APP + 1;
constexpr wchar_t kChildClass[] = L"KestrovaTestChild";

struct Options {
  std::wstring title = L"testwin";
  std::wstring className = L"KestrovaTestWindow";
  std::wstring child[2] = {L"子ウインドウ1", L"子ウインドウ2"};
  bool mdi = false;
  int ownCaption = 0;  // 0 the system's caption, 1 a light one of its own, 2 a dark one
  bool popup = false, tool = false, topmost = false, stripClient = false, maximise = false, cover = false;
  int x = CW_USEDEFAULT, y = CW_USEDEFAULT, width = 480, height = 240;
  UINT hotkeyModifiers = 0, hotkeyKey = 0;  // a hotkey this window holds, as another program would
};

Options g_options;
HWND g_frame = nullptr;
HWND g_mdiClient = nullptr;
HWND g_children[2] = {};
HFONT g_font = nullptr;
HFONT g_captionFont = nullptr;
std::wstring g_lastCommand = L"-";

std::wstring Widen(const std::string& utf8) {
  if (utf8.empty()) return {};
  int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
  return out;
}

// Commands: "title TEXT", "childtitle K TEXT", "activate K" (K = 1 or 2),
// "hang MS", "quit".
void RunCommand(const std::wstring& line) {
  g_lastCommand = line;
  size_t space = line.find(L' ');
  std::wstring verb = line.substr(0, space);
  std::wstring rest = space == std::wstring::npos ? L"" : line.substr(space + 1);
  if (verb == L"title") {
    SetWindowTextW(g_frame, rest.c_str());
  } else if (verb == L"childtitle" || verb == L"activate") {
    int k = _wtoi(rest.c_str());
    if (k < 1 || k > 2 || !g_children[k - 1]) return;
    HWND child = g_children[k - 1];
    if (verb == L"activate") {
      SendMessageW(g_mdiClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(child), 0);
    } else {
      size_t textAt = rest.find(L' ');
      SetWindowTextW(child, textAt == std::wstring::npos ? L"" : rest.c_str() + textAt + 1);
    }
  } else if (verb == L"hang") {
    // The point of this command: a UI thread that stops pumping messages.
    Sleep(static_cast<DWORD>(_wtoi(rest.c_str())));
  } else if (verb == L"quit") {
    DestroyWindow(g_frame);
  }
  InvalidateRect(g_frame, nullptr, TRUE);
}

int Dpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

// The height of a standard caption with its frame: where a browser puts its tabs.
int StripHeight() {
  return GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYSIZEFRAME) +
         GetSystemMetrics(SM_CXPADDEDBORDER);
}

void Fill(HDC dc, RECT r, COLORREF colour) {
  HBRUSH brush = CreateSolidBrush(colour);
  FillRect(dc, &r, brush);
  DeleteObject(brush);
}

// A tab with the title, and minimise, maximise and close at the right.
void PaintOwnCaption(HDC dc, RECT client, const wchar_t* title) {
  const bool dark = g_options.ownCaption == 2;
  const int dpi = Dpi();
  const int strip = StripHeight();
  const COLORREF back = dark ? RGB(32, 33, 36) : RGB(222, 225, 230);
  const COLORREF tab = dark ? RGB(53, 54, 58) : RGB(255, 255, 255);
  const COLORREF ink = dark ? RGB(232, 234, 237) : RGB(32, 33, 36);
  Fill(dc, {client.left, client.top, client.right, client.top + strip}, back);
  const int pad = MulDiv(8, dpi, 96);
  RECT tabRect = {client.left + pad, client.top + MulDiv(6, dpi, 96), client.left + MulDiv(240, dpi, 96),
                  client.top + strip};
  HBRUSH tabBrush = CreateSolidBrush(tab);
  HPEN pen = CreatePen(PS_SOLID, 1, tab);
  HGDIOBJ oldBrush = SelectObject(dc, tabBrush);
  HGDIOBJ oldPen = SelectObject(dc, pen);
  RoundRect(dc, tabRect.left, tabRect.top, tabRect.right, tabRect.bottom + pad, pad, pad);
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
  DeleteObject(tabBrush);
  DeleteObject(pen);
  SetTextColor(dc, ink);
  RECT text = tabRect;
  text.left += pad;
  text.right -= pad;
  DrawTextW(dc, title, -1, &text, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
  const int button = MulDiv(46, dpi, 96);
  const wchar_t* glyphs[] = {L"\x2014", L"\x25A1", L"\x2715"};
  for (int i = 0; i < 3; ++i) {
    RECT b = {client.right - (3 - i) * button, client.top, client.right - (2 - i) * button,
              client.top + strip};
    DrawTextW(dc, glyphs[i], -1, &b, DT_SINGLELINE | DT_VCENTER | DT_CENTER | DT_NOPREFIX);
  }
  Fill(dc, {client.left, client.top + strip, client.right, client.bottom}, tab);
}

void Paint(HWND hwnd) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  RECT rc;
  GetClientRect(hwnd, &rc);
  if (g_options.ownCaption != 0) {
    wchar_t caption[1024] = L"";
    GetWindowTextW(g_frame, caption, 1024);
    SetBkMode(dc, TRANSPARENT);
    HGDIOBJ was = SelectObject(dc, g_captionFont);
    PaintOwnCaption(dc, rc, caption);
    SelectObject(dc, was);
    rc.top += StripHeight();
    SetTextColor(dc, g_options.ownCaption == 2 ? RGB(232, 234, 237) : RGB(32, 33, 36));
  }
  InflateRect(&rc, -8, -8);
  wchar_t title[1024] = L"";
  GetWindowTextW(g_frame, title, 1024);
  std::wstring text = L"class: " + g_options.className + L"\r\ntitle: " + title +
                      L"\r\nlast command: " + g_lastCommand;
  HGDIOBJ old = SelectObject(dc, g_font);
  SetBkMode(dc, TRANSPARENT);
  DrawTextW(dc, text.c_str(), -1, &rc, DT_LEFT | DT_TOP | DT_WORDBREAK | DT_NOPREFIX);
  SelectObject(dc, old);
  EndPaint(hwnd, &ps);
}

LRESULT HandleCopyData(const COPYDATASTRUCT* cds) {
  if (!cds || cds->dwData != kControlMagic || !cds->lpData) return FALSE;
  auto* text = new std::wstring(Widen(std::string(static_cast<const char*>(cds->lpData), cds->cbData)));
  PostMessageW(g_frame, kRunCommand, 0, reinterpret_cast<LPARAM>(text));
  return TRUE;
}

LRESULT DefaultProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  return g_options.mdi ? DefFrameProcW(hwnd, g_mdiClient, msg, wp, lp) : DefWindowProcW(hwnd, msg, wp, lp);
}

LRESULT CALLBACK FrameProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CREATE:
      if (g_options.mdi) {
        CLIENTCREATESTRUCT ccs{};
        ccs.idFirstChild = 1000;
        g_mdiClient = CreateWindowExW(WS_EX_CLIENTEDGE, L"MDICLIENT", nullptr,
                                      WS_CHILD | WS_CLIPCHILDREN | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL, 0,
                                      0, 0, 0, hwnd, nullptr, GetModuleHandleW(nullptr), &ccs);
      }
      return 0;
    case WM_COPYDATA:
      return HandleCopyData(reinterpret_cast<const COPYDATASTRUCT*>(lp));
    case kRunCommand: {
      auto* text = reinterpret_cast<std::wstring*>(lp);
      RunCommand(*text);
      delete text;
      return 0;
    }
    case WM_SETTEXT: {
      LRESULT r = DefaultProc(hwnd, msg, wp, lp);
      InvalidateRect(hwnd, nullptr, TRUE);
      return r;
    }
    case WM_NCCALCSIZE:
      // The whole window is client area; the caption is painted with the rest.
      // Maximised, the resize border beyond the monitor is left out, as
      // programs that draw their caption do.
      if (g_options.ownCaption != 0 && !g_options.popup && !g_options.cover) {
        if (wp && IsZoomed(hwnd)) {
          const int border = GetSystemMetrics(SM_CXSIZEFRAME) + GetSystemMetrics(SM_CXPADDEDBORDER);
          InflateRect(&reinterpret_cast<NCCALCSIZE_PARAMS*>(lp)->rgrc[0], -border, -border);
        }
        return 0;
      }
      break;
    case WM_NCHITTEST:
      if (g_options.ownCaption != 0) {
        POINT p = {static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
        ScreenToClient(hwnd, &p);
        RECT rc;
        GetClientRect(hwnd, &rc);
        if (p.y >= StripHeight()) return HTCLIENT;
        // Tabs from the left end up to the caption buttons.
        if (g_options.stripClient && p.x < rc.right - 3 * MulDiv(46, Dpi(), 96)) return HTCLIENT;
        return HTCAPTION;
      }
      break;
    case WM_PAINT:
      if (g_options.mdi) break;
      Paint(hwnd);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefaultProc(hwnd, msg, wp, lp);
}

LRESULT CALLBACK ChildProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  return DefMDIChildProcW(hwnd, msg, wp, lp);
}

bool ParseOptions(Options& o) {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv) return false;
  bool ok = true;
  for (int i = 1; i < argc && ok; ++i) {
    std::wstring a = argv[i];
    auto next = [&](std::wstring& out) {
      if (i + 1 >= argc) return ok = false;
      out = argv[++i];
      return true;
    };
    std::wstring v1, v2;
    if (a == L"--title") {
      next(o.title);
    } else if (a == L"--class") {
      next(o.className);
    } else if (a == L"--child1") {
      next(o.child[0]);
    } else if (a == L"--child2") {
      next(o.child[1]);
    } else if (a == L"--own-caption") {
      if (next(v1)) o.ownCaption = v1 == L"dark" ? 2 : 1;
    } else if (a == L"--popup") {
      o.popup = true;
    } else if (a == L"--tool") {
      o.tool = true;
    } else if (a == L"--topmost") {
      o.topmost = true;
    } else if (a == L"--strip-client") {
      o.stripClient = true;
    } else if (a == L"--maximise") {
      o.maximise = true;
    } else if (a == L"--cover") {
      o.cover = true;
    } else if (a == L"--mdi") {
      o.mdi = true;
    } else if (a == L"--pos") {
      if (next(v1) && next(v2)) o.x = _wtoi(v1.c_str()), o.y = _wtoi(v2.c_str());
    } else if (a == L"--hotkey") {
      if (next(v1) && next(v2)) o.hotkeyModifiers = _wtoi(v1.c_str()), o.hotkeyKey = _wtoi(v2.c_str());
    } else if (a == L"--size") {
      if (next(v1) && next(v2)) o.width = _wtoi(v1.c_str()), o.height = _wtoi(v2.c_str());
    } else {
      ok = false;
    }
  }
  LocalFree(argv);
  return ok;
}

void MakeFont() {
  NONCLIENTMETRICSW ncm{};
  ncm.cbSize = sizeof ncm;
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0);
  g_captionFont = CreateFontIndirectW(&ncm.lfCaptionFont);
  ncm.lfMessageFont.lfHeight = -16;
  g_font = CreateFontIndirectW(&ncm.lfMessageFont);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  if (!ParseOptions(g_options)) {
    MessageBoxW(nullptr,
                L"testwin [--title T] [--class C] [--pos X Y] [--size W H] [--mdi [--child1 T] [--child2 T]] "
                L"[--own-caption light|dark] [--popup] [--tool] [--topmost] [--strip-client] [--maximise] [--cover]",
                L"testwin", MB_OK);
    return 2;
  }
  MakeFont();

  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = FrameProc;
  wc.hInstance = instance;
  wc.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = g_options.className.c_str();
  if (!RegisterClassExW(&wc)) return 1;
  if (g_options.mdi) {
    wc.lpfnWndProc = ChildProc;
    wc.lpszClassName = kChildClass;
    if (!RegisterClassExW(&wc)) return 1;
  }

  DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
  DWORD exStyle = 0;
  if (g_options.popup) style = WS_POPUP;
  if (g_options.tool) exStyle |= WS_EX_TOOLWINDOW;
  if (g_options.topmost) exStyle |= WS_EX_TOPMOST | WS_EX_NOACTIVATE;
  if (g_options.cover) {
    // No sizing frame, but a window of its own in Alt+Tab.
    style = WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX;
    g_options.x = g_options.y = 0;
    g_options.width = GetSystemMetrics(SM_CXSCREEN);
    g_options.height = GetSystemMetrics(SM_CYSCREEN);
  }
  g_frame = CreateWindowExW(exStyle, g_options.className.c_str(), g_options.title.c_str(), style, g_options.x,
                            g_options.y, g_options.width, g_options.height, nullptr, nullptr, instance, nullptr);
  if (!g_frame) return 1;
  if (g_options.hotkeyKey != 0 && !RegisterHotKey(g_frame, 1, g_options.hotkeyModifiers, g_options.hotkeyKey)) {
    return 3;
  }
  if (g_options.mdi) {
    for (int k = 0; k < 2; ++k) {
      g_children[k] = CreateMDIWindowW(kChildClass, g_options.child[k].c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                       20 + 30 * k, 10 + 30 * k, 220, 110, g_mdiClient, instance, 0);
    }
  }
  if (g_options.maximise) show = SW_MAXIMIZE;
  if (g_options.topmost) show = SW_SHOWNOACTIVATE;
  ShowWindow(g_frame, show);
  UpdateWindow(g_frame);

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (g_mdiClient && TranslateMDISysAccel(g_mdiClient, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  DeleteObject(g_font);
  DeleteObject(g_captionFont);
  return static_cast<int>(msg.wParam);
}

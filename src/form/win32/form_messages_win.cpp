// Messages: the user's commands, scrolls, mouse and keys go to the form model;
// the model's state is pushed out to the controls.
#include "form/win32/form_win.h"
#include "form/win32/theme_win.h"

#include <commctrl.h>

#include "platform/win32/text_win.h"

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

namespace kestrova::win32 {

namespace {

std::wstring WindowText(HWND hwnd) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

// Text box selections: bytes of UTF-8 inside, UTF-16 units in the control.
int Utf16Offset(const std::string& text, int bytes) {
  return static_cast<int>(Widen(std::string_view(text).substr(0, static_cast<size_t>(bytes))).size());
}
int Utf8Offset(const std::wstring& text, DWORD units) {
  return static_cast<int>(Narrow(std::wstring_view(text).substr(0, units)).size());
}

int MouseButtons(WPARAM keys) {
  return ((keys & MK_LBUTTON) ? kLeftButton : 0) | ((keys & MK_RBUTTON) ? kRightButton : 0) |
         ((keys & MK_MBUTTON) ? kMiddleButton : 0);
}

}  // namespace

void FormWindow::ControlChanged(int id) {
  if (hwnd_ == nullptr || id == reporting_) return;
  const ControlSpec* c = model_.Find(id);
  const bool tab = c != nullptr && c->kind == ControlKind::kTab;
  const size_t rows = tab ? static_cast<size_t>(SendMessageW(Control(id), TCM_GETROWCOUNT, 0, 0)) : 0;
  Push(id);
  if (!tab) return;
  if (static_cast<size_t>(SendMessageW(Control(id), TCM_GETROWCOUNT, 0, 0)) != rows) PlacePages();
  ShowPages();
}

void FormWindow::Push(int id) {
  const ControlSpec* c = model_.Find(id);
  HWND control = Control(id);
  if (c == nullptr || control == nullptr) return;
  const ControlState& s = model_.State(id);
  pushing_ = true;
  switch (c->kind) {
    case ControlKind::kComboList:
    case ControlKind::kListBox:
    case ControlKind::kTab:
      PushItems(*c, control, s);
      break;
    case ControlKind::kHScroll:
    case ControlKind::kVScroll: {
      SCROLLINFO si = {sizeof(si), SIF_RANGE | SIF_POS, s.min, s.max, 0, s.value, 0};
      SetScrollInfo(control, SB_CTL, &si, TRUE);
      break;
    }
    case ControlKind::kHotKey:
      if (static_cast<int>(LOWORD(SendMessageW(control, HKM_GETHOTKEY, 0, 0))) != s.value) {
        SendMessageW(control, HKM_SETHOTKEY, static_cast<WPARAM>(s.value), 0);
      }
      break;
    case ControlKind::kLabel:
    case ControlKind::kPicture:
      Repaint(*c, control);
      [[fallthrough]];
    default:
      if (const std::wstring text = Widen(s.text); WindowText(control) != text) {
        SetWindowTextW(control, text.c_str());
      }
      break;
  }
  if (c->kind == ControlKind::kCheckBox || c->kind == ControlKind::kOptionButton) {
    const WPARAM check = s.value == 2 ? BST_INDETERMINATE : s.value == 1 ? BST_CHECKED : BST_UNCHECKED;
    SendMessageW(control, BM_SETCHECK, check, 0);
  }
  if (c->kind == ControlKind::kTextBox) PushSelection(control, s);
  EnableWindow(control, s.enabled);
  pushing_ = false;
  ShowWindow(control, Shown(*c) ? SW_SHOWNA : SW_HIDE);
}

// The items of a list, drop-down list or tab control, filled again only when
// they changed, and the selected one.
void FormWindow::PushItems(const ControlSpec& c, HWND control, const ControlState& s) {
  std::vector<std::string>& shown = shownItems_[c.id];
  const bool tab = c.kind == ControlKind::kTab;
  const bool combo = c.kind == ControlKind::kComboList;
  if (shown != s.items) {
    SendMessageW(control, tab ? TCM_DELETEALLITEMS : combo ? CB_RESETCONTENT : LB_RESETCONTENT, 0, 0);
    for (size_t i = 0; i < s.items.size(); ++i) {
      std::wstring item = Widen(s.items[i]);
      if (tab) {
        TCITEMW page = {};
        page.mask = TCIF_TEXT;
        page.pszText = item.data();
        SendMessageW(control, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&page));
      } else {
        SendMessageW(control, combo ? CB_ADDSTRING : LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
      }
    }
    shown = s.items;
  }
  SendMessageW(control,
               tab     ? TCM_SETCURSEL
               : combo ? CB_SETCURSEL
                       : LB_SETCURSEL,
               static_cast<WPARAM>(s.value), 0);
}

void FormWindow::PushSelection(HWND control, const ControlState& s) {
  DWORD start = 0, end = 0;
  SendMessageW(control, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  const int wantStart = Utf16Offset(s.text, s.selStart);
  const int wantEnd = Utf16Offset(s.text, s.selStart + s.selLength);
  if (static_cast<int>(start) != wantStart || static_cast<int>(end) != wantEnd) {
    SendMessageW(control, EM_SETSEL, static_cast<WPARAM>(wantStart), wantEnd);
  }
}

void FormWindow::OnCommand(int id, int code, HWND control) {
  const ControlSpec* c = control != nullptr ? SpecOf(control) : nullptr;
  if (c == nullptr) {
    OnDialogKey(id);
    return;
  }
  if (pushing_) return;
  switch (c->kind) {
    case ControlKind::kButton:
      if (code == BN_CLICKED) model_.UserClick(c->id);
      break;
    case ControlKind::kCheckBox:
      if (code == BN_CLICKED) model_.UserValue(c->id, model_.Value(c->id) == 1 ? 0 : 1);
      break;
    case ControlKind::kOptionButton:
      if (code == BN_CLICKED) model_.UserValue(c->id, 1);
      break;
    case ControlKind::kLabel:
    case ControlKind::kPicture:
      if (code == STN_CLICKED) model_.UserClick(c->id);
      if (code == STN_DBLCLK) model_.UserDoubleClick(c->id);
      break;
    case ControlKind::kTextBox:
      if (code == EN_CHANGE || code == EN_KILLFOCUS) OnTextEdit(*c, code, control);
      break;
    case ControlKind::kComboList:
      if (code == CBN_SELCHANGE) {
        model_.UserValue(c->id, static_cast<int>(SendMessageW(control, CB_GETCURSEL, 0, 0)));
      }
      break;
    case ControlKind::kHotKey:
      if (code == EN_CHANGE) model_.UserValue(c->id, LOWORD(SendMessageW(control, HKM_GETHOTKEY, 0, 0)));
      break;
    case ControlKind::kListBox:
      if (code == LBN_SELCHANGE) {
        model_.UserValue(c->id, static_cast<int>(SendMessageW(control, LB_GETCURSEL, 0, 0)));
      }
      if (code == LBN_DBLCLK) model_.UserDoubleClick(c->id);
      break;
    default:
      break;
  }
}

// Enter and Esc from the dialog manager.
void FormWindow::OnDialogKey(int id) {
  if (id == IDCANCEL) {
    if (const int cancel = FirstWith(kCancelButton)) {
      model_.UserClick(cancel);
    } else {
      model_.UserClose();
    }
  } else if (id == IDOK) {
    if (const int def = FirstWith(kDefaultButton)) model_.UserClick(def);
  }
}

void FormWindow::OnTextEdit(const ControlSpec& c, int code, HWND control) {
  const std::wstring text = WindowText(control);
  DWORD start = 0, end = 0;
  SendMessageW(control, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  // The control already shows this text and caret: not written back while reported.
  reporting_ = c.id;
  if (code == EN_CHANGE) model_.UserText(c.id, Narrow(text));
  reporting_ = 0;
  if (model_.Text(c.id) != Narrow(text)) {
    Push(c.id);  // a handler rewrote it
  } else {
    const int from = Utf8Offset(text, start);
    model_.UserSelection(c.id, from, Utf8Offset(text, end) - from);
  }
}

void FormWindow::OnScroll(HWND control, WPARAM wParam) {
  const ControlSpec* c = SpecOf(control);
  if (c == nullptr) return;
  const ControlState& s = model_.State(c->id);
  SCROLLINFO si = {sizeof(si), SIF_TRACKPOS, 0, 0, 0, 0, 0};
  GetScrollInfo(control, SB_CTL, &si);
  int value = s.value;
  Cause cause = Cause::kUser;
  switch (LOWORD(wParam)) {
    case SB_LINEUP:
      value -= s.smallChange;
      break;
    case SB_LINEDOWN:
      value += s.smallChange;
      break;
    case SB_PAGEUP:
      value -= s.largeChange;
      break;
    case SB_PAGEDOWN:
      value += s.largeChange;
      break;
    case SB_TOP:
      value = s.min;
      break;
    case SB_BOTTOM:
      value = s.max;
      break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
      // The message carries 16 bits of the position; the bar knows all of it while dragging.
      value = s.max <= 0xFFFF && s.min >= 0 ? static_cast<int>(HIWORD(wParam)) : si.nTrackPos;
      cause = Cause::kThumbDrag;
      break;
    default:
      return;
  }
  model_.UserValue(c->id, value, cause);
}

LRESULT CALLBACK FormWindow::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* created = static_cast<FormWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    created->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
  }
  auto* w = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (w == nullptr) return DefWindowProcW(hwnd, msg, wParam, lParam);
  return w->Handle(msg, wParam, lParam);
}

// Pictures report the mouse; a press captures it, so that the moves of a drag
// come here wherever the pointer goes.
LRESULT CALLBACK FormWindow::PictureProc(HWND control, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR self) {
  auto* w = reinterpret_cast<FormWindow*>(self);
  const int controlId = static_cast<int>(id);
  auto image = w->images_.find(controlId);
  HCURSOR dragCursor = image != w->images_.end() ? image->second : nullptr;
  switch (msg) {
    case WM_LBUTTONDOWN:
      SetCapture(control);
      if (dragCursor != nullptr) ::SetCursor(dragCursor);
      w->model_.UserMouse(controlId, MouseAction::kDown, MouseButtons(wParam));
      break;  // clicks are still reported
    case WM_MOUSEMOVE: {
      const int buttons = MouseButtons(wParam);
      if (dragCursor != nullptr && GetCapture() == control) {
        ::SetCursor(buttons == kLeftButton ? dragCursor : LoadCursorW(nullptr, IDC_ARROW));
      }
      w->model_.UserMouse(controlId, MouseAction::kMove, buttons);
      break;
    }
    case WM_LBUTTONUP: {
      const bool dragging = GetCapture() == control;
      if (dragging) ReleaseCapture();
      w->model_.UserMouse(controlId, MouseAction::kUp, kLeftButton);
      if (dragging && dragCursor != nullptr) ::SetCursor(LoadCursorW(nullptr, IDC_ARROW));
      break;
    }
    case WM_NCDESTROY:
      RemoveWindowSubclass(control, &PictureProc, id);
      break;
    default:
      break;
  }
  return DefSubclassProc(control, msg, wParam, lParam);
}

LRESULT FormWindow::Handle(UINT msg, WPARAM wParam, LPARAM lParam) {
  HWND hwnd = hwnd_;  // WM_NCDESTROY forgets it before the default answer
  LRESULT result = 0;
  if (hook_ && hook_(msg, wParam, lParam, result)) return result;
  result = 0;
  if (ThemeMessage(hwnd, msg, wParam, lParam, result)) return result;
  result = 0;
  if (PaintMessage(msg, wParam, lParam, result) || InputMessage(msg, wParam, lParam, result) ||
      LifeMessage(msg, wParam, lParam, result)) {
    return result;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

// The user's doing: commands, notifications, scrolls, the pointer and the focus.
bool FormWindow::InputMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (msg) {
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
      return true;
    case WM_NOTIFY: {
      const NMHDR* n = reinterpret_cast<const NMHDR*>(lParam);
      const ControlSpec* c = SpecOf(n->hwndFrom);
      if (c != nullptr && c->kind == ControlKind::kTab && n->code == static_cast<UINT>(TCN_SELCHANGE)) {
        model_.UserValue(c->id, static_cast<int>(SendMessageW(n->hwndFrom, TCM_GETCURSEL, 0, 0)));
      }
      return true;
    }
    case WM_HSCROLL:
    case WM_VSCROLL:
      OnScroll(reinterpret_cast<HWND>(lParam), wParam);
      return true;
    case DM_GETDEFID:
      if (const int def = FirstWith(kDefaultButton)) result = MAKELRESULT(def, DC_HASDEFID);
      return true;
    case WM_SETCURSOR:
      if (!OnSetCursor(reinterpret_cast<HWND>(wParam), HIWORD(lParam))) return false;
      result = TRUE;
      return true;
    case WM_ACTIVATE:
      OnActivate(LOWORD(wParam) != WA_INACTIVE);
      return true;
    default:
      return false;
  }
}

// The window's life: closing, the session's end, a new DPI, destruction.
bool FormWindow::LifeMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (msg) {
    case WM_CLOSE:
      model_.UserClose();
      return true;
    case WM_QUERYENDSESSION:
      result = TRUE;
      return true;
    case WM_ENDSESSION:
      // The process may end once this returns: the closing step runs now.
      if (wParam) Close();
      return true;
    case WM_DPICHANGED: {
      const RECT* r = reinterpret_cast<const RECT*>(lParam);
      SetWindowPos(hwnd_, nullptr, r->left, r->top, r->right - r->left, r->bottom - r->top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      Layout(HIWORD(wParam));
      return true;
    }
    case WM_DESTROY:
      // Also reached when the owner goes with this window still open.
      EnableOwner();
      return false;
    case WM_NCDESTROY:
      SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
      hwnd_ = nullptr;
      controls_.clear();
      shownItems_.clear();
      images_.clear();
      model_.Unloaded();
      return false;
    default:
      return false;
  }
}

// True when the cursor is set.
bool FormWindow::OnSetCursor(HWND over, UINT mouse) {
  const ControlSpec* c = SpecOf(over);
  if ((c != nullptr || over == hwnd_) &&
      (mouse == WM_MOUSEMOVE || mouse == WM_LBUTTONDOWN || mouse == WM_LBUTTONUP)) {
    model_.UserMouseMove(c != nullptr ? c->id : 0);
  }
  if (c != nullptr && (c->flags & kLink) != 0) {
    ::SetCursor(LoadCursorW(nullptr, IDC_HAND));
    return true;
  }
  if (auto it = c != nullptr ? cursors_.find(c->id) : cursors_.end(); it != cursors_.end()) {
    ::SetCursor(it->second);
    return true;
  }
  auto image = c != nullptr ? images_.find(c->id) : images_.end();
  if (image == images_.end() || image->second == nullptr) return false;
  ::SetCursor(image->second);
  return true;
}

void FormWindow::OnActivate(bool active) {
  if (!active) {
    focus_ = GetFocus();
  } else if (focus_ != nullptr && IsChild(hwnd_, focus_)) {
    SetFocus(focus_);
  } else if (HWND first =
                 Control(FirstWith(kDefaultButton) ? FirstWith(kDefaultButton) : FirstWith(kTabStop))) {
    SetFocus(first);
  }
}

}  // namespace kestrova::win32

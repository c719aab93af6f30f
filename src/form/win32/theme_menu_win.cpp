// Menus in the dark palette. Windows' own dark menus (the preferred app mode)
// answer only on Windows 10 1903 and later and never for the menu bar; these
// items are drawn by their owner wherever the palette is dark.
#include <algorithm>
#include <set>
#include <string>

#include "form/win32/theme_menu_win.h"
#include "form/win32/theme_win.h"
#include "platform/win32/ui_win.h"

namespace kestrova::win32 {

namespace {

// Item data points at the item's text: one copy of each text for the process.
const std::wstring* Pooled(const std::wstring& text) {
  static std::set<std::wstring> pool;
  return &*pool.insert(text).first;
}

constexpr ULONG_PTR kBarItem = 1;  // low bit of the data: an item of the bar (texts are aligned)

const std::wstring& TextOfItem(ULONG_PTR data) {
  return *reinterpret_cast<const std::wstring*>(data & ~kBarItem);
}

}  // namespace

void ThemeMenu(HMENU menu, bool bar) {
  if (menu == nullptr || !OwnPainting()) return;
  MENUINFO info = {};
  info.cbSize = sizeof(info);
  info.fMask = MIM_BACKGROUND;
  info.hbrBack = PaletteBrush(CurrentPalette().tab);
  SetMenuInfo(menu, &info);
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    wchar_t text[256] = {};
    MENUITEMINFOW item = {};
    item.cbSize = sizeof(item);
    item.fMask = MIIM_FTYPE | MIIM_STRING | MIIM_SUBMENU;
    item.dwTypeData = text;
    item.cch = 256;
    if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &item)) continue;
    if (item.hSubMenu != nullptr) ThemeMenu(item.hSubMenu, false);
    MENUITEMINFOW drawn = {};
    drawn.cbSize = sizeof(drawn);
    drawn.fMask = MIIM_FTYPE | MIIM_DATA;
    drawn.fType = (item.fType & MFT_SEPARATOR) | MFT_OWNERDRAW;
    drawn.dwItemData = reinterpret_cast<ULONG_PTR>(Pooled(text)) | (bar ? kBarItem : 0);
    SetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &drawn);
  }
}

bool MeasureMenuItem(HWND owner, MEASUREITEMSTRUCT& m) {
  if (m.CtlType != ODT_MENU || m.itemData == 0) return false;
  const int dpi = WindowDpi(owner);
  const std::wstring& text = TextOfItem(m.itemData);
  if (text.empty()) {  // a separator
    m.itemWidth = 1;
    m.itemHeight = static_cast<UINT>(MulDiv(7, dpi, 96));
    return true;
  }
  HDC dc = GetDC(owner);
  HFONT font = CreateMenuFont(dpi);
  HGDIOBJ old = SelectObject(dc, font);
  RECT r = {};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_SINGLELINE | DT_EXPANDTABS);
  SelectObject(dc, old);
  DeleteObject(font);
  ReleaseDC(owner, dc);
  const bool bar = (m.itemData & kBarItem) != 0;
  m.itemWidth = static_cast<UINT>(r.right + MulDiv(bar ? 4 : 40, dpi, 96));
  m.itemHeight = static_cast<UINT>(std::max<LONG>(r.bottom + MulDiv(bar ? 2 : 8, dpi, 96), MulDiv(bar ? 19 : 22, dpi, 96)));
  return true;
}

bool DrawMenuItem(HWND owner, const DRAWITEMSTRUCT& d) {
  if (d.CtlType != ODT_MENU || d.itemData == 0) return false;
  const Palette& p = CurrentPalette();
  const int dpi = WindowDpi(owner);
  const bool bar = (d.itemData & kBarItem) != 0;
  const bool selected = (d.itemState & (ODS_SELECTED | ODS_HOTLIGHT)) != 0;
  const bool grayed = (d.itemState & (ODS_GRAYED | ODS_DISABLED)) != 0;
  RECT r = d.rcItem;
  FillRect(d.hDC, &r, PaletteBrush(selected && !grayed ? p.selection : p.tab));
  const std::wstring& text = TextOfItem(d.itemData);
  if (text.empty()) {
    RECT line = {r.left + MulDiv(4, dpi, 96), (r.top + r.bottom) / 2, r.right - MulDiv(4, dpi, 96),
                 (r.top + r.bottom) / 2 + 1};
    FillRect(d.hDC, &line, PaletteBrush(p.border));
    return true;
  }
  HFONT font = CreateMenuFont(dpi);
  HGDIOBJ old = SelectObject(d.hDC, font);
  SetBkMode(d.hDC, TRANSPARENT);
  SetTextColor(d.hDC, ToColorRef(grayed ? p.disabledText : selected ? p.selectionText : p.text));
  if (d.itemState & ODS_CHECKED) {
    const int box = MulDiv(12, dpi, 96), x = r.left + MulDiv(6, dpi, 96), y = (r.top + r.bottom - box) / 2;
    HPEN pen = CreatePen(PS_SOLID, std::max(2, MulDiv(2, dpi, 96)), GetTextColor(d.hDC));
    HGDIOBJ oldPen = SelectObject(d.hDC, pen);
    const POINT tick[] = {{x + box / 6, y + box / 2}, {x + box * 2 / 5, y + box * 4 / 5}, {x + box, y + box / 6}};
    Polyline(d.hDC, tick, 3);
    SelectObject(d.hDC, oldPen);
    DeleteObject(pen);
  }
  const UINT prefix = (d.itemState & ODS_NOACCEL) ? DT_HIDEPREFIX : 0;
  RECT t = r;
  t.left += MulDiv(bar ? 2 : 24, dpi, 96);
  const size_t tab = text.find(L'\t');
  DrawTextW(d.hDC, text.c_str(), static_cast<int>(std::min(tab, text.size())), &t,
            (bar ? DT_CENTER : DT_LEFT) | DT_SINGLELINE | DT_VCENTER | prefix);
  if (tab != std::wstring::npos) {
    t.right -= MulDiv(8, dpi, 96);
    DrawTextW(d.hDC, text.c_str() + tab + 1, -1, &t, DT_RIGHT | DT_SINGLELINE | DT_VCENTER | prefix);
  }
  SelectObject(d.hDC, old);
  DeleteObject(font);
  return true;
}

void PaintMenuBarRest(HWND owner) {
  HMENU menu = GetMenu(owner);
  if (menu == nullptr || !OwnPainting()) return;
  MENUBARINFO bar = {};
  bar.cbSize = sizeof(bar);
  if (!GetMenuBarInfo(owner, OBJID_MENU, 0, &bar)) return;
  RECT rest = bar.rcBar;  // screen coordinates, like the item's
  RECT last = {};
  const int count = GetMenuItemCount(menu);
  if (count > 0 && GetMenuItemRect(owner, menu, static_cast<UINT>(count - 1), &last)) {
    // The bar wraps to more rows when narrow: only the last row has a rest.
    rest.left = last.right;
    rest.top = last.top;
  }
  if (rest.left >= rest.right || rest.top >= rest.bottom) return;
  RECT frame = {};
  GetWindowRect(owner, &frame);
  OffsetRect(&rest, -frame.left, -frame.top);
  HDC dc = GetWindowDC(owner);
  FillRect(dc, &rest, PaletteBrush(CurrentPalette().tab));
  ReleaseDC(owner, dc);
}

}  // namespace kestrova::win32

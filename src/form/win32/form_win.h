#pragma once
// The one Win32 renderer: makes any described form a real window, keeps its
// controls in step with the FormModel and reports the user's actions to it.
#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "form/form.h"

namespace kestrova::win32 {

class FormWindow : public FormView {
 public:
  explicit FormWindow(FormModel& model, HICON icon = nullptr);
  ~FormWindow() override;
  FormWindow(const FormWindow&) = delete;
  FormWindow& operator=(const FormWindow&) = delete;

  // Makes the window and its controls, hidden, on the monitor of `anchor`
  // (the owner when nullptr). False when the system made no window.
  bool Create(HWND owner, HWND anchor = nullptr);
  HWND Hwnd() const { return hwnd_; }
  HWND Control(int id) const;
  int Dpi() const { return dpi_; }

  // Picture controls: what paints them, and the cursor over them.
  void SetPainter(int id, std::function<void(HDC, const RECT&)> paint) { painters_[id] = std::move(paint); }
  void SetCursor(int id, HCURSOR cursor) { cursors_[id] = cursor; }
  // For a painter: the control's text on the look of an active window's title bar.
  void PaintCaption(int id, HDC dc, const RECT& rect);
  // Replaces the tooltip of a control that has one, also while it shows.
  void SetTooltip(int id, const std::string& text);

  // A window with duties beyond its controls (timers, menus, system messages)
  // sees each message first; returning true answers it with `result`.
  using MessageHook = std::function<bool(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)>;
  void SetMessageHook(MessageHook hook) { hook_ = std::move(hook); }
  // A menu bar; the window keeps its client size.
  void SetMenu(HMENU menu);

  // While set, the owner is enabled again before the window goes, so that
  // activation returns to it and not to another program.
  void SetDisabledOwner(HWND owner) { disabledOwner_ = owner; }
  void EnableOwner();

  void ControlChanged(int id) override;
  void Show(bool visible) override;
  void Focus(int id) override;
  void Close() override;

 private:
  // Messages (form_messages_win.cpp): one handler a group; each returns
  // whether it answered the message, with `result`.
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK PictureProc(HWND control, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                      DWORD_PTR self);
  LRESULT Handle(UINT msg, WPARAM wParam, LPARAM lParam);
  bool InputMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
  bool LifeMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
  void OnCommand(int id, int code, HWND control);
  void OnDialogKey(int id);
  void OnTextEdit(const ControlSpec& c, int code, HWND control);
  void OnScroll(HWND control, WPARAM wParam);
  bool OnSetCursor(HWND over, UINT mouse);
  void OnActivate(bool active);
  void Push(int id);
  void PushItems(const ControlSpec& c, HWND control, const ControlState& s);
  void PushSelection(HWND control, const ControlState& s);

  // Building and layout (form_win.cpp).
  void CreateControls();
  void Layout(int dpi);
  void ShowPages();
  void PlacePages();
  RECT ParentRect(HWND control) const;
  bool Shown(const ControlSpec& c) const;
  int FirstWith(unsigned flag) const;
  const ControlSpec* SpecOf(HWND control) const;

  // Painting (form_paint_win.cpp), the one owner of colours and brushes.
  // Coloured labels and links: a static control cannot draw either.
  static bool DrawnHere(const ControlSpec& c);
  static HBRUSH ClassBackground();
  bool PaintMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
  void DrawItem(const DRAWITEMSTRUCT& d);
  // A drawn label shows through the labels it overlaps: those repaint with it.
  void Repaint(const ControlSpec& c, HWND control);
  void DrawLabels(HDC dc, const RECT& area, const ControlSpec& target);
  HBRUSH Background(const ControlSpec& c, HWND control, HDC dc);
  void DropPageBrush();

  FormModel& model_;
  HICON icon_;
  HWND hwnd_ = nullptr;
  HWND tooltip_ = nullptr;
  HWND focus_ = nullptr;
  HWND disabledOwner_ = nullptr;
  int dpi_ = 96;
  bool pushing_ = false;
  int reporting_ = 0;  // the text box whose user edit is being reported
  std::map<int, HWND> controls_;
  std::map<int, std::vector<std::string>> shownItems_;
  std::map<int, std::function<void(HDC, const RECT&)>> painters_;
  std::map<int, HCURSOR> cursors_;
  std::map<int, HCURSOR> images_;  // shared resources: never destroyed
  std::vector<HFONT> fonts_;
  HBITMAP pageBitmap_ = nullptr;
  HBRUSH pageBrush_ = nullptr;
  MessageHook hook_;
};

}  // namespace kestrova::win32

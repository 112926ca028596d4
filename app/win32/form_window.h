#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "app/forms.h"

namespace win32ui {

// A top-level window built by walking its description: the window with its border, caption, icon
// and colours, then every control in the description's order as a child of its container.
// Subclasses give the controls' notifications their meaning.
class FormWindow {
 public:
  FormWindow(const FormWindow&) = delete;
  FormWindow& operator=(const FormWindow&) = delete;
  virtual ~FormWindow();

  // None while the window does not exist: before it was created, after it was destroyed, or when
  // Windows refused to create it.
  HWND hwnd() const { return hwnd_; }
  // The window of the described control with that name; none when the window has no such control.
  HWND Control(std::string_view name) const;
  const app::forms::Window& description() const { return description_; }
  // The density the window is laid out at.
  int dpi() const { return dpi_; }

  // The keys the station's windows handle before IsDialogMessage sees them: Tab and Shift+Tab in
  // the described tab order across containers, Enter on a focused button, Ctrl+A in a text field;
  // then IsDialogMessage for the window the message is for. True when the message needs no more.
  static bool PreTranslate(MSG& message);

 protected:
  explicit FormWindow(const app::forms::Window& description);

  // Creates the window and its controls, hidden; a window that is not in the taskbar is owned by
  // `owner`. False when Windows refused.
  bool Create(HWND owner);
  // Destroys the window; subclasses call it from their destructor, while their handlers still exist.
  void Destroy();
  // Re-applies the described font to a control.
  void ApplyFont(std::string_view name);

  virtual LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  virtual void Command(std::string_view control, WORD code) = 0;
  virtual void Scroll(std::string_view /*control*/, WORD /*code*/) {}

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK FrameProcedure(HWND frame, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                         DWORD_PTR owner);
  static LRESULT CALLBACK ControlProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                           DWORD_PTR owner);
  static FormWindow* OwnerOf(HWND window);

  bool RegisterClass() const;
  HWND CreateControl(const app::forms::Control& control, int index);
  void KeepClosedHeight(HWND combo, int height) const;
  // The window's outer rectangle around its described inner area, for these styles.
  RECT OuterRect(DWORD style, DWORD exStyle) const;
  void PutLaterControlsInFront();
  void MoveFocus(bool backwards);
  // After a move by the keyboard the window shows where the focus is, as a dialog does.
  void ShowFocusCues() const;
  // Lays the window and its controls out again at another density, with fonts made for it, in the
  // place that Windows suggests.
  void ChangeDpi(int dpi, const RECT& suggested);
  void PlaceControl(size_t index);
  void SetIcons();
  // What lies behind the controls: the window's colour, each frame's colour over its area.
  void PaintBackground(HDC dc) const;
  // The frame drawn around a focused scroll bar, whose own focus mark is too thin to be seen; false
  // for other controls.
  bool FocusMarkPlace(HWND control, RECT& place) const;
  void PaintFocusMark(HDC dc) const;
  void InvalidateFocusMark(HWND control) const;
  const app::forms::Control* Described(HWND window) const;
  HFONT Font(const app::forms::Font& font);
  HBRUSH Brush(const app::forms::Colour& colour) const;
  LRESULT ControlColour(UINT message, WPARAM wParam, LPARAM lParam);

  const app::forms::Window& description_;
  HWND hwnd_ = nullptr;
  int dpi_ = 96;
  std::vector<HWND> controls_;  // in the description's order
  std::map<std::string, HFONT> fonts_;
  mutable std::map<COLORREF, HBRUSH> brushes_;
  HICON icons_[2] = {};  // big and small, for the density the window is on
};

// The station's message loop: every message goes through PreTranslate first. Returns the code the
// program ends with.
int RunMessageLoop();

}  // namespace win32ui

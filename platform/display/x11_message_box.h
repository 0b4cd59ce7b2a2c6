// The X11 message box: a modal dialog titled with the caption, showing the text line by line
// above an OK button. Enter, Escape, a click on OK or closing the dialog dismisses it. It lives
// on the X11 desktop's connection, which runs its event loop (Desktop::ShowMessageBox).
#pragma once

#include <X11/Xlib.h>

#include <string>
#include <vector>

#include "x11_visual.h"

namespace ilk::display {

class MessageBoxWindow {
 public:
  // Maps the dialog, centred on the screen. `visual` and `font` outlive the box.
  MessageBoxWindow(::Display *display, const X11Visual &visual, XFontStruct *font, const std::string &caption,
                   const std::string &text);
  ~MessageBoxWindow();
  MessageBoxWindow(const MessageBoxWindow &) = delete;
  MessageBoxWindow &operator=(const MessageBoxWindow &) = delete;

  Window Xid() const { return window_; }
  // Handles one event of the dialog's window; true when it dismisses the dialog.
  bool Handle(const XEvent &event);

 private:
  int ButtonX() const;
  int ButtonY() const;
  bool OnButton(int x, int y) const;
  void Draw();

  ::Display *display_;
  const X11Visual &visual_;
  XFontStruct *font_;
  std::vector<std::string> lines_;
  int line_height_ = 0, width_ = 0, height_ = 0;
  Window window_ = 0;
  GC gc_ = nullptr;
  Atom wm_protocols_ = 0, wm_delete_window_ = 0;
  bool pressed_on_button_ = false;
};

}  // namespace ilk::display

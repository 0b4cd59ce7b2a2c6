// The X11 message box: a modal dialog titled with the caption, showing the text line by line
// above an OK button. Enter, Escape, a click on OK or closing the dialog dismisses it. A window
// manager decorates it; where none runs, it draws Windows 10's caption itself (x11_caption.h),
// so that its caption shows either way. It lives on the X11 desktop's connection, which runs its
// event loop (Desktop::ShowMessageBox).
#pragma once

#include <X11/Xlib.h>

#include <string>
#include <vector>

#include "x11_text.h"
#include "x11_visual.h"

namespace ilk::display {

class MessageBoxWindow {
 public:
  // Maps the dialog, centred on the screen. `visual` and `text` outlive the box.
  MessageBoxWindow(::Display *display, const X11Visual &visual, const X11Text &text, const std::string &caption,
                   const std::string &message);
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
  const X11Text &text_;
  std::string caption_;
  std::vector<std::string> lines_;
  int caption_height_ = 0;  // of the caption it draws itself; 0 under a window manager
  int line_height_ = 0, width_ = 0, height_ = 0;
  Window window_ = 0;
  GC gc_ = nullptr;
  Atom wm_protocols_ = 0, wm_delete_window_ = 0;
  bool pressed_on_button_ = false;
};

}  // namespace ilk::display

// Windows 10's caption, drawn on windows no window manager decorates (every window of ours, and
// the message box where no window manager runs): a white band with the title at its left, black
// when the window is active and grey when not, and at its right the caption buttons the
// window's styles give it, each 46 pixels wide with a 10-pixel glyph in one-pixel lines: close
// (a cross), maximize (a square) and minimize (a bar). The glyphs are pictures only: what a
// press on them does is whatever the window's hit-testing answers there.
#pragma once

#include <X11/Xlib.h>

#include <string>

#include "x11_text.h"
#include "x11_visual.h"

namespace ilk::display {

struct CaptionLook {
  int x = 0, y = 0, width = 0, height = 0;  // the band, in the window's coordinates
  std::string title;                        // UTF-8
  bool active = false;
  bool close = false;     // a close button
  bool minimize = false;  // an enabled minimize button; either of these two brings both, the
  bool maximize = false;  // other one disabled
};

// Draws the caption `look` describes into `window` with `gc` (whose foreground it changes);
// without `text` the title is left out.
void DrawCaption(::Display *display, Window window, GC gc, const X11Visual &visual, const X11Text *text,
                 const CaptionLook &look);

}  // namespace ilk::display

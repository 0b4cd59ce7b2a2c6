// Text as Windows 10 draws it in captions and dialogs: a proportional font (Segoe UI where the
// machine has it, else DejaVu Sans or Liberation Sans, chosen by fontconfig) at 12 pixels, the
// size of Windows' 9-point UI font at 96 DPI, drawn anti-aliased from UTF-8 through Xft.
#pragma once

#include <X11/Xft/Xft.h>
#include <fontconfig/fontconfig.h>
#include <stdint.h>

#include <memory>
#include <string>

#include "x11_visual.h"

namespace ilk::display {

class X11Text {
 public:
  // Null when fontconfig finds no font at all.
  static std::unique_ptr<X11Text> Open(::Display *display, const X11Visual &visual);
  ~X11Text();
  X11Text(const X11Text &) = delete;
  X11Text &operator=(const X11Text &) = delete;

  int Ascent() const { return font_->ascent; }
  int Descent() const { return font_->descent; }
  int Height() const { return font_->ascent + font_->descent; }
  // The advance of `utf8` in pixels.
  int Width(const std::string &utf8) const;
  // Draws `utf8` in `window` with its baseline's left end at `x`, `baseline`, in the colour
  // 0x00BBGGRR, clipped to the `clip_width` pixels from `x` on.
  void Draw(Window window, uint32_t colorref, int x, int baseline, int clip_width, const std::string &utf8) const;

 private:
  X11Text(::Display *display, const X11Visual &visual, XftFont *font);

  ::Display *display_;
  const X11Visual &visual_;
  XftFont *font_;
  // Fontconfig keeps a pattern's elements at an offset from the pattern rather than by pointer,
  // so LeakSanitizer would take the font's elements for lost while the font lives (Xft frees it
  // when the X connection closes, which the program leaves to the end of the process): an
  // iterator over them holds their address.
  FcPatternIter elements_;
};

}  // namespace ilk::display

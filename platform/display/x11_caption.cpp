#include "x11_caption.h"

namespace ilk::display {

namespace {

const uint32_t kCaptionColor = 0xFFFFFF;
const uint32_t kActiveColor = 0x000000;    // title and glyphs of the active window
const uint32_t kInactiveColor = 0x999999;  // of an inactive one
const uint32_t kDisabledColor = 0xCCCCCC;  // the glyph of a disabled button
const int kTitleIndent = 9;
const int kButtonWidth = 46;
const int kGlyphSize = 10;

enum class Glyph { kClose, kMaximize, kMinimize };

// Draws `glyph` centred in the button whose left edge is `left`.
void DrawGlyph(::Display *display, Window window, GC gc, Glyph glyph, int left, const CaptionLook &look) {
  int x = left + (kButtonWidth - kGlyphSize) / 2;
  int y = look.y + (look.height - kGlyphSize) / 2;
  int far = kGlyphSize - 1;
  switch (glyph) {
    case Glyph::kClose:
      XDrawLine(display, window, gc, x, y, x + far, y + far);
      XDrawLine(display, window, gc, x + far, y, x, y + far);
      break;
    case Glyph::kMaximize:
      XDrawRectangle(display, window, gc, x, y, (unsigned)far, (unsigned)far);
      break;
    case Glyph::kMinimize:
      XDrawLine(display, window, gc, x, y + kGlyphSize / 2, x + far, y + kGlyphSize / 2);
      break;
  }
}

}  // namespace

void DrawCaption(::Display *display, Window window, GC gc, const X11Visual &visual, const X11Text *text,
                 const CaptionLook &look) {
  if (look.width <= 0 || look.height <= 0) return;
  XSetForeground(display, gc, visual.Pixel(kCaptionColor));
  XFillRectangle(display, window, gc, look.x, look.y, (unsigned)look.width, (unsigned)look.height);
  uint32_t color = look.active ? kActiveColor : kInactiveColor;
  // Buttons from the right: close, then maximize and minimize together.
  int left = look.x + look.width;
  if (look.close) {
    left -= kButtonWidth;
    XSetForeground(display, gc, visual.Pixel(color));
    DrawGlyph(display, window, gc, Glyph::kClose, left, look);
  }
  if (look.minimize || look.maximize) {
    for (Glyph glyph : {Glyph::kMaximize, Glyph::kMinimize}) {
      left -= kButtonWidth;
      bool enabled = glyph == Glyph::kMaximize ? look.maximize : look.minimize;
      XSetForeground(display, gc, visual.Pixel(enabled ? color : kDisabledColor));
      DrawGlyph(display, window, gc, glyph, left, look);
    }
  }
  if (!text) return;
  int baseline = look.y + (look.height + text->Ascent() - text->Descent()) / 2;
  int title_x = look.x + kTitleIndent;
  text->Draw(window, color, title_x, baseline, left - title_x, look.title);
}

}  // namespace ilk::display

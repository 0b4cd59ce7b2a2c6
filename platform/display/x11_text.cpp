#include "x11_text.h"

#include <mutex>

namespace ilk::display {

namespace {

const char kFontPattern[] = "Segoe UI,DejaVu Sans,Liberation Sans:pixelsize=12";

// The machine's font directories and caches, and none of the system's rules (aliases,
// substitutions): captions look the same on every machine with the same fonts, and fontconfig
// does not read the system's rule files, which leave allocations it never frees.
const char kFontConfig[] =
    "<fontconfig><dir>/usr/share/fonts</dir><dir>/usr/local/share/fonts</dir>"
    "<cachedir>/var/cache/fontconfig</cachedir></fontconfig>";

// Makes our configuration fontconfig's, once per process, before Xft sets fontconfig up with
// the system's. Without it Xft falls back to the system's configuration.
void UseOwnFontConfig() {
  static std::once_flag once;
  std::call_once(once, [] {
    FcConfig *config = FcConfigCreate();
    if (!config) return;
    if (FcConfigParseAndLoadFromMemory(config, reinterpret_cast<const FcChar8 *>(kFontConfig), FcFalse) &&
        FcConfigBuildFonts(config)) {
      FcConfigSetCurrent(config);  // which takes a reference of its own
    }
    FcConfigDestroy(config);
  });
}

}  // namespace

std::unique_ptr<X11Text> X11Text::Open(::Display *display, const X11Visual &visual) {
  UseOwnFontConfig();
  XftFont *font = XftFontOpenName(display, DefaultScreen(display), kFontPattern);
  if (!font) return nullptr;
  return std::unique_ptr<X11Text>(new X11Text(display, visual, font));
}

X11Text::X11Text(::Display *display, const X11Visual &visual, XftFont *font)
    : display_(display), visual_(visual), font_(font) {
  FcPatternIterStart(font_->pattern, &elements_);
}

X11Text::~X11Text() { XftFontClose(display_, font_); }

int X11Text::Width(const std::string &utf8) const {
  XGlyphInfo extents = {};
  XftTextExtentsUtf8(display_, font_, reinterpret_cast<const FcChar8 *>(utf8.data()), (int)utf8.size(), &extents);
  return extents.xOff;
}

void X11Text::Draw(Window window, uint32_t colorref, int x, int baseline, int clip_width,
                   const std::string &utf8) const {
  if (clip_width <= 0 || utf8.empty()) return;
  XftDraw *draw = XftDrawCreate(display_, window, visual_.visual(), visual_.colormap());
  if (!draw) return;
  XRectangle clip = {(short)x, (short)(baseline - font_->ascent), (unsigned short)clip_width,
                     (unsigned short)(font_->ascent + font_->descent)};
  XftDrawSetClipRectangles(draw, 0, 0, &clip, 1);
  XRenderColor render = {(unsigned short)((colorref & 0xFF) * 0x101), (unsigned short)((colorref >> 8 & 0xFF) * 0x101),
                         (unsigned short)((colorref >> 16 & 0xFF) * 0x101), 0xFFFF};
  XftColor color;
  XftColorAllocValue(display_, visual_.visual(), visual_.colormap(), &render, &color);
  XftDrawStringUtf8(draw, &color, font_, x, baseline, reinterpret_cast<const FcChar8 *>(utf8.data()), (int)utf8.size());
  XftColorFree(display_, visual_.visual(), visual_.colormap(), &color);
  XftDrawDestroy(draw);
}

}  // namespace ilk::display

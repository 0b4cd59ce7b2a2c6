// The X11 message box (x11_message_box.h).
#include "x11_message_box.h"

#include <X11/Xatom.h>
#include <X11/keysym.h>

#include <algorithm>

#include "x11_caption.h"

namespace ilk::display {
namespace {

const int kMargin = 16;
const int kButtonWidth = 88;
const int kButtonHeight = 26;
const int kMinWidth = 240;
const uint32_t kDialogColor = 0xF0F0F0;  // Windows' dialog face
const uint32_t kTextColor = 0x000000;
const uint32_t kButtonColor = 0xE1E1E1;
const uint32_t kButtonBorder = 0xD77800;  // the default button's blue outline (0x00BBGGRR)
const uint32_t kOutline = 0x7A7A7A;       // of a box that draws its own caption
const int kCaptionHeight = 31;            // caption and top frame, as a Windows 10 window's

std::vector<std::string> Lines(const std::string &text) {
  std::vector<std::string> lines;
  size_t begin = 0;
  while (begin <= text.size()) {
    size_t end = text.find('\n', begin);
    if (end == std::string::npos) end = text.size();
    if (end > begin || end < text.size()) lines.push_back(text.substr(begin, end - begin));
    begin = end + 1;
  }
  return lines;
}

}  // namespace

MessageBoxWindow::MessageBoxWindow(::Display *display, const X11Visual &visual, const X11Text &text,
                                   const std::string &caption, const std::string &message)
    : display_(display), visual_(visual), text_(text), caption_(caption), lines_(Lines(message)) {
  caption_height_ = WindowManagerRuns(display_) ? 0 : kCaptionHeight;
  line_height_ = text_.Height() + 2;
  int text_width = 0;
  for (const std::string &line : lines_) text_width = std::max(text_width, text_.Width(line));
  width_ = std::max(kMinWidth, text_width + 2 * kMargin);
  height_ = caption_height_ + kMargin + (int)lines_.size() * line_height_ + kMargin + kButtonHeight + kMargin;
  int screen = DefaultScreen(display_);
  int x = (DisplayWidth(display_, screen) - width_) / 2, y = (DisplayHeight(display_, screen) - height_) / 2;
  XSetWindowAttributes attributes =
      WindowAttributes(visual_, ExposureMask | KeyPressMask | ButtonPressMask | ButtonReleaseMask | StructureNotifyMask);
  window_ = XCreateWindow(display_, RootWindow(display_, screen), x, y, (unsigned)width_, (unsigned)height_, 0,
                          visual_.depth(), InputOutput, visual_.visual(),
                          CWColormap | CWBorderPixel | CWBackPixmap | CWEventMask, &attributes);
  SetTitle(display_, window_, caption.c_str());
  wm_protocols_ = XInternAtom(display_, "WM_PROTOCOLS", False);
  wm_delete_window_ = XInternAtom(display_, "WM_DELETE_WINDOW", False);
  XSetWMProtocols(display_, window_, &wm_delete_window_, 1);
  Atom window_type = XInternAtom(display_, "_NET_WM_WINDOW_TYPE", False);
  Atom dialog = XInternAtom(display_, "_NET_WM_WINDOW_TYPE_DIALOG", False);
  XChangeProperty(display_, window_, window_type, XA_ATOM, 32, PropModeReplace, reinterpret_cast<unsigned char *>(&dialog), 1);
  XSizeHints hints = {};
  hints.flags = PPosition | PMinSize | PMaxSize;
  hints.x = x;
  hints.y = y;
  hints.min_width = hints.max_width = width_;
  hints.min_height = hints.max_height = height_;
  XSetWMNormalHints(display_, window_, &hints);
  gc_ = XCreateGC(display_, window_, 0, nullptr);
  XMapRaised(display_, window_);
}

MessageBoxWindow::~MessageBoxWindow() {
  XFreeGC(display_, gc_);
  XDestroyWindow(display_, window_);
  XSync(display_, False);
}

bool MessageBoxWindow::Handle(const XEvent &event) {
  switch (event.type) {
    case MapNotify:
      XSetInputFocus(display_, window_, RevertToParent, CurrentTime);  // the box takes the keyboard
      break;
    case Expose:
      if (event.xexpose.count == 0) Draw();
      break;
    case KeyPress: {
      KeySym keysym = XLookupKeysym(const_cast<XKeyEvent *>(&event.xkey), 0);
      if (keysym == XK_Return || keysym == XK_KP_Enter || keysym == XK_Escape) return true;
      break;
    }
    case ButtonPress:
      pressed_on_button_ = event.xbutton.button == Button1 && OnButton(event.xbutton.x, event.xbutton.y);
      break;
    case ButtonRelease:
      // As a Windows button: pressed and released on it.
      if (pressed_on_button_ && event.xbutton.button == Button1 && OnButton(event.xbutton.x, event.xbutton.y)) return true;
      pressed_on_button_ = false;
      break;
    case ClientMessage:
      return event.xclient.message_type == wm_protocols_ && (Atom)event.xclient.data.l[0] == wm_delete_window_;
  }
  return false;
}

bool MessageBoxWindow::OnButton(int x, int y) const {
  return x >= ButtonX() && x < ButtonX() + kButtonWidth && y >= ButtonY() && y < ButtonY() + kButtonHeight;
}

int MessageBoxWindow::ButtonX() const { return (width_ - kButtonWidth) / 2; }
int MessageBoxWindow::ButtonY() const { return height_ - kMargin - kButtonHeight; }

void MessageBoxWindow::Draw() {
  XSetForeground(display_, gc_, visual_.Pixel(kDialogColor));
  XFillRectangle(display_, window_, gc_, 0, 0, (unsigned)width_, (unsigned)height_);
  if (caption_height_) {
    CaptionLook caption;
    caption.x = caption.y = 1;
    caption.width = width_ - 2;
    caption.height = caption_height_ - 1;
    caption.title = caption_;
    caption.active = true;  // the box has the keyboard
    caption.close = true;
    DrawCaption(display_, window_, gc_, visual_, &text_, caption);
    XSetForeground(display_, gc_, visual_.Pixel(kOutline));
    XDrawRectangle(display_, window_, gc_, 0, 0, (unsigned)width_ - 1, (unsigned)height_ - 1);
  }
  int baseline = caption_height_ + kMargin + text_.Ascent();
  for (const std::string &line : lines_) {
    text_.Draw(window_, kTextColor, kMargin, baseline, width_ - 2 * kMargin, line);
    baseline += line_height_;
  }
  XSetForeground(display_, gc_, visual_.Pixel(kButtonColor));
  XFillRectangle(display_, window_, gc_, ButtonX(), ButtonY(), kButtonWidth, kButtonHeight);
  XSetForeground(display_, gc_, visual_.Pixel(kButtonBorder));
  XDrawRectangle(display_, window_, gc_, ButtonX(), ButtonY(), kButtonWidth - 1, kButtonHeight - 1);
  const std::string label = "OK";
  int label_x = ButtonX() + (kButtonWidth - text_.Width(label)) / 2;
  int label_y = ButtonY() + (kButtonHeight + text_.Ascent() - text_.Descent()) / 2;
  text_.Draw(window_, kTextColor, label_x, label_y, kButtonWidth, label);
  XFlush(display_);
}

}  // namespace ilk::display

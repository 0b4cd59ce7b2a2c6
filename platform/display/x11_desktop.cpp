// The X11 desktop: each top-level window is an X11 window covering its outer rectangle. The
// window manager's decorations are switched off (Motif hints) and a window with a caption draws
// its own frame and Windows 10's caption (x11_caption.h), so that the program's hit-testing
// decides every move and size. The client area shows the last presented image, or the class
// brush before any.
//
// X11 events become display events: exposure, buttons and motion (screen coordinates), keys
// (Windows virtual-key codes), the window manager's close, and moves the window manager made.
#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/keysym.h>
#include <poll.h>

#include <algorithm>
#include <deque>
#include <map>
#include <mutex>

#include "common/log.h"
#include "display.h"
#include "x11_caption.h"
#include "x11_shown_image.h"
#include "x11_keys.h"
#include "x11_message_box.h"
#include "x11_visual.h"

namespace ilk::display {
namespace {

const long kEventMask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | KeyPressMask |
                        KeyReleaseMask | StructureNotifyMask;

// Windows 10's look: a white frame with a one-pixel outline, darker when the window is active.
const uint32_t kFrameColor = 0xFFFFFF;
const uint32_t kActiveOutline = 0x7A7A7A;
const uint32_t kInactiveOutline = 0xAAAAAA;

struct Surface {
  Window xid = 0;
  SurfaceLook look;
  bool created_look = false;  // `look` came from UpdateSurface at least once
  std::unique_ptr<ShownImage> image;  // from the first presentation on
  ScreenRect asked;  // the geometry last asked of the server
  // Geometries asked of the server whose ConfigureNotify has not come back yet.
  std::deque<ScreenRect> requested;
};

// Closes the X connection when the desktop goes, after every member that uses it.
struct ConnectionCloser {
  ~ConnectionCloser() { XCloseDisplay(display); }
  ::Display *const display;
};

class X11Desktop : public Desktop {
 public:
  X11Desktop(::Display *display, const X11Visual &visual)
      : display_(display), closer_{display}, visual_(visual), shared_memory_(XShmQueryExtension(display)) {
    screen_ = DefaultScreen(display_);
    wm_protocols_ = XInternAtom(display_, "WM_PROTOCOLS", False);
    wm_delete_window_ = XInternAtom(display_, "WM_DELETE_WINDOW", False);
    motif_hints_ = XInternAtom(display_, "_MOTIF_WM_HINTS", False);
    text_ = X11Text::Open(display_, visual_);
    // Held keys repeat as presses only, as Windows reports them.
    XkbSetDetectableAutoRepeat(display_, True, nullptr);
  }

  ~X11Desktop() override {
    for (const auto &[id, surface] : surfaces_) XDestroyWindow(display_, surface.xid);
    if (gc_) XFreeGC(display_, gc_);
  }

  void CreateSurface(SurfaceId id, const SurfaceLook &look) override {
    std::lock_guard<std::mutex> lock(mutex_);
    XSetWindowAttributes attributes = WindowAttributes(visual_, kEventMask);
    Window xid = XCreateWindow(display_, RootWindow(display_, screen_), look.window.left, look.window.top,
                               XSize(look.window.Width()), XSize(look.window.Height()), 0, visual_.depth(),
                               InputOutput, visual_.visual(), CWColormap | CWBorderPixel | CWBackPixmap | CWEventMask,
                               &attributes);
    XSetWMProtocols(display_, xid, &wm_delete_window_, 1);
    // Motif hints: flags MWM_HINTS_DECORATIONS, decorations none.
    long hints[5] = {2, 0, 0, 0, 0};
    XChangeProperty(display_, xid, motif_hints_, motif_hints_, 32, PropModeReplace,
                    reinterpret_cast<unsigned char *>(hints), 5);
    Surface &surface = surfaces_[id];
    surface.xid = xid;
    surface.look = look;
    surface_of_[xid] = id;
    if (!gc_) gc_ = XCreateGC(display_, xid, 0, nullptr);
    XFlush(display_);
  }

  void DestroySurface(SurfaceId id) override {
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = surfaces_.find(id);
    if (found == surfaces_.end()) return;
    surface_of_.erase(found->second.xid);
    XDestroyWindow(display_, found->second.xid);
    surfaces_.erase(found);
    XFlush(display_);
  }

  void UpdateSurface(SurfaceId id, const SurfaceLook &look) override {
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = surfaces_.find(id);
    if (found == surfaces_.end()) return;
    Surface &surface = found->second;
    const SurfaceLook old = surface.look;
    surface.look = look;
    ScreenRect asked = look.window;
    asked.right = asked.left + (int)XSize(asked.Width());
    asked.bottom = asked.top + (int)XSize(asked.Height());
    if (!surface.created_look || !Same(asked, surface.asked)) {
      // The server answers a change of geometry, and only a change, with a ConfigureNotify.
      surface.asked = asked;
      surface.requested.push_back(asked);
      XSizeHints size_hints = {};
      size_hints.flags = USPosition | USSize;
      size_hints.x = asked.left;
      size_hints.y = asked.top;
      size_hints.width = asked.Width();
      size_hints.height = asked.Height();
      XSetWMNormalHints(display_, surface.xid, &size_hints);
      XMoveResizeWindow(display_, surface.xid, asked.left, asked.top, (unsigned)asked.Width(), (unsigned)asked.Height());
    }
    if (!surface.created_look || old.title != look.title) SetTitle(display_, surface.xid, look.title.c_str());
    if (look.visible && (!old.visible || !surface.created_look)) XMapRaised(display_, surface.xid);
    if (!look.visible && old.visible) XUnmapWindow(display_, surface.xid);
    surface.created_look = true;
    if (look.visible) Draw(surface);
    XFlush(display_);
  }

  void RestackSurfaces(const std::vector<SurfaceId> &top_first) override {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<Window> windows;
    for (SurfaceId id : top_first) {
      auto found = surfaces_.find(id);
      if (found != surfaces_.end()) windows.push_back(found->second.xid);
    }
    if (windows.empty()) return;
    XRaiseWindow(display_, windows.front());
    XRestackWindows(display_, windows.data(), (int)windows.size());
    XFlush(display_);
  }

  void FocusSurface(SurfaceId id) override {
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = surfaces_.find(id);
    if (found == surfaces_.end()) return;
    // Only a window the server shows can take the focus; one still being mapped takes it on
    // MapNotify.
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display_, found->second.xid, &attributes) && attributes.map_state == IsViewable) {
      XSetInputFocus(display_, found->second.xid, RevertToParent, CurrentTime);
    } else {
      focus_when_mapped_ = found->second.xid;
    }
    XFlush(display_);
  }

  bool Look(SurfaceId id, SurfaceLook *look) override {
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = surfaces_.find(id);
    if (found != surfaces_.end() && look) *look = found->second.look;
    return found != surfaces_.end();
  }

  bool ShowImage(SurfaceId id, int width, int height, const std::function<void(uint8_t *bgra)> &write) override {
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = surfaces_.find(id);
    if (found == surfaces_.end()) return false;
    Surface &surface = found->second;
    if (!surface.image) surface.image = std::make_unique<ShownImage>(display_, visual_, &shared_memory_);
    write(surface.image->Resize(width, height));
    if (surface.look.visible) DrawClient(surface);
    XFlush(display_);
    return true;
  }

  std::shared_ptr<PixelMemory> DeviceFrameMemory(SurfaceId id, const DeviceFrameLayout &layout) override {
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = surfaces_.find(id);
    if (found == surfaces_.end()) return nullptr;
    Surface &surface = found->second;
    if (!surface.image) surface.image = std::make_unique<ShownImage>(display_, visual_, &shared_memory_);
    return surface.image->ResizeShared(layout);
  }

  // Draw waits until the server has read the pixels, so the device may write the next frame
  // into them as soon as this returns.
  bool ShowDeviceFrame(SurfaceId id, const PixelMemory &memory) override {
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = surfaces_.find(id);
    if (found == surfaces_.end()) return false;
    const Surface &surface = found->second;
    if (!surface.image || surface.image->SharedMemory() != &memory) return false;
    if (surface.look.visible) DrawClient(surface);
    XFlush(display_);
    return true;
  }

  // The part of the client area on the screen is read back from the server; a part off the
  // screen (which the server does not keep) is what was drawn there.
  bool ReadClientImage(SurfaceId id, int *width, int *height, std::vector<uint8_t> *bgra) override {
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = surfaces_.find(id);
    if (found == surfaces_.end()) return false;
    const Surface &surface = found->second;
    const ShownImage *shown = surface.image.get();
    ComposeClientImage(surface.look, shown ? shown->Width() : 0, shown ? shown->Height() : 0,
                       shown ? shown->Pixels() : nullptr, shown ? shown->RowPitch() : 0, width, height, bgra);
    const ScreenRect &client = surface.look.client;
    int left = std::max(client.left, 0), top = std::max(client.top, 0);
    int right = std::min(client.right, ScreenWidth()), bottom = std::min(client.bottom, ScreenHeight());
    if (!surface.look.visible || left >= right || top >= bottom) return true;
    XSync(display_, False);
    XImage *image = XGetImage(display_, surface.xid, left - surface.look.window.left, top - surface.look.window.top,
                              (unsigned)(right - left), (unsigned)(bottom - top), AllPlanes, ZPixmap);
    if (!image) return false;
    for (int y = top; y < bottom; ++y) {
      for (int x = left; x < right; ++x) {
        uint8_t *out = &(*bgra)[((size_t)(y - client.top) * *width + (x - client.left)) * 4];
        visual_.PixelToBgra(XGetPixel(image, x - left, y - top), out);
      }
    }
    XDestroyImage(image);
    return true;
  }

  void Sync() override {
    std::lock_guard<std::mutex> lock(mutex_);
    XSync(display_, False);
  }

  bool NextEvent(DisplayEvent *event, int timeout_ms) override {
    for (;;) {
      {
        std::lock_guard<std::mutex> lock(mutex_);
        while (XPending(display_)) {
          XEvent xevent;
          XNextEvent(display_, &xevent);
          if (Translate(xevent, event)) return true;
        }
      }
      if (timeout_ms <= 0) return false;
      // The wait holds no lock, so presentation from another thread goes on meanwhile. Events
      // that such a thread's request reads off the connection wait at most this timeout.
      struct pollfd connection = {ConnectionNumber(display_), POLLIN, 0};
      if (poll(&connection, 1, timeout_ms) <= 0) return false;
      timeout_ms = 0;  // one wait only; then whatever has arrived
    }
  }

  bool LeftButtonDown() override {
    int x, y;
    return QueryPointer(&x, &y) & Button1Mask;
  }

  void CursorPosition(int *x, int *y) override { QueryPointer(x, y); }
  // The screen's size never changes while the connection is open.
  int ScreenWidth() override { return DisplayWidth(display_, screen_); }
  int ScreenHeight() override { return DisplayHeight(display_, screen_); }

  bool ShowMessageBox(const std::string &caption, const std::string &text) override {
    std::unique_ptr<MessageBoxWindow> box;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (!text_) return false;
      box = std::make_unique<MessageBoxWindow>(display_, visual_, *text_, caption, text);
    }
    // The dialog's events are taken off the connection, the windows' events stay queued for the
    // message loop. The wait holds no lock; it wakes now and then, because another thread's
    // request may read the dialog's events off the connection meanwhile.
    Window xid = box->Xid();
    for (;;) {
      {
        std::lock_guard<std::mutex> lock(mutex_);
        XEvent event;
        while (XCheckIfEvent(display_, &event, &IsEventOf, reinterpret_cast<XPointer>(&xid))) {
          if (box->Handle(event)) {
            box.reset();
            return true;
          }
        }
      }
      struct pollfd connection = {ConnectionNumber(display_), POLLIN, 0};
      poll(&connection, 1, kDialogWakeMs);
    }
  }

 private:
  static constexpr int kDialogWakeMs = 50;
  static Bool IsEventOf(::Display *, XEvent *event, XPointer window) {
    return event->xany.window == *reinterpret_cast<Window *>(window);
  }

  // X11 windows cannot be empty: a window of size zero or less is one pixel there.
  static unsigned XSize(int size) { return (unsigned)std::max(1, size); }
  static bool Same(const ScreenRect &a, const ScreenRect &b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
  }
  static int ClientX(const Surface &s) { return s.look.client.left - s.look.window.left; }
  static int ClientY(const Surface &s) { return s.look.client.top - s.look.window.top; }

  unsigned QueryPointer(int *x, int *y) {
    std::lock_guard<std::mutex> lock(mutex_);
    Window root, child;
    int window_x, window_y;
    unsigned mask = 0;
    *x = *y = 0;
    XQueryPointer(display_, RootWindow(display_, screen_), &root, &child, x, y, &window_x, &window_y, &mask);
    return mask;
  }

  void Fill(Window xid, uint32_t colorref, int x, int y, int width, int height) {
    if (width <= 0 || height <= 0) return;
    XSetForeground(display_, gc_, visual_.Pixel(colorref));
    XFillRectangle(display_, xid, gc_, x, y, (unsigned)width, (unsigned)height);
  }

  void Draw(Surface &surface) {
    DrawFrame(surface);
    DrawClient(surface);
  }

  void DrawFrame(const Surface &surface) {
    const SurfaceLook &look = surface.look;
    int width = look.window.Width(), height = look.window.Height();
    int left = ClientX(surface), top = ClientY(surface);
    int right = look.window.right - look.client.right, bottom = look.window.bottom - look.client.bottom;
    if (left <= 0 && top <= 0 && right <= 0 && bottom <= 0) return;  // no frame at all
    Fill(surface.xid, kFrameColor, 0, 0, width, top);
    Fill(surface.xid, kFrameColor, 0, top, left, height - top);
    Fill(surface.xid, kFrameColor, width - right, top, right, height - top);
    Fill(surface.xid, kFrameColor, 0, height - bottom, width, bottom);
    if (look.caption) {
      // The caption fills the frame above the client, inside the outline.
      CaptionLook caption;
      caption.x = caption.y = 1;
      caption.width = width - 2;
      caption.height = top - 1;
      caption.title = look.title;
      caption.active = look.active;
      caption.close = look.close_box;
      caption.minimize = look.minimize_box;
      caption.maximize = look.maximize_box;
      DrawCaption(display_, surface.xid, gc_, visual_, text_.get(), caption);
    }
    XSetForeground(display_, gc_, visual_.Pixel(look.active ? kActiveOutline : kInactiveOutline));
    XDrawRectangle(display_, surface.xid, gc_, 0, 0, (unsigned)std::max(0, width - 1), (unsigned)std::max(0, height - 1));
  }

  void DrawClient(const Surface &surface) {
    const SurfaceLook &look = surface.look;
    int width = look.client.Width(), height = look.client.Height();
    if (width <= 0 || height <= 0) return;
    int x0 = ClientX(surface), y0 = ClientY(surface);
    int shown_w = 0, shown_h = 0;
    if (surface.image) {
      shown_w = std::min(width, surface.image->Width());
      shown_h = std::min(height, surface.image->Height());
    }
    uint32_t background = look.has_background ? look.background : 0;
    if (shown_w > 0 && shown_h > 0) surface.image->Draw(surface.xid, gc_, shown_w, shown_h, x0, y0);
    // The background shows right of and below the image.
    Fill(surface.xid, background, x0 + shown_w, y0, width - shown_w, height);
    Fill(surface.xid, background, x0, y0 + shown_h, shown_w, height - shown_h);
  }

  bool Translate(XEvent &xevent, DisplayEvent *event) {
    auto found = surface_of_.find(xevent.xany.window);
    if (found == surface_of_.end()) return false;
    Surface &surface = surfaces_[found->second];
    *event = DisplayEvent();
    event->surface = found->second;
    event->time = TickCount();
    switch (xevent.type) {
      case Expose:
        if (xevent.xexpose.count != 0) return false;
        Draw(surface);
        event->kind = DisplayEvent::kExpose;
        return true;
      case MapNotify:
        if (focus_when_mapped_ == surface.xid) {
          XSetInputFocus(display_, surface.xid, RevertToParent, CurrentTime);
          focus_when_mapped_ = 0;
        }
        return false;
      case ButtonPress:
      case ButtonRelease:
        if (xevent.xbutton.button < 1 || xevent.xbutton.button > 3) return false;  // wheel steps
        event->kind = xevent.type == ButtonPress ? DisplayEvent::kButtonDown : DisplayEvent::kButtonUp;
        event->button = (int)xevent.xbutton.button;
        event->x = xevent.xbutton.x_root;
        event->y = xevent.xbutton.y_root;
        return true;
      case MotionNotify:
        event->kind = DisplayEvent::kMotion;
        event->x = xevent.xmotion.x_root;
        event->y = xevent.xmotion.y_root;
        return true;
      case KeyPress:
      case KeyRelease:
        return TranslateKey(xevent.xkey, event);
      case ClientMessage:
        if (xevent.xclient.message_type != wm_protocols_ || (Atom)xevent.xclient.data.l[0] != wm_delete_window_) return false;
        event->kind = DisplayEvent::kClose;
        return true;
      case ConfigureNotify:
        return TranslateConfigure(surface, xevent.xconfigure, event);
    }
    return false;
  }

  bool TranslateKey(XKeyEvent &key, DisplayEvent *event) {
    KeySym keysym = XLookupKeysym(&key, 0);
    // Keypad keys depend on Num Lock, which the lookup with the event's state applies.
    if (IsKeypadKey(keysym) || IsKeypadKey(XLookupKeysym(&key, 1))) {
      char text[8];
      XLookupString(&key, text, sizeof text, &keysym, nullptr);
    }
    bool extended = false;
    int virtual_key = VirtualKeyForKeysym(keysym, &extended);
    if (!virtual_key) return false;
    event->kind = key.type == KeyPress ? DisplayEvent::kKeyDown : DisplayEvent::kKeyUp;
    event->virtual_key = virtual_key;
    event->scan_code = (int)key.keycode - 8;  // evdev key codes are the PC scan codes
    event->extended = extended;
    event->x = key.x_root;
    event->y = key.y_root;
    return true;
  }

  // A configuration the window manager chose (not one we asked for) is reported; answers to
  // our own requests are not.
  bool TranslateConfigure(Surface &surface, const XConfigureEvent &configure, DisplayEvent *event) {
    int x = configure.x, y = configure.y;
    if (!configure.send_event) {
      Window child;
      XTranslateCoordinates(display_, surface.xid, RootWindow(display_, screen_), 0, 0, &x, &y, &child);
    }
    ScreenRect rect = {x, y, x + configure.width, y + configure.height};
    auto answered = std::find_if(surface.requested.begin(), surface.requested.end(),
                                 [&](const ScreenRect &r) { return Same(r, rect); });
    if (answered != surface.requested.end()) {
      surface.requested.erase(surface.requested.begin(), answered + 1);
      return false;
    }
    if (!surface.requested.empty() || Same(rect, surface.asked)) return false;
    event->kind = DisplayEvent::kConfigure;
    event->rect = rect;
    return true;
  }

  // Presentation may come from another thread than the message loop, and Xlib connections are
  // not thread-safe by themselves: every use of the connection and of the surfaces holds it.
  std::mutex mutex_;
  ::Display *display_;
  ConnectionCloser closer_;
  X11Visual visual_;
  bool shared_memory_;  // whether images may live in memory shared with the server
  int screen_ = 0;
  Atom wm_protocols_ = 0, wm_delete_window_ = 0, motif_hints_ = 0;
  std::unique_ptr<X11Text> text_;  // null when the machine has no font
  GC gc_ = nullptr;
  Window focus_when_mapped_ = 0;
  std::map<SurfaceId, Surface> surfaces_;
  std::map<Window, SurfaceId> surface_of_;
};

}  // namespace

}  // namespace ilk::display

// The module's entry point (display.h, kOpenX11DesktopEntry), looked up by name.
extern "C" INTERLOCK_EXPORT ilk::display::Desktop *InterlockOpenX11Desktop() {
  ::Display *display = XOpenDisplay(nullptr);
  if (!display) return nullptr;
  ilk::display::HandleXErrors();
  ilk::display::X11Visual visual;
  if (!visual.Choose(display, DefaultScreen(display))) {
    ilk::Log("the X11 screen has no 24-bit TrueColor visual");
    XCloseDisplay(display);
    return nullptr;
  }
  return new ilk::display::X11Desktop(display, visual);
}

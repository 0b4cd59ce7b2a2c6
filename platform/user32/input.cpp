// user32: input from the display becoming messages. A mouse event is hit-tested first
// (WM_NCHITTEST); a press on an inactive window asks WM_MOUSEACTIVATE and activates it; then
// WM_SETCURSOR; the hit-test code decides between the client and the non-client button messages.
// Keys go to the focus window as WM_KEYDOWN/WM_KEYUP (WM_SYSKEY* with Alt) with Windows' key data.
#include <algorithm>
#include <deque>

#include "common/platform_state.h"
#include "display/display.h"
#include "window_manager.h"

namespace ilk::user32 {
namespace {

// The window thread's input: display events not yet taken, the messages made of them, and
// which keys and buttons are held.
struct Input {
  std::deque<display::DisplayEvent> raw;
  std::deque<MSG> converted;
  bool key_down[256] = {};
  bool buttons_down[4] = {};
};

PlatformState<Input> input;

std::deque<display::DisplayEvent> &RawInput() { return input.Get().raw; }
std::deque<MSG> &ConvertedInput() { return input.Get().converted; }

bool KeyHeld(UINT virtual_key) { return input.Get().key_down[virtual_key & 0xFF]; }

WPARAM MouseKeyState() {
  WPARAM state = 0;
  if (input.Get().buttons_down[1]) state |= MK_LBUTTON;
  if (input.Get().buttons_down[3]) state |= MK_RBUTTON;
  if (input.Get().buttons_down[2]) state |= MK_MBUTTON;
  if (KeyHeld(VK_SHIFT)) state |= MK_SHIFT;
  if (KeyHeld(VK_CONTROL)) state |= MK_CONTROL;
  return state;
}

// The client message for a button event; the non-client one is WM_NC* at the same distance
// from WM_NCMOUSEMOVE as the client one from WM_MOUSEMOVE.
UINT ClientMouseMessage(const display::DisplayEvent &event) {
  if (event.kind == display::DisplayEvent::kMotion) return WM_MOUSEMOVE;
  bool down = event.kind == display::DisplayEvent::kButtonDown;
  switch (event.button) {
    case 1: return down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
    case 2: return down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
    default: return down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
  }
}

bool ConvertMouse(const display::DisplayEvent &event, MSG *msg) {
  HWND hwnd = reinterpret_cast<HWND>(event.surface);
  if (event.kind != display::DisplayEvent::kMotion) {
    input.Get().buttons_down[event.button & 3] = event.kind == display::DisplayEvent::kButtonDown;
  }
  if (!FindWindowObject(hwnd, false)) return false;
  LPARAM screen = MAKELPARAM(event.x, event.y);
  LRESULT hit = Send(hwnd, WM_NCHITTEST, 0, screen);
  UINT client_message = ClientMouseMessage(event);
  if (event.kind == display::DisplayEvent::kButtonDown && ActiveWindow() != hwnd) {
    LRESULT answer = Send(hwnd, WM_MOUSEACTIVATE, (WPARAM)hwnd, MAKELPARAM(hit, client_message));
    if (answer == MA_ACTIVATE || answer == MA_ACTIVATEANDEAT) ActivateWindow(hwnd, true);
    if (answer == MA_ACTIVATEANDEAT || answer == MA_NOACTIVATEANDEAT) return false;
  }
  if (!FindWindowObject(hwnd, false)) return false;
  Send(hwnd, WM_SETCURSOR, (WPARAM)hwnd, MAKELPARAM(hit, client_message));
  WindowPtr window = FindWindowObject(hwnd, false);
  if (!window) return false;
  *msg = {hwnd, client_message, MouseKeyState(), 0, event.time, {event.x, event.y}};
  if (hit == HTCLIENT) {
    msg->lParam = MAKELPARAM(event.x - window->client_rect.left, event.y - window->client_rect.top);
  } else {
    msg->message = client_message - WM_MOUSEMOVE + WM_NCMOUSEMOVE;
    msg->wParam = (WPARAM)hit;
    msg->lParam = screen;
  }
  return true;
}

bool ConvertKey(const display::DisplayEvent &event, MSG *msg) {
  HWND hwnd = FocusWindow() ? FocusWindow() : reinterpret_cast<HWND>(event.surface);
  if (!FindWindowObject(hwnd, false)) return false;
  bool down = event.kind == display::DisplayEvent::kKeyDown;
  UINT key = event.virtual_key & 0xFF;
  bool was_down = input.Get().key_down[key];
  input.Get().key_down[key] = down;
  bool alt = input.Get().key_down[VK_MENU] && !input.Get().key_down[VK_CONTROL];
  LPARAM data = 1 | ((LPARAM)(event.scan_code & 0xFF) << 16) | ((LPARAM)event.extended << 24) |
                ((LPARAM)alt << 29) | ((LPARAM)(down ? was_down : 1) << 30) | ((LPARAM)!down << 31);
  UINT message = down ? (alt || key == VK_F10 ? WM_SYSKEYDOWN : WM_KEYDOWN) : (alt || key == VK_F10 ? WM_SYSKEYUP : WM_KEYUP);
  *msg = {hwnd, message, (WPARAM)event.virtual_key, data, event.time, {event.x, event.y}};
  return true;
}

bool Convert(const display::DisplayEvent &event, MSG *msg) {
  switch (event.kind) {
    case display::DisplayEvent::kButtonDown:
    case display::DisplayEvent::kButtonUp:
    case display::DisplayEvent::kMotion:
      return ConvertMouse(event, msg);
    case display::DisplayEvent::kKeyDown:
    case display::DisplayEvent::kKeyUp:
      return ConvertKey(event, msg);
    default:
      return false;
  }
}

}  // namespace

void QueueDisplayEvent(const display::DisplayEvent &event) {
  HWND hwnd = reinterpret_cast<HWND>(event.surface);
  WindowPtr window = FindWindowObject(hwnd, false);
  switch (event.kind) {
    case display::DisplayEvent::kExpose:
      if (window) {
        Invalidate(window, nullptr, true);
        window->frame_pending = (window->style & WS_VISIBLE) != 0;
      }
      break;
    case display::DisplayEvent::kClose:
      // The display's close button is the window menu's Close, as on Windows.
      if (window) PostMessageW(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
      break;
    case display::DisplayEvent::kConfigure:
      // The display moved or sized the window itself: the window learns it as from SetWindowPos.
      if (window && (event.rect.left != window->window_rect.left || event.rect.top != window->window_rect.top ||
                     event.rect.Width() != window->window_rect.right - window->window_rect.left ||
                     event.rect.Height() != window->window_rect.bottom - window->window_rect.top)) {
        SetWindowPos(hwnd, nullptr, event.rect.left, event.rect.top, event.rect.Width(), event.rect.Height(),
                     SWP_NOZORDER | SWP_NOACTIVATE);
      }
      break;
    default:
      RawInput().push_back(event);
      break;
  }
}

void PumpDisplayEvents(int timeout_ms) {
  display::DisplayEvent event;
  while (display::CurrentDesktop().NextEvent(&event, timeout_ms)) {
    QueueDisplayEvent(event);
    timeout_ms = 0;
  }
}

void PurgeInput(HWND hwnd) {
  auto &converted = ConvertedInput();
  converted.erase(std::remove_if(converted.begin(), converted.end(), [hwnd](const MSG &m) { return m.hwnd == hwnd; }),
                  converted.end());
  auto &raw = RawInput();
  raw.erase(std::remove_if(raw.begin(), raw.end(),
                           [hwnd](const display::DisplayEvent &e) { return e.surface == display::SurfaceOf(hwnd); }),
            raw.end());
}

bool NextInputMessage(HWND filter, MSG *msg, bool remove) {
  auto &converted = ConvertedInput();
  auto &raw = RawInput();
  while (!raw.empty()) {
    display::DisplayEvent event = raw.front();
    raw.pop_front();
    MSG message;
    if (Convert(event, &message)) converted.push_back(message);
  }
  for (auto it = converted.begin(); it != converted.end(); ++it) {
    if (filter && it->hwnd != filter) continue;
    *msg = *it;
    if (remove) converted.erase(it);
    return true;
  }
  return false;
}

WCHAR CharacterForKey(UINT virtual_key) {
  // Characters follow the US keyboard layout.
  bool shift = KeyHeld(VK_SHIFT);
  if (virtual_key >= 'A' && virtual_key <= 'Z') {
    if (KeyHeld(VK_CONTROL)) return (WCHAR)(virtual_key - 'A' + 1);
    return (WCHAR)(shift ? virtual_key : virtual_key - 'A' + 'a');
  }
  if (virtual_key >= '0' && virtual_key <= '9') return shift ? L")!@#$%^&*("[virtual_key - '0'] : (WCHAR)virtual_key;
  if (virtual_key >= VK_NUMPAD0 && virtual_key <= VK_NUMPAD9) return (WCHAR)('0' + virtual_key - VK_NUMPAD0);
  struct KeyCharacters {
    UINT key;
    WCHAR plain, shifted;
  };
  static const KeyCharacters kTable[] = {
      {VK_SPACE, ' ', ' '},      {VK_RETURN, '\r', '\r'},   {VK_ESCAPE, 0x1B, 0x1B},   {VK_BACK, 0x08, 0x08},
      {VK_TAB, '\t', '\t'},      {VK_OEM_PLUS, '=', '+'},   {VK_OEM_MINUS, '-', '_'},  {VK_OEM_COMMA, ',', '<'},
      {VK_OEM_PERIOD, '.', '>'}, {VK_OEM_1, ';', ':'},      {VK_OEM_2, '/', '?'},      {VK_OEM_3, '`', '~'},
      {VK_OEM_4, '[', '{'},      {VK_OEM_5, '\\', '|'},     {VK_OEM_6, ']', '}'},      {VK_OEM_7, '\'', '"'},
      {VK_ADD, '+', '+'},        {VK_SUBTRACT, '-', '-'},   {VK_MULTIPLY, '*', '*'},   {VK_DIVIDE, '/', '/'},
      {VK_DECIMAL, '.', '.'},
  };
  for (const KeyCharacters &entry : kTable) {
    if (entry.key == virtual_key) return shift ? entry.shifted : entry.plain;
  }
  return 0;
}

}  // namespace ilk::user32

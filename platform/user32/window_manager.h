// The window manager's own state: window classes, windows and their rectangles, painting state,
// activation and focus. Shared by the files of user32; nothing here is exported.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace ilk::display {
struct DisplayEvent;
}  // namespace ilk::display

namespace ilk::user32 {

struct WindowClass {
  std::wstring name;  // compared case-insensitively, as Windows does
  UINT style = 0;
  WNDPROC proc = nullptr;
  HINSTANCE instance = nullptr;
  HCURSOR cursor = nullptr;
  HBRUSH background = nullptr;
};

// A window belongs to the thread that created it: only `hwnd`, `dc` and `thread`, which never
// change, may be read by another thread.
struct Window {
  HWND hwnd = nullptr;
  HDC dc = nullptr;  // every window owns one device context, as with CS_OWNDC
  std::thread::id thread = std::this_thread::get_id();
  std::shared_ptr<const WindowClass> window_class;
  WNDPROC proc = nullptr;
  HWND parent = nullptr;  // the parent of a child window, the owner of a top-level one
  HINSTANCE instance = nullptr;
  LONG_PTR id = 0;  // a child window's identifier (its menu handle otherwise)
  LONG_PTR user_data = 0;
  DWORD style = 0;
  DWORD ex_style = 0;
  std::wstring title;
  RECT window_rect = {};  // screen coordinates, right and bottom exclusive
  RECT client_rect = {};  // screen coordinates
  bool need_size = true;  // WM_SIZE and WM_MOVE not yet sent (an overlapped window's wait for
                          // its first showing)
  bool destroying = false;

  // Painting: the update region is kept as its bounding rectangle, in client coordinates.
  bool invalid = false;
  RECT update = {};
  bool erase_pending = false;
  bool frame_pending = false;
  bool internal_paint = false;
};

using WindowPtr = std::shared_ptr<Window>;

// Calls the window procedure of `hwnd` (SendMessageW without its failure injection).
LRESULT Send(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

// Input waiting for the message loop, as messages: WM_NCHITTEST (and WM_MOUSEACTIVATE,
// WM_SETCURSOR) are sent when a mouse message is taken, as Windows does. False when none.
bool NextInputMessage(HWND filter, MSG *msg, bool remove);
// A destroyed window's messages leave the queue, as on Windows.
void PurgeMessages(HWND hwnd);
void PurgeInput(HWND hwnd);
// The character a key press yields (TranslateMessage); 0 for none.
WCHAR CharacterForKey(UINT virtual_key);

// The live window behind `hwnd`, or null (last error ERROR_INVALID_WINDOW_HANDLE when `report`).
// The caller must be the window's thread; any other is caught (CheckWindowThread).
WindowPtr FindWindowObject(HWND hwnd, bool report = true);
// The live window behind `hwnd`, or null, for any thread.
WindowPtr FindWindowAnyThread(HWND hwnd);
// Catches, as an assertion does, a use of the window manager's state by a thread other than
// the one that has the windows: it writes why on stderr and aborts. `hwnd` names the window
// used, or is null for the message queue.
void CheckWindowThread(HWND hwnd, std::thread::id owner);
// Catches a use of the message queue by a thread other than the window thread (while there
// are windows).
void CheckQueueThread();
// A window that is being created or is alive; DestroyWindow removes it after WM_NCDESTROY.
// All live windows belong to one thread: a window made by another is caught.
void AddWindowObject(const WindowPtr &window);
void RemoveWindowObject(HWND hwnd);
// Every live top-level window, topmost first.
std::vector<WindowPtr> WindowsInZOrder();
// Moves a window in the Z order as SetWindowPos's hWndInsertAfter says.
void PlaceInZOrder(HWND hwnd, HWND insert_after);
// True when the window already stands where PlaceInZOrder would put it.
bool IsInZOrderPlace(HWND hwnd, HWND insert_after);

std::shared_ptr<const WindowClass> FindClass(const std::wstring &name, HINSTANCE instance);

// Sizes: the frame a style adds around the client area (as AdjustWindowRectEx).
RECT FrameInsets(DWORD style, DWORD ex_style);

// Activation and focus, as SetActiveWindow/SetFocus do them.
void ActivateWindow(HWND hwnd, bool by_mouse);
// Called when `hwnd` is hidden or destroyed while active: activation leaves the application.
void DeactivateWindow(HWND hwnd);
HWND ActiveWindow();
HWND FocusWindow();
void TakeFocus(HWND hwnd);
void ForgetWindow(HWND hwnd);

// SetWindowPos and ShowWindow without their failure injection and trace.
BOOL SetWindowPosition(const WindowPtr &window, HWND insert_after, int x, int y, int cx, int cy, UINT flags);
BOOL ShowWindowNow(HWND hwnd, int command);

// Painting state changes and the immediate painting of RedrawWindow.
void Invalidate(const WindowPtr &window, const RECT *client_rect, bool erase);
void Validate(const WindowPtr &window, const RECT *client_rect);
// `erase_only`: the frame and background now (RDW_ERASENOW); otherwise WM_PAINT now, whose
// BeginPaint paints them (RDW_UPDATENOW, UpdateWindow).
void PaintNow(HWND hwnd, bool erase_only);
// The first window (topmost first) that needs WM_PAINT, or null.
HWND WindowNeedingPaint(HWND filter);

// Tells the display where the window is and how its frame looks.
void UpdateDisplay(const WindowPtr &window);

// The modal move/size loop of WM_SYSCOMMAND SC_MOVE/SC_SIZE.
// `press` is where the button went down, in screen coordinates.
void RunMoveSizeLoop(HWND hwnd, WPARAM command, LPARAM press);

// Sends WM_GETMINMAXINFO and returns the answer.
MINMAXINFO QueryMinMaxInfo(HWND hwnd);

// Pulls pending display events into the input queue; waits up to `timeout_ms` for the first.
void PumpDisplayEvents(int timeout_ms);
// Acts on a display event now (exposure, closing, moves by the display) or queues it as input.
void QueueDisplayEvent(const display::DisplayEvent &event);

}  // namespace ilk::user32

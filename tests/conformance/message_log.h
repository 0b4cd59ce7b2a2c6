// Message recording in Windows' own testing style: a window class whose procedure logs every
// message it receives (with the parts of wParam and lParam that matter), and expected sequences
// written as tables in which a message may be marked optional.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

namespace conformance {

// What an expected entry compares besides the message number.
enum MatchFlags : unsigned {
  kOptional = 1,       // Windows may or may not send it
  kWparam = 2,         // wParam must equal `value`
  kPosFlags = 4,       // WM_WINDOWPOSCHANGING/CHANGED: the WINDOWPOS flags must equal `value`
  kInBeginPaint = 8,   // sent from inside BeginPaint (the recording procedure paints on WM_PAINT)
  kOtherWindow = 16,   // sent to the log's second window rather than its first
  kAnyWindow = 32,     // sent to any window (one the log did not create itself)
};

struct Expected {
  UINT message;
  unsigned match;
  unsigned long long value;
};

struct Logged {
  HWND hwnd;
  UINT message;
  WPARAM wparam;
  LPARAM lparam;
  UINT pos_flags;       // WINDOWPOS flags of WM_WINDOWPOSCHANGING/CHANGED, else 0
  RECT pos_rect;        // the WINDOWPOS or WM_NCCALCSIZE rectangle (left, top, right, bottom)
  bool in_begin_paint;  // sent while the procedure was inside BeginPaint
};

// The recording class "conformance" (registered once): its procedure logs every message to the
// current MessageLog, lets the log's hook answer it, and otherwise paints (BeginPaint/EndPaint)
// on WM_PAINT and passes the rest to DefWindowProcW.
class MessageLog {
 public:
  MessageLog();
  ~MessageLog();  // destroys the windows it created, then stops logging
  MessageLog(const MessageLog &) = delete;
  MessageLog &operator=(const MessageLog &) = delete;

  // Creates a top-level window of the class; the first and second windows created are the ones
  // an Expected entry refers to (kOtherWindow selects the second).
  HWND Create(DWORD style, int x = 100, int y = 100, int width = 300, int height = 200, DWORD ex_style = 0);

  // Dispatches everything waiting in the thread's queue (so that what earlier steps queued does
  // not show in the next sequence), then forgets what was logged.
  void Settle();
  void Clear() { logged_.clear(); }
  const std::vector<Logged> &logged() const { return logged_; }
  // The first logged entry of `message` (sent to `hwnd` when given), or null.
  const Logged *Find(UINT message, HWND hwnd = nullptr) const;

  // Compares the messages logged since the last Clear with `expected`, reporting a mismatch
  // with both sequences. Windows may send messages a program does not act on (see
  // message_log.cpp); those are never logged.
  // With `only`, just the messages sent to that window are compared, whatever window the
  // expected entries name.
  void CheckSequence(const std::vector<Expected> &expected, const char *context, const char *file, int line,
                     HWND only = nullptr) const;

  // Answers a message instead of the default handling when it returns true.
  std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT *)> hook;

 private:
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  std::vector<Logged> logged_;
  std::vector<HWND> windows_;
  bool in_begin_paint_ = false;
};

// Removes and dispatches every message waiting in the queue.
void DispatchPending();

}  // namespace conformance

#define CHECK_SEQUENCE(log, expected, context) (log).CheckSequence(expected, context, __FILE__, __LINE__)
#define CHECK_WINDOW_SEQUENCE(log, hwnd, expected, context) \
  (log).CheckSequence(expected, context, __FILE__, __LINE__, hwnd)

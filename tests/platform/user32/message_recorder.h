// A window class whose procedure records every message before passing it to DefWindowProcW,
// for comparing message sequences with those Windows produces.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

struct RecordedMessage {
  HWND hwnd;
  UINT message;
  WPARAM wparam;
  UINT pos_flags;  // WINDOWPOS flags of WM_WINDOWPOSCHANGING/CHANGED, else 0
};

class MessageRecorder {
 public:
  // Registers the class "recorder" unless it is registered.
  MessageRecorder();
  ~MessageRecorder();

  HWND Create(DWORD style, int x, int y, int width, int height, DWORD ex_style = 0);

  std::vector<RecordedMessage> &messages() { return messages_; }
  // The message numbers recorded since the last Clear, for one window or all.
  std::vector<UINT> Numbers(HWND only = nullptr) const;
  void Clear() { messages_.clear(); }

  // Runs before DefWindowProcW for every message; a non-empty result replaces DefWindowProcW's.
  std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT *)> intercept;

 private:
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  std::vector<RecordedMessage> messages_;
};

// Removes every message waiting in the queue, dispatching each; returns how many there were.
int DrainMessages();

// Building blocks of the expected sequences that several groups share, as Windows records them.
#pragma once

#include <windows.h>

#include <vector>

#include "conformance/message_log.h"

// WM_WINDOWPOSCHANGED's reports that the client area kept its size or place: Windows sets them,
// its SDK headers leave them out.
#ifndef SWP_NOCLIENTSIZE
#define SWP_NOCLIENTSIZE 0x0800
#define SWP_NOCLIENTMOVE 0x1000
#endif

namespace conformance {

using Sequence = std::vector<Expected>;

// WM_WINDOWPOSCHANGED's flags when the client area neither moved nor changed size.
const unsigned kClientUnchanged = SWP_NOCLIENTSIZE | SWP_NOCLIENTMOVE;
// ... for a window that was shown where it was.
const unsigned kShownPositionUnchanged = SWP_SHOWWINDOW | SWP_NOSIZE | SWP_NOMOVE | kClientUnchanged;

inline Sequence Concat(Sequence head, const Sequence &tail) {
  head.insert(head.end(), tail.begin(), tail.end());
  return head;
}

// A top-level window that is shown (ShowWindow(SW_SHOW), or CreateWindowExW with WS_VISIBLE)
// while the application has no active window: WM_SHOWWINDOW, the position change, and inside
// it the activation, which first raises the window (its own WM_WINDOWPOSCHANGING) and then
// tells the application, the frame and the window, and gives it the focus. Windows' records
// show the raise's WM_WINDOWPOSCHANGING for some windows only (Wine leaves it out when the
// window is on top already). The frame and background may be painted at several points of it.
inline Sequence ShowAndActivateFirst() {
  return {{WM_SHOWWINDOW, kWparam, TRUE},
          {WM_WINDOWPOSCHANGING, kPosFlags, SWP_SHOWWINDOW | SWP_NOSIZE | SWP_NOMOVE},
          {WM_NCPAINT, kOptional, 0},
          {WM_ERASEBKGND, kOptional, 0},
          {WM_WINDOWPOSCHANGING, kPosFlags | kOptional, SWP_NOSIZE | SWP_NOMOVE},
          {WM_NCPAINT, kOptional, 0},
          {WM_ERASEBKGND, kOptional, 0},
          {WM_ACTIVATEAPP, kWparam, TRUE},
          {WM_NCACTIVATE, kWparam, TRUE},
          {WM_ACTIVATE, kWparam, WA_ACTIVE},
          {WM_SETFOCUS, kWparam, 0},
          {WM_NCPAINT, kOptional, 0},
          {WM_ERASEBKGND, kOptional, 0},
          {WM_WINDOWPOSCHANGED, 0, 0},
          {WM_NCCALCSIZE, kOptional, 0},
          {WM_NCPAINT, kOptional, 0},
          {WM_ERASEBKGND, kOptional, 0}};
}

}  // namespace conformance

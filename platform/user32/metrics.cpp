// user32: system metrics and frame sizes (GetSystemMetrics, AdjustWindowRectEx) as Windows 10
// gives them at 96 DPI. A sizable frame is SM_CXFRAME plus SM_CXPADDEDBORDER (8 px) on each side
// and the caption adds SM_CYCAPTION (23 px) on top: WS_OVERLAPPEDWINDOW is 8/31/8/8.
#include "common/log.h"
#include "display/display.h"
#include "kernel32/kernel32_internal.h"
#include "window_manager.h"

namespace ilk::user32 {
namespace {

const int kFrame = 4;          // SM_CXFRAME, SM_CYFRAME
const int kPaddedBorder = 4;   // SM_CXPADDEDBORDER
const int kDialogFrame = 3;    // SM_CXDLGFRAME, SM_CYDLGFRAME
const int kBorder = 1;         // SM_CXBORDER, SM_CYBORDER
const int kCaption = 23;       // SM_CYCAPTION
const int kClientEdge = 2;     // SM_CXEDGE: WS_EX_CLIENTEDGE's sunken edge
// Windows 10 lets a window be tracked 20 px beyond the screen in each direction.
const int kMaxTrackExcess = 20;

}  // namespace

RECT FrameInsets(DWORD style, DWORD ex_style) {
  int border = 0;
  if (style & WS_THICKFRAME) {
    border = kFrame + kPaddedBorder;
  } else if (style & WS_DLGFRAME) {
    border = kDialogFrame;
  } else if (style & WS_BORDER) {
    border = kBorder;
  }
  if (ex_style & WS_EX_CLIENTEDGE) border += kClientEdge;
  int top = border + ((style & WS_CAPTION) == WS_CAPTION ? kCaption : 0);
  return {border, top, border, border};
}

}  // namespace ilk::user32

using namespace ilk::user32;

int WINAPI GetSystemMetrics(int index) {
  ilk::display::Desktop &desktop = ilk::display::CurrentDesktop();
  int value = 0;
  switch (index) {
    case SM_CXSCREEN:
    case SM_CXVIRTUALSCREEN:
    case SM_CXMAXIMIZED:
      value = desktop.ScreenWidth();
      break;
    case SM_CYSCREEN:
    case SM_CYVIRTUALSCREEN:
    case SM_CYMAXIMIZED:
      value = desktop.ScreenHeight();
      break;
    case SM_CXMAXTRACK: value = desktop.ScreenWidth() + kMaxTrackExcess; break;
    case SM_CYMAXTRACK: value = desktop.ScreenHeight() + kMaxTrackExcess; break;
    case SM_CXFRAME:
    case SM_CYFRAME: value = kFrame; break;
    case SM_CXPADDEDBORDER: value = kPaddedBorder; break;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME: value = kDialogFrame; break;
    case SM_CXBORDER:
    case SM_CYBORDER: value = kBorder; break;
    case SM_CXEDGE:
    case SM_CYEDGE: value = kClientEdge; break;
    case SM_CYCAPTION: value = kCaption; break;
    case SM_CXMINTRACK: value = 136; break;
    case SM_CYMINTRACK: value = 39; break;
    case SM_CXDRAG:
    case SM_CYDRAG:
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK: value = 4; break;
    case SM_CXICON:
    case SM_CYICON:
    case SM_CXCURSOR:
    case SM_CYCURSOR: value = 32; break;
    case SM_CXSMICON:
    case SM_CYSMICON: value = 16; break;
    case SM_CMONITORS:
    case SM_MOUSEPRESENT: value = 1; break;
    case SM_CMOUSEBUTTONS: value = 3; break;
  }
  ilk::Trace("GetSystemMetrics(%d) = %d", index, value);
  return value;
}

BOOL WINAPI AdjustWindowRectEx(LPRECT rect, DWORD style, BOOL menu, DWORD ex_style) {
  BOOL result = FALSE;
  if (!ilk::kernel32::FailsWithLastError("AdjustWindowRectEx")) {
    if (!rect) {
      ilk::kernel32::SetThreadLastError(ERROR_INVALID_PARAMETER);
    } else {
      RECT insets = FrameInsets(style, ex_style);
      const int kMenuBar = 20;  // SM_CYMENU
      rect->left -= insets.left;
      rect->top -= insets.top + (menu ? kMenuBar : 0);
      rect->right += insets.right;
      rect->bottom += insets.bottom;
      result = TRUE;
    }
  }
  ilk::Trace("AdjustWindowRectEx(0x%x, %d, 0x%x) = %d", style, menu, ex_style, result);
  return result;
}

// Windows virtual-key codes for X11 key symbols, as a US keyboard produces them: the main
// keyboard's =/+ key is VK_OEM_PLUS and its -/_ key VK_OEM_MINUS; the keypad's + and - are
// VK_ADD and VK_SUBTRACT. Only key symbol macros come from X11 here, so <windows.h> is safe.
#include "x11_keys.h"

#include <X11/keysym.h>
#include <windows.h>

namespace ilk::display {

int VirtualKeyForKeysym(unsigned long keysym, bool *extended) {
  *extended = false;
  if (keysym >= XK_a && keysym <= XK_z) return (int)(keysym - XK_a + 'A');
  if (keysym >= XK_A && keysym <= XK_Z) return (int)(keysym - XK_A + 'A');
  if (keysym >= XK_0 && keysym <= XK_9) return (int)(keysym - XK_0 + '0');
  if (keysym >= XK_KP_0 && keysym <= XK_KP_9) return (int)(keysym - XK_KP_0 + VK_NUMPAD0);
  if (keysym >= XK_F1 && keysym <= XK_F12) return (int)(keysym - XK_F1 + VK_F1);
  struct Entry {
    unsigned long keysym;
    int key;
    bool extended;
  };
  static const Entry kTable[] = {
      {XK_Return, VK_RETURN, false},     {XK_KP_Enter, VK_RETURN, true},    {XK_Escape, VK_ESCAPE, false},
      {XK_BackSpace, VK_BACK, false},    {XK_Tab, VK_TAB, false},           {XK_space, VK_SPACE, false},
      {XK_Shift_L, VK_SHIFT, false},     {XK_Shift_R, VK_SHIFT, false},     {XK_Control_L, VK_CONTROL, false},
      {XK_Control_R, VK_CONTROL, true},  {XK_Alt_L, VK_MENU, false},        {XK_Alt_R, VK_MENU, true},
      {XK_Left, VK_LEFT, true},          {XK_Up, VK_UP, true},              {XK_Right, VK_RIGHT, true},
      {XK_Down, VK_DOWN, true},          {XK_Home, VK_HOME, true},          {XK_End, VK_END, true},
      {XK_Prior, VK_PRIOR, true},        {XK_Next, VK_NEXT, true},          {XK_Insert, VK_INSERT, true},
      {XK_Delete, VK_DELETE, true},      {XK_KP_Home, VK_HOME, false},      {XK_KP_End, VK_END, false},
      {XK_KP_Prior, VK_PRIOR, false},    {XK_KP_Next, VK_NEXT, false},      {XK_KP_Insert, VK_INSERT, false},
      {XK_KP_Delete, VK_DELETE, false},  {XK_KP_Left, VK_LEFT, false},      {XK_KP_Up, VK_UP, false},
      {XK_KP_Right, VK_RIGHT, false},    {XK_KP_Down, VK_DOWN, false},      {XK_KP_Add, VK_ADD, false},
      {XK_KP_Subtract, VK_SUBTRACT, false}, {XK_KP_Multiply, VK_MULTIPLY, false}, {XK_KP_Divide, VK_DIVIDE, true},
      {XK_KP_Decimal, VK_DECIMAL, false}, {XK_equal, VK_OEM_PLUS, false},   {XK_plus, VK_OEM_PLUS, false},
      {XK_minus, VK_OEM_MINUS, false},   {XK_underscore, VK_OEM_MINUS, false}, {XK_comma, VK_OEM_COMMA, false},
      {XK_period, VK_OEM_PERIOD, false}, {XK_semicolon, VK_OEM_1, false},   {XK_slash, VK_OEM_2, false},
      {XK_grave, VK_OEM_3, false},       {XK_bracketleft, VK_OEM_4, false}, {XK_backslash, VK_OEM_5, false},
      {XK_bracketright, VK_OEM_6, false}, {XK_apostrophe, VK_OEM_7, false},
  };
  for (const Entry &entry : kTable) {
    if (entry.keysym == keysym) {
      *extended = entry.extended;
      return entry.key;
    }
  }
  return 0;
}

}  // namespace ilk::display

// user32: message boxes (MessageBoxA, MessageBoxW). The console form writes the caption and
// each line of the text to stderr and answers at once; the X11 form (INTERLOCK_MSGBOX=x11) is a
// real modal dialog with an OK button. Either way the answer is the box's first button, the one
// Enter chooses: IDOK for MB_OK.
#include <string>

#include "common/log.h"
#include "display/display.h"
#include "kernel32/kernel32_internal.h"
#include "window_manager.h"

namespace {

int FirstButton(UINT type) {
  switch (type & 0xF) {
    case MB_ABORTRETRYIGNORE: return IDABORT;
    case MB_YESNOCANCEL:
    case MB_YESNO: return IDYES;
    case MB_RETRYCANCEL: return IDRETRY;
    default: return IDOK;
  }
}

void WriteToConsole(const std::string &caption, const std::string &text) {
  ilk::Log("%s", caption.c_str());
  size_t begin = 0;
  while (begin < text.size()) {
    size_t end = text.find('\n', begin);
    if (end == std::string::npos) end = text.size();
    ilk::Log("%s", text.substr(begin, end - begin).c_str());
    begin = end + 1;
  }
}

int ShowMessageBox(const char *api, const std::string &text, const std::string &caption, UINT type) {
  if (ilk::kernel32::FailsWithLastError(api)) return 0;
  bool x11 = ilk::SelectedMessageBox() == ilk::MessageBoxBackend::X11;
  bool shown = x11 && ilk::display::ShowMessageBoxDialog(caption, text);
  if (x11 && !shown) ilk::Log("cannot open the X11 display, the message box goes to the console");
  if (!shown) WriteToConsole(caption, text);
  int answer = FirstButton(type);
  ilk::Trace("%s(\"%s\", 0x%x) = %d", api, caption.c_str(), type, answer);
  return answer;
}

}  // namespace

int WINAPI MessageBoxA(HWND, LPCSTR text, LPCSTR caption, UINT type) {
  // Without a caption Windows titles the box "Error".
  return ShowMessageBox("MessageBoxA", text ? text : "", caption ? caption : "Error", type);
}

int WINAPI MessageBoxW(HWND, LPCWSTR text, LPCWSTR caption, UINT type) {
  return ShowMessageBox("MessageBoxW", ilk::Utf8(text ? text : L""), ilk::Utf8(caption ? caption : L"Error"),
                        type);
}

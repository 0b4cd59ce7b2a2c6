// Console start-up code: the command line that follows the program name, then wWinMain.
#include <windows.h>

#include "command_line_quoting.h"

extern "C" char __executable_start;  // the image base, as a module handle is on Windows

int main(int argc, char **argv) {
  std::vector<std::wstring> arguments;
  for (int i = 1; i < argc; ++i) arguments.push_back(WidenUtf8(argv[i]));
  std::wstring command_line = QuoteCommandLine(arguments);
  HINSTANCE module = reinterpret_cast<HINSTANCE>(&__executable_start);
  return wWinMain(module, nullptr, &command_line[0], SW_SHOWNORMAL);
}

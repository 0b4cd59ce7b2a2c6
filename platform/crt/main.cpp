// Console start-up code: the standard descriptors before anything else, then the checked
// standard streams, the command line that follows the program name, and wWinMain; at the end,
// a report of any output that could not be written.
#include <windows.h>

#include "checked_streams.h"
#include "command_line_quoting.h"
#include "standard_descriptors.h"

namespace {

// The program's pre-initialisers run before the initialisers of every loaded library, so no
// library can open a descriptor before the standard ones are in place.
void BeforeAnyInitialiser(int, char **, char **) { OpenClosedStandardDescriptors(); }
__attribute__((section(".preinit_array"), used)) void (*const kBeforeAnyInitialiser)(int, char **, char **) =
    BeforeAnyInitialiser;

}  // namespace

extern "C" char __executable_start;  // the image base, as a module handle is on Windows

int main(int argc, char **argv) {
  CheckStandardStreams();
  std::vector<std::wstring> arguments;
  for (int i = 1; i < argc; ++i) arguments.push_back(WidenUtf8(argv[i]));
  std::wstring command_line = QuoteCommandLine(arguments);
  HINSTANCE module = reinterpret_cast<HINSTANCE>(&__executable_start);
  return StatusAfterOutput(wWinMain(module, nullptr, &command_line[0], SW_SHOWNORMAL));
}

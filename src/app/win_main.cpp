// The program's entry.
#include <windows.h>

#include "app/start_up.h"

int WINAPI wWinMain(HINSTANCE module, HINSTANCE, PWSTR commandline, int) {
  return interlock::Run(module, commandline);
}

// The program's own windows in this process.
#include "present/program_windows.h"

#include <stdlib.h>
#include <string.h>

#include "app/options.h"
#include "app/start_up.h"
#include "common/knobs.h"

namespace interlock {

ProgramWindows::ProgramWindows() {
  char path[] = "/tmp/interlock-frames-XXXXXX";
  capture_dir_ = mkdtemp(path);
  setenv("INTERLOCK_CAPTURE", capture_dir_.c_str(), 1);
  ilk::ReloadKnobs();
  SetDefaultOptions();
  ResolveSystemEntryPoints();
  RegisterWindowClass(nullptr);
  memset(&wr1, 0, sizeof wr1);
  memset(&wr2, 0, sizeof wr2);
}

ProgramWindows::~ProgramWindows() {
  if (IsWindow(wr1.window)) DestroyWindow(wr1.window);
  if (IsWindow(wr2.window)) DestroyWindow(wr2.window);
  unsetenv("INTERLOCK_CAPTURE");
  ilk::ReloadKnobs();
  std::string remove = "rm -rf " + capture_dir_;
  if (system(remove.c_str()) != 0) fprintf(stderr, "could not remove %s\n", capture_dir_.c_str());
}

void ProgramWindows::OpenFirst() { OpenWindow(nullptr, &wr1, L"Sample 1", 0, 0); }

void ProgramWindows::OpenSecond() { OpenWindow(nullptr, &wr2, L"Sample 2", 1024, 1024); }

std::string ProgramWindows::Frame(int window, int number) const {
  char name[32];
  snprintf(name, sizeof name, "/Sample_%d-%04d.png", window, number);
  return capture_dir_ + name;
}

}  // namespace interlock

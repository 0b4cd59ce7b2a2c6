// The program's own windows in this process: start-up's class, windows and renderers, each
// frame captured to a private directory, and the shutdown's teardown at the end.
#pragma once

#include <string>

#include "renderer/window_renderer.h"

namespace interlock {

class ProgramWindows {
 public:
  // Resolves the system entry points, registers the class and zeroes both records, as
  // start-up does; frames presented from now on are captured.
  ProgramWindows();
  // Destroys the windows still open (tearing their records down) and removes the captures.
  ~ProgramWindows();

  // Opens "Sample 1" on wr1 as start-up does: the window, Create, Resize to its client size.
  void OpenFirst();
  // Then "Sample 2" on wr2.
  void OpenSecond();

  // The path of frame `number` (from 1) captured for the window titled "Sample <window>".
  std::string Frame(int window, int number) const;

 private:
  std::string capture_dir_;
};

}  // namespace interlock

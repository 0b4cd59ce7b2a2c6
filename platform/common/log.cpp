// Platform-layer output on stderr.
#include "log.h"

#include <stdarg.h>
#include <stdio.h>

#include <string>

namespace ilk {
namespace {

void WriteLine(const char *prefix, const char *format, va_list args) {
  char text[2048];
  vsnprintf(text, sizeof text, format, args);
  std::string line = std::string(prefix) + text + "\n";
  fputs(line.c_str(), stderr);  // one write per line keeps lines whole
  fflush(stderr);
}

}  // namespace

void Log(const char *format, ...) {
  va_list args;
  va_start(args, format);
  WriteLine("interlock: ", format, args);
  va_end(args);
}

void Trace(const char *format, ...) {
  if (!TraceEnabled()) return;
  va_list args;
  va_start(args, format);
  WriteLine("interlock: trace: ", format, args);
  va_end(args);
}

void DebuggerOutput(const char *text) {
  fputs(text, stderr);
  fflush(stderr);
}

}  // namespace ilk

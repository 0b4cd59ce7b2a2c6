// Platform-layer output on stderr.
#include "log.h"

#include <stdarg.h>
#include <stdint.h>
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

std::string Utf8(const std::wstring &text) {
  std::string utf8;
  for (wchar_t c : text) {
    uint32_t code = static_cast<uint32_t>(c);
    if (code < 0x80) {
      utf8 += static_cast<char>(code);
    } else if (code < 0x800) {
      utf8 += static_cast<char>(0xC0 | (code >> 6));
      utf8 += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
      utf8 += static_cast<char>(0xE0 | (code >> 12));
      utf8 += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      utf8 += static_cast<char>(0x80 | (code & 0x3F));
    } else {
      utf8 += static_cast<char>(0xF0 | (code >> 18));
      utf8 += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
      utf8 += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      utf8 += static_cast<char>(0x80 | (code & 0x3F));
    }
  }
  return utf8;
}

void DebuggerOutput(const char *text) {
  fputs(text, stderr);
  fflush(stderr);
}

void ReportRefusal(bool layer_on, const char *layer, const char *category, const char *method, const char *reason) {
  if (layer_on) {
    std::string text = std::string(layer) + " ERROR: " + method + ": " + reason + " [ " + category + " ERROR ]\n";
    DebuggerOutput(text.c_str());
  }
  Trace("%s refused: %s", method, reason);
}

}  // namespace ilk

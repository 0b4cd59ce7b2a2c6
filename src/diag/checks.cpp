// Failure checks and diagnostic output.
#include "diag/checks.h"

#include <stdio.h>
#include <stdlib.h>

#include "app/options.h"

namespace interlock {

char msgbuf[1024];

char *fmtGLEmsg(const char *loc, DWORD e) {
  snprintf(msgbuf, sizeof msgbuf, "%s (GLE %lu)", loc, (unsigned long)e);
  msgbuf[1023] = '\0';
  return msgbuf;
}

char *fmtHR(const char *loc, HRESULT hr) {
  snprintf(msgbuf, sizeof msgbuf, "%s (HRESULT 0x%lx)", loc, (unsigned long)(ULONG)hr);
  msgbuf[1023] = '\0';
  return msgbuf;
}

void Trap() {
  if (IsDebuggerPresent()) {
    DebugBreak();
    return;
  }
  fflush(stdout);
  fflush(stderr);
  exit(3);
}

void ReportGLEFailure(const char *loc) {
  DWORD error = GetLastError();
  if (IsDebuggerPresent()) {
    printf("Assertion failure: %s\n", fmtGLEmsg(loc, error));
    fflush(stdout);
  } else {
    MessageBoxA(NULL, fmtGLEmsg(loc, error), "Assertion failure", MB_OK);
  }
  Trap();
}

void CheckHR(HRESULT hr, const char *loc) {
  if (hr >= 0) return;
  if (!IsDebuggerPresent()) MessageBoxA(NULL, fmtHR(loc, hr), "Assertion failure", MB_OK);
  Trap();
}

void DumpGLErrors(const char *message) {
  bool had_errors = false;
  for (GLenum error = glGetError(); error != GL_NO_ERROR; error = glGetError()) {
    char text[1024];
    snprintf(text, sizeof text, "GL error %d in %s\n", (int)error, message);
    if (IsDebuggerPresent()) {
      OutputDebugStringA(text);
    } else {
      printf("%s", text);
    }
    had_errors = true;
  }
  if (had_errors && fatal_gl_erros) Trap();
}

void APIENTRY DebugCallback(GLenum, GLenum, GLuint, GLenum, GLsizei, const char *message, const void *) {
  OutputDebugStringA(message);
  OutputDebugStringA("\n");
}

}  // namespace interlock

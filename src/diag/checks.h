// Failure checks after platform calls, the OpenGL error drain and the OpenGL debug callback.
#pragma once

#include <windows.h>
#include <GL/gl.h>

namespace interlock {

// Text of the most recent failure report; element 1023 is always NUL.
extern char msgbuf[1024];

// "<loc> (GLE <e>)" into msgbuf.
char *fmtGLEmsg(const char *loc, DWORD e);
// "<loc> (HRESULT 0x<hr>)" into msgbuf.
char *fmtHR(const char *loc, HRESULT hr);

// Reports a failed CheckGLE with the thread's last-error code, then traps.
void ReportGLEFailure(const char *loc);

// Fails when `result` is zero: a FALSE BOOL, a null handle or entry point, a zero format.
template <typename Result>
void CheckGLE(Result result, const char *loc) {
  if (result == Result()) ReportGLEFailure(loc);
}
// Fails when `hr` is negative: reports (without a debugger), then traps.
void CheckHR(HRESULT hr, const char *loc);

// Drains and reports every pending OpenGL error; with --fatal-gl-errors, traps after any.
void DumpGLErrors(const char *message);

// OpenGL debug output goes to the debugger.
void APIENTRY DebugCallback(GLenum source, GLenum type, GLuint id, GLenum severity, GLsizei length,
                            const char *message, const void *userParam);

// Traps into the debugger. Without one the trap has nothing to catch it, so the process ends
// with exit status 3, flushing its output first.
void Trap();

}  // namespace interlock

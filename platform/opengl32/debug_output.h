// OpenGL debug output as the program receives it. Mesa raises the messages; opengl32 hands them
// on to the program's callback, naming in each the call the program made, as a driver does,
// also where opengl32 carried that call out through another Mesa function.
#pragma once

#include <GL/gl.h>
#include <GL/glext.h>

namespace ilk::opengl32 {

// glDebugMessageCallback, handed out by wglGetProcAddress: `callback` (with `user_param`)
// receives the current context's messages from now on; null stops them.
void APIENTRY DebugMessageCallback(GLDEBUGPROC callback, const void *user_param);

// glGetPointerv's answer for GL_DEBUG_CALLBACK_FUNCTION and GL_DEBUG_CALLBACK_USER_PARAM, once
// Mesa has answered: the program's callback and parameter, not what opengl32 gave Mesa. Other
// names are left as Mesa answered them.
void AnswerDebugCallbackQuery(GLenum pname, void **params);

// While one lives, the program's call `program_call` is being carried out on this thread
// through Mesa's function `mesa_call`: messages that name `mesa_call` name `program_call`
// instead. Both names must outlive it.
class ForwardedAs {
 public:
  ForwardedAs(const char *mesa_call, const char *program_call);
  ~ForwardedAs();
  ForwardedAs(const ForwardedAs &) = delete;
  ForwardedAs &operator=(const ForwardedAs &) = delete;

  const char *mesa_call() const { return mesa_call_; }
  const char *program_call() const { return program_call_; }

 private:
  const char *mesa_call_;
  const char *program_call_;
  const ForwardedAs *outer_;  // the one this one is nested in, restored when it ends
};

}  // namespace ilk::opengl32

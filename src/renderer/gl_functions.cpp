// The entry-point table and its lookup.
#include "renderer/gl_functions.h"

#include "app/options.h"
#include "diag/checks.h"

namespace interlock {

#define INTERLOCK_DEFINE_GL_FUNCTION(type, name, looked_up) type name;
INTERLOCK_GL_FUNCTIONS(INTERLOCK_DEFINE_GL_FUNCTION)
#undef INTERLOCK_DEFINE_GL_FUNCTION

PFNWGLCREATECONTEXTATTRIBSARBPROC wglCreateContextAttribsARB;

void LoadGLFunctions() {
#define INTERLOCK_LOOK_UP_GL_FUNCTION(type, name, looked_up) \
  if (looked_up) {                                           \
    name = GetGLFunction<type>(#name);                       \
    CheckGLE(name, "Getting GL function " #name);            \
  }
  INTERLOCK_GL_FUNCTIONS(INTERLOCK_LOOK_UP_GL_FUNCTION)
#undef INTERLOCK_LOOK_UP_GL_FUNCTION
}

}  // namespace interlock

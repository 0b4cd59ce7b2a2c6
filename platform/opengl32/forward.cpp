// Forwarding to Mesa: resolving its entry points and what follows every forwarded call.
#include "forward.h"

#include <EGL/egl.h>

#include "common/log.h"
#include "contexts.h"

namespace ilk::opengl32 {

void *MesaProc(const char *name) { return reinterpret_cast<void *>(eglGetProcAddress(name)); }

void AfterCall(FailurePoint &call) {
  ilk::Trace("%s", call.Name());
  if (std::optional<uint32_t> error = call.Check(GL_INVALID_OPERATION)) RaiseError(*error);
}

}  // namespace ilk::opengl32

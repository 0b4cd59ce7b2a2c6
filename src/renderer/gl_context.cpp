// The OpenGL context phase of Create.
#include "renderer/create_phases.h"

namespace interlock {

void CreateGLContext(window_renderer *) {
  // Built with the WGL platform.
}

}  // namespace interlock

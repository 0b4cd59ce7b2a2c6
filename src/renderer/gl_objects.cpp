// The OpenGL objects phase of Create.
#include "renderer/create_phases.h"

namespace interlock {

void CreateGLObjects(window_renderer *) {
  // Built with the WGL platform.
}

}  // namespace interlock

// Create: builds every size-independent object of a window record.
#include "renderer/create_phases.h"

namespace interlock {

void Create(window_renderer *wr) {
  CreateDirect3DObjects(wr);
  CreateGLContext(wr);
  CreateGLObjects(wr);
  SetBuilt(wr, true);
}

}  // namespace interlock

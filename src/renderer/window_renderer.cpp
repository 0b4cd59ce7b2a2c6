// The two window records and the process-wide device pointers.
#include "renderer/window_renderer.h"

namespace interlock {

window_renderer wr1;
window_renderer wr2;

ID3D11Device *direct3dDevice;
IDXGIDevice *dxgiDevice;
IDXGIDebug *debug;

void ReleaseIfHeld(IUnknown *object) {
  if (object) object->Release();
}

namespace {
const window_renderer *built_records[2];
}

bool IsBuilt(const window_renderer *wr) {
  return wr && (built_records[0] == wr || built_records[1] == wr);
}

void SetBuilt(const window_renderer *wr, bool built) {
  for (const window_renderer *&slot : built_records) {
    if (slot == wr) slot = nullptr;
  }
  if (!built) return;
  for (const window_renderer *&slot : built_records) {
    if (!slot) {
      slot = wr;
      return;
    }
  }
}

}  // namespace interlock

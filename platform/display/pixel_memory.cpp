// Heap memory for a surface's image (display.h, AllocatePixelMemory).
#include <stdlib.h>

#include "display.h"

namespace ilk::display {
namespace {

class HeapPixels final : public PixelMemory {
 public:
  HeapPixels(uint8_t *bytes, size_t size) : PixelMemory(bytes, size) {}
  ~HeapPixels() override { free(Bytes()); }
};

}  // namespace

std::shared_ptr<PixelMemory> AllocatePixelMemory(size_t size, size_t alignment) {
  void *bytes = aligned_alloc(alignment, size);
  if (!bytes) return nullptr;
  return std::make_shared<HeapPixels>(static_cast<uint8_t *>(bytes), size);
}

}  // namespace ilk::display

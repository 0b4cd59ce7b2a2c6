// The headless display: windows exist in memory only. It keeps what each client area shows
// (the class brush, then the last presented image) so that it can be read back, and it has no
// input: no pointer, no keyboard. Its screen is 1920x1080, the most common desktop size.
#include <algorithm>
#include <chrono>
#include <map>
#include <thread>
#include <mutex>

#include "display.h"

namespace ilk::display {
namespace {

const int kScreenWidth = 1920;
const int kScreenHeight = 1080;

// Images written by the CPU: rows packed, in memory aligned for any pixel access.
const size_t kPackedAlignment = 64;

struct HeadlessSurface {
  SurfaceLook look;
  int image_width = 0, image_height = 0;
  size_t image_pitch = 0;
  std::shared_ptr<PixelMemory> image;
};

// `surface`'s image memory, laid out as asked: kept when it already is, else new (whoever still
// holds the old memory keeps it). False when there is no memory.
bool PlaceImage(HeadlessSurface *surface, const DeviceFrameLayout &layout) {
  bool fits = surface->image && surface->image_pitch == layout.row_pitch && surface->image->Size() == layout.size &&
              reinterpret_cast<uintptr_t>(surface->image->Bytes()) % layout.alignment == 0;
  if (!fits) surface->image = AllocatePixelMemory(layout.size, layout.alignment);
  surface->image_width = surface->image ? layout.width : 0;
  surface->image_height = surface->image ? layout.height : 0;
  surface->image_pitch = layout.row_pitch;
  return surface->image != nullptr;
}

class HeadlessDesktop : public Desktop {
 public:
  void CreateSurface(SurfaceId id, const SurfaceLook &look) override {
    std::lock_guard<std::mutex> lock(mutex_);
    surfaces_[id].look = look;
  }
  void DestroySurface(SurfaceId id) override {
    std::lock_guard<std::mutex> lock(mutex_);
    surfaces_.erase(id);
  }
  void UpdateSurface(SurfaceId id, const SurfaceLook &look) override {
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = surfaces_.find(id);
    if (found != surfaces_.end()) found->second.look = look;
  }
  void RestackSurfaces(const std::vector<SurfaceId> &) override {}
  void FocusSurface(SurfaceId) override {}

  bool Look(SurfaceId id, SurfaceLook *look) override {
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = surfaces_.find(id);
    if (found != surfaces_.end() && look) *look = found->second.look;
    return found != surfaces_.end();
  }

  bool ShowImage(SurfaceId id, int width, int height, const std::function<void(uint8_t *bgra)> &write) override {
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = surfaces_.find(id);
    if (found == surfaces_.end()) return false;
    size_t pitch = (size_t)width * 4;
    size_t size = (pitch * height + kPackedAlignment - 1) / kPackedAlignment * kPackedAlignment;
    // The same size keeps the memory.
    if (!PlaceImage(&found->second, {width, height, pitch, std::max(size, kPackedAlignment), kPackedAlignment})) {
      return false;
    }
    write(found->second.image->Bytes());
    return true;
  }

  // The device writes straight into the image memory; there is nothing to show it on.
  std::shared_ptr<PixelMemory> DeviceFrameMemory(SurfaceId id, const DeviceFrameLayout &layout) override {
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = surfaces_.find(id);
    if (found == surfaces_.end() || !PlaceImage(&found->second, layout)) return nullptr;
    return found->second.image;
  }

  bool ShowDeviceFrame(SurfaceId id, const PixelMemory &memory) override {
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = surfaces_.find(id);
    return found != surfaces_.end() && found->second.image.get() == &memory;
  }

  bool ReadClientImage(SurfaceId id, int *width, int *height, std::vector<uint8_t> *bgra) override {
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = surfaces_.find(id);
    if (found == surfaces_.end()) return false;
    const HeadlessSurface &surface = found->second;
    ComposeClientImage(surface.look, surface.image_width, surface.image_height,
                       surface.image ? surface.image->Bytes() : nullptr, surface.image_pitch, width, height, bgra);
    return true;
  }

  void Sync() override {}
  // Nothing ever comes; a wait lasts its time, as a wait for input that does not come does.
  bool NextEvent(DisplayEvent *, int timeout_ms) override {
    if (timeout_ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(timeout_ms));
    return false;
  }
  bool LeftButtonDown() override { return false; }
  void CursorPosition(int *x, int *y) override { *x = *y = 0; }
  int ScreenWidth() override { return kScreenWidth; }
  int ScreenHeight() override { return kScreenHeight; }
  // There is no screen to show a dialog on.
  bool ShowMessageBox(const std::string &, const std::string &) override { return false; }

 private:
  std::mutex mutex_;
  std::map<SurfaceId, HeadlessSurface> surfaces_;
};

}  // namespace

std::unique_ptr<Desktop> OpenHeadlessDesktop() { return std::make_unique<HeadlessDesktop>(); }

}  // namespace ilk::display

// The headless display: windows exist in memory only. It keeps what each client area shows
// (the class brush, then the last presented image) so that it can be read back, and it has no
// input: no pointer, no keyboard. Its screen is 1920x1080, the most common desktop size.
#include <chrono>
#include <map>
#include <thread>
#include <mutex>

#include "display.h"

namespace ilk::display {
namespace {

const int kScreenWidth = 1920;
const int kScreenHeight = 1080;

struct HeadlessSurface {
  SurfaceLook look;
  int image_width = 0, image_height = 0;
  std::vector<uint8_t> image;
};

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
    if (found != surfaces_.end()) *look = found->second.look;
    return found != surfaces_.end();
  }

  bool ShowImage(SurfaceId id, int width, int height, const std::function<void(uint8_t *bgra)> &write) override {
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = surfaces_.find(id);
    if (found == surfaces_.end()) return false;
    HeadlessSurface &surface = found->second;
    surface.image_width = width;
    surface.image_height = height;
    surface.image.resize((size_t)width * height * 4);  // the same size keeps the memory
    write(surface.image.data());
    return true;
  }

  bool ReadClientImage(SurfaceId id, int *width, int *height, std::vector<uint8_t> *bgra) override {
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = surfaces_.find(id);
    if (found == surfaces_.end()) return false;
    const HeadlessSurface &surface = found->second;
    ComposeClientImage(surface.look, surface.image_width, surface.image_height, surface.image.data(), width, height, bgra);
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

// A window's image on an X server without MIT-SHM goes to the server through the X connection;
// presenting it again at the same size allocates nothing: the image sent is the window's own,
// kept from one presentation to the next, also when a device asks for the window's pixels
// first (there are none to write into here). This executable counts every malloc, calloc and
// realloc of the process (where AddressSanitizer owns the allocator it cannot, and skips).
#include <gtest/gtest.h>

#include <stdlib.h>

#include <atomic>

#include "platform/user32/message_recorder.h"
#include "platform/display/xvfb_server.h"
#include "support/scoped_knobs.h"
#include "display/display.h"

namespace {

std::atomic<long> allocations{0};

}  // namespace

#if !defined(__SANITIZE_ADDRESS__)
// glibc's own allocator underneath, so that its free takes what these return.
extern "C" {
void *__libc_malloc(size_t size);
void *__libc_calloc(size_t count, size_t size);
void *__libc_realloc(void *memory, size_t size);

void *malloc(size_t size) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  return __libc_malloc(size);
}
void *calloc(size_t count, size_t size) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  return __libc_calloc(count, size);
}
void *realloc(void *memory, size_t size) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  return __libc_realloc(memory, size);
}
}
#endif

namespace {

TEST(X11ImageWithoutSharedMemory, PresentingAgainAtTheSameSizeAllocatesNothing) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "AddressSanitizer's allocator cannot be counted";
#endif
  XvfbServer server(XvfbServer::SharedMemory::kDisabled);
  std::string why;
  if (!server.Start(&why)) GTEST_SKIP() << why;
  ScopedKnobs knobs({{"INTERLOCK_DISPLAY", "x11"}});
  MessageRecorder recorder;
  HWND hwnd = recorder.Create(WS_POPUP | WS_VISIBLE, 0, 0, 64, 48);
  uint8_t shade = 0;
  const ilk::display::DeviceFrameLayout device_layout = {64, 48, 64 * 4, 64 * 4 * 48, 4096};
  auto present = [&] {
    EXPECT_EQ(ilk::display::DeviceFrameMemory(ilk::display::SurfaceOf(hwnd), device_layout), nullptr);
    ++shade;
    EXPECT_TRUE(ilk::display::PresentWindowImage(ilk::display::SurfaceOf(hwnd), 64, 48, [&](uint8_t *bgra) {
      for (int i = 0; i < 64 * 48 * 4; ++i) bgra[i] = shade;
    }));
  };
  present();  // the first makes the image
  ilk::display::WaitForPresentedImages();
  long before = allocations.load();
  for (int i = 0; i < 3; ++i) present();
  long during = allocations.load() - before;
  EXPECT_EQ(during, 0) << "allocations in 3 presentations";
  ilk::display::WaitForPresentedImages();  // a round trip: Xlib allocates for its reply

  ilk::display::WindowImage shown;  // what the server holds: the last image
  ASSERT_TRUE(ilk::display::ReadWindowImage(ilk::display::SurfaceOf(hwnd), &shown));
  ASSERT_EQ(shown.bgra.size(), 64u * 48 * 4);
  EXPECT_EQ(shown.bgra[0], shade);
  EXPECT_EQ(shown.bgra[(47 * 64 + 63) * 4 + 2], shade);
  DestroyWindow(hwnd);
  DrainMessages();
}

}  // namespace

// A steady frame of the program's window allocates nothing on the C++ heap: no container,
// string or function object is made per frame by the platform or the program. This executable
// counts every operator new of the process (the drivers are C, apart from LLVM's shader
// compiling, which a steady frame no longer does).
#include <gtest/gtest.h>

#include <stdlib.h>

#include <atomic>
#include <new>

#include "present/frame.h"
#include "present/program_windows.h"
#include "support/scoped_knobs.h"

// Every form of new and delete that the program, the platform or the drivers may use pairs
// with the others: all are malloc and free underneath.
namespace {

std::atomic<long> allocations{0};

void *Allocate(size_t size) noexcept {
  allocations.fetch_add(1, std::memory_order_relaxed);
  return malloc(size ? size : 1);
}

}  // namespace

void *operator new(size_t size) {
  if (void *memory = Allocate(size)) return memory;
  throw std::bad_alloc();
}
void *operator new[](size_t size) { return operator new(size); }
void *operator new(size_t size, const std::nothrow_t &) noexcept { return Allocate(size); }
void *operator new[](size_t size, const std::nothrow_t &) noexcept { return Allocate(size); }
void operator delete(void *memory) noexcept { free(memory); }
void operator delete[](void *memory) noexcept { free(memory); }
void operator delete(void *memory, size_t) noexcept { free(memory); }
void operator delete[](void *memory, size_t) noexcept { free(memory); }
void operator delete(void *memory, const std::nothrow_t &) noexcept { free(memory); }
void operator delete[](void *memory, const std::nothrow_t &) noexcept { free(memory); }

namespace interlock {
namespace {

// Mesa turns a vertex array object that changes on every frame into a dynamic one on its fifth
// change and compiles new vertex fetching once; frames after that are steady.
const int kWarmUpFrames = 8;
const int kSteadyFrames = 10;

void Paint(window_renderer *wr, int frames) {
  for (int i = 0; i < frames; ++i) {
    wr->quitting = FALSE;
    dxpaint(wr);
    ASSERT_TRUE(wr->quitting);
  }
}

// The operator new calls in steady frames of the first window, headless, presented as
// INTERLOCK_PRESENT says.
long AllocationsInSteadyFrames(const char *present) {
  ProgramWindows windows;
  // Frames are not captured: the capture writes a file per frame.
  ScopedKnobs knobs({{"INTERLOCK_DISPLAY", "headless"}, {"INTERLOCK_CAPTURE", nullptr}, {"INTERLOCK_DEBUGGER", nullptr},
                     {"INTERLOCK_PRESENT", present}});
  testing::internal::CaptureStdout();
  windows.OpenFirst();
  Paint(&wr1, kWarmUpFrames);
  long before = allocations.load();
  Paint(&wr1, kSteadyFrames);
  long during = allocations.load() - before;
  testing::internal::GetCapturedStdout();
  return during;
}

TEST(SteadyFrame, AllocatesNothingOnTheHeap) {
  EXPECT_EQ(AllocationsInSteadyFrames("readback"), 0) << "operator new calls in " << kSteadyFrames << " steady frames";
}

// The device writes into the window's pixels, imported once.
TEST(SteadyFrame, WrittenByTheDeviceAllocatesNothingOnTheHeap) {
  EXPECT_EQ(AllocationsInSteadyFrames("device"), 0) << "operator new calls in " << kSteadyFrames << " steady frames";
}

}  // namespace
}  // namespace interlock

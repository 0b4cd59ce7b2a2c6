// Passes of the CPU over presented pixels (cpu_passes.h).
#include "cpu_passes.h"

#include <atomic>

#include "display.h"

namespace ilk::display {
namespace {

std::atomic<uint64_t> passes{0};

}  // namespace

void NoteCpuPassOverPixels() { passes.fetch_add(1, std::memory_order_relaxed); }

uint64_t CpuPassesOverPresentedPixels() { return passes.load(std::memory_order_relaxed); }

}  // namespace ilk::display

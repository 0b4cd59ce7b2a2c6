// The one pass of the CPU over a read-back frame's pixels (compose_over_black.h).
//
// On x86-64 CPUs with SSSE3 (every one since 2006 but AMD's K10) one byte shuffle moves four
// pixels' channels into place, and the results go to memory with non-temporal stores: they do
// not first read the window's old pixels into the cache, which a frame larger than the cache
// would pay for with a second pass over memory. Elsewhere a block loop of fixed length, which
// the compiler turns into plain vector instructions, does the same.
#include "compose_over_black.h"

#include <string.h>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace ilk::display {
namespace {

// Premultiplied colours over black are the colour channels themselves, opaque: the GPU's R, G,
// B, A become the window's B, G, R and an alpha of 0xFF.
uint32_t OverBlack(uint32_t rgba) {
  return (rgba & 0xFF00u) | (rgba & 0xFFu) << 16 | (rgba >> 16 & 0xFFu) | 0xFF000000u;
}

void ComposePixels(const uint8_t *rgba, size_t count, uint8_t *bgra) {
  for (size_t done = 0; done < count; ++done) {
    uint32_t pixel;
    memcpy(&pixel, rgba + done * 4, 4);
    pixel = OverBlack(pixel);
    memcpy(bgra + done * 4, &pixel, 4);
  }
}

// Pixels composed at once: a loop of a fixed count, which the compiler turns into vector
// instructions (one of unknown length it leaves a pixel at a time, four times slower).
const size_t kBlockPixels = 16;

void ComposeBlocks(const uint8_t *rgba, size_t count, uint8_t *bgra) {
  size_t done = 0;
  for (; done + kBlockPixels <= count; done += kBlockPixels) {
    uint32_t block[kBlockPixels];
    memcpy(block, rgba + done * 4, sizeof block);
    for (uint32_t &pixel : block) pixel = OverBlack(pixel);
    memcpy(bgra + done * 4, block, sizeof block);
  }
  ComposePixels(rgba + done * 4, count - done, bgra + done * 4);
}

#if defined(__x86_64__)
__attribute__((target("ssse3"))) void ComposeShuffled(const uint8_t *rgba, size_t count, uint8_t *bgra) {
  // Pixels one at a time up to the first 16-byte boundary of the window's pixels, which
  // non-temporal stores need.
  size_t head = (16 - reinterpret_cast<uintptr_t>(bgra) % 16) % 16 / 4;
  if (reinterpret_cast<uintptr_t>(bgra) % 4 || head > count) return ComposeBlocks(rgba, count, bgra);
  ComposePixels(rgba, head, bgra);
  const __m128i channels = _mm_setr_epi8(2, 1, 0, -1, 6, 5, 4, -1, 10, 9, 8, -1, 14, 13, 12, -1);
  const __m128i opaque = _mm_set1_epi32((int)0xFF000000u);
  size_t done = head;
  for (; done + 4 <= count; done += 4) {
    __m128i pixels = _mm_loadu_si128(reinterpret_cast<const __m128i *>(rgba + done * 4));
    pixels = _mm_or_si128(_mm_shuffle_epi8(pixels, channels), opaque);
    _mm_stream_si128(reinterpret_cast<__m128i *>(bgra + done * 4), pixels);
  }
  _mm_sfence();  // the stores are seen before anything that follows, as ordinary ones are
  ComposePixels(rgba + done * 4, count - done, bgra + done * 4);
}
#endif

}  // namespace

void ComposeOverBlack(const uint8_t *rgba, size_t count, uint8_t *bgra) {
#if defined(__x86_64__)
  static const bool has_ssse3 = __builtin_cpu_supports("ssse3");
  if (has_ssse3) return ComposeShuffled(rgba, count, bgra);
#endif
  ComposeBlocks(rgba, count, bgra);
}

}  // namespace ilk::display

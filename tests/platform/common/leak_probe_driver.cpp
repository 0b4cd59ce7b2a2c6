// A stand-in for a driver library: its one-time set-up allocates a block and loses the pointer,
// as a driver that keeps a process-lifetime block and never frees it.
#include <pthread.h>
#include <stdlib.h>

namespace {

pthread_once_t set_up_once = PTHREAD_ONCE_INIT;

void LeakProbeDriverSetUp() {
  void *volatile block = realloc(nullptr, 128);
  (void)block;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) void LeakProbeDriverStart() {
  pthread_once(&set_up_once, LeakProbeDriverSetUp);
}

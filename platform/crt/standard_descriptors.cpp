// Standard descriptors closed by whoever started the process, reopened on /dev/null.
#include "standard_descriptors.h"

#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

void OpenClosedStandardDescriptors() {
  for (int fd = 0; fd <= 2; ++fd) {
    if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    // The lower descriptors are open by now, so the lowest free one is `fd` itself.
    int opened = open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
    if (opened > fd) {
      dup2(opened, fd);
      close(opened);
    }
  }
}

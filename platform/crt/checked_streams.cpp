// Standard streams that remember a failed write (checked_streams.h).
#include "checked_streams.h"

#include <errno.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

namespace {

struct CheckedStream {
  const char *name;
  int descriptor;
  int error = 0;              // errno of the first failed write
  unsigned long long lost = 0;  // bytes that could not be written
};

CheckedStream checked_output = {"standard output", 1};
CheckedStream checked_error = {"standard error", 2};

ssize_t WriteAll(void *cookie, const char *data, size_t size) {
  CheckedStream *stream = static_cast<CheckedStream *>(cookie);
  size_t written = 0;
  while (written < size) {
    ssize_t count = write(stream->descriptor, data + written, size - written);
    if (count >= 0) {
      written += (size_t)count;
    } else if (errno != EINTR) {
      if (!stream->error) stream->error = errno;
      stream->lost += size - written;
      // Reported as written: the stream keeps going, and what is lost is counted here.
      return (ssize_t)size;
    }
  }
  return (ssize_t)size;
}

// A stream on `stream`'s descriptor, buffered as `previous` was: a terminal line by line, a file
// or pipe in blocks, standard error not at all.
FILE *Open(CheckedStream *stream, FILE *previous, int mode) {
  fflush(previous);
  cookie_io_functions_t functions = {nullptr, WriteAll, nullptr, nullptr};
  FILE *opened = fopencookie(stream, "w", functions);
  if (!opened) return previous;
  setvbuf(opened, nullptr, mode, BUFSIZ);
  return opened;
}

void NoteLost(const CheckedStream &stream) {
  if (!stream.lost) return;
  fprintf(stderr, "interlock: could not write %llu bytes to %s (%s); they are lost\n", stream.lost, stream.name,
          strerror(stream.error));
  fflush(stderr);
}

}  // namespace

void CheckStandardStreams() {
  stdout = Open(&checked_output, stdout, isatty(1) ? _IOLBF : _IOFBF);
  stderr = Open(&checked_error, stderr, _IONBF);
}

int StatusAfterOutput(int status) {
  fflush(stdout);
  NoteLost(checked_output);
  NoteLost(checked_error);
  return checked_output.lost || checked_error.lost ? kLostOutputExitStatus : status;
}

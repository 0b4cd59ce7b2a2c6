// Standard output and standard error that remember a failed write, so that output lost on the
// way (a full disk, a descriptor opened for reading only) is reported rather than passed over.
#pragma once

// The exit status of a run whose standard output or standard error could not be written.
const int kLostOutputExitStatus = 5;

// Replaces stdout and stderr with streams that write to descriptors 1 and 2 as before (with the
// same buffering) and count what they could not write. Call once, before any output.
void CheckStandardStreams();

// After the program has ended with `status`: flushes both streams and, when a write failed,
// writes a line "interlock: could not write N bytes to standard output (reason) ..." on
// standard error (if that still works) and gives kLostOutputExitStatus; otherwise `status`.
int StatusAfterOutput(int status);

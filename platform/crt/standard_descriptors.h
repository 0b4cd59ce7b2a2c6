// The three standard descriptors a process starts with.
#pragma once

// Opens /dev/null on each of descriptors 0, 1 and 2 that is closed (0 for reading, 1 and 2 for
// writing), so that the first descriptors the process opens later (a driver's graphics memory,
// say) never take their numbers and receive text meant for standard output or error.
void OpenClosedStandardDescriptors();

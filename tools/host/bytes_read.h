// How many bytes this process has read so far through read system calls
// (`rchar` of /proc/self/io), from the disk or the page cache alike: what a
// reader costs a network share or a cold disk, not only what it costs in time.
#pragma once

#include <cstdint>

namespace cvx::host {

// -1 where the count cannot be had.
int64_t BytesReadSoFar();

}  // namespace cvx::host

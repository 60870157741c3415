#pragma once

#include <cstdint>

// The process's resident memory now, in KiB (VmRSS of /proc/self/status);
// -1 where the figure cannot be read.
std::int64_t residentKib();

#pragma once

#include <cstdint>

// This process's resident memory in bytes (VmRSS) and its peak (VmHWM).
std::uint64_t residentBytes();
std::uint64_t peakResidentBytes();

// Sets the peak back to the current resident size (Linux 4.0 and later);
// false where the kernel does not allow it.
bool resetPeakResident();

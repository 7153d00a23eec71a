// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>

namespace trilume {

// Resident set size of this process in KiB (VmRSS of /proc/self/status), or
// -1 when it cannot be read.
std::int64_t ReadResidentKiB();

// Bytes the sanitizer's allocator holds for live blocks (freed blocks waiting
// in its quarantine not included), or -1 in a build without AddressSanitizer.
std::int64_t ReadSanitizerHeapBytes();

}  // namespace trilume

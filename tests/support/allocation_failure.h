// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>

// Makes one operator new of the test program throw std::bad_alloc, as an
// exhausted memory would. A program that links this gets its global
// operator new replaced; blocks still come from the C library, and until a
// failure is armed, and after it happened, every allocation succeeds.
namespace trilume {

enum class FailingThread { kThisThread, kAnyOtherThread };

// Arms the failure of the first operator new of at least `minimumBytes`
// made on the calling thread, or on any thread but it.
void FailOneAllocation(FailingThread where, std::size_t minimumBytes);
// Disarms; true when an allocation was failed since the arming.
bool StopFailingAllocations();

}  // namespace trilume

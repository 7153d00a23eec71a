// SPDX-License-Identifier: MIT
#pragma once

// Counts the heap allocations of the whole test program between the two
// calls: every operator new and, where no sanitizer owns the allocator,
// malloc, calloc and realloc too (Qt's containers and images allocate with
// malloc). A program that links this gets its global allocation functions
// replaced; blocks still come from and go back to the C library.
// Single-threaded use only.
namespace trilume {

// Resets the count and starts counting.
void StartCountingAllocations();
// Stops counting and returns the allocations since the start.
long StopCountingAllocations();

}  // namespace trilume

// SPDX-License-Identifier: MIT
#include "tests/support/allocation_counter.h"

#include <cstdlib>
#include <new>

namespace {

bool gCounting = false;
long gAllocations = 0;

}  // namespace

void* operator new(std::size_t size) {
  if (gCounting) ++gAllocations;
  if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
  throw std::bad_alloc();
}

void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
// The nothrow forms too: a library's new (std::nothrow) (GoogleTest's own,
// for one) would otherwise take a block from another allocator than the
// free above, which a sanitizer's allocator refuses.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return ::operator new(size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
void operator delete(void* block, const std::nothrow_t&) noexcept { std::free(block); }

#if defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(memory_sanitizer)
#define TRILUME_SANITIZED_ALLOCATOR 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define TRILUME_SANITIZED_ALLOCATOR 1
#endif

#ifndef TRILUME_SANITIZED_ALLOCATOR
// glibc's own entry points, so that the program's malloc can count and pass
// on; blocks stay glibc's and free as usual.
extern "C" void* __libc_malloc(std::size_t size);
extern "C" void* __libc_calloc(std::size_t count, std::size_t size);
extern "C" void* __libc_realloc(void* block, std::size_t size);

extern "C" void* malloc(std::size_t size) {
  if (gCounting) ++gAllocations;
  return __libc_malloc(size);
}
extern "C" void* calloc(std::size_t count, std::size_t size) {
  if (gCounting) ++gAllocations;
  return __libc_calloc(count, size);
}
extern "C" void* realloc(void* block, std::size_t size) {
  if (gCounting) ++gAllocations;
  return __libc_realloc(block, size);
}
#endif

namespace trilume {

void StartCountingAllocations() {
  gAllocations = 0;
  gCounting = true;
}

long StopCountingAllocations() {
  gCounting = false;
  return gAllocations;
}

}  // namespace trilume

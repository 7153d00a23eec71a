// SPDX-License-Identifier: MIT
// The test programs' replaced allocation functions, behind both
// allocation_counter.h and allocation_failure.h: one replacement, so that
// counting and failing cannot disagree on where a block comes from.
#include <atomic>
#include <cstdlib>
#include <new>
#include <thread>

#include "tests/support/allocation_counter.h"
#include "tests/support/allocation_failure.h"

namespace {

bool gCounting = false;
long gAllocations = 0;

std::atomic<bool> gArmed{false};
std::atomic<bool> gFailed{false};
std::atomic<bool> gOnArmingThread{true};
std::atomic<std::thread::id> gArmingThread{};
std::atomic<std::size_t> gMinimumBytes{0};

bool FailsHere(std::size_t size) {
  if (!gArmed.load(std::memory_order_acquire) || size < gMinimumBytes.load()) return false;
  const bool armingThread = std::this_thread::get_id() == gArmingThread.load();
  if (armingThread != gOnArmingThread.load()) return false;
  // Only one allocation fails, so that the failure can be reported.
  return gArmed.exchange(false);
}

}  // namespace

void* operator new(std::size_t size) {
  if (gCounting) ++gAllocations;
  if (FailsHere(size)) {
    gFailed = true;
    throw std::bad_alloc();
  }
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

void FailOneAllocation(FailingThread where, std::size_t minimumBytes) {
  gFailed = false;
  gArmingThread = std::this_thread::get_id();
  gOnArmingThread = where == FailingThread::kThisThread;
  gMinimumBytes = minimumBytes;
  gArmed.store(true, std::memory_order_release);
}

bool StopFailingAllocations() {
  gArmed = false;
  return gFailed.load();
}

}  // namespace trilume

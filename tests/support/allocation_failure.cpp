// SPDX-License-Identifier: MIT
#include "tests/support/allocation_failure.h"

#include <atomic>
#include <cstdlib>
#include <new>
#include <thread>

namespace {

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

namespace trilume {

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

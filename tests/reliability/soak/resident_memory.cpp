// SPDX-License-Identifier: MIT
#include "tests/reliability/soak/resident_memory.h"

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TRILUME_HAS_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) && !defined(TRILUME_HAS_ASAN)
#define TRILUME_HAS_ASAN 1
#endif

#ifdef TRILUME_HAS_ASAN
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace trilume {

std::int64_t ReadResidentKiB() {
  std::FILE* file = std::fopen("/proc/self/status", "r");
  if (file == nullptr) return -1;
  char line[256];
  std::int64_t kib = -1;
  while (std::fgets(line, sizeof line, file) != nullptr) {
    if (std::strncmp(line, "VmRSS:", 6) == 0) {
      kib = std::strtoll(line + 6, nullptr, 10);
      break;
    }
  }
  std::fclose(file);
  return kib;
}

std::int64_t ReadSanitizerHeapBytes() {
#ifdef TRILUME_HAS_ASAN
  return static_cast<std::int64_t>(__sanitizer_get_current_allocated_bytes());
#else
  return -1;
#endif
}

}  // namespace trilume

// SPDX-License-Identifier: MIT
#include "tools/gif_lzw.h"

#include <algorithm>
#include <cstring>

namespace trilume {
namespace {

// Collects LZW codes least significant bit first, 32 bits at a time, into a
// buffer sized beforehand for the most codes a frame can take. The data
// sub-blocks are cut when the frame is written.
class CodePacker {
 public:
  CodePacker(std::vector<std::uint8_t>& bytes, std::size_t maxCodes) : Bytes(bytes) {
    // 12 bits a code at most, and room for the last 32-bit store.
    Bytes.resize(maxCodes * 3 / 2 + 8);
    At = Bytes.data();
  }

  void Put(unsigned code, unsigned size) {
    Bits |= std::uint64_t{code} << Count;
    Count += size;
    if (Count >= 32) {
      const auto low = static_cast<std::uint32_t>(Bits);
      std::memcpy(At, &low, sizeof low);
      At += sizeof low;
      Bits >>= 32;
      Count -= 32;
    }
  }

  void Flush() {
    for (; Count > 0; Count = Count > 8 ? Count - 8 : 0) {
      *At++ = static_cast<std::uint8_t>(Bits);
      Bits >>= 8;
    }
    Bytes.resize(static_cast<std::size_t>(At - Bytes.data()));
  }

 private:
  std::vector<std::uint8_t>& Bytes;
  std::uint8_t* At = nullptr;
  std::uint64_t Bits = 0;
  unsigned Count = 0;
};

// LZW as GIF decoders read it. A code's successors are one row of `table`,
// indexed by the next pixel, and an entry holds where its code's own row
// starts rather than the code: following a string then costs one load a
// pixel, which is what the time of an export mostly goes to. Rows are
// uint16_t while they fit, to keep the table in the fastest cache.
template <typename Entry>
void CompressLzwWith(const std::vector<std::uint8_t>& indices, int minCodeSize,
                     std::vector<Entry>& table, std::vector<std::uint8_t>& bytes) {
  constexpr unsigned kMaxCode = 4095;
  constexpr unsigned kMaxCodeSize = 12;
  const unsigned alphabet = 1U << minCodeSize;
  const unsigned clear = alphabet;
  const std::size_t rowsNeeded = std::size_t{kMaxCode + 1} << minCodeSize;
  if (table.size() < rowsNeeded) table.resize(rowsNeeded);
  Entry* const rows = table.data();
  // A clear code for every kMaxCode codes, and the first clear and the end.
  CodePacker out(bytes, indices.size() + indices.size() / (kMaxCode - clear - 1) + 3);
  const unsigned firstCodeSize = static_cast<unsigned>(minCodeSize) + 1;
  unsigned codeSize = firstCodeSize;
  unsigned lastCode = clear + 1;  // the highest code in use
  std::fill_n(rows, std::size_t{clear} << minCodeSize, Entry{0});
  out.Put(clear, codeSize);
  if (indices.empty()) {
    out.Put(clear + 1, codeSize);
    out.Flush();
    return;
  }
  const std::uint8_t* pixels = indices.data();
  const std::uint8_t* const end = pixels + indices.size();
  std::size_t current = std::size_t{*pixels++} << minCodeSize;  // the row of the string so far
  while (pixels != end) {
    const unsigned pixel = *pixels++;
    Entry& next = rows[current + pixel];
    if (next != 0) {
      current = next;
      continue;
    }
    out.Put(static_cast<unsigned>(current >> minCodeSize), codeSize);
    ++lastCode;
    const std::size_t row = std::size_t{lastCode} << minCodeSize;
    next = static_cast<Entry>(row);
    // The new code's own row starts empty.
    std::fill_n(rows + row, alphabet, Entry{0});
    if (lastCode >= (1U << codeSize)) ++codeSize;
    if (lastCode == kMaxCode) {
      out.Put(clear, codeSize);
      std::fill_n(rows, std::size_t{clear} << minCodeSize, Entry{0});
      codeSize = firstCodeSize;
      lastCode = clear + 1;
    }
    current = std::size_t{pixel} << minCodeSize;
  }
  out.Put(static_cast<unsigned>(current >> minCodeSize), codeSize);
  // Reading that last code the decoder adds a table entry of its own, one
  // behind ours, and widens its codes when the next would not fit: the end
  // code must be read at that width.
  if (lastCode + 1 >= (1U << codeSize) && codeSize < kMaxCodeSize) ++codeSize;
  out.Put(clear + 1, codeSize);
  out.Flush();
}

}  // namespace

void CompressLzw(const std::vector<std::uint8_t>& indices, int minCodeSize,
                 std::vector<std::uint16_t>& table, std::vector<std::uint8_t>& bytes) {
  CompressLzwWith(indices, minCodeSize, table, bytes);
}

void CompressLzw(const std::vector<std::uint8_t>& indices, int minCodeSize,
                 std::vector<std::uint32_t>& table, std::vector<std::uint8_t>& bytes) {
  CompressLzwWith(indices, minCodeSize, table, bytes);
}

}  // namespace trilume

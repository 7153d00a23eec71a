// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <vector>

namespace trilume {

// The LZW codes of one GIF frame's colour indices, as GIF decoders read
// them: a clear code first, a clear code again whenever the 4096 codes are
// used up, the end code last at the width the decoder expects, packed least
// significant bit first and not yet cut into sub-blocks. `minCodeSize` is
// the frame's code size byte (2..8) and every index is below 1 <<
// minCodeSize. `table` is scratch space kept between frames so that it is
// allocated once; the 16-bit one serves code sizes up to 4, the 32-bit one
// any. `bytes` is replaced.
void CompressLzw(const std::vector<std::uint8_t>& indices, int minCodeSize,
                 std::vector<std::uint16_t>& table, std::vector<std::uint8_t>& bytes);
void CompressLzw(const std::vector<std::uint8_t>& indices, int minCodeSize,
                 std::vector<std::uint32_t>& table, std::vector<std::uint8_t>& bytes);

}  // namespace trilume

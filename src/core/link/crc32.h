#pragma once

#include <cstdint>
#include <span>

namespace vrn {

// CRC-32/MPEG-2: polynomial 0x04C11DB7, initial 0xFFFFFFFF, no reflection, no final XOR. The
// instrument protects every program block with it; "123456789" gives 0x0376E6E7.
uint32_t crc32Mpeg2(std::span<const uint8_t> bytes);

}  // namespace vrn

#pragma once

#include <cstdint>
#include <vector>

namespace vrn::screens {
class PixelBuffer;
}

namespace vrn::print {

// The picture as a one-bit Windows bitmap file, black on white; empty if it cannot be encoded.
std::vector<uint8_t> bmpPicture(const screens::PixelBuffer& picture);

}  // namespace vrn::print

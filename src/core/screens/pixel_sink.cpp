#include "core/screens/pixel_sink.h"

#include <algorithm>
#include <cstddef>

namespace vrn::screens {

PixelBuffer::PixelBuffer(int width, int height, Rgb background)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      pixels_(static_cast<size_t>(width_) * static_cast<size_t>(height_), background) {}

void PixelBuffer::fillRect(int x, int y, int width, int height, Rgb colour) {
    const int left = std::max(x, 0), top = std::max(y, 0);
    const int right = std::min(x + width, width_), bottom = std::min(y + height, height_);
    if (left >= right) return;
    for (int row = top; row < bottom; ++row) {
        const auto start = pixels_.begin() + static_cast<std::ptrdiff_t>(row) * width_;
        std::fill(start + left, start + right, colour);
    }
}

Rgb PixelBuffer::at(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return kBlack;
    return pixels_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)];
}

}  // namespace vrn::screens

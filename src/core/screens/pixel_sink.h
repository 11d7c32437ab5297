#pragma once

#include <cstdint>
#include <vector>

namespace vrn::screens {

// A colour as 0xRRGGBB.
using Rgb = uint32_t;
inline constexpr Rgb kBlack = 0x000000;
inline constexpr Rgb kGreen = 0x00FF00;
inline constexpr Rgb kWhite = 0xFFFFFF;

// Where screens are drawn: the window's image, a picture, a test's pixel buffer.
class PixelSink {
public:
    virtual ~PixelSink() = default;
    // Paints the rectangle; the parts outside the sink are left out.
    virtual void fillRect(int x, int y, int width, int height, Rgb colour) = 0;
};

// A plain buffer of pixels, row by row: pictures for the command-line tool and for tests.
class PixelBuffer final : public PixelSink {
public:
    PixelBuffer(int width, int height, Rgb background = kBlack);

    void fillRect(int x, int y, int width, int height, Rgb colour) override;

    int width() const { return width_; }
    int height() const { return height_; }
    // The pixel's colour; black outside the buffer.
    Rgb at(int x, int y) const;
    const std::vector<Rgb>& pixels() const { return pixels_; }

private:
    int width_;
    int height_;
    std::vector<Rgb> pixels_;
};

}  // namespace vrn::screens

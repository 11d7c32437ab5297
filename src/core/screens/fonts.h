#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace vrn::screens {

// Both fonts hold a glyph for each of the 96 codes 32 to 127; codes below 32 have none.
inline constexpr int kFirstGlyphCode = 32;
inline constexpr int kGlyphCount = 96;

// Small font: 6 x 8 pixels. Byte i of a glyph is pixel column i, left to right; bit j of it is
// pixel row j, bit 0 at the top.
inline constexpr int kSmallWidth = 6;
inline constexpr int kSmallHeight = 8;
inline constexpr size_t kSmallGlyphBytes = 6;

// Large font: 12 x 16 pixels. Bytes 0 to 11 are the columns of the upper eight rows, bytes 12 to
// 23 the same columns of the lower eight, bit 0 at the top of each half.
inline constexpr int kLargeWidth = 12;
inline constexpr int kLargeHeight = 16;
inline constexpr size_t kLargeGlyphBytes = 24;

using SmallFont = std::array<uint8_t, kGlyphCount * kSmallGlyphBytes>;
using LargeFont = std::array<uint8_t, kGlyphCount * kLargeGlyphBytes>;

const SmallFont& smallFont();
const LargeFont& largeFont();

// The glyph of a code, empty for codes without one (below 32 or above 127).
std::span<const uint8_t> smallGlyph(int code);
std::span<const uint8_t> largeGlyph(int code);

// Whether font pixel (x, y) of a glyph is lit; false outside the glyph.
bool smallPixel(std::span<const uint8_t> glyph, int x, int y);
bool largePixel(std::span<const uint8_t> glyph, int x, int y);

}  // namespace vrn::screens

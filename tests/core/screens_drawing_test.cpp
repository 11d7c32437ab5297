#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

#include "core/screens/fonts.h"
#include "core/screens/pixel_sink.h"
#include "core/screens/screen_drawing.h"
#include "core/screens/screen_store.h"

namespace vrn::screens {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes bytesOf(std::span<const uint8_t> s) {
    return Bytes(s.begin(), s.end());
}

TEST(ScreenFonts, TheDocumentedGlyphsHoldByteForByte) {
    EXPECT_EQ(bytesOf(smallGlyph('T')), (Bytes{0x01, 0x01, 0x7F, 0x01, 0x01, 0x00}));
    EXPECT_EQ(bytesOf(smallGlyph(126)), (Bytes{0x06, 0x09, 0x09, 0x06, 0x00, 0x00}));
    EXPECT_EQ(bytesOf(largeGlyph('T')),
              (Bytes{0x00, 0x03, 0x03, 0x03, 0x03, 0xFF, 0xFF, 0x03, 0x03, 0x03, 0x03, 0x00,
                     0x00, 0x00, 0x00, 0x00, 0x00, 0x3F, 0x3F, 0x00, 0x00, 0x00, 0x00, 0x00}));
    EXPECT_TRUE(smallGlyph(31).empty());
    EXPECT_TRUE(largeGlyph(128).empty());
}

TEST(ScreenFonts, EveryCodeHasItsOwnShape) {
    std::vector<Bytes> small;
    for (int code = kFirstGlyphCode; code < kFirstGlyphCode + kGlyphCount; ++code) {
        SCOPED_TRACE(code);
        const Bytes glyph = bytesOf(smallGlyph(code));
        EXPECT_EQ(std::find(small.begin(), small.end(), glyph), small.end())
            << "two codes share a small glyph";
        small.push_back(glyph);
        const bool fullWidth = code == '_' || code == 123 || code == 124 || code == 125;
        if (!fullWidth) {
            EXPECT_EQ(glyph[5], 0) << "the sixth column is the gap between characters";
        }
        if (code != ' ') {
            EXPECT_NE(glyph, Bytes(6, 0)) << "a printable code without a glyph";
        }
    }
    // The large font differs from the small one only where the table says so.
    EXPECT_EQ(bytesOf(largeGlyph(123)), bytesOf(largeGlyph('_')));
    EXPECT_EQ(bytesOf(largeGlyph(124)), bytesOf(largeGlyph('_')));
    for (int y = 0; y < kLargeHeight; ++y)
        for (int x = 0; x < kLargeWidth; ++x)
            EXPECT_EQ(largePixel(largeGlyph('_'), x, y), y >= 14) << x << "," << y;
}

constexpr Rgb kUnpainted = 0xFF00FF;

// Probes of single image pixels.
struct Probe {
    int x, y;
    Rgb colour;
};

TEST(ScreenDrawing, CellsArePaintedWhole) {
    struct Row {
        const char* name;
        int row, column;
        uint8_t cell;
        bool inverse;
        int left, top, width, height;  // the area that must be painted, nothing outside it
        std::vector<Probe> probes;
    };
    // clang-format off
    const std::vector<Row> rows = {
        {"small T", 1, 2, 'T', false, 24, 16, 12, 16,
         {{24, 16, kGreen}, {33, 17, kGreen}, {28, 28, kGreen}, {29, 29, kGreen}, {24, 18, kBlack}, {34, 16, kBlack},
          {28, 30, kBlack}}},
        {"small T inverse", 1, 2, 'T', true, 24, 16, 12, 16,
         {{24, 16, kBlack}, {28, 28, kBlack}, {24, 18, kGreen}, {35, 31, kGreen}}},
        {"degree sign", 5, 39, 126, false, 468, 80, 12, 16,
         {{470, 80, kGreen}, {468, 82, kGreen}, {468, 80, kBlack}, {476, 80, kBlack}}},
        {"large T named by its lower-right cell", 3, 7, 0xD4, false, 72, 32, 24, 32,
         {{74, 32, kGreen}, {93, 35, kGreen}, {82, 59, kGreen}, {72, 32, kBlack}, {82, 60, kBlack}, {95, 63, kBlack}}},
        {"large T inverse", 2, 6, 0xD4, true, 72, 32, 24, 32, {{72, 32, kGreen}, {74, 32, kBlack}, {82, 59, kBlack}}},
        {"code below 32 is blank", 0, 0, 0x05, false, 0, 0, 12, 16, {{0, 0, kBlack}, {11, 15, kBlack}}},
        {"large code below 160 is a blank block", 4, 1, 0x85, false, 0, 64, 24, 32, {{0, 64, kBlack}, {23, 95, kBlack}}},
        {"large blank inverse is a green block", 4, 1, 0xA0, true, 0, 64, 24, 32, {{0, 64, kGreen}, {23, 95, kGreen}}},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        PixelBuffer image(kPictureWidth, kScreenImageHeight, kUnpainted);
        DrawCell(image, row.row, row.column, row.cell, row.inverse);
        for (const Probe& p : row.probes)
            EXPECT_EQ(image.at(p.x, p.y), p.colour) << p.x << "," << p.y;
        int painted = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const bool inside =
                    x >= row.left && x < row.left + row.width && y >= row.top && y < row.top + row.height;
                const Rgb c = image.at(x, y);
                if (inside) {
                    EXPECT_TRUE(c == kGreen || c == kBlack) << x << "," << y;
                }
                if (!inside && c != kUnpainted)
                    ADD_FAILURE() << "painted outside the cell at " << x << "," << y;
                painted += inside;
            }
        EXPECT_EQ(painted, row.width * row.height);
    }
}

TEST(ScreenDrawing, DisagreeingBlockDrawsInCellOrder) {
    ScreenStore store;
    PixelBuffer image(kPictureWidth, kScreenImageHeight, kUnpainted);
    ScreenDisplay display(store, image);
    store.SetLargeCell(0, 0, 0xC1);  // large A
    store.setCell(1, 1, '-');        // the last cell of the block drawn is small
    display.ShowScreen(0);
    EXPECT_EQ(image.at(2, 4), kGreen) << "the A's left stroke stays";
    EXPECT_EQ(image.at(18, 16), kBlack) << "the A's right stroke under the small cell is gone";
    EXPECT_EQ(image.at(12, 22), kGreen) << "the dash of the last cell drawn";
    EXPECT_EQ(image.at(479, 97), kBlack) << "the whole image is painted";

    store.setCell(1, 1, 0xDA);  // now a large Z there: it redraws the whole block
    display.ShowScreen(0);
    EXPECT_EQ(image.at(2, 4), kBlack);
    EXPECT_EQ(image.at(2, 0), kGreen) << "the Z's top bar";
}

TEST(ScreenDrawing, PicturesPaintOnlyLitPixelsBlack) {
    ScreenStore store;
    store.setCurrent(3);
    store.setCell(0, 0, 'T');
    store.SetLargeCell(0, 2, 0xA0);
    store.SetLargeCell(2, 4, 0xD4);
    PixelBuffer picture(kPictureWidth, kPictureHeight, kUnpainted);
    drawPicture(picture, store, 3);
    int black = 0, white = 0;
    for (Rgb c : picture.pixels()) {
        black += c == kBlack;
        white += c == kWhite;
    }
    // T: 5 + 6 font pixels small, 20 + 24 large (each lit font pixel a 2 x 2 square).
    EXPECT_EQ(black, (11 + 44) * 4);
    EXPECT_EQ(black + white, kPictureWidth * kPictureHeight);
    for (int y = 0; y < 32; ++y)
        for (int x = 24; x < 48; ++x)
            EXPECT_EQ(picture.at(x, y), kWhite) << "the large blank leaves its block white";

    PixelBuffer over(kPictureWidth, kPictureHeight, kGreen);
    DrawPictureCell(over, 0, 0, ' ');
    EXPECT_EQ(over.at(0, 0), kGreen) << "unlit pixels are left alone";
}

}  // namespace
}  // namespace vrn::screens

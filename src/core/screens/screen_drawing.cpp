#include "core/screens/screen_drawing.h"

#include "core/screens/fonts.h"
#include "core/screens/screen_store.h"

namespace vrn::screens {
namespace {

// Paints width x height font pixels at (x, y), each a 2 x 2 square: lit ones `on`, the others
// `off` unless it is empty (then they are left alone).
template <typename Lit>
void paintGlyph(PixelSink& sink, int x, int y, int width, int height, Lit lit, Rgb on, const Rgb* off) {
    if (off) sink.fillRect(x, y, width * kPixelScale, height * kPixelScale, *off);
    for (int fy = 0; fy < height; ++fy)
        for (int fx = 0; fx < width; ++fx)
            if (lit(fx, fy))
                sink.fillRect(x + fx * kPixelScale, y + fy * kPixelScale, kPixelScale, kPixelScale, on);
}

void drawSmall(PixelSink& sink, int x, int y, int code, Rgb on, const Rgb* off) {
    const auto glyph = smallGlyph(code);
    paintGlyph(
        sink, x, y, kSmallWidth, kSmallHeight, [&](int fx, int fy) { return smallPixel(glyph, fx, fy); }, on,
        off);
}

void drawLarge(PixelSink& sink, int x, int y, int code, Rgb on, const Rgb* off) {
    const auto glyph = largeGlyph(code & 0x7F);
    paintGlyph(
        sink, x, y, kLargeWidth, kLargeHeight, [&](int fx, int fy) { return largePixel(glyph, fx, fy); }, on,
        off);
}

}  // namespace

void DrawSmallGlyphAt(PixelSink& sink, int x, int y, int code, bool inverse) {
    drawSmall(sink, x, y, code, inverse ? kBlack : kGreen, inverse ? &kGreen : &kBlack);
}

void DrawLargeGlyphAt(PixelSink& sink, int x, int y, int code, bool inverse) {
    drawLarge(sink, x, y, code, inverse ? kBlack : kGreen, inverse ? &kGreen : &kBlack);
}

void DrawCell(PixelSink& sink, int row, int column, uint8_t cell, bool inverse) {
    if (isLarge(cell))
        DrawLargeGlyphAt(sink, (column & ~1) * kCellWidth, (row & ~1) * kCellHeight, cell, inverse);
    else
        DrawSmallGlyphAt(sink, column * kCellWidth, row * kCellHeight, cell, inverse);
}

void DrawPictureCell(PixelSink& sink, int row, int column, uint8_t cell) {
    if (isLarge(cell))
        drawLarge(sink, (column & ~1) * kCellWidth, (row & ~1) * kCellHeight, cell, kBlack, nullptr);
    else
        drawSmall(sink, column * kCellWidth, row * kCellHeight, cell, kBlack, nullptr);
}

void drawPicture(PixelSink& sink, const ScreenStore& store, int screen) {
    sink.fillRect(0, 0, kPictureWidth, kPictureHeight, kWhite);
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c)
            DrawPictureCell(sink, r, c, store.cell(screen, r, c));
}

void ScreenDisplay::DrawCell(int row, int column, uint8_t cell, bool inverse) {
    screens::DrawCell(image_, row, column, cell, inverse);
}

void ScreenDisplay::drawStoredCell(int row, int column, bool inverse) {
    DrawCell(row, column, store_.cell(row, column), inverse);
}

void ScreenDisplay::ClearScreen(int screen) {
    store_.clear(screen);
    image_.fillRect(0, 0, kPictureWidth, kScreenImageHeight, kBlack);
}

void ScreenDisplay::ShowScreen(int screen) {
    store_.setCurrent(screen);
    image_.fillRect(0, 0, kPictureWidth, kScreenImageHeight, kBlack);
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c)
            drawStoredCell(r, c, false);
}

}  // namespace vrn::screens

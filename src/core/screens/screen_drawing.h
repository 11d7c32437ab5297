#pragma once

#include <cstdint>

#include "core/screens/pixel_sink.h"

namespace vrn::screens {

class ScreenStore;

// The geometry shared by the window's screen image and the screen pictures: a cell is 12 x 16
// image pixels, every font pixel a 2 x 2 square.
inline constexpr int kPixelScale = 2;
inline constexpr int kCellWidth = 12;
inline constexpr int kCellHeight = 16;
inline constexpr int kPictureWidth = 480;
inline constexpr int kPictureHeight = 96;
// The window's image is two pixels taller than the picture; the last two rows stay black.
inline constexpr int kScreenImageHeight = 98;

// Lit pixels green on black; inverse (the editing cursor) black on green. Every pixel of the
// glyph's area is painted, so a drawing replaces whatever was there.
void DrawSmallGlyphAt(PixelSink& sink, int x, int y, int code, bool inverse);
// The large glyph of (code AND 0x7F).
void DrawLargeGlyphAt(PixelSink& sink, int x, int y, int code, bool inverse);

// A small cell in its own cell; a large one (bit 7 set) over the block of the named cell.
void DrawCell(PixelSink& sink, int row, int column, uint8_t cell, bool inverse);

// A cell of a black-on-white screen picture: only lit pixels are painted, black.
void DrawPictureCell(PixelSink& sink, int row, int column, uint8_t cell);

// The 480 x 96 picture of one screen: white, then every cell row by row.
void drawPicture(PixelSink& sink, const ScreenStore& store, int screen);

// The window's screen image: the sink it draws on and the store it shows.
class ScreenDisplay {
public:
    ScreenDisplay(ScreenStore& store, PixelSink& image) : store_(store), image_(image) {}

    void DrawCell(int row, int column, uint8_t cell, bool inverse);
    // The cell of the current screen, as the store holds it.
    void drawStoredCell(int row, int column, bool inverse);
    // Blanks the screen in the store and paints the whole image black, whichever screen is shown.
    void ClearScreen(int screen);
    // Makes the screen current, paints the image black and draws every cell of it.
    void ShowScreen(int screen);

    ScreenStore& store() { return store_; }
    PixelSink& image() { return image_; }

private:
    ScreenStore& store_;
    PixelSink& image_;
};

}  // namespace vrn::screens

#pragma once

#include <string_view>

#include "core/screens/pixel_sink.h"

namespace vrn::workspace {

// What the printed report is drawn on, in device pixels: the printer, or a test's recording.
class ReportCanvas {
public:
    virtual ~ReportCanvas() = default;
    // The printable page in device pixels.
    virtual int pageWidth() const = 0;
    virtual int pageHeight() const = 0;
    // The colour of the text drawn from now on.
    virtual void setTextColour(screens::Rgb colour) = 0;
    // UTF-8 text in the report's font, its top-left corner at the point.
    virtual void textAt(int x, int y, std::string_view text) = 0;
    // The whole picture stretched into the rectangle.
    virtual void picture(int x, int y, int width, int height, const screens::PixelBuffer& picture) = 0;
    virtual void newPage() = 0;
};

}  // namespace vrn::workspace

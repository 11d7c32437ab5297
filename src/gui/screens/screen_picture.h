#pragma once

#include <QImage>

class QPainter;

namespace vrn::screens {
class ScreenStore;
}

namespace vrn::gui {

// The 480 x 96 black-on-white picture of one screen (0 to 7).
QImage screenPicture(const screens::ScreenStore& store, int screen);

// Copies the whole picture onto the canvas, stretched to the rectangle.
void PrintPicture(QPainter& canvas, int x, int y, int width, int height, const QImage& picture);

}  // namespace vrn::gui

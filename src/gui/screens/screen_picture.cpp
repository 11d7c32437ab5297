#include "gui/screens/screen_picture.h"

#include <QPainter>

#include "core/screens/pixel_sink.h"
#include "core/screens/screen_drawing.h"

namespace vrn::gui {

QImage screenPicture(const screens::ScreenStore& store, int screen) {
    screens::PixelBuffer buffer(screens::kPictureWidth, screens::kPictureHeight, screens::kWhite);
    screens::drawPicture(buffer, store, screen);
    QImage picture(buffer.width(), buffer.height(), QImage::Format_Mono);
    picture.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    for (int y = 0; y < buffer.height(); ++y)
        for (int x = 0; x < buffer.width(); ++x)
            picture.setPixel(x, y, buffer.at(x, y) == screens::kBlack ? 0 : 1);
    return picture;
}

void PrintPicture(QPainter& canvas, int x, int y, int width, int height, const QImage& picture) {
    canvas.drawImage(QRect(x, y, width, height), picture);
}

}  // namespace vrn::gui

#include "print/bmp_picture.h"

#include <QBuffer>
#include <QImage>

#include "core/screens/pixel_sink.h"

namespace vrn::print {

std::vector<uint8_t> bmpPicture(const screens::PixelBuffer& picture) {
    QImage image(picture.width(), picture.height(), QImage::Format_Mono);
    image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            image.setPixel(x, y, picture.at(x, y) == screens::kBlack ? 0 : 1);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "BMP")) return {};
    return {bytes.begin(), bytes.end()};
}

}  // namespace vrn::print

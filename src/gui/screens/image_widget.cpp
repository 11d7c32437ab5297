#include "gui/screens/image_widget.h"

#include <QPainter>

namespace vrn::gui {

ImageWidget::ImageWidget(int width, int height, QWidget* parent)
    : QWidget(parent), image_(width, height, QImage::Format_RGB32) {
    image_.fill(Qt::black);
    setFixedSize(width, height);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ImageWidget::fillRect(int x, int y, int width, int height, screens::Rgb colour) {
    const QRect area = QRect(x, y, width, height).intersected(image_.rect());
    if (area.isEmpty()) return;
    const QRgb rgb = qRgb((colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF);
    for (int row = area.top(); row <= area.bottom(); ++row) {
        auto* line = reinterpret_cast<QRgb*>(image_.scanLine(row));
        std::fill(line + area.left(), line + area.right() + 1, rgb);
    }
    update(area);
}

void ImageWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(0, 0, image_);
}

}  // namespace vrn::gui

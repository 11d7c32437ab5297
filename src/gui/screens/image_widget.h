#pragma once

#include <QImage>
#include <QWidget>

#include "core/screens/pixel_sink.h"

namespace vrn::gui {

// A bitmap image control that the screen drawing paints on: every change shows at the next
// repaint.
class ImageWidget final : public QWidget, public screens::PixelSink {
public:
    ImageWidget(int width, int height, QWidget* parent);

    void fillRect(int x, int y, int width, int height, screens::Rgb colour) override;
    const QImage& image() const { return image_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage image_;
};

}  // namespace vrn::gui

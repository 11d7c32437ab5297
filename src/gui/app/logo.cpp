#include "gui/app/logo.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace vrn::gui {

QPixmap drawLogo() {
    constexpr int kWidth = 80;
    constexpr int kHeight = 95;
    QPixmap logo(kWidth, kHeight);
    logo.fill(Qt::white);
    QPainter p(&logo);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient sky(0, 0, 0, 70);
    sky.setColorAt(0, QColor(0x1f, 0x5f, 0xa8));
    sky.setColorAt(1, QColor(0x8c, 0xc3, 0xec));
    p.setPen(Qt::NoPen);
    p.setBrush(sky);
    p.drawRoundedRect(QRectF(2, 2, kWidth - 4, 70), 8, 8);

    // Mast with the vane's arrow and tail.
    p.setPen(QPen(Qt::white, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(40, 22), QPointF(40, 64));
    p.drawLine(QPointF(16, 26), QPointF(64, 26));
    QPainterPath arrow;
    arrow.moveTo(70, 26);
    arrow.lineTo(58, 19);
    arrow.lineTo(58, 33);
    arrow.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPath(arrow);
    QPainterPath tail;
    tail.moveTo(10, 18);
    tail.lineTo(20, 26);
    tail.lineTo(10, 34);
    tail.lineTo(16, 26);
    tail.closeSubpath();
    p.drawPath(tail);
    p.drawEllipse(QPointF(40, 26), 4, 4);

    p.setPen(QColor(0x1f, 0x5f, 0xa8));
    QFont font = p.font();
    font.setBold(true);
    font.setPixelSize(17);
    p.setFont(font);
    p.drawText(QRectF(0, 72, kWidth, 22), Qt::AlignCenter, QStringLiteral("VRN"));
    return logo;
}

}  // namespace vrn::gui

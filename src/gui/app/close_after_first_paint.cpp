#include "gui/app/close_after_first_paint.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace vrn::gui {

CloseAfterFirstPaint::CloseAfterFirstPaint(QWidget* window) : QObject(window), window_(window) {
    window_->installEventFilter(this);
}

bool CloseAfterFirstPaint::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window_ && event->type() == QEvent::Paint) {
        window_->removeEventFilter(this);
        QTimer::singleShot(0, window_, &QWidget::close);
    }
    return false;
}

}  // namespace vrn::gui

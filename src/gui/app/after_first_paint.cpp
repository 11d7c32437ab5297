#include "gui/app/after_first_paint.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace vrn::gui {
namespace {

class FirstPaintWatch final : public QObject {
public:
    FirstPaintWatch(QWidget* window, std::function<void()> work)
        : QObject(window), window_(window), work_(std::move(work)) {
        window_->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != window_ || event->type() != QEvent::Paint) return false;
        window_->removeEventFilter(this);
        // Queued, so the frame is on the screen first; a window closed meanwhile needs nothing.
        QTimer::singleShot(0, window_, [window = window_, work = std::move(work_)] {
            if (window->isVisible()) work();
        });
        deleteLater();
        return false;
    }

private:
    QWidget* window_;
    std::function<void()> work_;
};

}  // namespace

void afterFirstPaint(QWidget* window, std::function<void()> work) {
    new FirstPaintWatch(window, std::move(work));
}

}  // namespace vrn::gui

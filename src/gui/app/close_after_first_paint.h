#pragma once

#include <QObject>

class QWidget;

namespace vrn::gui {

// Closes a window once its first frame has been painted: the end of start-up as a user sees it.
// Used by vrncomm --quit-after-start and the start-up benchmark's empty window alike.
class CloseAfterFirstPaint final : public QObject {
public:
    explicit CloseAfterFirstPaint(QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* window_;
};

}  // namespace vrn::gui

#pragma once

#include <QLabel>

namespace vrn::gui {

// A text link: blue, underlined, the hand cursor; a left click emits clicked().
class LinkLabel : public QLabel {
    Q_OBJECT
public:
    explicit LinkLabel(const QString& text, QWidget* parent = nullptr);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

}  // namespace vrn::gui

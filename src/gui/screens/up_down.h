#pragma once

#include <QWidget>
#include <functional>

class QToolButton;

namespace vrn::gui {

// An up-down control: two arrow buttons over a position, no wrap, no keyboard. Before each change
// it asks `changing` with the new position, which may leave the range; the change happens only
// when that returns true.
class UpDown final : public QWidget {
public:
    UpDown(int min, int max, QWidget* parent);

    int position() const { return position_; }
    // Follows a change made elsewhere, without asking.
    void showPosition(int position) { position_ = position; }

    std::function<bool(int newPosition)> changing;

    QToolButton* upButton() const { return up_; }
    QToolButton* downButton() const { return down_; }

private:
    void step(int by);

    int min_;
    int max_;
    int position_;
    QToolButton* up_;
    QToolButton* down_;
};

}  // namespace vrn::gui

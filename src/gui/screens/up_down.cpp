#include "gui/screens/up_down.h"

#include <QToolButton>
#include <QVBoxLayout>

namespace vrn::gui {

UpDown::UpDown(int min, int max, QWidget* parent)
    : QWidget(parent),
      min_(min),
      max_(max),
      position_(min),
      up_(new QToolButton(this)),
      down_(new QToolButton(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (auto [button, arrow, name] :
         {std::tuple{up_, Qt::UpArrow, "Up"}, std::tuple{down_, Qt::DownArrow, "Down"}}) {
        button->setArrowType(arrow);
        button->setObjectName(QStringLiteral("UpDownScrNum%1").arg(QLatin1String(name)));
        button->setFocusPolicy(Qt::NoFocus);
        button->setAutoRepeat(true);
        button->setFixedSize(17, 12);
        layout->addWidget(button);
    }
    connect(up_, &QToolButton::clicked, this, [this] { step(1); });
    connect(down_, &QToolButton::clicked, this, [this] { step(-1); });
}

void UpDown::step(int by) {
    const int next = position_ + by;
    if (changing && !changing(next)) return;
    if (next >= min_ && next <= max_) position_ = next;
}

}  // namespace vrn::gui

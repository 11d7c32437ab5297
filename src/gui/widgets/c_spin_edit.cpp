#include "gui/widgets/c_spin_edit.h"

#include <QKeyEvent>

namespace vrn::gui {

CSpinEdit::CSpinEdit(int min, int max, int value, QWidget* parent) : QSpinBox(parent) {
    setRange(min, max);
    setValue(value);
    setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
}

void CSpinEdit::keyPressEvent(QKeyEvent* event) {
    const QString text = event->text();
    const bool typesCharacter = !text.isEmpty() && text.at(0).isPrint();
    const QChar c = typesCharacter ? text.at(0) : QChar();
    if (typesCharacter && (c < QLatin1Char('0') || c > QLatin1Char('9'))) {
        event->accept();
        return;
    }
    QSpinBox::keyPressEvent(event);
}

}  // namespace vrn::gui

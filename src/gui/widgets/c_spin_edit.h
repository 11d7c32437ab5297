#pragma once

#include <QSpinBox>

namespace vrn::gui {

// The window's spin box: a value set from the program is brought into the range, a value typed out
// of range is corrected when the box loses the focus, and only digits and Backspace are typed;
// every other character is dropped (navigation keys still work).
class CSpinEdit : public QSpinBox {
    Q_OBJECT
public:
    CSpinEdit(int min, int max, int value, QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace vrn::gui

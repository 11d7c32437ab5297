#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace vrn::test {

// Every visible text under root (root included) that its widget cannot show whole in the widget's
// own font: labels, push buttons, check boxes, radio buttons, group box titles, tab captions, the
// items of combo boxes, line edits and the extreme values of spin boxes. Each entry names the
// widget, the text, and the pixels it needs against those it has.
QStringList unfitTexts(QWidget* root);

}  // namespace vrn::test

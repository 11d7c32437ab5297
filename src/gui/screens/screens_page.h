#pragma once

#include <QWidget>

class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace vrn::gui {

class ImageWidget;
class UpDown;

// The controls of the Screens page, named as the user and the tests know them.
class ScreensPage final : public QWidget {
public:
    explicit ScreensPage(QWidget* tabSheet);

    ImageWidget* ImageScreen;
    QLabel* LabelRowCol;
    QPushButton* ButtonStartEdit;
    QPushButton* ButtonStopEdit;
    QPushButton* ButtonScreenClr;
    ImageWidget* ImageFont;
    QRadioButton* RadioButtonFontSmall;
    QRadioButton* RadioButtonFontBig;
    QLabel* StaticTextScreenNum;
    UpDown* UpDownScrNum;
};

}  // namespace vrn::gui

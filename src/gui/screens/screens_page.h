#pragma once

#include <QWidget>
#include <functional>
#include <vector>

class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace vrn::screens {
class PixelSink;
class ScreenEditor;
}  // namespace vrn::screens

namespace vrn::gui {

class ImageWidget;
class UpDown;

// The controls of the Screens page, named as the user and the tests know them. The page shows
// the editor's state and tells what its controls were asked for.
class ScreensPage final : public QWidget {
    Q_OBJECT
public:
    explicit ScreensPage(QWidget* tabSheet);

    // The LCD picture the screens are drawn on.
    screens::PixelSink& screenImage();
    // Shows the editor's mode, font, cursor position and screen number, and the font preview.
    void showEditor(const screens::ScreenEditor& editor);
    // The controls a space would click or switch; on this page a space is meant for the screen.
    std::vector<QObject*> spaceControls() const;

    // Asked before the screen number changes (the new number may be out of range); the number
    // changes only when it returns true.
    std::function<bool(int number)> screenNumberChanging;

signals:
    void startEditClicked();
    void stopEditClicked();
    void clearScreenClicked();
    void smallFontClicked();
    void largeFontClicked();

private:
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

#include "gui/screens/screens_page.h"

#include <QAbstractButton>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "core/screens/screen_drawing.h"
#include "core/screens/screen_editor.h"
#include "core/screens/screen_store.h"
#include "gui/screens/image_widget.h"
#include "gui/screens/up_down.h"

namespace vrn::gui {
namespace {

// A black panel around an image, as the LCD's bezel.
QFrame* blackPanel(QWidget* parent, const char* name, int x, int y, int width, int height) {
    auto* panel = new QFrame(parent);
    panel->setObjectName(QLatin1String(name));
    panel->setAutoFillBackground(true);
    QPalette palette = panel->palette();
    palette.setColor(QPalette::Window, Qt::black);
    panel->setPalette(palette);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    panel->setGeometry(x, y, width, height);
    return panel;
}

template <typename W>
W* named(W* widget, const char* name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}

}  // namespace

ScreensPage::ScreensPage(QWidget* tabSheet) : QWidget(tabSheet) {
    setObjectName(QStringLiteral("ScreensPage"));

    QFrame* screenPanel = blackPanel(this, "PanelScreen", 18, 16, screens::kPictureWidth + 16,
                                     screens::kScreenImageHeight + 16);
    ImageScreen = named(new ImageWidget(screens::kPictureWidth, screens::kScreenImageHeight, screenPanel),
                        "ImageScreen");
    ImageScreen->move(8, 8);

    LabelRowCol = named(new QLabel(QStringLiteral(" "), this), "LabelRowCol");
    LabelRowCol->setGeometry(18, 136, 300, 16);
    QPalette grey = LabelRowCol->palette();
    grey.setColor(QPalette::WindowText, Qt::darkGray);
    LabelRowCol->setPalette(grey);

    ButtonStartEdit = named(new QPushButton(QStringLiteral("Start &Edit"), this), "ButtonStartEdit");
    ButtonStartEdit->setGeometry(18, 164, 105, 27);
    ButtonStopEdit = named(new QPushButton(QStringLiteral("Sto&p Edit"), this), "ButtonStopEdit");
    ButtonStopEdit->setGeometry(18, 198, 105, 27);
    ButtonStopEdit->setEnabled(false);
    ButtonScreenClr = named(new QPushButton(QStringLiteral("&Clear Screen"), this), "ButtonScreenClr");
    ButtonScreenClr->setGeometry(18, 232, 105, 27);
    ButtonScreenClr->setEnabled(false);

    auto* fontGroup = named(new QGroupBox(QStringLiteral("Screen Write Font"), this), "GroupBoxFont");
    fontGroup->setGeometry(150, 160, 190, 100);
    QFrame* fontPanel = blackPanel(fontGroup, "PanelFont", 18, 34, 24 + 8, 28 + 8);
    ImageFont = named(new ImageWidget(24, 28, fontPanel), "ImageFont");
    ImageFont->move(4, 4);
    RadioButtonFontSmall =
        named(new QRadioButton(QStringLiteral("S&mall"), fontGroup), "RadioButtonFontSmall");
    RadioButtonFontSmall->setGeometry(74, 30, 100, 22);
    RadioButtonFontSmall->setChecked(true);
    RadioButtonFontSmall->setEnabled(false);
    RadioButtonFontBig = named(new QRadioButton(QStringLiteral("&Large"), fontGroup), "RadioButtonFontBig");
    RadioButtonFontBig->setGeometry(74, 58, 100, 22);
    RadioButtonFontBig->setEnabled(false);

    auto* numberGroup = named(new QGroupBox(QStringLiteral("Screen Number"), this), "GroupBoxScreenNum");
    numberGroup->setGeometry(366, 160, 130, 100);
    StaticTextScreenNum = named(new QLabel(QStringLiteral("1"), numberGroup), "StaticTextScreenNum");
    StaticTextScreenNum->setFrameShape(QFrame::Panel);
    StaticTextScreenNum->setFrameShadow(QFrame::Sunken);
    StaticTextScreenNum->setAlignment(Qt::AlignCenter);
    StaticTextScreenNum->setGeometry(38, 40, 30, 24);
    UpDownScrNum = named(new UpDown(1, screens::kScreenCount, numberGroup), "UpDownScrNum");
    UpDownScrNum->move(70, 40);

    connect(ButtonStartEdit, &QAbstractButton::clicked, this, &ScreensPage::startEditClicked);
    connect(ButtonStopEdit, &QAbstractButton::clicked, this, &ScreensPage::stopEditClicked);
    connect(ButtonScreenClr, &QAbstractButton::clicked, this, &ScreensPage::clearScreenClicked);
    connect(RadioButtonFontSmall, &QAbstractButton::clicked, this, &ScreensPage::smallFontClicked);
    connect(RadioButtonFontBig, &QAbstractButton::clicked, this, &ScreensPage::largeFontClicked);
    UpDownScrNum->changing = [this](int number) {
        return !screenNumberChanging || screenNumberChanging(number);
    };
}

screens::PixelSink& ScreensPage::screenImage() {
    return *ImageScreen;
}

void ScreensPage::showEditor(const screens::ScreenEditor& editor) {
    const bool editing = editor.editing();
    ButtonStartEdit->setEnabled(!editing);
    ButtonStopEdit->setEnabled(editing);
    ButtonScreenClr->setEnabled(editing);
    RadioButtonFontSmall->setEnabled(editing);
    RadioButtonFontBig->setEnabled(editing);
    (editor.largeFont() ? RadioButtonFontBig : RadioButtonFontSmall)->setChecked(true);
    LabelRowCol->setText(QString::fromLatin1(editor.labelText()));
    screens::drawFontPreview(*ImageFont, editor.preview());
    StaticTextScreenNum->setText(QString::number(editor.screenNumber()));
    UpDownScrNum->showPosition(editor.screenNumber());
}

std::vector<QObject*> ScreensPage::spaceControls() const {
    return {ButtonScreenClr, RadioButtonFontSmall, RadioButtonFontBig};
}

}  // namespace vrn::gui

#include "gui/screens/screens_page.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <string>
#include <utility>
#include <vector>

#include "core/screens/screen_store.h"
#include "gui/app/qt_host.h"
#include "gui/screens/image_widget.h"
#include "gui/screens/screen_picture.h"
#include "gui/screens/screens_section.h"
#include "gui/screens/up_down.h"
#include "gui_rig.h"

namespace vrn::test {
namespace {

using Bytes = std::vector<uint8_t>;

struct ScreensRig : GuiRig {
    ScreensRig() {
        start();
        form->show();
    }
    screens::ScreenStore& store() { return form->screensSection().store(); }
    Bytes bytes() { return Bytes(store().bytes().begin(), store().bytes().end()); }
    void showPage(QWidget* page) { form->pageControl()->setCurrentWidget(page); }
};

TEST(ScreensPage, TypingALineOnScreenTwoChangesExactlyThoseCells) {
    ScreensRig rig;
    rig.showPage(rig.form->pages().TabSheetScreen);
    QTest::mouseClick(rig.find<QToolButton>("UpDownScrNumUp"), Qt::LeftButton);
    EXPECT_EQ(rig.find<QLabel>("StaticTextScreenNum")->text(), "2");
    auto* start = rig.find<QPushButton>("ButtonStartEdit");
    QTest::mouseClick(start, Qt::LeftButton);
    auto* clear = rig.find<QPushButton>("ButtonScreenClr");
    EXPECT_TRUE(clear->isEnabled());
    EXPECT_FALSE(rig.form->menu().RxScreens->isEnabled()) << "no transfers while editing";
    EXPECT_FALSE(rig.form->menu().Commands1->menuAction()->isEnabled());

    Bytes expected = rig.bytes();
    const char line[] = "AIR 21~C";
    clear->setFocus();
    QTest::keyClicks(clear, QString::fromLatin1(line));
    // A handled key never reaches the focused button: the space typed, Backspace and Left acted
    // on the screen, not on the button.
    QTest::keyClick(clear, Qt::Key_Space);
    QTest::keyClick(clear, Qt::Key_Backspace);
    for (size_t i = 0; i < sizeof line - 1; ++i)
        expected[screens::kScreenBytes + i] = static_cast<uint8_t>(line[i]);
    EXPECT_EQ(rig.bytes(), expected);
    EXPECT_EQ(rig.find<QLabel>("LabelRowCol")->text(), "Row 1  Column 09 Small ");
    EXPECT_TRUE(rig.form->screensSection().editor().editing()) << "the space did not click Clear Screen";

    // The LCD image shows the line green on black, and the cursor on the blank after it inverse.
    const QImage& lcd = rig.find<gui::ImageWidget>("ImageScreen")->image();
    const QColor green(0, 255, 0), black(0, 0, 0);
    EXPECT_EQ(lcd.pixelColor(2, 0), green) << "A";
    EXPECT_EQ(lcd.pixelColor(0, 0), black) << "A";
    EXPECT_EQ(lcd.pixelColor(86, 0), green) << "C";
    EXPECT_EQ(lcd.pixelColor(84, 0), black) << "C";
    for (int x = 96; x < 108; ++x)
        EXPECT_EQ(lcd.pixelColor(x, 8), green) << "the cursor at " << x;

    // On another page the keys are not the editor's.
    rig.showPage(rig.form->pages().TabSheetSetup);
    const int column = rig.form->screensSection().editor().column();
    QTest::keyClicks(rig.form.get(), QStringLiteral("XYZ"));
    QTest::keyClick(rig.form.get(), Qt::Key_Right);
    QTest::keyClick(rig.form.get(), Qt::Key_Delete);
    EXPECT_EQ(rig.bytes(), expected);
    EXPECT_EQ(rig.form->screensSection().editor().column(), column);

    rig.showPage(rig.form->pages().TabSheetScreen);
    QTest::mouseClick(rig.find<QPushButton>("ButtonStopEdit"), Qt::LeftButton);
    EXPECT_TRUE(rig.form->menu().RxScreens->isEnabled());
    EXPECT_TRUE(rig.form->menu().Commands1->menuAction()->isEnabled());
    EXPECT_EQ(rig.find<QLabel>("LabelRowCol")->text(), " ");
    QTest::keyClick(start, Qt::Key_Right);
    EXPECT_EQ(rig.bytes(), expected) << "not editing: keys pass by";
}

TEST(ScreensPage, SpaceNeverClicksTheClearMessageAreaButton) {
    ScreensRig rig;
    rig.form->host().appendLine("KEEP ME");
    auto* clearMemo = rig.find<QPushButton>("ButtonClearMemo");
    clearMemo->setFocus();
    QTest::keyClick(clearMemo, Qt::Key_Space);
    EXPECT_TRUE(rig.find<QPlainTextEdit>("Memo1")->toPlainText().contains("KEEP ME"));
}

TEST(ScreensPage, UpDownBeepsAtTheEndsAndShowsTheScreen) {
    ScreensRig rig;
    rig.store().setCell(7, 0, 0, 'W');
    auto* up = rig.find<QToolButton>("UpDownScrNumUp");
    for (int i = 0; i < 9; ++i)
        QTest::mouseClick(up, Qt::LeftButton);
    EXPECT_EQ(rig.find<QLabel>("StaticTextScreenNum")->text(), "8");
    EXPECT_EQ(rig.store().current(), 7);
    QTest::mouseClick(rig.find<QToolButton>("UpDownScrNumDown"), Qt::LeftButton);
    EXPECT_EQ(rig.find<QLabel>("StaticTextScreenNum")->text(), "7");
}

// The page alone: each control runs its own handler and no other; without handlers a click does
// nothing and the screen number moves freely; a handler that refuses keeps the number.
TEST(ScreensPage, EachControlRunsItsOwnHandler) {
    QWidget sheet;
    gui::ScreensPage page(&sheet);
    std::vector<std::string> ran;
    QObject::connect(&page, &gui::ScreensPage::startEditClicked, [&] { ran.emplace_back("start"); });
    QObject::connect(&page, &gui::ScreensPage::stopEditClicked, [&] { ran.emplace_back("stop"); });
    QObject::connect(&page, &gui::ScreensPage::clearScreenClicked, [&] { ran.emplace_back("clear"); });
    QObject::connect(&page, &gui::ScreensPage::smallFontClicked, [&] { ran.emplace_back("small"); });
    QObject::connect(&page, &gui::ScreensPage::largeFontClicked, [&] { ran.emplace_back("large"); });
    const std::pair<const char*, const char*> rows[] = {{"ButtonStartEdit", "start"},
                                                        {"ButtonStopEdit", "stop"},
                                                        {"ButtonScreenClr", "clear"},
                                                        {"RadioButtonFontBig", "large"},
                                                        {"RadioButtonFontSmall", "small"}};
    for (const auto& [name, handler] : rows) {
        auto* control = page.findChild<QAbstractButton*>(QString::fromLatin1(name));
        ASSERT_NE(control, nullptr) << name;
        control->setEnabled(true);
        ran.clear();
        control->click();
        EXPECT_EQ(ran, std::vector<std::string>{handler}) << name;
    }

    auto* up = page.findChild<QToolButton*>(QStringLiteral("UpDownScrNumUp"));
    ASSERT_NE(up, nullptr);
    auto* number = page.findChild<gui::UpDown*>(QStringLiteral("UpDownScrNum"));
    ASSERT_NE(number, nullptr);
    up->click();
    EXPECT_EQ(number->position(), 2) << "no handler: the number moves";
    std::vector<int> asked;
    page.screenNumberChanging = [&](int next) {
        asked.push_back(next);
        return false;
    };
    up->click();
    EXPECT_EQ(asked, std::vector<int>{3});
    EXPECT_EQ(number->position(), 2) << "refused: the number stays";
}

// The picture of a screen holding every small glyph and a line of large ones, against the one
// reviewed by eye; and printed at twice the size, every picture pixel a 2 x 2 square.
TEST(ScreensPicture, MatchesTheReviewedPictureAndPrintsStretched) {
    screens::ScreenStore store;
    store.setCurrent(2);
    for (int code = 32; code < 128; ++code)
        store.setCell((code - 32) / 40, (code - 32) % 40, static_cast<uint8_t>(code));
    const char large[] = "Temp 21.4~C {|}\x7F";
    for (int i = 0; large[i] != 0; ++i)
        store.SetLargeCell(4, 2 * i, static_cast<uint8_t>(large[i] | 0x80));
    const QImage picture = gui::screenPicture(store, 2).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(picture.size(), QSize(480, 96));

    const QString golden = QStringLiteral(VRN_GUI_GOLDEN_DIR "/screen_picture.png");
    if (picture != QImage(golden).convertToFormat(QImage::Format_RGB32)) {
        const QString actual = QDir::temp().filePath(QStringLiteral("screen_picture.actual.png"));
        picture.save(actual);
        ADD_FAILURE() << "the picture differs from " << golden.toStdString() << "; this run's is "
                      << actual.toStdString();
    }

    QImage page(960, 192, QImage::Format_RGB32);
    page.fill(Qt::gray);
    {
        QPainter painter(&page);
        gui::PrintPicture(painter, 0, 0, 960, 192, picture);
    }
    int wrong = 0;
    for (int y = 0; y < 192; ++y)
        for (int x = 0; x < 960; ++x)
            wrong += page.pixel(x, y) != picture.pixel(x / 2, y / 2);
    EXPECT_EQ(wrong, 0);
}

}  // namespace
}  // namespace vrn::test

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QTest>

#include "core/app/box_position.h"
#include "gui/app/qt_host.h"
#include "gui_rig.h"

namespace vrn::test {
namespace {

TEST(MyMessage, CentresByHalfTheDifferenceTruncatedTowardZero) {
    struct Row {
        const char* name;
        ScreenRect main;
        int32_t boxWidth, boxHeight;
        ScreenPoint want;
    } rows[] = {
        {"even differences", {100, 100, 570, 700}, 300, 120, {235, 390}},
        {"odd differences drop the half pixel", {100, 100, 571, 701}, 300, 120, {235, 390}},
        {"box larger than the window", {0, 0, 200, 100}, 301, 151, {-50, -25}},
        {"window off the left of the desktop", {-1000, -50, 570, 700}, 200, 100, {-815, 250}},
        {"same size", {7, 9, 320, 200}, 320, 200, {7, 9}},
    };
    for (const Row& r : rows)
        EXPECT_EQ(centredOver(r.main, r.boxWidth, r.boxHeight), r.want) << r.name;
}

TEST(MyMessage, ShowsTheBoxCentredOverTheMainWindow) {
    GuiRig rig;
    rig.start();
    rig.form->move(200, 150);
    rig.form->show();
    QPoint boxAt;
    QSize boxSize;
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    onNextBox(
        [&](QMessageBox& box) {
            boxAt = box.frameGeometry().topLeft();
            boxSize = box.frameGeometry().size();
            title = box.windowTitle();
            text = box.text();
            icon = box.icon();
            buttons = box.standardButtons();
        },
        QMessageBox::Ok);
    const MsgResult result = rig.form->host().MyMessage("Cannot Get Setup.\nUSB port is closed.",
                                                        MsgButtons::Ok, MsgKind::Warning);
    EXPECT_EQ(result, MsgResult::Ok);
    const QRect main = rig.form->frameGeometry();
    const ScreenPoint want =
        centredOver({main.x(), main.y(), main.width(), main.height()}, boxSize.width(), boxSize.height());
    EXPECT_EQ(boxAt, QPoint(want.left, want.top));
    EXPECT_EQ(title, "Warning");
    EXPECT_EQ(text, "Cannot Get Setup.\nUSB port is closed.");
    EXPECT_EQ(icon, QMessageBox::Warning);
    EXPECT_EQ(buttons, QMessageBox::Ok);
}

TEST(MyMessage, QuestionsAnswerYesOrNo) {
    GuiRig rig;
    rig.start();
    struct Row {
        const char* name;
        QMessageBox::StandardButton press;
        MsgResult want;
    } rows[] = {{"yes", QMessageBox::Yes, MsgResult::Yes}, {"no", QMessageBox::No, MsgResult::No}};
    for (const Row& r : rows) {
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QMessageBox::StandardButtons buttons;
        QString title;
        onNextBox(
            [&](QMessageBox& box) {
                icon = box.icon();
                buttons = box.standardButtons();
                title = box.windowTitle();
            },
            r.press);
        EXPECT_EQ(confirm(rig.form->host(), "Erase ALL Recorded Data in 41700?"), r.want == MsgResult::Yes)
            << r.name;
        EXPECT_EQ(icon, QMessageBox::Question) << r.name;
        EXPECT_EQ(buttons, QMessageBox::Yes | QMessageBox::No) << r.name;
        EXPECT_EQ(title, "Confirm") << r.name;
    }
}

TEST(MyMessage, EnterAnswersNoWhereYesWouldChangeTheInstrument) {
    const struct Row {
        const char* name;
        MsgButtons buttons;
        QMessageBox::StandardButton defaultButton;  // NoButton: the box's own choice
        MsgResult enter;
    } rows[] = {
        {"overwrites the instrument", MsgButtons::YesNoDefaultNo, QMessageBox::No, MsgResult::No},
        {"changes the window only", MsgButtons::YesNo, QMessageBox::NoButton, MsgResult::Yes},
    };
    GuiRig rig;
    rig.start();
    rig.form->show();
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        QMessageBox::StandardButton shownDefault = QMessageBox::NoButton;
        whenModal<QMessageBox>(QStringLiteral("question"), [&shownDefault](QMessageBox& box) {
            shownDefault = box.standardButton(box.defaultButton());
            QTest::keyClick(&box, Qt::Key_Return);
        });
        EXPECT_EQ(rig.form->host().MyMessage("Replace all SE Zero calibration settings?", r.buttons,
                                             MsgKind::Confirmation),
                  r.enter);
        EXPECT_EQ(shownDefault, r.defaultButton);
    }
}

TEST(MyMessage, ShowsMarkupAsPlainText) {
    GuiRig rig;
    rig.start();
    Qt::TextFormat format = Qt::AutoText;
    onNextBox([&](QMessageBox& box) { format = box.textFormat(); }, QMessageBox::Ok);
    warn(rig.form->host(), "<b>CMD255</b> replied <i>oops</i>");
    EXPECT_EQ(format, Qt::PlainText);
}

}  // namespace
}  // namespace vrn::test

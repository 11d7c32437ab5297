#include "gui/app/application.h"

#include <gtest/gtest.h>

#include <QEvent>
#include <stdexcept>

#include "gui_rig.h"

namespace vrn::test {
namespace {

// An object whose handler fails the way a bug in a page would.
class Throwing : public QObject {
public:
    int calls = 0;
    bool event(QEvent* e) override {
        if (e->type() != QEvent::User) return QObject::event(e);
        if (++calls == 1) throw std::out_of_range("vector::_M_range_check: <index> 7");
        return true;
    }
};

TEST(Application, AnExceptionInAHandlerIsShownAndTheRunGoesOn) {
    ASSERT_NE(qobject_cast<gui::Application*>(QCoreApplication::instance()), nullptr);
    Throwing object;
    QString shown, title;
    Qt::TextFormat format = Qt::AutoText;
    onNextBox(
        [&](QMessageBox& box) {
            shown = box.text();
            title = box.windowTitle();
            format = box.textFormat();
        },
        QMessageBox::Ok);
    QEvent event(QEvent::User);
    EXPECT_FALSE(QCoreApplication::sendEvent(&object, &event));
    EXPECT_EQ(object.calls, 1);
    EXPECT_EQ(shown, "vector::_M_range_check: <index> 7");
    EXPECT_EQ(title, "VRNComm 3.0");
    EXPECT_EQ(format, Qt::PlainText);

    // The next event is delivered as usual.
    QEvent again(QEvent::User);
    EXPECT_TRUE(QCoreApplication::sendEvent(&object, &again));
    EXPECT_EQ(object.calls, 2);
}

}  // namespace
}  // namespace vrn::test

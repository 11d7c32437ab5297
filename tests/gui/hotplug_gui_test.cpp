// The window following the instrument being plugged in and unplugged, with a stand-in for the
// machine's device events.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTimer>

#include "core/link/exchange.h"
#include "core/link/usb_port.h"
#include "gui_rig.h"

namespace vrn::test {
namespace {

class FakeEvents final : public InstrumentEvents {};

QString statusText(gui::TFormMain& form) {
    return form.findChild<QLabel*>(QStringLiteral("StatusBar1Panel"))->text();
}

QStringList memoLines(gui::TFormMain& form) {
    return form.findChild<QPlainTextEdit*>(QStringLiteral("Memo1"))->toPlainText().split(QLatin1Char('\n'));
}

TEST(HotPlug, PluggedInOpensAndUnpluggedDuringGetSetupCloses) {
    GuiRig rig;
    FakeEvents events;
    rig.events = &events;
    rig.device.port.present = false;
    onNextBox({}, QMessageBox::Ok);
    rig.start();
    gui::TFormMain& form = *rig.form;
    ASSERT_FALSE(form.usbPort().isOpen());

    // Plugged in: opened as Reconnect opens a closed port, without its wait.
    rig.device.port.present = true;
    const int64_t before = rig.clock.nowMs();
    events.appeared();
    EXPECT_TRUE(form.usbPort().isOpen());
    EXPECT_EQ(rig.clock.nowMs(), before);
    EXPECT_EQ(statusText(form), "VARNO 41700 USB: Port Open");
    EXPECT_EQ(memoLines(form).last(), "41700 CONNECTED");
    EXPECT_EQ(rig.device.port.baud(), UsbPort::kBaudRate);
    events.appeared();
    EXPECT_EQ(rig.device.port.opens, 2) << "an open port is left alone";

    // Unplugged at the first moment Get Setup lets events through.
    size_t writtenWhenGone = 0;
    QTimer::singleShot(0, &form, [&] {
        rig.device.port.present = false;
        writtenWhenGone = rig.device.port.written.size();
        events.gone();
    });
    QString box;
    onNextBox([&](QMessageBox& b) { box = b.text(); }, QMessageBox::Ok);
    form.menu().RxSetup->trigger();
    EXPECT_FALSE(form.usbPort().isOpen());
    EXPECT_EQ(rig.device.port.closes, 1);
    EXPECT_EQ(statusText(form), "USB port closed");
    EXPECT_GT(writtenWhenGone, 0u) << "Get Setup was under way";
    EXPECT_EQ(rig.device.port.written.size(), writtenWhenGone) << "nothing sent after the unplug";
    EXPECT_EQ(memoLines(form).last(), "GET SETUP FAILED.");
    EXPECT_EQ(box, QString::fromLatin1(kCommErrorText));
    events.gone();
    EXPECT_EQ(rig.device.port.closes, 1) << "a closed port is left alone";

    // Plugged in again.
    rig.device.port.present = true;
    events.appeared();
    EXPECT_TRUE(form.usbPort().isOpen());
    EXPECT_EQ(memoLines(form).last(), "41700 CONNECTED");
}

// Unplugged and plugged in again while Get Setup lets events through: the exchange keeps the port
// to itself and fails; the instrument is opened once it has ended.
TEST(HotPlug, PluggedInDuringAnExchangeOpensAfterIt) {
    GuiRig rig;
    FakeEvents events;
    rig.events = &events;
    rig.start();
    gui::TFormMain& form = *rig.form;
    ASSERT_TRUE(form.usbPort().isOpen());
    bool openedInside = false;
    QTimer::singleShot(0, &form, [&] {
        events.gone();
        events.appeared();
        openedInside = form.usbPort().isOpen();
    });
    onNextBox({}, QMessageBox::Ok);
    form.menu().RxSetup->trigger();
    EXPECT_FALSE(openedInside);
    EXPECT_FALSE(form.usbPort().isOpen()) << "not opened under the failing exchange";
    EXPECT_EQ(memoLines(form).last(), "GET SETUP FAILED.");
    QElapsedTimer waited;
    waited.start();
    while (!form.usbPort().isOpen() && waited.elapsed() < 10 * gui::TFormMain::kPluggedRetryMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_TRUE(form.usbPort().isOpen());
    EXPECT_EQ(memoLines(form).last(), "41700 CONNECTED");
    EXPECT_EQ(statusText(form), "VARNO 41700 USB: Port Open");
}

}  // namespace
}  // namespace vrn::test

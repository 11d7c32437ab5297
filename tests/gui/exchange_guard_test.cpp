#include "gui/app/exchange_guard.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <iterator>
#include <vector>

#include "core/link/exchange.h"
#include "core/link/timer1.h"
#include "core/screens/screen_transfer.h"
#include "gui/app/qt_host.h"
#include "gui_rig.h"

namespace vrn::test {
namespace {

constexpr int kCloseDeadlineMs = 5000;

struct GuardRig : GuiRig {
    GuardRig() {
        start();
        form->show();
        form->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }
    // Every command sent starts with a purge of the port's buffers; the waits in between purge nothing.
    int commandsSent() const { return device.port.purges; }
    void pressGetSetup() { QTest::keyClick(form.get(), Qt::Key_F10, Qt::ShiftModifier); }
};

// Any box that comes up fails the test and is closed, so that nothing waits on it.
struct NoBoxes {
    QTimer poll;
    int seen = 0;
    NoBoxes() {
        poll.setInterval(5);
        QObject::connect(&poll, &QTimer::timeout, [this] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                ++seen;
                ADD_FAILURE() << "a box came up: " << modal->windowTitle().toStdString();
                forceClose(modal);
            }
        });
        poll.start();
    }
};

// Runs what at the first pump of the command started next: a posted event, which every pump
// delivers (a timer of 0 ms may miss pumps that follow each other within a millisecond).
void atFirstPump(QObject& context, std::function<void()> what) {
    QMetaObject::invokeMethod(&context, std::move(what), Qt::QueuedConnection);
}

// What the window was like while Send Screens waited for the instrument's "*".
struct DuringWait {
    bool ran = false;
    int sentBefore = 0;
    int sentAfterShortcut = 0;
    bool getSetupEnabled = true;
    bool setupPageEnabled = true;
    bool stopCalibrationAborts = false;
    bool exitEnabled = false;
    bool visibleAfterClose = false;
};

TEST(ExchangeGuard, AShortcutDuringAWaitSendsNothingAndClosingEndsTheWait) {
    GuardRig rig;
    gui::TFormMain& form = *rig.form;

    // Without an exchange running, the same shortcut does get the Setup.
    const int idle = rig.commandsSent();
    rig.pressGetSetup();
    ASSERT_GT(rig.commandsSent(), idle) << "Shift+F10 starts Get Setup when nothing else runs";
    ASSERT_TRUE(form.menu().TxScreens->isEnabled()) << "the commands are there again after Get Setup";

    // The instrument never says it is ready for the screens.
    rig.device.instrument.faults.perCommand[210] = sim::Fault::silent();
    DuringWait seen;
    atFirstPump(form, [&] {
        seen.ran = true;
        seen.getSetupEnabled = form.menu().RxSetup->isEnabled();
        seen.setupPageEnabled = form.pages().TabSheetSetup->isEnabled();
        seen.exitEnabled = form.menu().Exit1->isEnabled();
        seen.sentBefore = rig.commandsSent();
        rig.pressGetSetup();
        seen.sentAfterShortcut = rig.commandsSent();

        const bool abortedBefore = form.exchange().WaitAborted();
        form.pageControl()->setCurrentWidget(form.pages().TabSheetCalib);
        QTest::mouseClick(rig.find<QPushButton>("ButtonStopCal"), Qt::LeftButton);
        seen.stopCalibrationAborts = !abortedBefore && form.exchange().WaitAborted();
        form.close();
        seen.visibleAfterClose = form.isVisible();
    });
    NoBoxes boxes;
    const int64_t startedMs = rig.clock.nowMs();
    form.menu().TxScreens->trigger();
    const int64_t tookMs = rig.clock.nowMs() - startedMs;

    ASSERT_TRUE(seen.ran) << "the send pumped no events";
    EXPECT_EQ(seen.sentAfterShortcut, seen.sentBefore) << "Get Setup sent nothing during the wait";
    EXPECT_FALSE(seen.getSetupEnabled);
    EXPECT_FALSE(seen.setupPageEnabled);
    EXPECT_TRUE(seen.exitEnabled);
    EXPECT_TRUE(seen.stopCalibrationAborts) << "Stop Calibration stays usable";
    EXPECT_TRUE(seen.visibleAfterClose) << "the window waits for the exchange to end";
    EXPECT_LT(tookMs, screens::ScreenTransfer::kReadyTicks * Timer1::kIntervalMs)
        << "the wait ended at the close, not at its time limit";
    EXPECT_TRUE(form.findChild<QPlainTextEdit*>(QStringLiteral("Memo1"))
                    ->toPlainText()
                    .endsWith(QStringLiteral("SEND SCREENS ERROR.")));

    // Back at the window's own event loop, the window closes, after its preferences are written.
    QElapsedTimer waited;
    waited.start();
    while (form.isVisible() && waited.elapsed() < kCloseDeadlineMs)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(QFile::exists(rig.prefsPath));
    EXPECT_EQ(boxes.seen, 0);
}

TEST(ExchangeGuard, ControlsComeBackAsTheyWereAfterTheExchange) {
    GuardRig rig;
    gui::TFormMain& form = *rig.form;
    auto* stopEdit = rig.find<QPushButton>("ButtonStopEdit");
    auto* startEdit = rig.find<QPushButton>("ButtonStartEdit");
    ASSERT_FALSE(stopEdit->isEnabled());
    rig.form->pageControl()->setCurrentWidget(rig.form->pages().TabSheetScreen);
    startEdit->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), startEdit);
    bool disabledDuring = false;
    atFirstPump(form, [&] { disabledDuring = !startEdit->isEnabled(); });
    form.menu().TxScreens->trigger();
    EXPECT_TRUE(disabledDuring);
    EXPECT_TRUE(startEdit->isEnabled()) << "available again once the exchange returned";
    EXPECT_FALSE(stopEdit->isEnabled()) << "a control disabled before stays disabled";
    EXPECT_TRUE(form.menu().RxSetup->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), startEdit) << "the focus is given back";
    EXPECT_TRUE(form.isVisible());
}

// Counts a widget's switches between enabled and disabled.
struct EnabledChanges : QObject {
    int count = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::EnabledChange) ++count;
        return false;
    }
};

// The commands are switched off and on around every pump; the pages only once for the whole
// operation, as switching them at every pump repainted the whole page each time.
TEST(ExchangeGuard, PagesAreSwitchedOffOnceForAWholeOperation) {
    GuardRig rig;
    gui::TFormMain& form = *rig.form;
    QWidget* page = form.pages().TabSheetSetup;
    EnabledChanges pageChanges;
    page->installEventFilter(&pageChanges);
    int commandChanges = 0;
    QObject::connect(form.menu().RxSetup, &QAction::enabledChanged, [&] { ++commandChanges; });
    form.menu().TxSetup->trigger();
    EXPECT_GT(commandChanges, 2 * 25) << "a pump at least for each of the 25 field blocks";
    EXPECT_EQ(pageChanges.count, 2);
    EXPECT_TRUE(page->isEnabled());
    EXPECT_TRUE(form.menu().RxSetup->isEnabled());
}

// What stays usable is what the guard was given, not what carries a usable control's name: on a
// page, one given control is kept and its neighbour named like Stop Calibration is not.
TEST(ExchangeGuard, KeepsUsableTheControlsItWasGivenNotTheirNames) {
    GuardRig rig;
    gui::TFormMain& form = *rig.form;
    QWidget* page = form.pages().TabSheetSetup;
    auto* given = new QPushButton(QStringLiteral("Given"), page);
    auto* namesake = new QPushButton(QStringLiteral("Namesake"), page);
    namesake->setObjectName(QStringLiteral("ButtonStopCal"));
    form.host().guard().keepUsable(given);
    const struct {
        const char* name;
        QPushButton* control;
        bool usable;
    } rows[] = {{"given", given, true}, {"named as a usable one", namesake, false}};
    bool ran = false;
    std::vector<bool> enabledDuring;
    atFirstPump(form, [&] {
        ran = true;
        for (const auto& row : rows)
            enabledDuring.push_back(row.control->isEnabledTo(&form));
    });
    form.menu().TxScreens->trigger();
    ASSERT_TRUE(ran) << "the send pumped no events";
    for (size_t i = 0; i < std::size(rows); ++i) {
        EXPECT_EQ(enabledDuring[i], rows[i].usable) << rows[i].name;
        EXPECT_TRUE(rows[i].control->isEnabled()) << rows[i].name << ": enabled again afterwards";
    }
}
}  // namespace
}  // namespace vrn::test

#include <gtest/gtest.h>

#include <QAction>
#include <QElapsedTimer>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTabWidget>

#include "core/link/exchange.h"
#include "core/link/timer1.h"
#include "core/link/usb_port.h"
#include "gui/app/qt_host.h"
#include "gui_rig.h"
#include "timer1_countdown.h"

namespace vrn::test {
namespace {

QString statusText(gui::TFormMain& form) {
    return form.findChild<QLabel*>(QStringLiteral("StatusBar1Panel"))->text();
}

TEST(TFormMain, HasEveryPageAndControlWithItsCaptionAndPlace) {
    GuiRig rig;
    rig.start();
    gui::TFormMain& form = *rig.form;
    EXPECT_EQ(form.objectName(), "TFormMain");
    EXPECT_EQ(form.windowTitle(), "Varno 41700 VRNComm 3.0");
    ASSERT_NE(form.centralWidget(), nullptr);
    EXPECT_EQ(form.centralWidget()->width(), 570);
    EXPECT_EQ(form.centralWidget()->height() + form.statusBar()->height(), 671);
    EXPECT_EQ(form.minimumSize(), form.maximumSize()) << "the window has a fixed size";
    EXPECT_FALSE(form.windowFlags() & Qt::WindowMaximizeButtonHint);

    auto* tabs = form.findChild<QTabWidget*>(QStringLiteral("PageControlMain"));
    ASSERT_NE(tabs, nullptr);
    const struct {
        const char* name;
        const char* caption;
    } pages[] = {{"TabSheetSetup", "Setup"},          {"TabSheetScreen", "Screens"},
                 {"TabSheetUserPgm", "User Program"}, {"TabSheetRecords", "Get Records"},
                 {"TabSheetTests", "Tests"},          {"TabSheetCalib", "Calibration"}};
    ASSERT_EQ(tabs->count(), 6);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(tabs->widget(i)->objectName(), pages[i].name);
        EXPECT_EQ(tabs->tabText(i), pages[i].caption) << pages[i].name;
    }
    EXPECT_EQ(tabs->currentWidget()->objectName(), "TabSheetCalib");
    EXPECT_EQ(form.pages().TabSheetRecords, tabs->widget(3));

    const struct {
        const char* name;
        QRect geometry;
    } places[] = {{"PageControlMain", {13, 8, 541, 385}},
                  {"ProgressBar", {13, 399, 541, 17}},
                  {"Memo1", {13, 424, 541, 201}},
                  {"ButtonClearMemo", {8, 630, 537, 21}}};
    for (const auto& p : places) {
        auto* w = form.centralWidget()->findChild<QWidget*>(QString::fromLatin1(p.name));
        ASSERT_NE(w, nullptr) << p.name;
        EXPECT_EQ(w->geometry(), p.geometry) << p.name;
    }
    auto* bar = form.findChild<QProgressBar*>(QStringLiteral("ProgressBar"));
    EXPECT_EQ(bar->minimum(), 0);
    EXPECT_EQ(bar->maximum(), 100);
    auto* memo = form.findChild<QPlainTextEdit*>(QStringLiteral("Memo1"));
    EXPECT_FALSE(memo->isReadOnly());
    EXPECT_FALSE(memo->focusPolicy() & Qt::TabFocus);
    EXPECT_EQ(form.findChild<QPushButton*>(QStringLiteral("ButtonClearMemo"))->text(), "Clear Message Area");
    EXPECT_EQ(form.findChild<QStatusBar*>(QStringLiteral("StatusBar1"))->height(), 19);
}

TEST(TFormMain, HasTheWholeMenuTree) {
    GuiRig rig;
    rig.start();
    gui::TFormMain& form = *rig.form;
    struct Row {
        const char* parent;  // the menu that holds the item
        const char* name;
        const char* caption;
        QKeySequence shortcut;
        const char* hint;
    };
    const Row rows[] = {
        {"MainMenu1", "File1", "&File", {}, ""},
        {"File1", "OpenGroup", "&Open Setup/Screens/Pgm from File...", QKeySequence("Ctrl+O"),
         "Open a collection of Setup, Screen, and Program Files."},
        {"File1", "SaveGroup", "&Save Setup/Screens/Pgm to File...", QKeySequence("Ctrl+S"),
         "Save a collection of Setup, Screen, and Program Files."},
        {"File1", "IndividualOpenSave1", "&Individual Open/Save Files", {}, ""},
        {"IndividualOpenSave1", "OpenSetupFile", "Open Setup File...", {}, ""},
        {"IndividualOpenSave1", "OpenScreenFile", "Open Screen File...", {}, ""},
        {"IndividualOpenSave1", "OpenPgmFile", "Open User Pgm File...", {}, ""},
        {"IndividualOpenSave1", "SaveSetupFile", "Save Setup File...", {}, ""},
        {"IndividualOpenSave1", "SaveScreenFile", "Save Screen File...", {}, ""},
        {"IndividualOpenSave1", "SavePgmFile", "Save User Pgm File...", {}, ""},
        {"File1", "RecentFiles1", "&Recent Files", {}, ""},
        {"File1", "PrintProgram1", "&Print...", QKeySequence("Ctrl+P"), ""},
        {"File1", "ReconnectUSB", "Reconnect &USB", QKeySequence("Ctrl+U"), ""},
        {"File1", "FirmwareUpdate1", "&Firmware Update...", {}, ""},
        {"File1", "AllowCalibration", "Cali&bration Enable...", {}, ""},
        {"File1", "Exit1", "E&xit", {}, ""},
        {"MainMenu1", "Edit1", "Edi&t", {}, ""},
        {"Edit1", "Undo1", "&Undo", QKeySequence("Ctrl+Z"), ""},
        {"Edit1", "Redo1", "&Redo", QKeySequence("Ctrl+Shift+Z"), ""},
        {"MainMenu1", "Commands1", "&Commands", {}, ""},
        {"Commands1", "GetCollection1", "&Get Setup/Screens/Pgm from 41700", QKeySequence("Ctrl+Alt+G"), ""},
        {"Commands1", "SendCollection1", "&Send Setup/Screens/Pgm to 41700", QKeySequence("Ctrl+Alt+S"), ""},
        {"Commands1",
         "CheckUserProgram1",
         "Check &User Program",
         {},
         "Check the user program before it is sent."},
        {"Commands1", "NextFinding1", "&Next Finding", QKeySequence("F8"),
         "Select the next finding of the last check in the program tree."},
        {"Commands1", "SpecialCommands1", "Special &Commands", {}, ""},
        {"SpecialCommands1", "IndividualGetSendCommands1", "&Individual Get/Send Commands", {}, ""},
        {"IndividualGetSendCommands1", "RxSetup", "Get Setup", QKeySequence("Shift+F10"), ""},
        {"IndividualGetSendCommands1", "RxScreens", "Get Screens", QKeySequence("Shift+F11"), ""},
        {"IndividualGetSendCommands1", "RxProgram", "Get User Program", QKeySequence("Shift+F12"), ""},
        {"IndividualGetSendCommands1", "TxSetup", "Send Setup", QKeySequence("Ctrl+F10"), ""},
        {"IndividualGetSendCommands1", "TxScreens", "Send Screens", QKeySequence("Ctrl+F11"), ""},
        {"IndividualGetSendCommands1", "TxUserProgram", "Send User Program", QKeySequence("Ctrl+F12"), ""},
        {"SpecialCommands1", "EraseRecords1", "&Erase Records", {}, ""},
        {"MainMenu1", "Help1", "&Help", {}, ""},
        {"Help1", "About1", "&About...", {}, ""},
        {"PopupMenu1", "Cut1", "Cu&t", QKeySequence("Ctrl+X"), ""},
        {"PopupMenu1", "Copy1", "&Copy", QKeySequence("Ctrl+C"), ""},
        {"PopupMenu1", "Paste1", "&Paste", QKeySequence("Ctrl+V"), ""},
        {"PopupMenu1", "Delete1", "&Delete", QKeySequence("Ctrl+Del"), ""},
        {"PopupMenu1", "Undo1", "&Undo", QKeySequence("Ctrl+Z"), ""},
        {"PopupMenu1", "Redo1", "&Redo", QKeySequence("Ctrl+Shift+Z"), ""},
    };
    // Nothing to paste, to undo or redo, and no recent file yet.
    const QStringList disabled = {"Paste1", "RecentFiles1", "Undo1", "Redo1"};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        auto* action = form.findChild<QAction*>(QString::fromLatin1(r.name));
        ASSERT_NE(action, nullptr);
        EXPECT_EQ(action->text(), r.caption);
        EXPECT_EQ(action->shortcut(), r.shortcut);
        EXPECT_EQ(action->statusTip(), r.hint);
        // The item sits in the menu the tree puts it in.
        QWidget* holder = form.findChild<QWidget*>(QString::fromLatin1(r.parent));
        ASSERT_NE(holder, nullptr) << r.parent;
        EXPECT_TRUE(holder->actions().contains(action)) << "not in " << r.parent;
        EXPECT_EQ(action->isEnabled(), !disabled.contains(QString::fromLatin1(r.name)));
    }
    // Separators, in the places of the tree.
    const auto separatorsBefore = [&](const char* menu) {
        QStringList names;
        for (QAction* a : form.findChild<QMenu*>(QString::fromLatin1(menu))->actions())
            if (a->isSeparator())
                names << QStringLiteral("-");
            else
                names << a->objectName();
        return names.join(u' ');
    };
    EXPECT_EQ(
        separatorsBefore("File1"),
        "OpenGroup SaveGroup IndividualOpenSave1 RecentFiles1 - PrintProgram1 - ReconnectUSB FirmwareUpdate1 "
        "AllowCalibration - Exit1");
    EXPECT_EQ(separatorsBefore("IndividualOpenSave1"),
              "OpenSetupFile OpenScreenFile OpenPgmFile - SaveSetupFile SaveScreenFile SavePgmFile");
    EXPECT_EQ(separatorsBefore("Commands1"),
              "GetCollection1 SendCollection1 - CheckUserProgram1 NextFinding1 - SpecialCommands1");
    EXPECT_EQ(separatorsBefore("IndividualGetSendCommands1"),
              "RxSetup RxScreens RxProgram - TxSetup TxScreens TxUserProgram");
    EXPECT_EQ(form.menu().RxSetup->objectName(), "RxSetup");
    EXPECT_EQ(form.popupMenu().Delete1->objectName(), "Delete1");
}

TEST(TFormMain, TimerTicksFollowTheClockAndRunTheTickHandlers) {
    GuiRig rig;
    rig.start();
    gui::TFormMain& form = *rig.form;
    int ticks = 0;
    std::vector<int> ticksSeenByHandler;
    form.addTickHandler([&] {
        ++ticks;
        ticksSeenByHandler.push_back(form.timer().TimeoutTicks());
    });
    Timer1Countdown::arm(form.timer(), 2);
    form.host().pump();
    EXPECT_EQ(ticks, 0) << "no half-second has passed on the clock";
    rig.clock.advanceUs(499000);
    form.host().pump();
    EXPECT_EQ(ticks, 0);
    rig.clock.advanceUs(1000);
    form.host().pump();
    EXPECT_EQ(ticks, 1);
    rig.clock.advanceUs(2000000);
    form.host().pump();
    EXPECT_EQ(ticks, 2) << "one tick however long since the last, like a window timer";
    rig.clock.advanceUs(499000);
    form.host().pump();
    EXPECT_EQ(ticks, 2) << "the next tick comes a full interval after the late one";
    rig.clock.advanceUs(1000);
    form.host().pump();
    EXPECT_EQ(ticks, 3);
    form.host().pump();
    EXPECT_EQ(form.timer().TimeoutTicks(), 0) << "never below 0";
    EXPECT_EQ(ticksSeenByHandler, (std::vector<int>{2, 1, 0})) << "handlers run before the countdown";

    form.timer().setEnabled(false, rig.clock.nowMs());
    rig.clock.advanceUs(5000000);
    Timer1Countdown::arm(form.timer(), 3);
    form.host().pump();
    EXPECT_EQ(ticks, 3) << "a switched-off timer does not tick";
    EXPECT_EQ(form.timer().TimeoutTicks(), 3);
}

TEST(TFormMain, TheWindowsTimerTicksWithoutAnyPump) {
    GuiRig rig;
    rig.start();
    int ticks = 0;
    rig.form->addTickHandler([&] { ++ticks; });
    rig.clock.advanceUs(1200000);  // two half-seconds have passed on the clock
    // Only the event loop runs now: the 500 ms window timer catches Timer1 up with the clock,
    // with one tick, not the two that passed.
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 1200)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    EXPECT_EQ(ticks, 1);
}

TEST(TFormMain, MenuHintsCoverThePortStateOnlyWhileShown) {
    GuiRig rig;
    rig.start();
    rig.form->show();
    QStatusBar* bar = rig.form->statusBar();
    auto* panel = rig.form->findChild<QLabel*>(QStringLiteral("StatusBar1Panel"));
    rig.form->menu().OpenGroup->showStatusText(rig.form.get());
    EXPECT_EQ(bar->currentMessage(), "Open a collection of Setup, Screen, and Program Files.");
    EXPECT_FALSE(panel->isVisible());
    QStatusTipEvent leave{QString()};
    QCoreApplication::sendEvent(rig.form.get(), &leave);
    EXPECT_EQ(bar->currentMessage(), "");
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(statusText(*rig.form), "VARNO 41700 USB: Port Open");
}

TEST(TFormMain, StartUpOpensThePortAndShutdownClosesItOnce) {
    GuiRig rig;
    rig.start();
    EXPECT_TRUE(rig.form->usbPort().isOpen());
    EXPECT_EQ(rig.device.port.opens, 1);
    EXPECT_EQ(statusText(*rig.form), "VARNO 41700 USB: Port Open");
    rig.form->findChild<QAction*>(QStringLiteral("Exit1"))->trigger();
    EXPECT_EQ(rig.device.port.closes, 1);
    EXPECT_FALSE(rig.form->usbPort().isOpen());
    rig.form.reset();
    EXPECT_EQ(rig.device.port.closes, 1) << "destruction after the close does not close again";
}

TEST(TFormMain, StartUpWithoutTheInstrumentWarnsBeforeTheWindowIsShown) {
    GuiRig rig;
    rig.device.port.present = false;
    QString boxText;
    bool windowVisibleDuringBox = true;
    onNextBox(
        [&](QMessageBox& box) {
            boxText = box.text();
            auto* form = qobject_cast<gui::TFormMain*>(box.parentWidget());
            windowVisibleDuringBox = form && form->isVisible();
        },
        QMessageBox::Ok);
    rig.start();
    EXPECT_EQ(boxText, "Cannot open VARNO 41700 USB port.");
    EXPECT_TRUE(rig.form->findChild<QPlainTextEdit*>(QStringLiteral("Memo1"))
                    ->toPlainText()
                    .endsWith(gui::TFormMain::kTryWithoutText))
        << "the message area says how to go on without an instrument";
    EXPECT_FALSE(windowVisibleDuringBox);
    EXPECT_FALSE(rig.form->usbPort().isOpen());
    EXPECT_EQ(statusText(*rig.form), "USB port closed");

    rig.form->close();
    EXPECT_EQ(rig.device.port.closes, 0) << "exit with the port closed closes nothing";
    EXPECT_TRUE(QFile::exists(rig.prefsPath)) << "but writes the preferences";
}

TEST(TFormMain, ReconnectUsbReopensWithTheHourglass) {
    GuiRig rig;
    rig.start();
    const int64_t before = rig.clock.nowMs();
    rig.form->menu().ReconnectUSB->trigger();
    EXPECT_EQ(rig.device.port.resets, 1);
    EXPECT_EQ(rig.device.port.closes, 1);
    EXPECT_EQ(rig.device.port.opens, 2);
    EXPECT_EQ(rig.clock.nowMs() - before, UsbPort::kReopenWaitMs);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the hourglass is gone again";
    EXPECT_EQ(statusText(*rig.form), "VARNO 41700 USB: Port Open");
}

TEST(TFormMain, MessageAreaAppendsAndClears) {
    GuiRig rig;
    rig.start();
    Host& host = rig.form->host();
    auto* memo = rig.form->findChild<QPlainTextEdit*>(QStringLiteral("Memo1"));
    host.appendLine("GET SETUP...");
    host.appendLine("ERASING");
    host.appendText("!!");
    host.appendText("!");
    EXPECT_EQ(memo->toPlainText(), "GET SETUP...\nERASING!!!");
    host.setProgressMax(100);
    host.setProgress(40);
    auto* bar = rig.form->findChild<QProgressBar*>(QStringLiteral("ProgressBar"));
    EXPECT_EQ(bar->value(), 40);
    host.setProgress(250);
    EXPECT_EQ(bar->value(), 100) << "a position past the end stops the bar at its end";
    rig.form->findChild<QPushButton*>(QStringLiteral("ButtonClearMemo"))->click();
    EXPECT_EQ(memo->toPlainText(), "");
}

// A transfer sets the bar for every byte: it follows at most once a frame, but its ends at once,
// and a pump in a wait shows where it stopped.
TEST(TFormMain, ProgressBarFollowsOnceAFrameAndShowsItsEndsAtOnce) {
    GuiRig rig;
    rig.start();
    Host& host = rig.form->host();
    auto* bar = rig.form->findChild<QProgressBar*>(QStringLiteral("ProgressBar"));
    constexpr int64_t kFrameUs = gui::QtHost::kProgressFrameUs;
    host.setProgressMax(1000);
    struct Step {
        int64_t afterUs;  // virtual time passed before the step
        int position;     // -1: a pump instead of a position
        int shown;
    };
    const Step steps[] = {
        {0, 1, 1}, {0, 2, 1},       {0, -1, 1},     {kFrameUs - 1, 3, 1}, {1, -1, 3},
        {0, 4, 3}, {0, 1000, 1000}, {0, 999, 1000}, {kFrameUs, 998, 998}, {0, 0, 0},
    };
    for (const Step& step : steps) {
        rig.clock.advanceUs(step.afterUs);
        if (step.position < 0)
            host.pump();
        else
            host.setProgress(step.position);
        EXPECT_EQ(bar->value(), step.shown) << "after " << step.position;
    }
}

}  // namespace
}  // namespace vrn::test

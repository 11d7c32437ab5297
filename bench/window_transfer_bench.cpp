// The transfers as the window runs them, from its menu commands and Get Records button, in real time over a
// pty to vrncomm-sim, against the protocol's floor for each (as transfer_bench adds it up). The window lets
// its events run whenever a transfer waits, repaints its message area and progress bar and fills its pages,
// which the command-line tool does not: this is what the technician at the window waits for. Offscreen.
// Prints two "row" lines per transfer (median of a few runs); asserts nothing.
//   window_transfer_bench [RUNS] [NAME...]     (3 runs; only the transfers named, e.g. "Send Screens")
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "bare_pty.h"
#include "core/link/usb_port.h"
#include "core/setup/setup_model.h"
#include "gui/app/form_main.h"
#include "gui/setup/setup_section.h"
#include "ports/port_factory.h"
#include "sim/instrument.h"
#include "sim_process.h"
#include "transfer_floor.h"

namespace {
constexpr int kRecords = 10000;
}  // namespace

int main(int argc, char** argv) {
    using namespace vrn;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    double load[3] = {};
    if (getloadavg(load, 3) == 3) std::printf("load average %.2f %.2f %.2f\n", load[0], load[1], load[2]);

    const bench::BarePtyCosts pty = bench::measureBarePty(sim::Instrument::kReplyLatencyUs, 300, 2000);
    if (!pty.ok) {
        std::fprintf(stderr, "window_transfer_bench: the bare pty could not be measured\n");
        return 1;
    }
    test::SimProcess sim;
    if (sim.path().empty()) {
        std::fprintf(stderr, "window_transfer_bench: vrncomm-sim did not start: %s\n",
                     sim.errorText().c_str());
        return 1;
    }
    bench::Floor floor;
    bench::FloorClock clock{floor};
    std::unique_ptr<Port> serial = makeHardwarePort(sim.path());
    bench::FloorPort port{*serial, floor};
    QTemporaryDir dir;
    gui::TFormMain form(clock, port, dir.path() + QStringLiteral("/vrncomm.ini"));
    form.show();
    QCoreApplication::processEvents();
    if (!form.usbPort().isOpen()) {
        std::fprintf(stderr, "window_transfer_bench: cannot open %s\n", sim.path().c_str());
        return 1;
    }
    auto* messages = form.findChild<QPlainTextEdit*>(QStringLiteral("Memo1"));

    // What a transfer asks (Get Records: its notice, the question about showing that many, the file
    // to write) is answered as a user would, within a few milliseconds, which the figure holds and
    // the floor does not; any other box fails the transfer.
    int asked = 0;
    bool unexpected = false;
    QString recordsPath;
    QTimer boxes;
    boxes.setInterval(2);
    QObject::connect(&boxes, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr) return;
        ++asked;
        if (auto* dialog = qobject_cast<QFileDialog*>(modal); dialog && !recordsPath.isEmpty()) {
            dialog->selectFile(recordsPath);
            QMetaObject::invokeMethod(dialog, "accept");
        } else if (auto* box = qobject_cast<QMessageBox*>(modal); box && !recordsPath.isEmpty()) {
            QAbstractButton* yes = box->button(QMessageBox::Yes);
            (yes ? yes : box->button(QMessageBox::Ok))->click();
        } else {
            unexpected = true;
            std::printf("  a box came up: %s\n", qPrintable(modal->windowTitle()));
            modal->close();
        }
    });
    boxes.start();

    struct Transfer {
        const char* name;
        std::function<void()> run;
        const char* lastLine;  // the message area's last line when it went well
        int questions = 0;     // boxes and dialogs it asks
        bool send = false;     // timed until the line has carried it
        std::function<void()> prepare = [] {};
    };
    const gui::MainMenuItems& menu = form.menu();
    const auto command = [](QAction* action) { return [action] { action->trigger(); }; };
    auto* getRecords = form.findChild<QPushButton*>(QStringLiteral("ButtonGetRecords"));
    // Each send sends back what the get before it read.
    const std::vector<Transfer> transfers = {
        {"Get Setup, in the window", command(menu.RxSetup), "FINISHED GETTING SETUP."},
        {"Send Setup, in the window", command(menu.TxSetup), "FINISHED SENDING SETTINGS.", 0, true},
        {"Get Screens, in the window", command(menu.RxScreens), "FINISHED GETTING SCREENS."},
        {"Send Screens, in the window", command(menu.TxScreens), "FINISHED SENDING SCREENS.", 0, true},
        {"Get User Program, in the window", command(menu.RxProgram), "FINISHED GETTING USER PROGRAM."},
        {"Send User Program, in the window", command(menu.TxUserProgram), "FINISHED SENDING USER PROGRAM.", 0,
         true},
        // 10,000 records of 25 fields, shown, from the Get Records page, as in transfer_bench.
        {"Get Records, in the window", [getRecords] { getRecords->click(); }, "FINISHED", 3, false,
         [&] {
             form.setupSection().model().setFieldsPerRecord(25);
             menu.TxSetup->trigger();
             form.findChild<QSpinBox*>(QStringLiteral("CSpinEditNumOfRecs"))->setValue(kRecords);
             form.findChild<QCheckBox*>(QStringLiteral("CheckBoxShowRecs"))->setChecked(true);
             form.pageControl()->setCurrentWidget(form.pages().TabSheetRecords);
         }},
    };
    const std::vector<std::string> only(argv + std::min(argc, 2), argv + argc);
    for (const Transfer& t : transfers) {
        const std::string plain = std::string(t.name).substr(0, std::string(t.name).find(','));
        if (!only.empty() && std::find(only.begin(), only.end(), plain) == only.end()) continue;
        bench::Row row{t.name, {}, {}, {}, false};
        for (int i = 0; i < runs && !row.failed; ++i) {
            t.prepare();
            recordsPath = t.questions > 0 ? dir.filePath(QStringLiteral("records-%1.txt").arg(i)) : QString();
            // No user clicks again at once, and the window's events wait.
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            QCoreApplication::processEvents();
            floor = bench::Floor{};
            asked = 0;
            unexpected = false;
            const int64_t start = clock.nowUs();
            t.run();
            const bool carried = !t.send || bench::lineCarried(port);
            const int64_t tookUs = clock.nowUs() - start;
            const QString text = messages->toPlainText();
            row.failed = !carried || unexpected || asked != t.questions ||
                         !text.endsWith(QString::fromLatin1(t.lastLine));
            if (row.failed)
                std::printf("  %s: %d asked, %s\n", t.name, asked,
                            qPrintable(text.section(QLatin1Char('\n'), -1)));
            row.add(tookUs, floor, 0, pty);
        }
        bench::printRow(row);
        std::fflush(stdout);
    }
    form.close();
    return 0;
}

// The transfers as the window runs them, from its menu commands, in real time over a pty to
// vrncomm-sim, against the protocol's floor for each (as transfer_bench adds it up). The window
// lets its events run whenever a transfer waits, repaints its message area and progress bar and
// fills its pages, which the command-line tool does not: this is what the technician at the
// window waits for. Offscreen. Prints two "row" lines per transfer (median of a few runs); asserts
// nothing.
//   window_transfer_bench [RUNS] [NAME...]     (3 runs; only the transfers named, e.g. "Send Screens")
#include <QAction>
#include <QApplication>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "bare_pty.h"
#include "core/link/usb_port.h"
#include "gui/app/form_main.h"
#include "ports/port_factory.h"
#include "sim/instrument.h"
#include "sim_process.h"
#include "transfer_floor.h"

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

    // A box would wait for a click that never comes: it is closed and the transfer counted failed.
    bool boxCameUp = false;
    QTimer boxes;
    boxes.setInterval(50);
    QObject::connect(&boxes, &QTimer::timeout, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            boxCameUp = true;
            std::printf("  a box came up: %s\n", qPrintable(modal->windowTitle()));
            modal->close();
        }
    });
    boxes.start();

    struct Transfer {
        const char* name;
        QAction* command;
        const char* lastLine;  // the message area's last line when it went well
    };
    const gui::MainMenuItems& menu = form.menu();
    // Each send sends back what the get before it read.
    const std::vector<Transfer> transfers = {
        {"Get Setup, in the window", menu.RxSetup, "FINISHED GETTING SETUP."},
        {"Send Setup, in the window", menu.TxSetup, "FINISHED SENDING SETTINGS."},
        {"Get Screens, in the window", menu.RxScreens, "FINISHED GETTING SCREENS."},
        {"Send Screens, in the window", menu.TxScreens, "FINISHED SENDING SCREENS."},
        {"Get User Program, in the window", menu.RxProgram, "FINISHED GETTING USER PROGRAM."},
        {"Send User Program, in the window", menu.TxUserProgram, "FINISHED SENDING USER PROGRAM."},
    };
    const std::vector<std::string> only(argv + std::min(argc, 2), argv + argc);
    for (const Transfer& t : transfers) {
        const std::string plain = std::string(t.name).substr(0, std::string(t.name).find(','));
        if (!only.empty() && std::find(only.begin(), only.end(), plain) == only.end()) continue;
        bench::Row row{t.name, {}, {}, {}, false};
        for (int i = 0; i < runs && !row.failed; ++i) {
            // A send returns with its last bytes still in the pty, and the window's events wait.
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            QCoreApplication::processEvents();
            floor = bench::Floor{};
            boxCameUp = false;
            const int64_t start = clock.nowUs();
            t.command->trigger();
            const int64_t tookUs = clock.nowUs() - start;
            const QString text = messages->toPlainText();
            row.failed = boxCameUp || !text.endsWith(QString::fromLatin1(t.lastLine));
            if (row.failed)
                std::printf("  %s: %s\n", t.name, qPrintable(text.section(QLatin1Char('\n'), -1)));
            row.ms.push_back(static_cast<double>(tookUs) / 1000.0);
            row.floorMs.push_back(static_cast<double>(floor.totalUs(0)) / 1000.0);
            row.ptyFloorMs.push_back(row.floorMs.back() +
                                     (floor.turnarounds * pty.turnaroundUs + floor.writeCalls * pty.writeUs) /
                                         1000.0);
        }
        bench::printRow(row);
        std::fflush(stdout);
    }
    form.close();
    return 0;
}

// Every instrument transfer in real time over a pty to vrncomm-sim, against the floor the protocol
// itself sets for it: the pacing steps and mandated pauses the transfer takes, plus the wire time of
// the bytes the instrument sends, plus the instrument's own reply latency and work. The floor is added up as
// the transfer runs, from what it actually sent, waited and read, so it follows retries and sizes without a
// separate model. Over a pty part of any transfer's time is the pty's own: each turnaround (the PC
// waiting for an answer) and each write call costs what it costs two bare threads talking through a
// pty, measured first in the same run. Prints two "row" lines per transfer (median of a few runs),
// against the protocol's floor and against that floor plus the pty's own costs; asserts nothing.
//   transfer_bench [RUNS] [RECORDS] [NAME...]   (only the transfers named, e.g. "Send Screens")
#include <QCoreApplication>
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
#include "core/link/exchange.h"
#include "core/link/usb_port.h"
#include "core/program/program_model.h"
#include "core/program/program_transfer.h"
#include "core/records/record_erase.h"
#include "core/records/record_retrieval.h"
#include "core/screens/pixel_sink.h"
#include "core/screens/screen_drawing.h"
#include "core/screens/screen_editor.h"
#include "core/screens/screen_store.h"
#include "core/screens/screen_transfer.h"
#include "core/setup/setup_model.h"
#include "core/setup/setup_transfer.h"
#include "core/workspace/whole_transfer.h"
#include "memory_file_store.h"
#include "ports/port_factory.h"
#include "ports/real_clock.h"
#include "recording_host.h"
#include "sim/instrument.h"
#include "sim/records_commands.h"
#include "sim_process.h"
#include "transfer_floor.h"

namespace {

using namespace vrn;
using bench::Floor;
using bench::FloorClock;
using bench::FloorPort;
using bench::Row;

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    const auto recordCount = static_cast<uint32_t>(argc > 2 ? std::max(1, std::atoi(argv[2])) : 10000);
    double load[3] = {};
    if (getloadavg(load, 3) == 3) std::printf("load average %.2f %.2f %.2f\n", load[0], load[1], load[2]);

    const bench::BarePtyCosts pty = bench::measureBarePty(sim::Instrument::kReplyLatencyUs, 300, 2000);
    if (!pty.ok) {
        std::fprintf(stderr, "transfer_bench: the bare pty could not be measured\n");
        return 1;
    }
    std::printf("bare pty: a turnaround %.0f us over the reply latency, a one-byte write call %.1f us\n",
                pty.turnaroundUs, pty.writeUs);

    test::SimProcess sim;
    if (sim.path().empty()) {
        std::fprintf(stderr, "transfer_bench: vrncomm-sim did not start: %s\n", sim.errorText().c_str());
        return 1;
    }
    Floor floor;
    FloorClock clock{floor};
    test::RecordingHost host{clock};
    std::unique_ptr<Port> serial = makeHardwarePort(sim.path());
    FloorPort port{*serial, floor};
    UsbPort usb{port, host};
    usb.OpenUsbPort();
    if (!usb.isOpen()) {
        std::fprintf(stderr, "transfer_bench: cannot open %s\n", sim.path().c_str());
        return 1;
    }
    Exchange ex{usb, host};

    setup::SetupModel setupModel;
    setupModel.setUsePcTime(false);
    setup::SetupTransfer setupTransfer{ex, setupModel};
    screens::ScreenStore store;
    screens::PixelBuffer image{screens::kPictureWidth, screens::kScreenImageHeight};
    screens::ScreenDisplay display{store, image};
    screens::ScreenEditor editor{display, host};
    screens::ScreenTransfer screenTransfer{ex, display, editor};
    ProgramModel program;
    program::ProgramTransfer programTransfer{ex, program};
    test::MemoryFileStore files;
    records::RecordRetrieval retrieval{setupTransfer, files};
    workspace::Transfers whole{setupTransfer, screenTransfer, programTransfer};

    // run returns failed, as the transfers do; prepare (untimed) returns failed too;
    // instrumentUs is the instrument's own work after the last command, which the floor holds too.
    struct Transfer {
        const char* name;
        std::function<bool()> run;
        int64_t instrumentUs = 0;
        std::function<bool()> prepare = [] { return false; };
    };
    // A send is timed until the line has carried it.
    const auto sent = [&port](std::function<bool()> send) {
        return [&port, send] { return send() || !bench::lineCarried(port); };
    };
    const std::vector<Transfer> transfers = {
        // Send Setup sends back what Get Setup read.
        {"Get Setup", [&] { return !setupTransfer.GetUserSettings().ok(); }},
        {"Send Setup", sent([&] { return !setupTransfer.SendUserSettings().ok(); })},
        {"Get Screens", [&] { return !screenTransfer.GetUserScreens().ok(); }},
        {"Send Screens", sent([&] { return !screenTransfer.SendUserScreens().ok(); })},
        {"Get User Program", [&] { return !programTransfer.GetUserProgram().ok(); }},
        {"Send User Program", sent([&] { return !programTransfer.SendUserProgram().ok(); })},
        // 25 fields a record on the instrument first, so every record is 100 bytes.
        {"Get Records",
         [&] {
             records::RetrievalOptions options;
             options.count = recordCount;
             options.path = "records.txt";
             return !retrieval.ButtonGetRecordsClick(options).ok();
         },
         0,
         [&] {
             setupModel.setFieldsPerRecord(25);
             return !setupTransfer.SendUserSettings().ok();
         }},
        // The workspace's Get and Send of Setup, Screens and Program, without a window's pages.
        {"Whole Get", [&] { return !workspace::getAll(whole, {}).ok(); }},
        {"Whole Send", sent([&] { return !workspace::sendAll(whole, {}).ok(); })},
        // The instrument's erase itself: its progress steps come at its own pace.
        {"Erase",
         [&] {
             host.setNextAnswer(MsgResult::Yes);
             return !records::RecordErase(ex).EraseRecords1Click().ok();
         },
         static_cast<int64_t>(sim::kEraseSteps + 1) * sim::kEraseStepUs},
    };
    const std::vector<std::string> only(argv + std::min(argc, 3), argv + argc);
    for (const Transfer& t : transfers) {
        if (!only.empty() && std::find(only.begin(), only.end(), t.name) == only.end()) continue;
        Row row{t.name, {}, {}, {}, false};
        for (int i = 0; i < runs && !row.failed; ++i) {
            // No user clicks again at once.
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            row.failed = t.prepare();
            floor = Floor{};
            const int64_t start = clock.nowUs();
            host.lines.clear();
            row.failed = row.failed || t.run();
            if (row.failed)
                for (const std::string& line : host.lines)
                    std::printf("  %s: %s\n", t.name, line.c_str());
            row.add(clock.nowUs() - start, floor, t.instrumentUs, pty);
            std::printf("  %s: %d turnarounds, %d write calls\n", t.name, floor.turnarounds,
                        floor.writeCalls);
        }
        printRow(row);
        std::fflush(stdout);
    }
    usb.closeAtExit();
    return 0;
}

// Get Setup and Send Setup in real time, against the time the protocol itself mandates (the send
// routine's pacing and the fixed pauses): over a pty to vrncomm-sim through the serial backend,
// and in process on SimPort. Prints the median and best of several runs as ratios; asserts nothing.
#include <QCoreApplication>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <vector>

#include "core/link/exchange.h"
#include "core/link/usb_port.h"
#include "core/setup/setup_model.h"
#include "core/setup/setup_transfer.h"
#include "ports/port_factory.h"
#include "ports/real_clock.h"
#include "recording_host.h"
#include "sim/simulated_device.h"
#include "sim_process.h"

namespace {

using namespace vrn;

constexpr int kRuns = 5;

setup::SetupModel sampleSetup() {
    setup::SetupModel m;
    m.setUsePcTime(false);
    m.setDate("06-30-2027");
    m.setTime("08:09:10");
    m.setFieldsPerRecord(12);
    m.setInterval(10);
    return m;
}

struct Timing {
    std::vector<double> getPcMs, getMs, sendMs;
};

// Runs each transfer kRuns times on the given port; false if any run failed.
bool measure(Port& driver, Timing& t) {
    RealClock clock;
    test::RecordingHost host{clock};
    UsbPort usb{driver, host};
    usb.OpenUsbPort();
    if (!usb.isOpen()) return false;
    Exchange ex{usb, host};
    setup::SetupModel model = sampleSetup();
    setup::SetupTransfer transfer{ex, model};
    const auto timed = [&](std::vector<double>& into, const std::function<bool()>& run) {
        const int64_t start = clock.nowUs();
        const bool failed = run();
        into.push_back(static_cast<double>(clock.nowUs() - start) / 1000.0);
        return !failed;
    };
    bool ok = true;
    for (int i = 0; i < kRuns && ok; ++i) {
        ok = timed(t.sendMs, [&] { return !transfer.SendUserSettings().ok(); });
        model.setUsePcTime(true);
        ok = ok && timed(t.getPcMs, [&] { return !transfer.GetUserSettings().ok(); });
        model.setUsePcTime(false);
        ok = ok && timed(t.getMs, [&] { return !transfer.GetUserSettings().ok(); });
    }
    usb.closeAtExit();
    return ok;
}

void print(const char* what, std::vector<double> ms, double mandatedMs) {
    std::sort(ms.begin(), ms.end());
    const double median = ms[ms.size() / 2], best = ms.front();
    std::printf("  %-34s median %7.1f ms  best %7.1f ms  mandated %7.1f ms  ratio median %.2f  best %.2f\n",
                what, median, best, mandatedMs, median / mandatedMs, best / mandatedMs);
}

void report(const char* where, const Timing& t) {
    std::printf("%s (%d runs each):\n", where, kRuns);
    const setup::SetupModel m = sampleSetup();
    print("Send Setup", t.sendMs, static_cast<double>(setup::mandatedSendUs(m)) / 1000.0);
    print("Get Setup, PC time", t.getPcMs, static_cast<double>(setup::mandatedGetUs(true)) / 1000.0);
    print("Get Setup, instrument's date/time", t.getMs,
          static_cast<double>(setup::mandatedGetUs(false)) / 1000.0);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    double load[3] = {};
    if (getloadavg(load, 3) == 3) std::printf("load average %.2f %.2f %.2f\n", load[0], load[1], load[2]);

    RealClock clock;
    sim::SimulatedDevice device{clock};
    Timing inProcess;
    if (!measure(device.port, inProcess)) {
        std::fputs("setup_transfer_bench: a transfer failed on the in-process instrument\n", stderr);
        return 1;
    }
    report("In process, SimPort on the real clock", inProcess);

    test::SimProcess sim;
    if (sim.path().empty()) {
        std::fprintf(stderr, "setup_transfer_bench: vrncomm-sim did not start: %s\n",
                     sim.errorText().c_str());
        return 1;
    }
    std::unique_ptr<Port> driver = makeHardwarePort(sim.path());
    Timing pty;
    if (!measure(*driver, pty)) {
        std::fputs("setup_transfer_bench: a transfer failed over the pty\n", stderr);
        return 1;
    }
    report("Serial backend over a pty to vrncomm-sim", pty);
    return 0;
}

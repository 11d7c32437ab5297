// Record download in real time over a pty to vrncomm-sim through the serial backend: bytes per
// second against the wire's limit of 1,250,000 baud (10 bits a byte, 125,000 bytes/s). Prints the
// median and best of a few runs; asserts nothing.
#include <QCoreApplication>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "core/link/exchange.h"
#include "core/link/usb_port.h"
#include "core/records/record_retrieval.h"
#include "core/setup/setup_model.h"
#include "core/setup/setup_transfer.h"
#include "memory_file_store.h"
#include "ports/port_factory.h"
#include "ports/real_clock.h"
#include "recording_host.h"
#include "sim_process.h"

namespace {

using namespace vrn;

constexpr int kRuns = 3;
constexpr uint32_t kRecords = 4000;
constexpr double kWireBytesPerSecond = 1250000.0 / 10.0;

// Notes when the download starts and ends, from the retrieval's own lines.
struct TimingHost : test::RecordingHost {
    explicit TimingHost(Clock& clock) : RecordingHost(clock) {}
    void appendLine(std::string_view line) override {
        RecordingHost::appendLine(line);
        if (line == "DOWNLOADING RECORDS...") startUs = clock().nowUs();
        if (line.starts_with("TOTAL BYTES")) endUs = clock().nowUs();
    }
    int64_t startUs = 0, endUs = 0;
};

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    double load[3] = {};
    if (getloadavg(load, 3) == 3) std::printf("load average %.2f %.2f %.2f\n", load[0], load[1], load[2]);
    test::SimProcess sim;
    if (sim.path().empty()) {
        std::fprintf(stderr, "records_transfer_bench: vrncomm-sim did not start: %s\n",
                     sim.errorText().c_str());
        return 1;
    }
    std::unique_ptr<Port> driver = makeHardwarePort(sim.path());
    RealClock clock;
    TimingHost host{clock};
    UsbPort usb{*driver, host};
    usb.OpenUsbPort();
    if (!usb.isOpen()) return 1;
    Exchange ex{usb, host};
    setup::SetupModel model;
    setup::SetupTransfer transfer{ex, model};
    // 25 fields per record on the instrument, so every record is 100 bytes.
    model.setFieldsPerRecord(25);
    if (!transfer.SendUserSettings().ok()) {
        std::fputs("records_transfer_bench: could not set 25 fields per record\n", stderr);
        return 1;
    }
    test::MemoryFileStore files;
    records::RecordRetrieval retrieval{transfer, files};
    std::vector<double> rates;
    uint32_t bytes = 0;
    for (int i = 0; i < kRuns; ++i) {
        records::RetrievalOptions options;
        options.count = kRecords;
        options.path = "records.txt";
        const records::RetrievalResult r = retrieval.ButtonGetRecordsClick(options);
        if (!r.ok()) {
            std::fputs("records_transfer_bench: a retrieval failed\n", stderr);
            return 1;
        }
        bytes = r->totalBytes;
        rates.push_back(r->totalBytes / (static_cast<double>(host.endUs - host.startUs) / 1e6));
    }
    std::sort(rates.begin(), rates.end());
    std::printf("download of %u records x 25 fields (%u bytes), %d runs, over a pty to vrncomm-sim:\n",
                kRecords, bytes, kRuns);
    std::printf(
        "  median %.0f bytes/s  best %.0f bytes/s  wire limit %.0f bytes/s  ratio median %.3f  best %.3f\n",
        rates[rates.size() / 2], rates.back(), kWireBytesPerSecond,
        rates[rates.size() / 2] / kWireBytesPerSecond, rates.back() / kWireBytesPerSecond);
    usb.closeAtExit();
    return 0;
}

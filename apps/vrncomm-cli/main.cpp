// vrncomm-cli: VRNComm's instrument operations for shells, scripts and cron.
#include <unistd.h>

#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>
#include <algorithm>
#include <iostream>
#include <memory>

#include "cli/cli.h"
#include "cli/stop_signal.h"
#include "core/link/usb_port.h"
#include "ports/disk_file_store.h"
#include "ports/port_factory.h"
#include "ports/real_clock.h"
#include "ports/trace_file.h"
#include "ports/usb_doctor.h"
#include "sim/simulated_device.h"
#include "sim/station.h"

namespace {

// Qt's own diagnostics (such as "XDG_RUNTIME_DIR not set" when the report's fonts are set up) are
// not the tool's output, and under cron every line on stderr is mailed: only Qt's errors pass.
void keepQtDiagnosticsQuiet(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::cerr << "error: " << text.toLocal8Bit().constData() << '\n';
}

// The built-in simulated instrument behind the Port operations, owning its instrument.
class SimulatedPort final : public vrn::Port {
public:
    explicit SimulatedPort(vrn::Clock& clock) : device_(clock) {
        vrn::sim::configureStation(device_.instrument);
    }
    bool openEx(std::string_view d) override { return device_.port.openEx(d); }
    void setBaudRate(uint32_t b) override { device_.port.setBaudRate(b); }
    void setDataCharacteristics(uint8_t w, uint8_t s, uint8_t p) override {
        device_.port.setDataCharacteristics(w, s, p);
    }
    void setTimeouts(uint32_t r, uint32_t w) override { device_.port.setTimeouts(r, w); }
    void setFlowControl(uint16_t m, uint8_t on, uint8_t off) override {
        device_.port.setFlowControl(m, on, off);
    }
    void purge() override { device_.port.purge(); }
    void write(std::span<const uint8_t> b) override { device_.port.write(b); }
    vrn::ReadResult read(std::span<uint8_t> b) override { return device_.port.read(b); }
    void close() override { device_.port.close(); }
    void resetDevice() override { device_.port.resetDevice(); }

private:
    vrn::sim::SimulatedDevice device_;
};

}  // namespace

int main(int argc, char** argv) {
    qInstallMessageHandler(keepQtDiagnosticsQuiet);
    std::vector<std::string> args(argv + 1, argv + argc);
    // QSerialPort wants an application object; the report's fonts want a GUI one, which the
    // tool makes only for it, on the offscreen platform, as it never shows a window.
    std::unique_ptr<QCoreApplication> app;
    if (std::find(args.begin(), args.end(), "plot") != args.end()) {
        // The records chart is drawn by a chart view, a widget.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QApplication>(argc, argv);
    } else if (std::find(args.begin(), args.end(), "report") != args.end()) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    vrn::RealClock clock;
    vrn::DiskFileStore files;
    vrn::cli::Environment env{
        std::cout,
        std::cerr,
        isatty(STDERR_FILENO) == 1,
        clock,
        files,
        [](const vrn::cli::PortChoice& choice, vrn::Clock& clk) -> std::unique_ptr<vrn::Port> {
            switch (choice.kind) {
            case vrn::cli::PortChoice::Kind::Simulate:
                return std::make_unique<SimulatedPort>(clk);
            case vrn::cli::PortChoice::Kind::Device:
                return vrn::makeHardwarePort(choice.device);
            case vrn::cli::PortChoice::Kind::Search:
                break;
            }
            // A script must never change the wrong instrument: with several, it names one.
            return vrn::makeHardwarePort({}, vrn::SearchingPort::Several::Refuse);
        },
        [] {
            std::vector<vrn::cli::PortListing> out;
            for (const vrn::HardwarePortInfo& p : vrn::listHardwarePorts())
                out.push_back({p.name, p.description, p.isInstrument, p.serial});
            return out;
        },
        [](const std::string& path, std::string& error) -> std::unique_ptr<vrn::TraceSink> {
            return vrn::TraceFile::open(path, error);
        },
        [] {
            return vrn::diagnoseUsb(vrn::readUsbInventory(), vrn::DoctorUser::current(),
                                    vrn::UsbPort::kDescription);
        }};
    vrn::cli::installStopSignals();
    return vrn::cli::run(args, env);
}

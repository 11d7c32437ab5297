// vrncomm: the window, on the instrument found by its USB description, a named serial device,
// or the built-in simulated instrument.
#include <QCommandLineParser>
#include <QIcon>
#include <cstdio>
#include <exception>
#include <memory>
#include <new>
#include <optional>

#include "core/link/tracing_port.h"
#include "core/link/usb_port.h"
#include "gui/app/application.h"
#include "gui/app/close_after_first_paint.h"
#include "gui/app/file_names.h"
#include "gui/app/form_main.h"
#include "gui/app/preferences_file.h"
#include "ports/port_factory.h"
#include "ports/real_clock.h"
#include "ports/trace_file.h"
#include "ports/usb_hotplug_monitor.h"
#include "sim/simulated_device.h"
#include "sim/station.h"

namespace {

const QString kPortOption = QStringLiteral("port");
const QString kSimulateOption = QStringLiteral("simulate");
const QString kQuitOption = QStringLiteral("quit-after-start");
const QString kTraceOption = QStringLiteral("trace");

void describeOptions(QCommandLineParser& parser) {
    parser.setApplicationDescription(QStringLiteral("Configuration and service of the 41700 translator."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption(QCommandLineOption(
        kPortOption,
        QStringLiteral("Open the named serial device (e.g. /dev/ttyUSB0, or vrncomm-sim's pty), or the "
                       "instrument with this USB serial number (serial:FT12345), instead of searching "
                       "for the bridge described \"VARNO 41700 USB\"."),
        QStringLiteral("DEVICE")));
    parser.addOption(QCommandLineOption(
        kSimulateOption, QStringLiteral("Work with the built-in simulated instrument, without hardware.")));
    parser.addOption(QCommandLineOption(
        kTraceOption,
        QStringLiteral("Write every event of the link to FILE: each byte written and read with its time in "
                       "microseconds since the start, purges, pauses, read time-outs, opens and closes."),
        QStringLiteral("FILE")));
    parser.addOption(QCommandLineOption(
        kQuitOption,
        QStringLiteral("Start as usual, show the window, and quit as soon as its first frame is painted "
                       "(preferences are written as on any exit). For the start-up benchmark.")));
}

// --help and --version are answered before the window system is asked for a display, so they
// work anywhere. Qt's own options (-platform ...) are not known yet: the full check comes once the
// application has taken them. The exit status when the run ends here.
std::optional<int> answerWithoutWindow(QCommandLineParser& parser, int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (!parser.parse(arguments)) {
        // An unknown long option or a missing value is ours to report; single-dash words may be
        // Qt's and wait for the application.
        bool ours = parser.unknownOptionNames().isEmpty();
        for (const QString& name : parser.unknownOptionNames())
            for (const QString& a : arguments)
                ours = ours || a == "--" + name || a.startsWith("--" + name + "=");
        if (ours) {
            std::fprintf(stderr, "vrncomm: %s\n", qPrintable(parser.errorText()));
            return 2;
        }
    }
    if (parser.isSet(QStringLiteral("help"))) {
        std::fputs(qPrintable(parser.helpText().replace(QStringLiteral("<executable_name>"),
                                                        QStringLiteral("vrncomm"))),
                   stdout);
        return 0;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        std::fputs("vrncomm " VRN_VERSION "\n", stdout);
        return 0;
    }
    return std::nullopt;
}

// The port and clock the window works on, and what they are made of.
struct Link {
    std::unique_ptr<vrn::sim::SimulatedDevice> simulated;
    std::unique_ptr<vrn::Port> hardware;
    std::unique_ptr<vrn::TraceFile> trace;
    std::optional<vrn::TracingPort> tracedPort;
    std::optional<vrn::TracingClock> tracedClock;
    vrn::Port* driver = nullptr;
    vrn::Clock* clock = nullptr;
};

void chooseDriver(Link& link, vrn::RealClock& clock, const QCommandLineParser& parser, int argc,
                  char* argv[]) {
    link.clock = &clock;
    if (parser.isSet(kSimulateOption)) {
        link.simulated = std::make_unique<vrn::sim::SimulatedDevice>(clock);
        vrn::sim::configureStation(link.simulated->instrument);
        link.driver = &link.simulated->port;
    } else {
        link.hardware =
            vrn::makeHardwarePort(vrn::gui::rawOptionValue(argc, argv, "port").value_or(std::string()));
        link.driver = link.hardware.get();
    }
}

// With --trace, the port and the clock write their events into its file; false (and said why)
// when the file cannot be opened.
bool traceLink(Link& link, vrn::RealClock& clock, int argc, char* argv[]) {
    std::string error;
    // The file as named, byte for byte: the parser's text need not hold the name's bytes.
    const std::string tracePath = vrn::gui::rawOptionValue(argc, argv, "trace").value_or(std::string());
    link.trace = vrn::TraceFile::open(tracePath, error);
    if (!link.trace) {
        std::fprintf(stderr, "vrncomm: --trace %s: %s\n", tracePath.c_str(), error.c_str());
        return false;
    }
    const int64_t startUs = clock.nowUs();
    link.tracedPort.emplace(*link.driver, clock, *link.trace, startUs);
    link.tracedClock.emplace(clock, *link.trace, startUs);
    link.driver = &*link.tracedPort;
    link.clock = &*link.tracedClock;
    return true;
}

int runWindow(int argc, char* argv[]) {
    QCommandLineParser parser;
    describeOptions(parser);
    if (const std::optional<int> status = answerWithoutWindow(parser, argc, argv)) return *status;

    vrn::gui::Application app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(vrn::gui::TFormMain::kApplicationName));
    QApplication::setApplicationVersion(QStringLiteral(VRN_VERSION));
    // The installed desktop entry and icon: a Wayland desktop matches the window to its entry by
    // this name, and the icon theme holds the window's icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("vrncomm"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("vrncomm")));
    parser.process(app);
    if (parser.isSet(kPortOption) && parser.isSet(kSimulateOption)) {
        std::fputs("vrncomm: --port and --simulate exclude each other\n", stderr);
        return 2;
    }

    vrn::RealClock clock;
    Link link;
    chooseDriver(link, clock, parser, argc, argv);
    if (parser.isSet(kTraceOption) && !traceLink(link, clock, argc, argv)) return 2;

    // Only the search by description follows the instrument being plugged in and out.
    std::unique_ptr<vrn::UsbHotplugMonitor> hotplug;
    if (!parser.isSet(kSimulateOption) && !parser.isSet(kPortOption)) {
        hotplug = std::make_unique<vrn::UsbHotplugMonitor>(vrn::UsbPort::kDescription);
        if (!hotplug->start()) hotplug.reset();
    }

    vrn::gui::TFormMain window(*link.clock, *link.driver, vrn::gui::preferencesFilePath(), hotplug.get());
    if (parser.isSet(kQuitOption)) new vrn::gui::CloseAfterFirstPaint(&window);
    window.show();
    return QApplication::exec();
}

}  // namespace

// Whatever escapes the window's own handlers (memory running out at start-up, say) ends the
// program with a message and a status, never with an abort.
int main(int argc, char* argv[]) {
    try {
        return runWindow(argc, argv);
    } catch (const std::bad_alloc&) {
        std::fputs("vrncomm: out of memory\n", stderr);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vrncomm: internal error: %s\n", e.what());
    } catch (...) {
        std::fputs("vrncomm: internal error\n", stderr);
    }
    return 1;
}

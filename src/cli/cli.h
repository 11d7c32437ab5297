#pragma once

#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ports/usb_doctor.h"

namespace vrn {
class Clock;
class FileStore;
class Port;
class TraceSink;
}  // namespace vrn

namespace vrn::cli {

enum ExitCode : int {
    kExitOk = 0,
    kExitFailed = 1,   // the instrument did not answer or the transfer failed
    kExitUsage = 2,    // bad usage, a file problem, a value that cannot be sent, a refused question
    kExitDiffers = 3,  // the instrument answered and differs from the file (a diff; a send that did not take)
    kExitShortDownload = 4,  // the download was cut short; the complete records that came were kept
    kExitCheckWarnings = 5,  // check found warnings and no errors
    kExitCheckErrors = 6,    // check found errors; a send refused a program with errors (no --yes)
    kExitArchive = 7,        // the record archive could not be opened, read or written
    kExitStationUnwell = 8,  // status found a station stale or failing
    kExitInterrupted = 130,  // SIGINT ended the run (128 + the signal)
    kExitTerminated = 143,   // SIGTERM ended the run
};

// What an exit status means, in the words of the README's table ("exitMeaning" of --json).
std::string_view exitMeaning(int status);

// Which device the tool talks to.
struct PortChoice {
    enum class Kind { Search, Device, Simulate };
    Kind kind = Kind::Search;
    std::string device;
};

// Makes the driver for a choice; tests plug in a simulated instrument on virtual time.
using PortFactory = std::function<std::unique_ptr<Port>(const PortChoice&, Clock&)>;

// One serial port or FTDI bridge as the `ports` command lists it.
struct PortListing {
    std::string name;
    std::string description;
    bool isInstrument = false;
    std::string serial;  // the USB serial number, empty when unknown
};
using PortLister = std::function<std::vector<PortListing>()>;

// What the tool runs against: its streams, its clock and its devices.
struct Environment {
    std::ostream& out;
    std::ostream& err;
    bool errIsTerminal = false;
    Clock& clock;
    FileStore& files;
    PortFactory makePort;
    PortLister listPorts;
    // Opens the file of --trace; nothing, with the reason in error, when it cannot.
    std::function<std::unique_ptr<TraceSink>(const std::string& path, std::string& error)> openTrace;
    // Looks at the USB bridges, their drivers, nodes and holders for the doctor command.
    std::function<UsbDiagnosis()> diagnoseUsb;
};

// Runs one command line (without the program name); returns the exit status.
int run(const std::vector<std::string>& args, Environment& env);

}  // namespace vrn::cli

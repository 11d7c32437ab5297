#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>

#include "cli/command_definition.h"
#include "cli/session.h"

namespace vrn::cli {
namespace {

constexpr CommandText kPorts{
    "ports", "list the serial ports and FTDI bridges seen; mark the instrument's",
    "Lists every serial port and FTDI bridge this machine sees, one a line. The instrument's\n"
    "(USB description \"VARNO 41700 USB\") is marked with \"*\" and \"(41700)\".\n"
    "\n"
    "example:\n"
    "  vrncomm-cli ports\n"};

int runPorts(Session& s) {
    const std::vector<PortListing> ports = s.env.listPorts ? s.env.listPorts() : std::vector<PortListing>{};
    QJsonArray listed;
    for (const PortListing& p : ports)
        listed.append(
            QJsonObject{{"name", QString::fromStdString(p.name)},
                        {"description", QString::fromStdString(p.description)},
                        {"instrument", p.isInstrument},
                        {"usbSerial", p.serial.empty() ? QJsonValue() : QString::fromStdString(p.serial)}});
    s.result.data["ports"] = listed;
    if (ports.empty()) {
        s.host.result("NO SERIAL PORTS OR FTDI BRIDGES FOUND.");
        return kExitOk;
    }
    for (const PortListing& p : ports) {
        std::string line = p.isInstrument ? "* " : "  ";
        line += p.name;
        if (!p.description.empty()) line += "  " + p.description;
        if (p.isInstrument) line += "  (41700)";
        if (p.isInstrument && !p.serial.empty()) line += "  serial:" + p.serial;
        s.host.result(line);
    }
    return kExitOk;
}

}  // namespace

void addPortsCommand(CLI::App& app, CommandRunner& chosen) {
    runs(addCommand(app, kPorts), chosen, runPorts);
}

}  // namespace vrn::cli

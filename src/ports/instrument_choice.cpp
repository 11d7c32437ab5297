#include "ports/instrument_choice.h"

#include "ports/ftdi_port.h"
#include "ports/port_info.h"

namespace vrn {
namespace {

std::string portArgument(const AttachedInstrument& i) {
    return i.serial.empty() ? i.device : std::string(kSerialPortPrefix) + i.serial;
}

std::string listed(const AttachedInstrument& i) {
    std::string line = "  --port " + portArgument(i) + "  (" + i.device;
    if (i.serial.empty()) line += ", no USB serial number";
    return line + ", USB " + i.place + ")";
}

}  // namespace

std::string deviceName(const UsbDevice& d) {
    if (d.ttyNode) return d.ttyNode->path;
    return FtdiPort::kNamePrefix + std::to_string(d.busNumber) + ":" + std::to_string(d.deviceNumber);
}

std::string portChoiceFor(const UsbDevice& d) {
    return d.serial.empty() ? deviceName(d) : std::string(kSerialPortPrefix) + d.serial;
}

std::optional<std::string> chosenSerial(std::string_view portName) {
    if (!portName.starts_with(kSerialPortPrefix)) return std::nullopt;
    return std::string(portName.substr(kSerialPortPrefix.size()));
}

std::vector<AttachedInstrument> attachedInstruments(const UsbInventory& inventory,
                                                    std::string_view description) {
    std::vector<AttachedInstrument> attached;
    for (const UsbDevice& d : inventory.devices) {
        if (!sameDescription(d.product, description)) continue;
        attached.push_back({d.serial, deviceName(d), d.sysName});
    }
    return attached;
}

const UsbDevice* findBySerial(const UsbInventory& inventory, std::string_view serial) {
    if (serial.empty()) return nullptr;
    for (const UsbDevice& d : inventory.devices)
        if (d.serial == serial) return &d;
    return nullptr;
}

std::vector<std::string> severalInstrumentsAdvice(const std::vector<AttachedInstrument>& attached) {
    std::vector<std::string> lines{std::to_string(attached.size()) +
                                   " instruments are attached: choose one with --port"};
    for (const AttachedInstrument& i : attached)
        lines.push_back(listed(i));
    return lines;
}

std::vector<std::string> otherInstrumentsNote(const std::vector<AttachedInstrument>& attached) {
    if (attached.size() < 2) return {};
    std::vector<std::string> lines{std::to_string(attached.size()) + " INSTRUMENTS ARE ATTACHED: USING " +
                                   portArgument(attached.front()) + " (" + attached.front().device + ")."};
    std::string others = "OTHERS:";
    for (size_t i = 1; i < attached.size(); ++i)
        others.append(" ")
            .append(portArgument(attached[i]))
            .append(" (")
            .append(attached[i].device)
            .append(")");
    lines.push_back(others);
    lines.emplace_back("START WITH --port serial:NUMBER TO CHOOSE ANOTHER.");
    return lines;
}

std::vector<std::string> serialNotFoundAdvice(std::string_view serial,
                                              const std::vector<AttachedInstrument>& attached) {
    std::vector<std::string> lines{std::string(kSerialPortPrefix) + std::string(serial) +
                                   ": no USB device with this serial number is attached"};
    if (attached.empty()) return lines;
    lines.emplace_back("attached:");
    for (const AttachedInstrument& i : attached)
        lines.push_back(listed(i));
    return lines;
}

}  // namespace vrn

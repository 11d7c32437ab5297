#include "ports/port_factory.h"

#include <filesystem>

#include "core/link/usb_port.h"
#include "ports/ftdi_port.h"
#include "ports/instrument_choice.h"
#include "ports/searching_port.h"
#include "ports/serial_port.h"
#include "ports/usb_doctor.h"

namespace vrn {
namespace {

// A relative device path is the user's, from the current folder (Qt would take it from /dev).
std::string fromHere(const std::string& device) {
    if (device.starts_with('/')) return device;
    std::error_code failed;
    const std::filesystem::path absolute = std::filesystem::absolute(device, failed);
    return failed ? device : absolute.string();
}

std::vector<AttachedInstrument> attachedNow() {
    return attachedInstruments(readUsbInventory({}, false), UsbPort::kDescription);
}

}  // namespace

std::unique_ptr<Port> makeHardwarePort(const std::string& device, SearchingPort::Several several) {
    if (device.empty()) {
        std::vector<std::unique_ptr<Port>> backends;
        backends.push_back(std::make_unique<SerialPort>());
        backends.push_back(std::make_unique<FtdiPort>());
        SearchingPort::Options options;
        options.explain = [] {
            return doctorAdvice(
                diagnoseUsb(readUsbInventory(), DoctorUser::current(), UsbPort::kDescription));
        };
        options.attached = attachedNow;
        options.several = several;
        return std::make_unique<SearchingPort>(std::move(backends), std::move(options));
    }
    if (const auto serial = chosenSerial(device)) {
        // The tty where the kernel made one, else the raw bridge, looked up afresh on every open
        // (a replugged bridge may come back under another name).
        std::vector<std::unique_ptr<Port>> backends;
        backends.push_back(std::make_unique<SerialPort>(device));
        backends.push_back(std::make_unique<FtdiPort>(device));
        SearchingPort::Options options;
        options.explain = [serial = *serial] {
            const UsbInventory inventory = readUsbInventory({}, false);
            if (findBySerial(inventory, serial) == nullptr)
                return serialNotFoundAdvice(serial, attachedInstruments(inventory, UsbPort::kDescription));
            return std::vector<std::string>{
                std::string(kSerialPortPrefix) + serial +
                ": attached, but it cannot be opened (vrncomm-cli doctor tells why)"};
        };
        return std::make_unique<SearchingPort>(std::move(backends), std::move(options));
    }
    if (device.rfind(FtdiPort::kNamePrefix, 0) == 0) return std::make_unique<FtdiPort>(device);
    return std::make_unique<SerialPort>(fromHere(device));
}

std::vector<HardwarePortInfo> listHardwarePorts() {
    std::vector<HardwarePortInfo> ports = SerialPort::list();
    for (HardwarePortInfo& bridge : FtdiPort::list())
        ports.push_back(std::move(bridge));
    return ports;
}

}  // namespace vrn

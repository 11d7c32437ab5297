#include "ports/port_factory.h"

#include <filesystem>

#include "core/link/usb_port.h"
#include "ports/ftdi_port.h"
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

}  // namespace

std::unique_ptr<Port> makeHardwarePort(const std::string& device) {
    if (device.empty()) {
        std::vector<std::unique_ptr<Port>> backends;
        backends.push_back(std::make_unique<SerialPort>());
        backends.push_back(std::make_unique<FtdiPort>());
        return std::make_unique<SearchingPort>(std::move(backends), [] {
            return doctorAdvice(
                diagnoseUsb(readUsbInventory(), DoctorUser::current(), UsbPort::kDescription));
        });
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

#pragma once

#include <string>
#include <string_view>

namespace vrn {

// One serial port or FTDI bridge seen on this PC.
struct HardwarePortInfo {
    std::string name;         // device path ("/dev/ttyUSB0") or "ftdi:BUS:ADDRESS" for a raw bridge
    std::string description;  // the USB product description, as the device gives it
    bool isInstrument = false;
    std::string serial;  // the USB serial number, where the device gives one
};

// Whether two USB descriptions name the same product. udev writes the blanks as "_" and sysfs
// ends the text with a line feed, so those differences do not count.
bool sameDescription(std::string_view a, std::string_view b);

// Whether a description names the instrument's bridge.
bool describesInstrument(std::string_view description);

}  // namespace vrn

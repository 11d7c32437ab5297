#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ports/usb_inventory.h"

namespace vrn {

// A port name that chooses the instrument by its USB serial number: "serial:FT12345".
inline constexpr std::string_view kSerialPortPrefix = "serial:";

// The serial number a port name chooses by; nothing for any other name.
std::optional<std::string> chosenSerial(std::string_view portName);

// One instrument attached to this PC, as a user tells it from the others.
struct AttachedInstrument {
    std::string serial;  // empty when the bridge gives none
    std::string device;  // its tty, or "ftdi:BUS:ADDRESS" when the kernel made none
    std::string place;   // its place on the USB ("1-1.2")
};

// The instruments with this description, in the order an open by description tries them.
std::vector<AttachedInstrument> attachedInstruments(const UsbInventory& inventory,
                                                    std::string_view description);

// What opens this device by name: its tty, or "ftdi:BUS:ADDRESS" when the kernel made none.
std::string deviceName(const UsbDevice& d);
// What --port takes to choose it: "serial:NUMBER" where it has one (it stays when the device
// is plugged elsewhere), else its device name.
std::string portChoiceFor(const UsbDevice& d);

// The USB device with this serial number, whatever its description.
const UsbDevice* findBySerial(const UsbInventory& inventory, std::string_view serial);

// What to pass to --port for each instrument, one line each after a line that says why.
std::vector<std::string> severalInstrumentsAdvice(const std::vector<AttachedInstrument>& attached);
// For the message area when the first of several was taken: which one, and the others.
std::vector<std::string> otherInstrumentsNote(const std::vector<AttachedInstrument>& attached);
// Why "serial:NUMBER" found nothing to open, and what is attached instead.
std::vector<std::string> serialNotFoundAdvice(std::string_view serial,
                                              const std::vector<AttachedInstrument>& attached);

}  // namespace vrn

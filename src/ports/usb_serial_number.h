#pragma once

#include <optional>
#include <string>

namespace vrn {

// The USB serial number of the bridge behind a serial device (a /dev/serial/by-id link is
// followed); none for a device without one (a pseudo-terminal) or not seen.
std::optional<std::string> usbSerialNumberOf(const std::string& device);

}  // namespace vrn

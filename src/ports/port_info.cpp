#include "ports/port_info.h"

#include <algorithm>

#include "core/link/usb_port.h"

namespace vrn {

namespace {
std::string normalized(std::string_view description) {
    std::string text(description);
    std::replace(text.begin(), text.end(), '_', ' ');
    while (!text.empty() && (text.back() == ' ' || text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    return text;
}
}  // namespace

bool sameDescription(std::string_view a, std::string_view b) {
    return normalized(a) == normalized(b);
}

bool describesInstrument(std::string_view description) {
    return sameDescription(description, UsbPort::kDescription);
}

}  // namespace vrn

#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vrn::test {

// A tty's line settings as the kernel holds them (read with TCGETS2, so custom rates show).
struct LineSettings {
    uint32_t inputBaud = 0;
    uint32_t outputBaud = 0;
    int dataBits = 0;
    bool twoStopBits = false;
    bool parity = false;
    bool hardwareFlow = false;
    bool softwareFlow = false;
};

// Nothing when the descriptor is not a tty.
std::optional<LineSettings> readLineSettings(int fd);

}  // namespace vrn::test

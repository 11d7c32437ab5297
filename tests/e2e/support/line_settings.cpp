#include "line_settings.h"

// The kernel's own termios2: <termios.h> cannot say 1,250,000 baud.
#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace vrn::test {

std::optional<LineSettings> readLineSettings(int fd) {
    termios2 tio{};
    if (fd < 0 || ioctl(fd, TCGETS2, &tio) != 0) return std::nullopt;
    LineSettings s;
    s.inputBaud = tio.c_ispeed;
    s.outputBaud = tio.c_ospeed;
    switch (tio.c_cflag & CSIZE) {
    case CS5:
        s.dataBits = 5;
        break;
    case CS6:
        s.dataBits = 6;
        break;
    case CS7:
        s.dataBits = 7;
        break;
    default:
        s.dataBits = 8;
        break;
    }
    s.twoStopBits = (tio.c_cflag & CSTOPB) != 0;
    s.parity = (tio.c_cflag & PARENB) != 0;
    s.hardwareFlow = (tio.c_cflag & CRTSCTS) != 0;
    s.softwareFlow = (tio.c_iflag & (IXON | IXOFF)) != 0;
    return s;
}

}  // namespace vrn::test

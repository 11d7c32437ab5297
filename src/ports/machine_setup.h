#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vrn {

struct SystemRoots;

// What the machine has set up around the instrument, which the doctor reports whether or not an
// instrument is plugged in.
struct MachineSetup {
    bool usbBus = true;               // the kernel shows a USB bus (/sys/bus/usb)
    std::vector<uint32_t> seatUsers;  // the active user of each local seat (logind), whom uaccess serves
    bool brlttyInstalled = false;
    std::string brlttyFtdiRule;  // brltty's udev rule that claims FTDI bridges; empty when none does
    std::string packageRule;     // where udev reads the package's 70-vrncomm.rules; empty when nowhere
    bool ruleIgnoresModemManager = false;  // the package's rule tells ModemManager to leave the instrument
};

// Reads it from sysfs, logind's state under /run, and udev's rule folders, as udev takes them (a
// rule in /etc replaces the one of the same name in /run, /usr/local/lib and /usr/lib).
MachineSetup readMachineSetup(const SystemRoots& roots);

}  // namespace vrn

#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ports/machine_setup.h"
#include "ports/posix_acl.h"

namespace vrn {

// Where the kernel's views of the machine are mounted, and the folders of the system's settings
// (logind's state, udev's rules, installed programs); tests give folders of their own.
struct SystemRoots {
    std::string sys = "/sys";
    std::string proc = "/proc";
    std::string dev = "/dev";
    std::string run = "/run";
    std::string etc = "/etc";
    std::string usr = "/usr";
};

// A process of the machine, by its pid and its command name.
struct ProcessInfo {
    int pid = 0;
    std::string name;
};

// A device node under /dev as the file system shows it.
struct DeviceNode {
    std::string path;  // the name under /dev ("/dev/ttyUSB0"), whatever the roots
    bool exists = false;
    uint32_t uid = 0;
    uint32_t gid = 0;
    uint32_t mode = 0;                 // permission bits only
    std::optional<PosixAcl> acl;       // none when the node carries no ACL (or an unreadable one)
    std::vector<ProcessInfo> holders;  // the processes seen holding it open
};

// One interface of a USB device and the kernel driver bound to it.
struct UsbInterface {
    std::string name;    // "1-1.2:1.0"
    std::string driver;  // "ftdi_sio", "usbfs", ... or empty when none is bound
    std::string tty;     // "ttyUSB0" when the driver made a serial port of it
    std::optional<int> latencyTimerMs;
};

struct UsbDevice {
    std::string sysName;  // its place on the bus: "1-1.2"
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    std::string manufacturer;
    std::string product;  // the USB description
    std::string serial;
    int busNumber = 0;
    int deviceNumber = 0;
    std::vector<UsbInterface> interfaces;
    DeviceNode usbNode;                 // /dev/bus/usb/BBB/DDD
    std::optional<DeviceNode> ttyNode;  // the first interface's tty, when there is one

    // The interface with a tty, or else the first one; null when the device has none.
    const UsbInterface* mainInterface() const;
};

struct UsbInventory {
    std::vector<UsbDevice> devices;  // in the order of their places on the buses
    std::vector<ProcessInfo> processes;
    // False when some processes' open files could not be read (another user's, without root):
    // holders may then be missing.
    bool holdersComplete = true;
    MachineSetup machine;
};

// Reads the machine's set-up and every USB device the kernel knows from sysfs, its nodes from devfs and, with
// holders, who holds them from procfs (every process's open files: skipped where only the devices matter).
// Anything missing or unreadable is left empty; nothing outside is trusted.
UsbInventory readUsbInventory(const SystemRoots& roots = {}, bool holders = true);

// Whether sysfs names a before b ("1-2" before "1-10").
bool busOrderLess(const std::string& a, const std::string& b);

}  // namespace vrn

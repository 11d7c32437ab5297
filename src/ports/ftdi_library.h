#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace vrn {

// The libftdi1 calls FtdiPort makes, one method each, so a test can stand in for the library.
// One object is one libftdi context: it finds the bridges and drives the one it opened.
class FtdiLibrary {
public:
    // A bridge found on the USB; index is the library's own reference to it.
    struct Bridge {
        int bus = 0;
        int address = 0;
        std::string description;
        size_t index = 0;
        std::string serial;  // the USB serial number
    };

    virtual ~FtdiLibrary() = default;

    // ftdi_usb_find_all for each of the factory's product ids, with ftdi_usb_get_strings.
    virtual std::vector<Bridge> usbFindAll(uint16_t vendorId, std::span<const uint16_t> productIds) = 0;
    // ftdi_usb_open_dev, leaving a bridge that the kernel's driver holds to that driver; 0 on success.
    virtual int usbOpenDev(const Bridge& bridge) = 0;
    // Whether the bridge's node is there but this user may not open it.
    virtual bool accessDenied(const Bridge& bridge) = 0;
    virtual int setLatencyTimer(uint8_t ms) = 0;
    virtual int setBaudrate(int baud) = 0;
    virtual int setLineProperty(int bits, int stopBits, int parity) = 0;
    // The time-out of one USB read transfer (libftdi's usb_read_timeout).
    virtual void setUsbReadTimeout(int ms) = 0;
    virtual int setFlowCtrl(int mode) = 0;
    // ftdi_tcioflush: both buffers.
    virtual int tcioflush() = 0;
    virtual int writeData(std::span<const uint8_t> bytes) = 0;
    // The count read (often 0: what the bridge held), or a negative libftdi/libusb error.
    virtual int readData(std::span<uint8_t> buffer) = 0;
    virtual int usbClose() = 0;
    virtual int usbReset() = 0;

    // libusb's "no such device" and libftdi's "device unavailable": the bridge is gone.
    static bool meansGone(int error);
};

// The library itself.
std::unique_ptr<FtdiLibrary> makeLibFtdi();

}  // namespace vrn

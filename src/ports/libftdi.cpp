#include <ftdi.h>
#include <libusb.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "ports/ftdi_library.h"
#include "ports/usb_inventory.h"

namespace vrn {
namespace {

// libftdi's "usb device unavailable" from its read call.
constexpr int kFtdiUnavailable = -666;

class LibFtdi final : public FtdiLibrary {
public:
    LibFtdi() : ftdi_(ftdi_new()) {
        // A bridge that the kernel's serial driver holds belongs to whoever has its tty open: it
        // is never taken away from them.
        if (ftdi_ != nullptr) ftdi_->module_detach_mode = DONT_DETACH_SIO_MODULE;
    }
    ~LibFtdi() override {
        freeLists();
        if (ftdi_ != nullptr) ftdi_free(ftdi_);
    }
    LibFtdi(const LibFtdi&) = delete;
    LibFtdi& operator=(const LibFtdi&) = delete;

    std::vector<Bridge> usbFindAll(uint16_t vendorId, std::span<const uint16_t> productIds) override {
        freeLists();
        std::vector<Bridge> bridges;
        if (ftdi_ == nullptr) return bridges;
        const UsbInventory inventory = readUsbInventory({}, false);
        for (const uint16_t product : productIds) {
            ftdi_device_list* list = nullptr;
            if (ftdi_usb_find_all(ftdi_, &list, vendorId, product) <= 0) continue;
            lists_.push_back(list);
            for (ftdi_device_list* d = list; d != nullptr; d = d->next) {
                char description[128] = {};
                char serial[128] = {};
                Bridge b{libusb_get_bus_number(d->dev),
                         libusb_get_device_address(d->dev),
                         {},
                         devices_.size(),
                         {}};
                // Reading the strings needs the device opened, which a user without access may
                // not do; sysfs shows them to everyone.
                if (ftdi_usb_get_strings(ftdi_, d->dev, nullptr, 0, description, sizeof description, serial,
                                         sizeof serial) >= 0) {
                    b.description = description;
                    b.serial = serial;
                } else {
                    const UsbDevice* seen = sysfsDevice(inventory, b.bus, b.address);
                    if (seen != nullptr) {
                        b.description = seen->product;
                        b.serial = seen->serial;
                    }
                }
                devices_.push_back(d->dev);
                bridges.push_back(std::move(b));
            }
        }
        return bridges;
    }
    int usbOpenDev(const Bridge& bridge) override {
        if (ftdi_ == nullptr || bridge.index >= devices_.size()) return -1;
        return ftdi_usb_open_dev(ftdi_, devices_[bridge.index]);
    }
    bool accessDenied(const Bridge& bridge) override {
        char node[32];
        std::snprintf(node, sizeof node, "/dev/bus/usb/%03d/%03d", bridge.bus, bridge.address);
        return ::access(node, R_OK | W_OK) != 0 && errno == EACCES;
    }
    int setLatencyTimer(uint8_t ms) override { return ftdi_set_latency_timer(ftdi_, ms); }
    int setBaudrate(int baud) override { return ftdi_set_baudrate(ftdi_, baud); }
    int setLineProperty(int bits, int stopBits, int parity) override {
        return ftdi_set_line_property(ftdi_, static_cast<ftdi_bits_type>(bits),
                                      static_cast<ftdi_stopbits_type>(stopBits),
                                      static_cast<ftdi_parity_type>(parity));
    }
    void setUsbReadTimeout(int ms) override {
        if (ftdi_ != nullptr) ftdi_->usb_read_timeout = ms;
    }
    int setFlowCtrl(int mode) override { return ftdi_setflowctrl(ftdi_, mode); }
    int tcioflush() override { return ftdi_tcioflush(ftdi_); }
    int writeData(std::span<const uint8_t> bytes) override {
        return ftdi_write_data(ftdi_, bytes.data(), static_cast<int>(bytes.size()));
    }
    int readData(std::span<uint8_t> buffer) override {
        return ftdi_read_data(ftdi_, buffer.data(), static_cast<int>(buffer.size()));
    }
    int usbClose() override { return ftdi_usb_close(ftdi_); }
    int usbReset() override { return ftdi_usb_reset(ftdi_); }

private:
    static const UsbDevice* sysfsDevice(const UsbInventory& inventory, int bus, int address) {
        for (const UsbDevice& d : inventory.devices)
            if (d.busNumber == bus && d.deviceNumber == address) return &d;
        return nullptr;
    }
    void freeLists() {
        for (ftdi_device_list* list : lists_)
            ftdi_list_free(&list);
        lists_.clear();
        devices_.clear();
    }

    ftdi_context* ftdi_;
    std::vector<ftdi_device_list*> lists_;
    std::vector<libusb_device*> devices_;
};

}  // namespace

bool FtdiLibrary::meansGone(int error) {
    return error == LIBUSB_ERROR_NO_DEVICE || error == kFtdiUnavailable;
}

std::unique_ptr<FtdiLibrary> makeLibFtdi() {
    return std::make_unique<LibFtdi>();
}

}  // namespace vrn

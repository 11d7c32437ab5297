#include "ports/ftdi_port.h"

#include <ftdi.h>
#include <libusb.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>

namespace vrn {
namespace {

using SteadyClock = std::chrono::steady_clock;

// The gap between two polls of the bridge while a read waits for its bytes.
constexpr auto kPollGap = std::chrono::microseconds(200);

// The device's place under /sys/bus/usb/devices: "BUS-PORT.PORT...".
std::string sysfsName(libusb_device* dev) {
    uint8_t ports[8] = {};
    const int depth = libusb_get_port_numbers(dev, ports, static_cast<int>(sizeof ports));
    std::string name = std::to_string(libusb_get_bus_number(dev));
    for (int i = 0; i < depth; ++i) {
        name += i == 0 ? '-' : '.';
        name += std::to_string(ports[i]);
    }
    return name;
}

// Reading the strings needs the device opened, which a user without access may not do; sysfs
// shows the product string to everyone.
std::string sysfsProduct(libusb_device* dev) {
    std::string path = "/sys/bus/usb/devices/";
    path += sysfsName(dev);
    path += "/product";
    std::ifstream in(path);
    std::string product;
    std::getline(in, product);
    return product;
}

// Whether the device's node is there but this user may not open it.
bool nodeDenied(libusb_device* dev) {
    char node[32];
    std::snprintf(node, sizeof node, "/dev/bus/usb/%03u/%03u", unsigned{libusb_get_bus_number(dev)},
                  unsigned{libusb_get_device_address(dev)});
    return ::access(node, R_OK | W_OK) != 0 && errno == EACCES;
}

// Calls f(device, description) for every FTDI bridge found; stops when f returns true.
template <typename F>
bool forEachBridge(ftdi_context* ftdi, F&& f) {
    for (const int product : FtdiPort::kProductIds) {
        ftdi_device_list* devices = nullptr;
        if (ftdi_usb_find_all(ftdi, &devices, FtdiPort::kVendorId, product) <= 0) continue;
        bool done = false;
        for (ftdi_device_list* d = devices; d != nullptr && !done; d = d->next) {
            char description[128] = {};
            const bool read = ftdi_usb_get_strings(ftdi, d->dev, nullptr, 0, description, sizeof description,
                                                   nullptr, 0) >= 0;
            done = f(d->dev, read ? std::string(description) : sysfsProduct(d->dev));
        }
        ftdi_list_free(&devices);
        if (done) return true;
    }
    return false;
}

std::string bridgeName(libusb_device* dev) {
    return FtdiPort::kNamePrefix + std::to_string(libusb_get_bus_number(dev)) + ":" +
           std::to_string(libusb_get_device_address(dev));
}

}  // namespace

FtdiPort::~FtdiPort() {
    close();
}

std::vector<HardwarePortInfo> FtdiPort::list() {
    std::vector<HardwarePortInfo> bridges;
    ftdi_context* ftdi = ftdi_new();
    if (ftdi == nullptr) return bridges;
    forEachBridge(ftdi, [&](libusb_device* dev, std::string description) {
        const bool instrument = describesInstrument(description);
        bridges.push_back({bridgeName(dev), std::move(description), instrument});
        return false;
    });
    ftdi_free(ftdi);
    return bridges;
}

bool FtdiPort::openEx(std::string_view description) {
    close();
    accessDenied_ = false;
    ftdi_ = ftdi_new();
    if (ftdi_ == nullptr) return false;
    // A bridge that the kernel's serial driver holds belongs to whoever has its tty open: it is
    // never taken away from them.
    ftdi_->module_detach_mode = DONT_DETACH_SIO_MODULE;
    const bool opened = forEachBridge(ftdi_, [&](libusb_device* dev, const std::string& text) {
        const bool wanted = name_.empty() ? sameDescription(text, description) : bridgeName(dev) == name_;
        if (!wanted) return false;
        if (ftdi_usb_open_dev(ftdi_, dev) == 0) return true;
        accessDenied_ = accessDenied_ || nodeDenied(dev);
        return false;
    });
    if (!opened) {
        ftdi_free(ftdi_);
        ftdi_ = nullptr;
        return false;
    }
    ftdi_set_latency_timer(ftdi_, kLatencyMs);
    return true;
}

void FtdiPort::setBaudRate(uint32_t baud) {
    if (ftdi_ != nullptr) ftdi_set_baudrate(ftdi_, static_cast<int>(baud));
}

void FtdiPort::setDataCharacteristics(uint8_t wordLength, uint8_t stopBits, uint8_t parity) {
    // The driver's codes are libftdi's: bits 7 or 8, stop bits 0/1/2, parity 0..4.
    if (ftdi_ == nullptr) return;
    ftdi_set_line_property(ftdi_, wordLength == 7 ? BITS_7 : BITS_8,
                           static_cast<ftdi_stopbits_type>(stopBits), static_cast<ftdi_parity_type>(parity));
}

void FtdiPort::setTimeouts(uint32_t readMs, uint32_t) {
    readTimeoutMs_ = readMs;
    // One USB transfer never outlasts the read time-out; reads loop on their own deadline.
    if (ftdi_ != nullptr) ftdi_->usb_read_timeout = static_cast<int>(readMs);
}

void FtdiPort::setFlowControl(uint16_t mode, uint8_t, uint8_t) {
    // The driver's codes are libftdi's: 0 none, 0x100 RTS/CTS, 0x200 DTR/DSR, 0x400 XON/XOFF.
    if (ftdi_ != nullptr) ftdi_setflowctrl(ftdi_, mode);
}

void FtdiPort::purge() {
    if (ftdi_ != nullptr) ftdi_tcioflush(ftdi_);
}

void FtdiPort::write(std::span<const uint8_t> bytes) {
    if (ftdi_ != nullptr && !bytes.empty())
        ftdi_write_data(ftdi_, bytes.data(), static_cast<int>(bytes.size()));
}

ReadResult FtdiPort::read(std::span<uint8_t> buffer) {
    if (ftdi_ == nullptr) return {0, ReadStatus::Error};
    // ftdi_read_data returns with what the bridge had, often nothing: poll up to one deadline.
    const auto deadline = SteadyClock::now() + std::chrono::milliseconds(readTimeoutMs_);
    size_t got = 0;
    for (;;) {
        const int n = ftdi_read_data(ftdi_, buffer.data() + got, static_cast<int>(buffer.size() - got));
        if (n < 0) {
            const bool gone = n == LIBUSB_ERROR_NO_DEVICE || n == -666;
            return {got, gone ? ReadStatus::HangUp : ReadStatus::Error};
        }
        got += static_cast<size_t>(n);
        if (got == buffer.size()) return {got, ReadStatus::Complete};
        if (SteadyClock::now() >= deadline) return {got, ReadStatus::Timeout};
        if (n == 0) std::this_thread::sleep_for(kPollGap);
    }
}

void FtdiPort::close() {
    if (ftdi_ == nullptr) return;
    ftdi_usb_close(ftdi_);
    ftdi_free(ftdi_);
    ftdi_ = nullptr;
}

void FtdiPort::resetDevice() {
    if (ftdi_ != nullptr) ftdi_usb_reset(ftdi_);
}

}  // namespace vrn

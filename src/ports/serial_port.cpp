#include "ports/serial_port.h"

#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <QSerialPort>
#include <QSerialPortInfo>
#include <cerrno>
#include <chrono>
#include <cstring>

#include "core/link/usb_port.h"
#include "ports/instrument_choice.h"
#include "ports/usb_doctor.h"
#include "ports/usb_inventory.h"

namespace vrn {
namespace {

using SteadyClock = std::chrono::steady_clock;

// Without a udev database Qt knows no description; the USB inventory read from sysfs has it.
std::string descriptionOf(const QSerialPortInfo& info, const UsbInventory& inventory) {
    const std::string description = info.description().toStdString();
    if (!description.empty()) return description;
    const std::string path = info.systemLocation().toStdString();
    for (const UsbDevice& d : inventory.devices)
        if (d.ttyNode && d.ttyNode->path == path) return d.product;
    return {};
}

// Qt reports a tty that was hung up (bridge unplugged, pty master gone) as a plain read error;
// the descriptor tells the two apart.
bool hungUp(QSerialPort& serial) {
    pollfd fd{static_cast<int>(serial.handle()), POLLIN, 0};
    return ::poll(&fd, 1, 0) > 0 && (fd.revents & (POLLHUP | POLLNVAL)) != 0;
}

ReadStatus statusOf(QSerialPort& serial) {
    switch (serial.error()) {
    case QSerialPort::NoError:
    case QSerialPort::TimeoutError:
        return ReadStatus::Timeout;
    case QSerialPort::ResourceError:
    case QSerialPort::DeviceNotFoundError:
        return ReadStatus::HangUp;
    default:
        return hungUp(serial) ? ReadStatus::HangUp : ReadStatus::Error;
    }
}

}  // namespace

SerialPort::SerialPort(std::string devicePath) : devicePath_(std::move(devicePath)) {}

SerialPort::~SerialPort() = default;

std::vector<HardwarePortInfo> SerialPort::list() {
    std::vector<HardwarePortInfo> ports;
    const UsbInventory inventory = readUsbInventory({}, false);
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        std::string description = descriptionOf(info, inventory);
        const bool instrument = describesInstrument(description);
        ports.push_back({info.systemLocation().toStdString(), std::move(description), instrument,
                         info.serialNumber().trimmed().toStdString()});
    }
    return ports;
}

std::optional<std::string> SerialPort::findByDescription(std::string_view description) {
    const UsbInventory inventory = readUsbInventory({}, false);
    if (auto tty = findInstrumentTty(inventory, description)) return tty;
    // Qt's own list as a cross-check, for a tty that sysfs does not show under a USB device.
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        if (sameDescription(descriptionOf(info, inventory), description))
            return info.systemLocation().toStdString();
    }
    return std::nullopt;
}

std::string SerialPort::whyNotOpened(const std::string& path, bool heldByQt) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return std::strerror(errno);
    const bool terminal = ::isatty(fd) == 1;
    ::close(fd);
    if (!terminal) return "not a serial device";
    // It opens, yet the serial port could not be had: another program holds it (Qt's lock file
    // or an exclusive open).
    return heldByQt ? "busy: another program holds it open" : "cannot be opened";
}

bool SerialPort::openEx(std::string_view description) {
    close();
    accessDenied_ = false;
    openFailure_.clear();
    std::string path = devicePath_;
    if (path.empty()) {
        const auto found = findByDescription(description);
        if (!found) return false;
        path = *found;
    } else if (const auto serial = chosenSerial(path)) {
        const UsbInventory inventory = readUsbInventory({}, false);
        const UsbDevice* device = findBySerial(inventory, *serial);
        if (device == nullptr || !device->ttyNode) return false;
        path = device->ttyNode->path;
    }
    serial_ = std::make_unique<QSerialPort>(QString::fromStdString(path));
    if (!serial_->open(QIODevice::ReadWrite)) {
        serial_.reset();
        // Qt reports a tty held by another program as a permission error too: only the
        // file's own permissions tell the user that a group or a udev rule would help.
        accessDenied_ = ::access(path.c_str(), R_OK | W_OK) != 0 && errno == EACCES;
        if (!devicePath_.empty()) {
            openFailure_.push_back(path + ": " + whyNotOpened(path, true));
            if (accessDenied_) openFailure_.push_back(UsbPort::kAccessDeniedText);
        }
        return false;
    }
    hungUp_ = false;
    // Under an event loop Qt keeps watching a tty that was hung up and reports the same error
    // over and over, a busy loop for as long as the window runs: the port lets go of the tty
    // instead (later, not inside Qt's own notification).
    QObject::connect(serial_.get(), &QSerialPort::errorOccurred, serial_.get(),
                     [this](QSerialPort::SerialPortError error) {
                         if (error == QSerialPort::NoError || error == QSerialPort::TimeoutError) return;
                         if (!serial_->isOpen() || statusOf(*serial_) != ReadStatus::HangUp) return;
                         QMetaObject::invokeMethod(
                             serial_.get(), [this] { letGo(); }, Qt::QueuedConnection);
                     });
    openPath_ = path;
    requestLowLatency();
    return true;
}

QSerialPort* SerialPort::live() const {
    return serial_ && serial_->isOpen() ? serial_.get() : nullptr;
}

void SerialPort::letGo() {
    if (!live()) return;
    serial_->close();
    hungUp_ = true;
}

void SerialPort::requestLowLatency() {
    // The kernel's FTDI driver otherwise holds received bytes for its 16 ms latency timer;
    // a pty and some drivers refuse, which only costs speed.
    serial_struct info{};
    const int fd = static_cast<int>(serial_->handle());
    if (ioctl(fd, TIOCGSERIAL, &info) != 0) return;
    info.flags |= ASYNC_LOW_LATENCY;
    ioctl(fd, TIOCSSERIAL, &info);
}

void SerialPort::setBaudRate(uint32_t baud) {
    if (live()) serial_->setBaudRate(static_cast<qint32>(baud));
}

void SerialPort::setDataCharacteristics(uint8_t wordLength, uint8_t stopBits, uint8_t parity) {
    if (!live()) return;
    if (wordLength >= 5 && wordLength <= 8)
        serial_->setDataBits(static_cast<QSerialPort::DataBits>(wordLength));
    switch (stopBits) {
    case 1:
        serial_->setStopBits(QSerialPort::OneAndHalfStop);
        break;
    case 2:
        serial_->setStopBits(QSerialPort::TwoStop);
        break;
    default:
        serial_->setStopBits(QSerialPort::OneStop);
        break;
    }
    switch (parity) {
    case 1:
        serial_->setParity(QSerialPort::OddParity);
        break;
    case 2:
        serial_->setParity(QSerialPort::EvenParity);
        break;
    case 3:
        serial_->setParity(QSerialPort::MarkParity);
        break;
    case 4:
        serial_->setParity(QSerialPort::SpaceParity);
        break;
    default:
        serial_->setParity(QSerialPort::NoParity);
        break;
    }
}

void SerialPort::setTimeouts(uint32_t readMs, uint32_t) {
    readTimeoutMs_ = readMs;
}

void SerialPort::setFlowControl(uint16_t mode, uint8_t, uint8_t) {
    if (!live()) return;
    // The driver's codes: 0x100 RTS/CTS, 0x400 XON/XOFF, anything else none.
    if (mode == 0x100)
        serial_->setFlowControl(QSerialPort::HardwareControl);
    else if (mode == 0x400)
        serial_->setFlowControl(QSerialPort::SoftwareControl);
    else
        serial_->setFlowControl(QSerialPort::NoFlowControl);
}

void SerialPort::purge() {
    if (live()) serial_->clear(QSerialPort::AllDirections);
}

void SerialPort::write(std::span<const uint8_t> bytes) {
    if (!live() || bytes.empty()) return;
    // The bytes must leave now for the send routine's pacing to mean anything, and a write call per
    // byte (the screen image) must stay cheap: while nothing waits in QSerialPort's own queue they
    // go straight to the kernel, one system call.
    size_t done = 0;
    if (serial_->bytesToWrite() == 0) {
        const int fd = static_cast<int>(serial_->handle());
        while (done < bytes.size()) {
            const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
            if (n > 0)
                done += static_cast<size_t>(n);
            else if (n < 0 && errno == EINTR)
                continue;
            else
                break;
        }
    }
    if (done == bytes.size()) return;
    // A full tty or an error: QSerialPort queues the rest, pushes it and reports what went wrong.
    const auto rest = bytes.subspan(done);
    serial_->write(reinterpret_cast<const char*>(rest.data()), static_cast<qint64>(rest.size()));
    serial_->flush();
    if (serial_->bytesToWrite() > 0) serial_->waitForBytesWritten(kWriteWaitMs);
}

ReadResult SerialPort::read(std::span<uint8_t> buffer) {
    if (!live()) return {0, hungUp_ ? ReadStatus::HangUp : ReadStatus::Error};
    // One deadline for the whole read, not one per wait.
    const auto deadline = SteadyClock::now() + std::chrono::milliseconds(readTimeoutMs_);
    size_t got = 0;
    for (;;) {
        const qint64 n = serial_->read(reinterpret_cast<char*>(buffer.data() + got),
                                       static_cast<qint64>(buffer.size() - got));
        if (n < 0) return ended(got, statusOf(*serial_));
        got += static_cast<size_t>(n);
        if (got == buffer.size()) return {got, ReadStatus::Complete};
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - SteadyClock::now());
        if (left.count() <= 0) return {got, ReadStatus::Timeout};
        if (!serial_->waitForReadyRead(static_cast<int>(left.count()))) {
            const ReadStatus status = statusOf(*serial_);
            if (status != ReadStatus::Timeout) return ended(got, status);
            serial_->clearError();
        }
    }
}

ReadResult SerialPort::ended(size_t got, ReadStatus status) {
    if (status == ReadStatus::HangUp) letGo();
    return {got, status};
}

void SerialPort::close() {
    hungUp_ = false;
    openPath_.clear();
    if (!serial_) return;
    serial_->close();
    serial_.reset();
}

void SerialPort::resetDevice() {
    if (!live()) return;
    serial_->clear(QSerialPort::AllDirections);
    serial_->clearError();
}

const std::string& SerialPort::openDevice() const {
    return openPath_;
}

int SerialPort::nativeHandle() const {
    return live() ? static_cast<int>(serial_->handle()) : -1;
}

}  // namespace vrn

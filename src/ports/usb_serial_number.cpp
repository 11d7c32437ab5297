#include "ports/usb_serial_number.h"

#include <QFileInfo>
#include <QSerialPortInfo>

namespace vrn {

std::optional<std::string> usbSerialNumberOf(const std::string& device) {
    const QString path = QFileInfo(QString::fromStdString(device)).canonicalFilePath();
    if (path.isEmpty()) return std::nullopt;
    // A terminal with no device behind it (a pty, a virtual console) is no USB bridge: the look at
    // every port, tens of milliseconds on a busy machine, is spared.
    if (!QFileInfo::exists(QStringLiteral("/sys/class/tty/%1/device").arg(QFileInfo(path).fileName())))
        return std::nullopt;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        if (info.systemLocation() != path) continue;
        const QString serial = info.serialNumber().trimmed();
        if (serial.isEmpty()) return std::nullopt;
        return serial.toStdString();
    }
    return std::nullopt;
}

}  // namespace vrn

#pragma once

#include <QObject>
#include <memory>
#include <string>

#include "ports/hotplug_filter.h"
#include "ports/instrument_events.h"

class QSocketNotifier;
struct udev;
struct udev_monitor;

namespace vrn {

// Watches the kernel's device events through libudev's monitor, on the event loop of the thread
// that made it, and tells when the instrument's bridge is plugged in or unplugged.
class UsbHotplugMonitor final : public QObject, public InstrumentEvents {
public:
    // How long a bridge that appeared may take to get its tty.
    static constexpr int kSettleMs = 1000;

    explicit UsbHotplugMonitor(std::string description, QObject* parent = nullptr);
    ~UsbHotplugMonitor() override;
    UsbHotplugMonitor(const UsbHotplugMonitor&) = delete;
    UsbHotplugMonitor& operator=(const UsbHotplugMonitor&) = delete;

    // Starts watching; false (and no events) where udev cannot be reached.
    bool start();

private:
    void receive();
    void act(HotplugFilter::Verdict verdict, const std::string& devpath);

    std::string description_;
    HotplugFilter filter_;
    udev* udev_ = nullptr;
    udev_monitor* monitor_ = nullptr;
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace vrn

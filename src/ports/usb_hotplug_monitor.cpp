#include "ports/usb_hotplug_monitor.h"

#include <libudev.h>

#include <QSocketNotifier>
#include <QTimer>

#include "ports/port_info.h"

namespace vrn {
namespace {

std::string text(const char* value) {
    return value != nullptr ? std::string(value) : std::string{};
}

}  // namespace

UsbHotplugMonitor::UsbHotplugMonitor(std::string description, QObject* parent)
    : QObject(parent), description_(description), filter_(std::move(description)) {}

UsbHotplugMonitor::~UsbHotplugMonitor() {
    delete notifier_;
    if (monitor_ != nullptr) udev_monitor_unref(monitor_);
    if (udev_ != nullptr) udev_unref(udev_);
}

bool UsbHotplugMonitor::start() {
    if (monitor_ != nullptr) return true;
    udev_ = udev_new();
    if (udev_ == nullptr) return false;
    monitor_ = udev_monitor_new_from_netlink(udev_, "udev");
    if (monitor_ == nullptr ||
        udev_monitor_filter_add_match_subsystem_devtype(monitor_, "usb", "usb_device") < 0 ||
        udev_monitor_filter_add_match_subsystem_devtype(monitor_, "tty", nullptr) < 0 ||
        udev_monitor_enable_receiving(monitor_) < 0) {
        if (monitor_ != nullptr) udev_monitor_unref(monitor_);
        monitor_ = nullptr;
        return false;
    }
    // The instruments already plugged in, so that unplugging one is recognised.
    if (udev_enumerate* e = udev_enumerate_new(udev_)) {
        udev_enumerate_add_match_subsystem(e, "usb");
        udev_enumerate_add_match_sysattr(e, "idVendor", nullptr);
        udev_enumerate_scan_devices(e);
        udev_list_entry* entry = nullptr;
        udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(e)) {
            udev_device* d = udev_device_new_from_syspath(udev_, udev_list_entry_get_name(entry));
            if (d == nullptr) continue;
            if (sameDescription(text(udev_device_get_sysattr_value(d, "product")), description_))
                filter_.present(text(udev_device_get_devpath(d)));
            udev_device_unref(d);
        }
        udev_enumerate_unref(e);
    }
    notifier_ = new QSocketNotifier(udev_monitor_get_fd(monitor_), QSocketNotifier::Read);
    QObject::connect(notifier_, &QSocketNotifier::activated, this, [this] { receive(); });
    return true;
}

void UsbHotplugMonitor::receive() {
    while (udev_device* d = udev_monitor_receive_device(monitor_)) {
        HotplugFilter::Event e;
        e.action = text(udev_device_get_action(d));
        e.subsystem = text(udev_device_get_subsystem(d));
        e.devtype = text(udev_device_get_devtype(d));
        e.devpath = text(udev_device_get_devpath(d));
        if (e.subsystem == "usb" && e.action == "add")
            e.product = text(udev_device_get_sysattr_value(d, "product"));
        if (e.subsystem == "tty") {
            // The parent belongs to the child: it is not unreferenced on its own.
            if (udev_device* usb = udev_device_get_parent_with_subsystem_devtype(d, "usb", "usb_device"))
                e.usbDevpath = text(udev_device_get_devpath(usb));
        }
        udev_device_unref(d);
        act(filter_.onEvent(e), e.devpath);
    }
}

void UsbHotplugMonitor::act(HotplugFilter::Verdict verdict, const std::string& devpath) {
    switch (verdict) {
    case HotplugFilter::Verdict::Settle:
        QTimer::singleShot(kSettleMs, this, [this, devpath] { act(filter_.settled(devpath), devpath); });
        break;
    case HotplugFilter::Verdict::Appeared:
        if (appeared) appeared();
        break;
    case HotplugFilter::Verdict::Gone:
        if (gone) gone();
        break;
    case HotplugFilter::Verdict::None:
        break;
    }
}

}  // namespace vrn

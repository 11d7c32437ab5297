#include "ports/hotplug_filter.h"

#include "ports/port_info.h"

namespace vrn {

HotplugFilter::Verdict HotplugFilter::onEvent(const Event& e) {
    const bool usbDevice = e.subsystem == "usb" && e.devtype == "usb_device";
    if (usbDevice && e.action == "add" && sameDescription(e.product, description_)) {
        known_.insert(e.devpath);
        pending_.insert(e.devpath);
        return Verdict::Settle;
    }
    if (usbDevice && e.action == "remove" && known_.erase(e.devpath) > 0) {
        pending_.erase(e.devpath);
        return Verdict::Gone;
    }
    if (e.subsystem == "tty" && e.action == "add" && pending_.erase(e.usbDevpath) > 0)
        return Verdict::Appeared;
    return Verdict::None;
}

HotplugFilter::Verdict HotplugFilter::settled(const std::string& devpath) {
    return pending_.erase(devpath) > 0 ? Verdict::Appeared : Verdict::None;
}

}  // namespace vrn

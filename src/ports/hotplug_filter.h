#pragma once

#include <set>
#include <string>
#include <string_view>

namespace vrn {

// Turns the kernel's device events into "the instrument appeared / went away". A bridge that
// appears gets a moment to settle: the kernel's driver makes its tty just after the USB device,
// and opening before would miss it; when no tty comes (no driver claims the bridge), the
// settling ends and the raw bridge is opened instead.
class HotplugFilter {
public:
    enum class Verdict { None, Appeared, Gone, Settle };

    struct Event {
        std::string action;     // "add", "remove", ...
        std::string subsystem;  // "usb" or "tty"
        std::string devtype;    // "usb_device" for a whole USB device
        std::string devpath;
        std::string usbDevpath;  // a tty's USB device, empty for others
        std::string product;     // a USB device's description, when it was readable
    };

    explicit HotplugFilter(std::string description) : description_(std::move(description)) {}

    // A device with the description that was already there when watching began.
    void present(const std::string& devpath) { known_.insert(devpath); }

    Verdict onEvent(const Event& event);
    // The settling of a device that appeared has ended.
    Verdict settled(const std::string& devpath);

private:
    std::string description_;
    std::set<std::string> known_;    // the instruments plugged in
    std::set<std::string> pending_;  // those that appeared and have not been announced yet
};

}  // namespace vrn

#include "ports/hotplug_filter.h"

#include <gtest/gtest.h>

#include "core/link/usb_port.h"

namespace vrn {
namespace {

using Verdict = HotplugFilter::Verdict;

// The kernel's events as udev passes them on, one sequence a row, and what the window is told.
TEST(HotplugFilter, TellsWhenTheInstrumentComesAndGoes) {
    const std::string dev = "/devices/pci0000:00/0000:00:14.0/usb1/1-2";
    const HotplugFilter::Event addUsb{"add", "usb", "usb_device", dev, {}, "VARNO 41700 USB"};
    const HotplugFilter::Event addTty{"add", "tty", {}, dev + "/1-2:1.0/ttyUSB0/tty/ttyUSB0", dev, {}};
    const HotplugFilter::Event removeUsb{"remove", "usb", "usb_device", dev, {}, {}};
    const HotplugFilter::Event addOther{"add", "usb",         "usb_device", "/devices/x/usb1/1-3",
                                        {},    "USB Keyboard"};
    const HotplugFilter::Event removeOther{"remove", "usb", "usb_device", "/devices/x/usb1/1-3", {}, {}};
    const HotplugFilter::Event bindUsb{"bind", "usb", "usb_device", dev, {}, "VARNO 41700 USB"};
    struct Step {
        const HotplugFilter::Event* event;  // null: the settling of dev ends
        Verdict verdict;
    };
    struct Row {
        const char* name;
        bool presentAtStart;
        std::vector<Step> steps;
    } rows[] = {
        {"kernel driver: the tty announces it",
         false,
         {{&addUsb, Verdict::Settle}, {&addTty, Verdict::Appeared}, {nullptr, Verdict::None}}},
        {"no driver: the settling announces it",
         false,
         {{&addUsb, Verdict::Settle}, {nullptr, Verdict::Appeared}}},
        {"unplugged",
         false,
         {{&addUsb, Verdict::Settle},
          {&addTty, Verdict::Appeared},
          {&removeUsb, Verdict::Gone},
          {&removeUsb, Verdict::None}}},
        {"unplugged before it settled",
         false,
         {{&addUsb, Verdict::Settle}, {&removeUsb, Verdict::Gone}, {nullptr, Verdict::None}}},
        {"there at the start, then unplugged", true, {{&removeUsb, Verdict::Gone}}},
        {"other devices and actions",
         false,
         {{&addOther, Verdict::None},
          {&removeOther, Verdict::None},
          {&bindUsb, Verdict::None},
          {&addTty, Verdict::None},
          {&removeUsb, Verdict::None}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        HotplugFilter filter(UsbPort::kDescription);
        if (row.presentAtStart) filter.present(dev);
        for (size_t i = 0; i < row.steps.size(); ++i) {
            const Step& s = row.steps[i];
            const Verdict v = s.event != nullptr ? filter.onEvent(*s.event) : filter.settled(dev);
            EXPECT_EQ(v, s.verdict) << "step " << i;
        }
    }
}

}  // namespace
}  // namespace vrn

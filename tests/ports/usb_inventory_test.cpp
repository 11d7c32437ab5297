#include "ports/usb_inventory.h"

#include <gtest/gtest.h>

#include <fstream>

#include "fake_system.h"

namespace vrn {
namespace {

using test::FakeSystem;

// What sysfs shows, read as it is, and anything odd left empty instead of trusted.
TEST(UsbInventory, ReadsDevicesAsSysfsShowsThem) {
    FakeSystem system;
    FakeSystem::Device ftdi;
    ftdi.sysName = "3-1.4";
    ftdi.vendor = "0403";
    ftdi.product = "6015";
    ftdi.bus = 3;
    ftdi.address = 12;
    ftdi.latencyMs = 1;
    system.plug(ftdi);
    FakeSystem::Device odd;
    odd.sysName = "3-1.10";
    odd.vendor = "04g3";              // not hex
    odd.product = "123456789abcdef";  // too long
    odd.description = std::string(300, 'D');
    odd.driver = "";
    odd.tty = "";
    system.plug(odd);
    system.process(700, "picocom", "/dev/ttyUSB0");
    system.process(701, "picocom", "/dev/ttyUSB1");

    const UsbInventory inventory = readUsbInventory(system.roots());
    ASSERT_EQ(inventory.devices.size(), 2u);
    const UsbDevice& a = inventory.devices[0];
    EXPECT_EQ(a.sysName, "3-1.4") << "bus order: 3-1.4 before 3-1.10";
    EXPECT_EQ(a.vendorId, 0x0403);
    EXPECT_EQ(a.productId, 0x6015);
    EXPECT_EQ(a.manufacturer, "FTDI");
    EXPECT_EQ(a.product, "VARNO 41700 USB");
    EXPECT_EQ(a.serial, "A10K3X7Z");
    ASSERT_EQ(a.interfaces.size(), 1u);
    EXPECT_EQ(a.interfaces[0].name, "3-1.4:1.0");
    EXPECT_EQ(a.interfaces[0].driver, "ftdi_sio");
    EXPECT_EQ(a.interfaces[0].tty, "ttyUSB0");
    EXPECT_EQ(a.interfaces[0].latencyTimerMs, 1);
    ASSERT_TRUE(a.ttyNode.has_value());
    EXPECT_TRUE(a.ttyNode->exists);
    EXPECT_EQ(a.ttyNode->mode, 0660u);
    ASSERT_EQ(a.ttyNode->holders.size(), 1u);
    EXPECT_EQ(a.ttyNode->holders[0].pid, 700);
    EXPECT_EQ(a.ttyNode->holders[0].name, "picocom");
    EXPECT_EQ(a.usbNode.path, "/dev/bus/usb/003/012");
    EXPECT_TRUE(a.usbNode.exists);

    const UsbDevice& b = inventory.devices[1];
    EXPECT_EQ(b.vendorId, 0);
    EXPECT_EQ(b.productId, 0);
    EXPECT_EQ(b.product.size(), 256u) << "an attribute is read up to its bound";
    EXPECT_EQ(b.interfaces.at(0).driver, "");
    EXPECT_FALSE(b.ttyNode.has_value());
    EXPECT_EQ(inventory.processes.size(), 2u);

    const UsbInventory devicesOnly = readUsbInventory(system.roots(), false);
    EXPECT_TRUE(devicesOnly.processes.empty());
    EXPECT_TRUE(devicesOnly.devices.at(0).ttyNode->holders.empty());
}

TEST(UsbInventory, BusOrderComparesNumbersAsNumbers) {
    const std::vector<std::string> ordered = {"1-1", "1-1.2", "1-1.10", "1-2", "1-10", "2-1", "usb1", "usb2"};
    for (size_t i = 0; i + 1 < ordered.size(); ++i) {
        EXPECT_TRUE(busOrderLess(ordered[i], ordered[i + 1])) << ordered[i] << " < " << ordered[i + 1];
        EXPECT_FALSE(busOrderLess(ordered[i + 1], ordered[i])) << ordered[i + 1] << " !< " << ordered[i];
    }
    EXPECT_FALSE(busOrderLess("1-1", "1-1"));
    EXPECT_TRUE(busOrderLess("1-01", "1-2"));
}

}  // namespace
}  // namespace vrn

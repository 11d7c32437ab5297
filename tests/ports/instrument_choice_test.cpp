#include "ports/instrument_choice.h"

#include <gtest/gtest.h>

#include "fake_system.h"

namespace vrn {
namespace {

using test::FakeSystem;

// Two instruments (one with a tty, one left to libftdi) and an unrelated bridge, as sysfs shows them.
UsbInventory twoInstruments(FakeSystem& system) {
    FakeSystem::Device first;
    first.sysName = "1-2";
    first.serial = "FT1";
    system.plug(first);
    FakeSystem::Device second;
    second.sysName = "1-10";
    second.serial = "FT2";
    second.bus = 1;
    second.address = 9;
    second.driver = "";
    second.tty = "";
    system.plug(second);
    FakeSystem::Device other;
    other.sysName = "1-3";
    other.description = "FT232R USB UART";
    other.serial = "AB0";
    other.address = 7;
    other.tty = "ttyUSB1";
    system.plug(other);
    return readUsbInventory(system.roots(), false);
}

TEST(InstrumentChoice, ListsTheInstrumentsAndFindsOneBySerialNumber) {
    FakeSystem system;
    const UsbInventory inventory = twoInstruments(system);
    const std::vector<AttachedInstrument> attached = attachedInstruments(inventory, "VARNO 41700 USB");
    ASSERT_EQ(attached.size(), 2u) << "the other bridge is not an instrument";
    EXPECT_EQ(attached[0].serial, "FT1");
    EXPECT_EQ(attached[0].device, "/dev/ttyUSB0");
    EXPECT_EQ(attached[1].device, "ftdi:1:9") << "no tty: the raw bridge's name";

    ASSERT_NE(findBySerial(inventory, "AB0"), nullptr) << "a serial number chooses whatever the description";
    EXPECT_EQ(findBySerial(inventory, "AB0")->sysName, "1-3");
    EXPECT_EQ(findBySerial(inventory, "FT9"), nullptr);
    EXPECT_EQ(findBySerial(inventory, ""), nullptr);
    EXPECT_EQ(chosenSerial("serial:FT12345"), "FT12345");
    EXPECT_EQ(chosenSerial("/dev/serial:x"), std::nullopt);

    EXPECT_EQ(severalInstrumentsAdvice(attached),
              (std::vector<std::string>{"2 instruments are attached: choose one with --port",
                                        "  --port serial:FT1  (/dev/ttyUSB0, USB 1-2)",
                                        "  --port serial:FT2  (ftdi:1:9, USB 1-10)"}));
    EXPECT_EQ(otherInstrumentsNote(attached),
              (std::vector<std::string>{"2 INSTRUMENTS ARE ATTACHED: USING serial:FT1 (/dev/ttyUSB0).",
                                        "OTHERS: serial:FT2 (ftdi:1:9)",
                                        "START WITH --port serial:NUMBER TO CHOOSE ANOTHER."}));
    EXPECT_TRUE(otherInstrumentsNote({attached[0]}).empty()) << "one instrument: nothing to say";
    EXPECT_EQ(serialNotFoundAdvice("FT9", attached).front(),
              "serial:FT9: no USB device with this serial number is attached");
    EXPECT_EQ(serialNotFoundAdvice("FT9", {}).size(), 1u);
}

}  // namespace
}  // namespace vrn

// Opening by description across backends, with simulated instruments standing in for them.
#include "ports/searching_port.h"

#include <gtest/gtest.h>

#include "core/link/usb_port.h"
#include "core/link/virtual_clock.h"
#include "ports/ftdi_port.h"
#include "ports/port_factory.h"
#include "ports/serial_port.h"
#include "recording_host.h"
#include "sim/instrument.h"
#include "sim/sim_port.h"

namespace vrn {
namespace {

struct Backends {
    VirtualClock clock;
    sim::Instrument first{clock};
    sim::Instrument second{clock};
    sim::SimPort* serial = nullptr;
    sim::SimPort* ftdi = nullptr;
    std::unique_ptr<SearchingPort> port;

    Backends(bool serialPresent, bool ftdiPresent) {
        sim::registerAllCommands(first);
        sim::registerAllCommands(second);
        auto a = std::make_unique<sim::SimPort>(first, clock);
        auto b = std::make_unique<sim::SimPort>(second, clock);
        serial = a.get();
        ftdi = b.get();
        serial->present = serialPresent;
        ftdi->present = ftdiPresent;
        std::vector<std::unique_ptr<Port>> list;
        list.push_back(std::move(a));
        list.push_back(std::move(b));
        port = std::make_unique<SearchingPort>(std::move(list));
    }
};

TEST(SearchingPort, TheFirstBackendThatFindsTheDeviceGetsEveryCall) {
    struct Row {
        const char* name;
        bool serialPresent;
        bool ftdiPresent;
        bool opens;
        int serialOpens;
        int ftdiOpens;
    } rows[] = {
        {"serial found", true, true, true, 1, 0},
        {"only the raw bridge", false, true, true, 1, 1},
        {"nothing attached", false, false, false, 1, 1},
    };
    for (const Row& r : rows) {
        Backends b(r.serialPresent, r.ftdiPresent);
        EXPECT_EQ(b.port->openEx("VARNO 41700 USB"), r.opens) << r.name;
        EXPECT_EQ(b.serial->opens, r.serialOpens) << r.name;
        EXPECT_EQ(b.ftdi->opens, r.ftdiOpens) << r.name;
        b.port->setBaudRate(1250000);
        b.port->setTimeouts(250, 0);
        b.port->purge();
        const std::string command = "CMD255\r";
        b.port->write({reinterpret_cast<const uint8_t*>(command.data()), command.size()});
        uint8_t reply[2] = {};
        const ReadResult read = b.port->read(reply);
        sim::SimPort* used = r.serialPresent ? b.serial : r.ftdiPresent ? b.ftdi : nullptr;
        sim::SimPort* unused = used == b.serial ? b.ftdi : b.serial;
        if (used == nullptr) {
            EXPECT_EQ(read.status, ReadStatus::Error) << r.name;
            EXPECT_EQ(b.serial->written.size() + b.ftdi->written.size(), 0u) << r.name;
            continue;
        }
        EXPECT_EQ(read.count, 2u) << r.name;
        EXPECT_EQ(std::string(reply, reply + 2), " 1") << r.name;
        EXPECT_EQ(used->baud(), 1250000u) << r.name;
        EXPECT_EQ(used->written.size(), command.size()) << r.name;
        EXPECT_EQ(unused->written.size(), 0u) << r.name;
        EXPECT_EQ(unused->purges, 0) << r.name;
    }
}

TEST(SearchingPort, EveryOpenSearchesAfresh) {
    Backends b(false, true);
    ASSERT_TRUE(b.port->openEx("VARNO 41700 USB"));
    b.port->resetDevice();
    EXPECT_EQ(b.ftdi->resets, 1);
    // The bridge came back under the kernel's driver: the next open finds it there.
    b.serial->present = true;
    ASSERT_TRUE(b.port->openEx("VARNO 41700 USB"));
    EXPECT_EQ(b.ftdi->closes, 1);
    EXPECT_FALSE(b.ftdi->isOpen());
    EXPECT_TRUE(b.serial->isOpen());
    b.port->close();
    EXPECT_FALSE(b.serial->isOpen());
    b.port->close();
    EXPECT_EQ(b.serial->closes, 1);
}

// With several instruments attached, the window takes the first and says so in the message area;
// a script's search opens none and lists them, so the wrong one is never changed.
TEST(SearchingPort, SeveralInstrumentsAreTakenOrRefusedAsAsked) {
    const std::vector<AttachedInstrument> two = {{"FT1", "/dev/ttyUSB0", "1-2"},
                                                 {"FT2", "/dev/ttyUSB1", "1-3"}};
    for (const SearchingPort::Several several :
         {SearchingPort::Several::TakeFirst, SearchingPort::Several::Refuse}) {
        const bool refuse = several == SearchingPort::Several::Refuse;
        SCOPED_TRACE(refuse ? "refuse" : "take the first");
        VirtualClock clock;
        sim::Instrument instrument{clock};
        auto backend = std::make_unique<sim::SimPort>(instrument, clock);
        sim::SimPort* sim = backend.get();
        std::vector<std::unique_ptr<Port>> list;
        list.push_back(std::move(backend));
        SearchingPort::Options options;
        options.attached = [&] { return two; };
        options.several = several;
        SearchingPort port(std::move(list), std::move(options));
        test::RecordingHost host;
        UsbPort usb(port, host);
        usb.OpenUsbPort();
        EXPECT_EQ(usb.isOpen(), !refuse);
        EXPECT_EQ(sim->opens, refuse ? 0 : 1);
        const std::vector<std::string> lines =
            refuse ? std::vector<std::string>{"2 instruments are attached: choose one with --port",
                                              "  --port serial:FT1  (/dev/ttyUSB0, USB 1-2)",
                                              "  --port serial:FT2  (/dev/ttyUSB1, USB 1-3)"}
                   : otherInstrumentsNote(two);
        EXPECT_EQ(host.lines, lines);
        EXPECT_EQ(host.boxes.size(), refuse ? 1u : 0u) << "the open failure's own warning";
    }
}

TEST(PortFactory, TheDeviceNameChoosesTheBackend) {
    const auto search = makeHardwarePort("");
    EXPECT_NE(dynamic_cast<SearchingPort*>(search.get()), nullptr);
    const auto serial = makeHardwarePort("/dev/no-such-vrn-tty");
    ASSERT_NE(dynamic_cast<SerialPort*>(serial.get()), nullptr);
    EXPECT_FALSE(serial->openEx(UsbPort::kDescription));
    // No USB bus has this number: the named bridge is looked for and not found.
    const auto bridge = makeHardwarePort("ftdi:999:999");
    ASSERT_NE(dynamic_cast<FtdiPort*>(bridge.get()), nullptr);
    EXPECT_FALSE(bridge->openEx(UsbPort::kDescription));
    uint8_t byte = 0;
    EXPECT_EQ(bridge->read({&byte, 1}).status, ReadStatus::Error);
    // A serial number no device carries: looked for as a tty and as a raw bridge, and named.
    const auto chosen = makeHardwarePort("serial:VRN-NO-SUCH-SERIAL");
    ASSERT_NE(dynamic_cast<SearchingPort*>(chosen.get()), nullptr);
    EXPECT_FALSE(chosen->openEx(UsbPort::kDescription));
    ASSERT_FALSE(chosen->openFailureAdvice().empty());
    EXPECT_EQ(chosen->openFailureAdvice().front(),
              "serial:VRN-NO-SUCH-SERIAL: no USB device with this serial number is attached");
}

}  // namespace
}  // namespace vrn

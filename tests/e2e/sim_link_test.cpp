// The exchange over the real serial backend, against vrncomm-sim on a pty, in real time.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>

#include "core/link/exchange.h"
#include "core/link/usb_port.h"
#include "line_settings.h"
#include "ports/port_factory.h"
#include "ports/real_clock.h"
#include "ports/serial_port.h"
#include "recording_host.h"
#include "sim_process.h"

namespace vrn {
namespace {

using test::SimProcess;

struct Rig {
    explicit Rig(const std::vector<std::string>& options = {})
        : sim(options), driver(makeHardwarePort(sim.path())), usb(*driver, host), ex(usb, host) {
        if (!sim.path().empty()) usb.OpenUsbPort();
    }
    std::string query(const char* command, size_t length, bool& failed) {
        std::string reply;
        failed = !ex.query({command, length, true, "CANNOT GET IT."}, reply).ok();
        return reply;
    }
    int64_t ms() { return clock.nowMs(); }

    SimProcess sim;
    RealClock clock;
    test::RecordingHost host{clock};
    std::unique_ptr<Port> driver;
    UsbPort usb;
    Exchange ex;
};

#define ASSERT_SIM_UP(rig)                                           \
    ASSERT_FALSE((rig).sim.path().empty()) << (rig).sim.errorText(); \
    ASSERT_TRUE((rig).usb.isOpen()) << (rig).host.status

TEST(SimLink, OpensTheNamedPtyWithTheInstrumentsLineSettings) {
    Rig rig;
    ASSERT_SIM_UP(rig);
    EXPECT_EQ(rig.host.status, UsbPort::kOpenText);
    EXPECT_TRUE(rig.host.boxes.empty());
    // The port holds the tty exclusively: ask through its own descriptor.
    const auto* serial = dynamic_cast<SerialPort*>(rig.driver.get());
    ASSERT_NE(serial, nullptr);
    EXPECT_EQ(serial->openDevice(), rig.sim.path());
    const auto line = test::readLineSettings(serial->nativeHandle());
    ASSERT_TRUE(line.has_value());
    EXPECT_EQ(line->inputBaud, UsbPort::kBaudRate);
    EXPECT_EQ(line->outputBaud, UsbPort::kBaudRate);
    EXPECT_EQ(line->dataBits, 8);
    EXPECT_FALSE(line->twoStopBits);
    EXPECT_FALSE(line->parity);
    EXPECT_FALSE(line->hardwareFlow);
    EXPECT_FALSE(line->softwareFlow);
}

TEST(SimLink, QueryAndSettingRoundTrip) {
    Rig rig;
    ASSERT_SIM_UP(rig);
    bool failed = true;
    EXPECT_EQ(rig.query("CMD255\r", 2, failed), "15");  // the station logs every 15 s
    EXPECT_FALSE(failed);
    EXPECT_TRUE(rig.ex.setting("CMD250 7\r").ok());
    EXPECT_EQ(rig.query("CMD255\r", 2, failed), " 7");
    EXPECT_FALSE(failed);
    EXPECT_TRUE(rig.host.lines.empty());
    EXPECT_TRUE(rig.host.beepTimesUs.empty());
}

TEST(SimLink, StrayBytesBeforeTheAcknowledgementAreSkipped) {
    Rig rig({"--stray-cmd", "250:XY!"});
    ASSERT_SIM_UP(rig);
    const int64_t start = rig.ms();
    EXPECT_TRUE(rig.ex.setting("CMD250 12\r").ok());
    EXPECT_LT(rig.ms() - start, 1000);
    bool failed = true;
    EXPECT_EQ(rig.query("CMD255\r", 2, failed), "12");
}

TEST(SimLink, SilentInstrumentFailsTheQueryAfterItsTenTries) {
    Rig rig({"--silent"});
    ASSERT_SIM_UP(rig);
    const int64_t start = rig.ms();
    bool failed = false;
    rig.query("CMD255\r", 2, failed);
    const int64_t took = rig.ms() - start;
    EXPECT_TRUE(failed);
    ASSERT_EQ(rig.host.lines.size(), 1u);
    EXPECT_EQ(rig.host.lines[0], "CANNOT GET IT.");
    // Each try: the send, the pause and one whole read time-out.
    const int64_t least =
        Exchange::kQueryTries * (Exchange::kQueryPauseMs + int64_t{UsbPort::kReadTimeoutMs});
    EXPECT_GE(took, least);
    EXPECT_LT(took, least + 1500);
}

TEST(SimLink, QueryRetriesPastShortReplies) {
    Rig rig({"--short-cmd", "255:1", "--times", "3"});
    ASSERT_SIM_UP(rig);
    const int64_t start = rig.ms();
    bool failed = true;
    EXPECT_EQ(rig.query("CMD255\r", 2, failed), "15");  // the station logs every 15 s
    EXPECT_FALSE(failed);
    EXPECT_TRUE(rig.host.lines.empty());
    // Three short tries, each ending at the read time-out, before the good one.
    EXPECT_GE(rig.ms() - start, 3 * (Exchange::kQueryPauseMs + int64_t{UsbPort::kReadTimeoutMs}));
}

TEST(SimLink, ShortReplyReadEndsAtTheDeadlineWithWhatCame) {
    Rig rig({"--short-cmd", "255:1"});
    ASSERT_SIM_UP(rig);
    rig.ex.SendCommand("CMD255\r");
    uint8_t reply[2] = {0, 0};
    const int64_t start = rig.ms();
    const ReadResult r = rig.usb.read(reply);
    const int64_t took = rig.ms() - start;
    EXPECT_EQ(r.count, 1u);
    EXPECT_EQ(r.status, ReadStatus::Timeout);
    EXPECT_EQ(reply[0], '1');
    EXPECT_GE(took, int64_t{UsbPort::kReadTimeoutMs});
    EXPECT_LT(took, int64_t{UsbPort::kReadTimeoutMs} + 400);
}

TEST(SimLink, ReconnectReopensThePty) {
    Rig rig;
    ASSERT_SIM_UP(rig);
    const int64_t start = rig.ms();
    rig.usb.ReconnectUSB();
    EXPECT_GE(rig.ms() - start, UsbPort::kReopenWaitMs);
    EXPECT_TRUE(rig.usb.isOpen());
    EXPECT_EQ(rig.host.status, UsbPort::kOpenText);
    bool failed = true;
    EXPECT_EQ(rig.query("CMD255\r", 2, failed), "15");  // the station logs every 15 s
}

TEST(SimLink, SimulatorGoneIsAHangUp) {
    Rig rig;
    ASSERT_SIM_UP(rig);
    EXPECT_EQ(rig.sim.stop(), 0);
    uint8_t byte = 0;
    EXPECT_EQ(rig.driver->read({&byte, 1}).status, ReadStatus::HangUp);
    // Through UsbPort the failed read still lasts its time-out, so no wait above it spins.
    const int64_t start = rig.ms();
    EXPECT_EQ(rig.usb.read({&byte, 1}).count, 0u);
    EXPECT_GE(rig.ms() - start, int64_t{UsbPort::kReadTimeoutMs});
}

TEST(SimLink, MissingDeviceIsTheCannotOpenWarning) {
    RealClock clock;
    test::RecordingHost host{clock};
    const auto driver = makeHardwarePort("/dev/no-such-vrn-tty");
    UsbPort usb(*driver, host);
    usb.OpenUsbPort();
    EXPECT_FALSE(usb.isOpen());
    EXPECT_EQ(host.status, UsbPort::kClosedText);
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].text, UsbPort::kCannotOpenText);
}

TEST(SimLink, LinkOptionMakesAndRemovesTheSymlink) {
    const std::string link = ::testing::TempDir() + "vrn-sim-link-" + std::to_string(::getpid());
    SimProcess sim({"--link", link});
    ASSERT_FALSE(sim.path().empty()) << sim.errorText();
    EXPECT_EQ(std::filesystem::read_symlink(link).string(), sim.path());
    EXPECT_EQ(sim.stop(), 0);
    EXPECT_FALSE(std::filesystem::is_symlink(link));
}

// --link takes nothing that is there, but the link a simulator that is gone left behind; at the
// end it removes its own link and nothing else.
TEST(SimLink, LinkOptionNeverTakesWhatIsThere) {
    namespace fs = std::filesystem;
    const std::string link = ::testing::TempDir() + "vrn-sim-taken-" + std::to_string(::getpid());
    struct Row {
        const char* name;
        std::function<void()> before;  // puts something at the path
        bool starts;
    };
    const std::vector<Row> rows = {
        {"a regular file", [&] { std::ofstream(link) << "keep"; }, false},
        {"a folder", [&] { fs::create_directory(link); }, false},
        {"a link to another file", [&] { fs::create_symlink("/etc/hostname", link); }, false},
        {"a link a simulator left behind", [&] { fs::create_symlink("/dev/pts/987654", link); }, true},
    };
    for (const Row& row : rows) {
        fs::remove_all(link);
        row.before();
        const auto was = fs::symlink_status(link).type();
        SimProcess sim({"--link", link});
        EXPECT_EQ(!sim.path().empty(), row.starts) << row.name << ": " << sim.errorText();
        if (row.starts) {
            EXPECT_EQ(fs::read_symlink(link).string(), sim.path()) << row.name;
        } else {
            EXPECT_NE(sim.errorText().find("--link " + link + ": it exists"), std::string::npos)
                << row.name << ": " << sim.errorText();
            EXPECT_EQ(fs::symlink_status(link).type(), was) << row.name;
        }
    }
    fs::remove_all(link);

    // A second simulator on the same path leaves the first its link.
    SimProcess first({"--link", link});
    ASSERT_FALSE(first.path().empty()) << first.errorText();
    {
        SimProcess second({"--link", link});
        EXPECT_TRUE(second.path().empty());
    }
    EXPECT_EQ(fs::read_symlink(link).string(), first.path());
    // Replaced by someone else's file while it ran, the path is not the simulator's to remove.
    fs::remove(link);
    std::ofstream(link) << "theirs";
    EXPECT_EQ(first.stop(), 0);
    EXPECT_TRUE(fs::is_regular_file(link));
    fs::remove(link);
}

}  // namespace
}  // namespace vrn

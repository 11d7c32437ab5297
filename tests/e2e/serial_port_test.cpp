// The serial backend on a pty that the test drives itself, byte by byte, in real time.
#include "ports/serial_port.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <QCoreApplication>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "core/link/usb_port.h"
#include "ports/port_info.h"

namespace vrn {
namespace {

using SteadyClock = std::chrono::steady_clock;

// A raw pty whose master end the test holds: what it writes there, the port reads.
struct Pty {
    Pty() {
        master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) return;
        path = ptsname(master);
        const int slave = ::open(path.c_str(), O_RDWR | O_NOCTTY);
        termios tio{};
        tcgetattr(slave, &tio);
        cfmakeraw(&tio);
        tcsetattr(slave, TCSANOW, &tio);
        ::close(slave);
    }
    ~Pty() { closeMaster(); }
    // Bytes waiting on the port's side, read through a second descriptor of the terminal.
    int pendingAtPort() const {
        const int watcher = ::open(path.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
        int n = -1;
        if (watcher >= 0) ioctl(watcher, FIONREAD, &n);
        if (watcher >= 0) ::close(watcher);
        return n;
    }
    void send(const std::string& bytes) const {
        ASSERT_EQ(::write(master, bytes.data(), bytes.size()), ssize_t(bytes.size()));
    }
    std::string received() const {
        std::string out;
        char buffer[256];
        for (ssize_t n; (n = ::read(master, buffer, sizeof buffer)) > 0;) {
            out.append(buffer, static_cast<size_t>(n));
            if (n < ssize_t(sizeof buffer)) break;
        }
        return out;
    }
    void closeMaster() {
        if (master >= 0) ::close(master);
        master = -1;
    }
    int master = -1;
    std::string path;
};

struct Open {
    explicit Open(const Pty& pty) : port(pty.path) {
        opened = port.openEx(UsbPort::kDescription);
        port.setBaudRate(UsbPort::kBaudRate);
        port.setDataCharacteristics(8, 0, 0);
        port.setTimeouts(UsbPort::kReadTimeoutMs, 0);
        port.setFlowControl(0, 0, 0);
        port.purge();
    }
    SerialPort port;
    bool opened = false;
};

int64_t msSince(SteadyClock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(SteadyClock::now() - start).count();
}

// Polls until done() holds or a second has passed; returns done()'s last answer.
template <class Done>
bool within(Done done) {
    const auto start = SteadyClock::now();
    while (!done() && msSince(start) < 1000)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return done();
}

TEST(SerialPort, ReadHasOneDeadlineEvenWhileBytesTrickleIn) {
    Pty pty;
    Open open(pty);
    ASSERT_TRUE(open.opened);
    // A byte every 100 ms: a wait restarted per byte would never end before all ten came.
    std::thread sender([&] {
        for (char c = '0'; c <= '9'; ++c) {
            pty.send(std::string(1, c));
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    });
    uint8_t buffer[10] = {};
    const auto start = SteadyClock::now();
    const ReadResult r = open.port.read(buffer);
    const int64_t took = msSince(start);
    sender.join();
    EXPECT_EQ(r.status, ReadStatus::Timeout);
    EXPECT_GE(took, int64_t{UsbPort::kReadTimeoutMs});
    // Well short of the 900 ms that waits restarted per byte would take, with room for a busy machine.
    EXPECT_LT(took, int64_t{UsbPort::kReadTimeoutMs} + 400);
    ASSERT_GE(r.count, 2u);
    ASSERT_LE(r.count, 7u);
    // The count is exact: the bytes it names are the first ones, in order, and none is lost.
    std::string first(buffer, buffer + r.count);
    EXPECT_EQ(first, std::string("0123456").substr(0, r.count));
    uint8_t rest[10] = {};
    const ReadResult r2 = open.port.read({rest, 10 - r.count});
    EXPECT_EQ(r2.status, ReadStatus::Complete);
    EXPECT_EQ(first + std::string(rest, rest + r2.count), "0123456789");
}

TEST(SerialPort, ReadReturnsAsSoonAsItsBytesCame) {
    Pty pty;
    Open open(pty);
    ASSERT_TRUE(open.opened);
    pty.send("abc");
    uint8_t buffer[2] = {};
    const auto start = SteadyClock::now();
    const ReadResult r = open.port.read(buffer);
    EXPECT_LT(msSince(start), int64_t{UsbPort::kReadTimeoutMs});
    EXPECT_EQ(r.status, ReadStatus::Complete);
    EXPECT_EQ(r.count, 2u);
    EXPECT_EQ(std::string(buffer, buffer + 2), "ab");
}

TEST(SerialPort, PurgeDropsWhatWasReceived) {
    Pty pty;
    Open open(pty);
    ASSERT_TRUE(open.opened);
    pty.send("stale");
    ASSERT_TRUE(within([&] { return pty.pendingAtPort() >= 5; }));
    open.port.purge();
    pty.send("X");
    uint8_t byte = 0;
    EXPECT_EQ(open.port.read({&byte, 1}).count, 1u);
    EXPECT_EQ(byte, 'X');
}

TEST(SerialPort, WriteLeavesAtOnce) {
    Pty pty;
    Open open(pty);
    ASSERT_TRUE(open.opened);
    const uint8_t byte = 'C';
    open.port.write({&byte, 1});
    // No event loop runs here: the byte must already be on its way.
    std::string got;
    EXPECT_TRUE(within([&] {
        got += pty.received();
        return !got.empty();
    }));
    EXPECT_EQ(got, "C");
}

TEST(SerialPort, HangUpIsToldApartFromATimeOut) {
    Pty pty;
    Open open(pty);
    ASSERT_TRUE(open.opened);
    uint8_t byte = 0;
    EXPECT_EQ(open.port.read({&byte, 1}).status, ReadStatus::Timeout);
    pty.closeMaster();
    const auto start = SteadyClock::now();
    EXPECT_EQ(open.port.read({&byte, 1}).status, ReadStatus::HangUp);
    EXPECT_LT(msSince(start), int64_t{UsbPort::kReadTimeoutMs});
    // The port let go of the dead tty, and keeps telling why until it is opened again.
    EXPECT_EQ(open.port.nativeHandle(), -1);
    EXPECT_EQ(open.port.read({&byte, 1}).status, ReadStatus::HangUp);
    open.port.close();
    EXPECT_EQ(open.port.read({&byte, 1}).status, ReadStatus::Error);
}

TEST(SerialPort, HangUpSeenByTheEventLoopReleasesTheTty) {
    Pty pty;
    Open open(pty);
    ASSERT_TRUE(open.opened);
    pty.closeMaster();
    // Left open, the tty would make Qt report the same error in a busy loop for as long as
    // the window runs.
    const auto start = SteadyClock::now();
    while (open.port.nativeHandle() != -1 && msSince(start) < 2000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_EQ(open.port.nativeHandle(), -1);
    uint8_t byte = 0;
    EXPECT_EQ(open.port.read({&byte, 1}).status, ReadStatus::HangUp);
}

TEST(SerialPort, ClosedPortDoesNothingAndReadsFail) {
    Pty pty;
    Open open(pty);
    ASSERT_TRUE(open.opened);
    EXPECT_EQ(open.port.openDevice(), pty.path);
    open.port.close();
    EXPECT_TRUE(open.port.openDevice().empty());
    const uint8_t out = 'Z';
    open.port.write({&out, 1});
    open.port.purge();
    uint8_t byte = 0;
    EXPECT_EQ(open.port.read({&byte, 1}).status, ReadStatus::Error);
    EXPECT_EQ(pty.received(), "");
}

TEST(PortInfo, DescriptionsMatchAsUdevAndSysfsWriteThem) {
    struct Row {
        const char* text;
        bool instrument;
    } rows[] = {
        {"VARNO 41700 USB", true},   {"VARNO_41700_USB", true},
        {"VARNO 41700 USB\n", true}, {"VARNO 41700 USB ", true},
        {"VARNO 41700", false},      {"varno 41700 usb", false},
        {" VARNO 41700 USB", false}, {"", false},
        {"FT232R USB UART", false},
    };
    for (const Row& r : rows)
        EXPECT_EQ(describesInstrument(r.text), r.instrument) << '"' << r.text << '"';
}

}  // namespace
}  // namespace vrn

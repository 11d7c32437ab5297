// vrncomm-sim takes what a program writes to its pty no faster than the instrument's line carries
// it, in real time.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <string>

#include "sim/instrument.h"
#include "sim_process.h"

namespace vrn {
namespace {

using Steady = std::chrono::steady_clock;

// A query behind a long run of noise is answered no sooner than the line has carried all of it:
// only a lower bound, which holds however slow the machine is.
TEST(SimLineRate, TheAnswerComesNoSoonerThanTheLineCarriesWhatWasWritten) {
    test::SimProcess sim;
    ASSERT_FALSE(sim.path().empty()) << sim.errorText();
    const int fd = ::open(sim.path().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0);
    termios tio{};
    ASSERT_EQ(tcgetattr(fd, &tio), 0);
    cfmakeraw(&tio);
    ASSERT_EQ(tcsetattr(fd, TCSANOW, &tio), 0);

    for (const size_t noise : {size_t{0}, size_t{2000}, size_t{20000}}) {
        SCOPED_TRACE(noise);
        const std::string bytes = std::string(noise, 'x') + "CMD255\r";
        const Steady::time_point start = Steady::now();
        for (size_t done = 0; done < bytes.size();) {
            const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
            ASSERT_GT(n, 0);
            done += static_cast<size_t>(n);
        }
        // The two-byte answer, within a generous limit.
        std::string answer;
        const Steady::time_point limit = start + std::chrono::seconds(20);
        while (answer.size() < 2 && Steady::now() < limit) {
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, 100) <= 0) continue;
            char got[16];
            const ssize_t n = ::read(fd, got, sizeof got);
            if (n > 0) answer.append(got, static_cast<size_t>(n));
        }
        const auto tookUs =
            std::chrono::duration_cast<std::chrono::microseconds>(Steady::now() - start).count();
        ASSERT_EQ(answer, "15");
        EXPECT_GE(tookUs, static_cast<int64_t>(bytes.size()) * sim::Instrument::kByteTimeUs +
                              sim::Instrument::kReplyLatencyUs);
    }
    ::close(fd);
}

}  // namespace
}  // namespace vrn

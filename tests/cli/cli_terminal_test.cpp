// The terminal's own behaviour: how often the progress bar is drawn.
#include <gtest/gtest.h>

#include <sstream>

#include "cli/terminal_host.h"
#include "core/link/virtual_clock.h"

namespace vrn::cli::test {
namespace {

size_t pictures(const std::string& err) {
    size_t n = 0;
    for (size_t at = err.find("\r["); at != std::string::npos; at = err.find("\r[", at + 1))
        ++n;
    return n;
}

TEST(CliTerminal, TheProgressBarIsDrawnAtMostTenTimesASecondAndAlwaysAtItsEnd) {
    struct Row {
        const char* name;
        int64_t usBetweenSteps;
        size_t expected;  // pictures for positions 1..1000
    };
    const Row rows[] = {
        {"a fast transfer: the first picture and the last", 0, 2},
        // 1,000 steps over 10 s: one picture every 100 ms, and the last.
        {"a transfer of ten seconds", 10'000, 100 + 1},
    };
    for (const Row& row : rows) {
        VirtualClock clock;
        std::ostringstream out, err;
        MessageLog log;
        TerminalHost host(out, err, clock, {.quiet = false, .yes = false, .progressBar = true}, log);
        host.setProgressMax(1000);
        for (int i = 1; i <= 1000; ++i) {
            clock.advanceUs(row.usBetweenSteps);
            host.setProgress(i);
        }
        EXPECT_EQ(pictures(err.str()), row.expected) << row.name;
        EXPECT_NE(err.str().rfind("100%"), std::string::npos) << row.name << ": the end was not drawn";
    }
}

}  // namespace
}  // namespace vrn::cli::test

// The simulated instrument as a new user meets it: a configured station whose clock runs, and the
// Setup it keeps between runs.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "core/link/virtual_clock.h"
#include "core/setup/setup_model.h"
#include "core/setup/setup_transfer.h"
#include "sim/instrument.h"
#include "sim/setup_clock.h"
#include "sim/state_dir.h"
#include "sim/station.h"
#include "sim_link.h"

namespace vrn::sim {
namespace {

TEST(SimStation, AFirstGetSetupShowsAConfiguredStationWithItsClockRunning) {
    test::SimLink link;
    configureStation(link.instrument);
    link.usb.OpenUsbPort();
    setup::SetupModel model;
    model.setUsePcTime(false);
    setup::SetupTransfer transfer{link.ex, model};
    link.host.clock_.sleepMs(90 * 1000);
    ASSERT_TRUE(transfer.GetUserSettings().ok());
    EXPECT_EQ(model.interval(), 15);
    EXPECT_EQ(model.fieldsPerRecord(), 7);
    EXPECT_TRUE(model.autoScroll());
    EXPECT_EQ(model.com1Type(), 0);
    EXPECT_EQ(model.com1Baud(), 3);  // 9600
    const char* labels[] = {"AIR TEMP", "RH", "BARO", "WIND SPEED", "WIND DIR", "DATE", "TIME"};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(model.field(i).label, labels[i]) << i;
    EXPECT_EQ(model.field(5).type, 1);
    EXPECT_EQ(model.field(6).type, 2);
    // The virtual PC clock starts at 2026-01-01 00:00:00; the instrument's ran on 90 s with it.
    EXPECT_EQ(model.date(), "01-01-2026");
    EXPECT_EQ(model.time(), "00:01:30");
}

TEST(SimStation, TheClockRunsOverDaysMonthsAndYearsAndStopsOnADayThatIsNot) {
    struct Row {
        const char* what;
        int month, day, year, hour, minute, second;
        int64_t passedUs;
        int wantMonth, wantDay, wantYear, wantHour, wantMinute, wantSecond;
    } rows[] = {
        {"a second short of one", 1, 1, 26, 0, 0, 0, 999999, 1, 1, 26, 0, 0, 0},
        {"midnight", 3, 14, 26, 23, 59, 58, 3000000, 3, 15, 26, 0, 0, 1},
        {"a leap day", 2, 28, 28, 23, 0, 0, 3600 * 1000000LL, 2, 29, 28, 0, 0, 0},
        {"new year", 12, 31, 26, 23, 59, 59, 1000000, 1, 1, 27, 0, 0, 0},
        {"the century", 12, 31, 99, 23, 59, 59, 1000000, 1, 1, 0, 0, 0, 0},
        {"the 31st of February stops", 2, 31, 26, 10, 0, 0, 5000000, 2, 31, 26, 10, 0, 0},
    };
    for (const Row& r : rows) {
        SimSetup s;
        s.month = r.month, s.day = r.day, s.year = r.year, s.hour = r.hour, s.minute = r.minute,
        s.second = r.second;
        s.clockRuns = true;
        s.clockSetUs = 1000;
        keepClock(s, 1000 + r.passedUs);
        EXPECT_EQ((std::array{s.month, s.day, s.year, s.hour, s.minute, s.second}),
                  (std::array{r.wantMonth, r.wantDay, r.wantYear, r.wantHour, r.wantMinute, r.wantSecond}))
            << r.what;
    }
}

TEST(SimStateDir, TheSetupTextReadsBackAndARunningClockRunsOnWhileStopped) {
    SimSetup s;
    s.com1Code = -115;
    s.interval = 42;
    s.fields[3] = {"GUST %\xB0 M/S", 0, 9, 7};
    s.fields[24].label = std::string(25, 'Z');
    s.month = 7, s.day = 14, s.year = 26, s.hour = 9, s.minute = 5, s.second = 33;
    const LocalDateTime pc{2026, 7, 14, 9, 0, 0};
    const std::string text = setupText(s, 0, pc);

    SimSetup back;
    std::string error;
    ASSERT_TRUE(readSetupText(text, back, 0, pc, error)) << error;
    EXPECT_EQ(setupText(back, 0, pc), text);
    EXPECT_EQ(back.fields[3].label, "GUST %\xB0 M/S");
    EXPECT_FALSE(back.clockRuns) << "a stopped clock stays where it was";

    s.clockRuns = true;
    const LocalDateTime pcLater{2026, 7, 15, 9, 0, 0};  // a day later
    ASSERT_TRUE(readSetupText(setupText(s, 0, pc), back, 5000, pcLater, error)) << error;
    EXPECT_EQ((std::array{back.month, back.day, back.hour, back.minute, back.second}),
              (std::array{7, 15, 9, 5, 33}));
    EXPECT_EQ(back.clockSetUs, 5000);

    const struct {
        const char* text;
        const char* error;
    } bad[] = {
        {"interval 100\n", "setup.txt line 1: value out of range"},
        {"# kept\nfield 26 0 1 1 X\n", "setup.txt line 2: expected field N TYPE WIDTH PRECISION LABEL"},
        {"field 1 0 1 1 ZZZZZZZZZZZZZZZZZZZZZZZZZZ\n",
         "setup.txt line 1: label longer than 25 characters or badly escaped"},
        {"clock 02-30-26 00:00:00 running\n",
         "setup.txt line 1: expected clock MM-DD-YY HH:MM:SS running|stopped"},
        {"colour blue\n", "setup.txt line 1: unknown key"},
    };
    for (const auto& b : bad) {
        SimSetup kept;
        kept.interval = 7;
        EXPECT_FALSE(readSetupText(b.text, kept, 0, pc, error)) << b.text;
        EXPECT_EQ(error, b.error);
        EXPECT_EQ(kept.interval, 7) << "nothing taken from a file that cannot be read";
    }
}

}  // namespace
}  // namespace vrn::sim

namespace vrn::sim {
namespace {

TEST(SimStateDir, EveryPartSurvivesARestartAndADamagedPartIsRefused) {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("vrn-state-" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    VirtualClock clock;
    {
        Instrument first{clock};
        StateDir state(dir.string());
        std::string error;
        ASSERT_TRUE(state.load(first, error)) << error;  // an empty folder changes nothing
        first.state.setup.interval = 42;
        first.state.screens[1919] = 'Z';
        first.state.program[0] ^= 0xFF;
        first.state.records.logged = 0;  // erased
        ASSERT_TRUE(state.save(first, error)) << error;
    }
    Instrument again{clock};
    StateDir state(dir.string());
    std::string error;
    ASSERT_TRUE(state.load(again, error)) << error;
    EXPECT_EQ(again.state.setup.interval, 42);
    EXPECT_EQ(again.state.screens[1919], 'Z');
    EXPECT_EQ(again.state.program, [&] {
        State fresh;
        fresh.program[0] ^= 0xFF;
        return fresh.program;
    }());
    EXPECT_EQ(again.state.records.logged, 0u);

    std::filesystem::resize_file(dir / "screens.bin", 1919);
    Instrument damaged{clock};
    EXPECT_FALSE(StateDir(dir.string()).load(damaged, error));
    EXPECT_EQ(error, "screens.bin holds 1919 bytes, not 1920");
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace vrn::sim

// The simulated instrument's record memory as its clock runs: logging, overwriting, erasing,
// keeping it across restarts, power cuts and which records a count asks for.
#include <gtest/gtest.h>
#include <unistd.h>

#include <bit>
#include <cmath>
#include <filesystem>
#include <fstream>

#include "core/link/virtual_clock.h"
#include "sim/instrument.h"
#include "sim/record_memory.h"
#include "sim/records_commands.h"
#include "sim/records_file.h"
#include "sim/sim_options.h"
#include "sim/sim_port.h"
#include "sim/state_dir.h"
#include "sim/station.h"

namespace vrn::sim {
namespace {

constexpr int kDate = 5;  // the station's DATE and TIME fields
constexpr int kTime = 6;
constexpr int64_t kStart = 1767225600;  // the virtual clock's and the station clock's start

// A station on virtual time, its port open.
struct Station {
    VirtualClock clock;
    Instrument instrument{clock};
    SimPort port{instrument, clock};
    Station() {
        registerAllCommands(instrument);
        configureStation(instrument);
        port.openEx("");
        port.setTimeouts(250, 250);
    }
    SimRecords& memory() { return instrument.state.records; }
    // The date and time a held record carries, as YYMMDDHHMMSS.
    int64_t stamp(uint32_t r) {
        const auto& s = instrument.state.setup;
        return int64_t(loggedValue(s, memory(), r, kDate)) * 1000000 +
               int64_t(loggedValue(s, memory(), r, kTime));
    }
    // The answer to a command line, as the PC reads it.
    std::vector<uint8_t> ask(const std::string& line, size_t bytes) {
        const std::string text = line + "\r";
        port.write({reinterpret_cast<const uint8_t*>(text.data()), text.size()});
        std::vector<uint8_t> out(bytes);
        size_t got = 0;
        for (int reads = 0; got < bytes && reads < 100; ++reads)
            got += port.read(std::span(out).subspan(got)).count;
        out.resize(got);
        return out;
    }
};

int64_t stampOf(int64_t seconds) {
    const LocalDateTime t = civilFromEpochSeconds(seconds);
    return ((t.year - 2000) * 10000 + t.month * 100 + t.day) * int64_t{1000000} + t.hour * 10000 +
           t.minute * 100 + t.second;
}

TEST(SimLogging, EveryIntervalOfItsClockLogsOneRecordCarryingThatTime) {
    const struct {
        const char* name;
        int64_t speed;
        int intervals;
    } rows[] = {{"real time", 1, 5}, {"sixty times faster", 60, 7}, {"a day at once", 1, 1440}};
    for (const auto& row : rows) {
        Station st;
        st.instrument.state.setup.clockSpeed = row.speed;
        const uint32_t before = st.memory().logged;
        // Just short of the intervals: the last one is not due yet.
        st.clock.advanceUs(row.intervals * 60 * 1000000LL / row.speed - 1);
        st.instrument.keepTime();
        EXPECT_EQ(st.memory().logged, before + row.intervals - 1) << row.name;
        st.clock.advanceUs(1);
        st.instrument.keepTime();
        ASSERT_EQ(st.memory().logged, before + row.intervals) << row.name;
        for (int i = 0; i < row.intervals; ++i)
            ASSERT_EQ(st.stamp(before + i), stampOf(kStart + (i + 1) * 60)) << row.name << " record " << i;
        // The records made before logging began keep their times.
        EXPECT_EQ(st.stamp(before - 1), stampOf(kStart + (before - 1) * 60LL)) << row.name;
    }
}

TEST(SimLogging, AFullMemoryOverwritesItsOldestAndKeepsEveryRecordAsLogged) {
    Station st;
    st.instrument.state.setup.fieldsPerRecord = kTime + 1;
    SimRecords& m = st.memory();
    m.capacityValues = 5 * (kTime + 1) + 3;  // five records
    m.logged = 3;
    m.firstSeconds = kStart - 3 * 60;  // 23:57, 23:58, 23:59
    // Under a clock fault that misses one date in three, whether a record's date is missing
    // follows the record itself, not its place in the memory.
    auto dateMissing = [&st, &m](uint32_t r) {
        SimRecords faulty = m;
        faulty.clockMissingEvery = 3;
        return std::isnan(loggedValue(st.instrument.state.setup, faulty, r, kDate));
    };
    const bool keptMissing = dateMissing(2);
    const bool neighbourMissing = dateMissing(0);
    ASSERT_NE(keptMissing, neighbourMissing) << "the check below tells records apart";
    const float kept = loggedValue(st.instrument.state.setup, m, 2, 0);
    st.clock.advanceUs(4 * 60 * 1000000LL);
    st.instrument.keepTime();
    ASSERT_EQ(m.logged, 5u);
    EXPECT_EQ(m.dropped, 2u);
    const int64_t want[] = {-60, 60, 120, 180, 240};
    for (uint32_t r = 0; r < 5; ++r)
        EXPECT_EQ(st.stamp(r), stampOf(kStart + want[r])) << r;
    const float now = loggedValue(st.instrument.state.setup, m, 0, 0);
    EXPECT_TRUE(now == kept || (std::isnan(now) && std::isnan(kept))) << "a record's values never change";
    EXPECT_EQ(dateMissing(0), keptMissing);

    // Far more due than it holds: the newest five, one interval apart.
    st.clock.advanceUs(1000 * 60 * 1000000LL);
    st.instrument.keepTime();
    ASSERT_EQ(m.logged, 5u);
    EXPECT_EQ(m.dropped, 1002u);
    for (uint32_t r = 0; r < 5; ++r)
        EXPECT_EQ(st.stamp(r), stampOf(kStart + (1000 + r) * 60)) << r;
    EXPECT_TRUE(m.breaks.empty());
}

TEST(SimLogging, AnEraseEmptiesTheMemoryAndLoggingStartsAgain) {
    Station st;
    const std::vector<uint8_t> progress = st.ask("CMD345", 1025);
    ASSERT_EQ(progress.size(), 1025u);
    EXPECT_EQ(progress.back(), '*');
    EXPECT_EQ(st.memory().logged, 0u);
    st.clock.advanceUs(60 * 1000000LL);
    st.instrument.keepTime();
    ASSERT_EQ(st.memory().logged, 1u);
    EXPECT_EQ(st.stamp(0), stampOf(kStart + 60));
}

TEST(SimLogging, ACountSendsTheNewestOrWithTheOptionTheOldest) {
    const struct {
        const char* name;
        bool oldest;
        uint32_t logged, count, first, sent;
    } rows[] = {
        {"newest", false, 50, 3, 47, 3},
        {"oldest", true, 50, 3, 0, 3},
        {"more than held, newest", false, 4, 9, 0, 4},
        {"more than held, oldest", true, 4, 9, 0, 4},
    };
    for (const auto& row : rows) {
        Station st;
        st.memory().logged = row.logged;
        st.memory().sendsOldest = row.oldest;
        const std::vector<uint8_t> bytes = st.ask("CMD340 " + std::to_string(row.count), row.count * 28);
        ASSERT_EQ(bytes.size(), row.sent * 28) << row.name;
        for (uint32_t i = 0; i < row.sent; ++i) {
            uint32_t bits = 0;
            for (int b = 0; b < 4; ++b)
                bits |= uint32_t{bytes[i * 28 + kTime * 4 + b]} << (8 * b);
            EXPECT_EQ(std::bit_cast<float>(bits),
                      loggedValue(st.instrument.state.setup, st.memory(), row.first + i, kTime))
                << row.name << " record " << i;
        }
    }
}

TEST(SimLogging, APowerCutTakesThePortAndStopsTheClock) {
    Station st;
    st.instrument.faults.powerCut = PowerCut{90 * 1000000LL, 600 * 1000000LL};
    EXPECT_EQ(st.ask("CMD255", 2).size(), 2u);
    st.clock.advanceUs(100 * 1000000LL);
    uint8_t byte = 0;
    EXPECT_EQ(st.port.read({&byte, 1}).status, ReadStatus::HangUp);
    EXPECT_EQ(st.memory().logged, 100001u) << "the record due at 60 s";
    st.port.close();
    EXPECT_FALSE(st.port.openEx(""));
    st.clock.advanceUs(585 * 1000000LL);  // 5 s before it is back
    EXPECT_FALSE(st.port.openEx(""));
    st.clock.advanceUs(5 * 1000000LL + 30 * 1000000LL);  // back 30 s ago
    ASSERT_TRUE(st.port.openEx(""));
    const std::vector<uint8_t> time = st.ask("CMD285", 9);
    EXPECT_EQ(std::string(time.begin(), time.end()), std::string("00:02:00", 9))
        << "90 s before the cut, 30 s after";
    EXPECT_EQ(st.memory().logged, 100002u) << "the record due at 120 s of its clock";
}

TEST(SimLogging, TheMemoryAndItsLoggingSurviveARestart) {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("vrn-simlog-" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    SimRecords saved;
    {
        Station st;
        StateDir state(dir.string());
        std::string error;
        ASSERT_TRUE(state.load(st.instrument, error)) << error;  // makes the folder
        st.memory().logged = 10;
        st.memory().breaks = {{4, kStart + 7}, {7, kStart + 9000}};
        st.clock.advanceUs(150 * 1000000LL);  // two records logged, the next due at 180 s
        st.instrument.keepTime();
        saved = st.memory();
        ASSERT_TRUE(state.save(st.instrument, error)) << error;
    }
    {
        Station st;
        StateDir state(dir.string());
        std::string error;
        ASSERT_TRUE(state.load(st.instrument, error)) << error;
        const SimRecords& m = st.memory();
        EXPECT_EQ(recordsFileBytes(m), recordsFileBytes(saved));
        EXPECT_EQ(m.logged, 12u);
        EXPECT_EQ(m.nextSeconds, kStart + 180);
        ASSERT_EQ(m.breaks.size(), 3u);
        EXPECT_EQ(recordSeconds(m, 5), kStart + 67);
    }
    // A damaged file is refused with its reason, and the memory stays as it was.
    const std::string good = recordsFileBytes(saved);
    auto with = [&good](size_t at, char byte) {
        std::string b = good;
        b[at] = byte;
        return b;
    };
    std::vector<std::pair<std::string, std::string>> bad = {
        {"", "not a record memory"},   {with(0, 'X'), "not a record memory"},
        {with(20, 0), "out of range"},  // interval 0
        {with(49, 9), "do not hold"},   // nine breaks
        {good + "x", "do not hold"},    // a byte too many
        {with(65, 3), "out of order"},  // the second break before the first
    };
    for (size_t n = 0; n < good.size(); ++n)
        bad.emplace_back(good.substr(0, n), "records.bin");
    for (const auto& [bytes, why] : bad) {
        SimRecords m;
        std::string error;
        EXPECT_FALSE(readRecordsFile(bytes, m, error)) << why;
        EXPECT_NE(error.find(why), std::string::npos) << error;
        EXPECT_EQ(m.logged, SimRecords{}.logged);
    }
    std::ofstream(dir / "records.bin", std::ios::binary) << with(0, 'X');
    Station st;
    StateDir state(dir.string());
    std::string error;
    EXPECT_FALSE(state.load(st.instrument, error));
    EXPECT_EQ(error, "records.bin: not a record memory of this simulator");
    std::filesystem::remove_all(dir);
}

TEST(SimLogging, TheCommandLineSetsSpeedOrderAndPowerCut) {
    const struct {
        std::vector<std::string> args;
        bool ok;
        int64_t speed;
        bool oldest;
        int64_t cutAtUs, cutForUs;
    } rows[] = {
        {{"--speed", "600", "--sends-oldest"}, true, 600, true, -1, -1},
        {{"--power-cut-for", "30", "--power-cut-after", "5"}, true, 1, false, 5000000, 30000000},
        {{"--speed", "0"}, false, 1, false, -1, -1},
        {{"--speed", "1000001"}, false, 1, false, -1, -1},
        {{"--power-cut-after", "5"}, false, 1, false, -1, -1},
        {{"--power-cut-for", "-1", "--power-cut-after", "5"}, false, 1, false, -1, -1},
    };
    for (const auto& row : rows) {
        SimOptions options;
        std::string error;
        ASSERT_EQ(parseSimOptions(row.args, options, error), row.ok) << row.args[0] << " " << error;
        if (!row.ok) continue;
        EXPECT_EQ(options.speed, row.speed);
        EXPECT_EQ(options.sendsOldest, row.oldest);
        EXPECT_EQ(options.faults.powerCut ? options.faults.powerCut->atUs : -1, row.cutAtUs);
        EXPECT_EQ(options.faults.powerCut ? options.faults.powerCut->forUs : -1, row.cutForUs);
    }
}

}  // namespace
}  // namespace vrn::sim

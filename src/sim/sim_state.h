#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vrn::sim {

// One record field as the instrument keeps it.
struct SimField {
    std::string label;  // single-byte text, at most 25 characters
    uint8_t type = 0;
    uint8_t width = 7;
    uint8_t precision = 1;
};

// The instrument's Setup. Baud rates are kept as wire codes (12, 24, ... 230).
struct SimSetup {
    int month = 1, day = 1, year = 26;  // year - 2000
    int hour = 12, minute = 0, second = 0;
    int com1Code = 96;  // negative for RS-485
    int com2Code = 96;
    int stopOnError = 0;
    int keyLock = 0;
    int interval = 1;
    int fieldsPerRecord = 1;
    int autoScroll = 0;
    int scrollPause = 1;
    int scrollEnd = 8;
    std::array<SimField, 25> fields = defaultFields();
    // A running clock moves the date and time on with the Clock from clockSetUs; a stopped one
    // (the default, so that tests read back exactly what they set) keeps them as set.
    bool clockRuns = false;
    int64_t clockSetUs = 0;
    // The clock runs this many times faster than the Clock (the wire keeps its rate), so that a
    // night of logging passes in seconds; clockCarryUs keeps the part of a second it has run.
    int64_t clockSpeed = 1;
    int64_t clockCarryUs = 0;

    static std::array<SimField, 25> defaultFields();
};

// The instrument's own small program, as its 67,584-byte transfer image.
std::vector<uint8_t> defaultProgramImage();
// The most values (records x fields) the record memory holds: the largest download there is.
inline constexpr uint32_t kMemoryValues = 2162675;

// Where the times of the records held break their one-interval spacing (the clock was set): the
// record at index (from the oldest) has the time seconds.
struct RecordBreak {
    uint32_t index = 0;
    int64_t seconds = 0;
};

// The record memory: how many records are held, one every intervalSeconds from firstSeconds
// (oldest first) but for the breaks. Their values follow from the record format, the time of each
// record and its serial number (dropped + its index), so the memory takes no room for values.
// While the clock runs, a record is logged every intervalSeconds of it; when full, the oldest go.
struct SimRecords {
    uint32_t logged = 100000;
    int64_t firstSeconds = 1767225600;  // 2026-01-01 00:00:00
    uint32_t intervalSeconds = 60;
    // A clock fault: one record in this many (spread over the records) has its date and time
    // missing; 0 for a clock that never fails.
    uint32_t clockMissingEvery = 0;
    std::vector<RecordBreak> breaks{};
    uint64_t dropped = 0;  // records overwritten or erased so far
    // When (clock seconds) the next record is logged; unset until the clock first runs, and
    // after it was set.
    std::optional<int64_t> nextSeconds{};
    uint32_t capacityValues = kMemoryValues;
    // A count asks for the oldest records rather than the newest.
    bool sendsOldest = false;
};
// The eight user screens as the instrument keeps them: 8 x 6 rows x 40 cell bytes.
using SimScreens = std::array<uint8_t, 1920>;
// The screens a new instrument shows: a composed set of a weather station's.
SimScreens defaultScreens();
// Calibration, the hardware under test and the firmware.
struct SimService {
    int calibrationSteps = 0;  // steps run since power-up
    float seReference = 5000.0F;
    float diffReference = 5000.0F;
    std::array<int, 4> outputMillivolts{};
    std::array<int, 4> outputMilliamperes{};
    std::array<bool, 4> switches{};
    std::array<bool, 4> pullDowns{};
    std::string firmwareVersion = "41700 FIRMWARE 3.12";
    uint32_t firmwareRecords = 0;  // records programmed by the last update
    uint32_t firmwareSum = 0;      // sum of the data bytes programmed by the last update
    bool flashErased = false;      // erased and not yet programmed to its S9 record
};

// Everything the simulated instrument remembers. Each subsystem adds its part.
struct State {
    SimSetup setup;
    // The user program as its transfer image (numbers most significant byte first, order table).
    std::vector<uint8_t> program = defaultProgramImage();
    SimRecords records;
    SimScreens screens = defaultScreens();
    SimService service;
    bool poweredOff = false;  // a power cut: the port gone, the clock stopped
};

}  // namespace vrn::sim

#pragma once

#include <array>
#include <cstdint>
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

    static std::array<SimField, 25> defaultFields();
};

// The instrument's own small program, as its 67,584-byte transfer image.
std::vector<uint8_t> defaultProgramImage();
// The record memory: how many records are logged, one every intervalSeconds from firstSeconds.
// Their values follow from the record format and the time of each record.
struct SimRecords {
    uint32_t logged = 100000;
    int64_t firstSeconds = 1767225600;  // 2026-01-01 00:00:00
    uint32_t intervalSeconds = 60;
    // A clock fault: one record in this many (spread over the records) has its date and time
    // missing; 0 for a clock that never fails.
    uint32_t clockMissingEvery = 0;
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
};

}  // namespace vrn::sim

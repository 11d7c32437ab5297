#pragma once

#include <array>
#include <cstdint>
#include <string>

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

    static std::array<SimField, 25> defaultFields();
};

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
    SimService service;
};

}  // namespace vrn::sim

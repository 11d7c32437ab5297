#include "sim/records_commands.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

#include "core/link/virtual_clock.h"
#include "sim/instrument.h"
#include "sim/record_memory.h"

namespace vrn::sim {
namespace {

// One in this many values is missing, spread over fields and records.
constexpr uint64_t kMissingEvery = 4999;

float weather(int k, int64_t seconds) {
    const double day = std::fmod(static_cast<double>(seconds) / 86400.0, 1.0);
    const double daily = std::sin(2.0 * std::numbers::pi * (day - 0.375));
    const double slow = std::sin(static_cast<double>(seconds) / 86400.0 / 3.0);
    switch (k % 6) {
    case 0:  // air temperature, degrees C
        return static_cast<float>(11.0 + 7.5 * daily + 2.0 * slow);
    case 1:  // relative humidity, %
        return static_cast<float>(68.0 - 18.0 * daily);
    case 2:  // pressure, hPa
        return static_cast<float>(1013.0 + 6.0 * slow);
    case 3:  // wind speed, m/s
        return static_cast<float>(
            std::abs(3.5 + 2.5 * daily + 1.5 * std::sin(static_cast<double>(seconds) / 700.0)));
    case 4:  // wind direction, degrees
        return static_cast<float>(std::fmod(225.0 + 40.0 * slow + 20.0 * daily + 360.0, 360.0));
    default:  // solar radiation, W/m2
        return static_cast<float>(std::max(0.0, 850.0 * daily));
    }
}

void putLittleEndian(std::vector<uint8_t>& out, float value) {
    const auto bits = std::bit_cast<uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<uint8_t>(bits >> shift));
}

void sendRecords(Instrument& in, const CommandLine& cmd) {
    uint32_t n = 0;
    if (cmd.args.size() != 1) return;
    const std::string& arg = cmd.args[0];
    if (std::from_chars(arg.data(), arg.data() + arg.size(), n).ec != std::errc()) return;
    const SimSetup& setup = in.state.setup;
    const SimRecords& records = in.state.records;
    const int fields = std::clamp(setup.fieldsPerRecord, 1, 25);
    const uint32_t count = std::min(n, records.logged);
    const uint32_t from = records.sendsOldest ? 0 : records.logged - count;
    std::vector<uint8_t> bytes;
    bytes.reserve(size_t{count} * static_cast<size_t>(fields) * 4);
    for (uint32_t r = from; r < from + count; ++r)
        for (int k = 0; k < fields; ++k)
            putLittleEndian(bytes, loggedValue(setup, records, r, k));

    const RecordFaults& faults = in.faults.records;
    if (faults.stopAfterBytes) bytes.resize(std::min<uint64_t>(bytes.size(), *faults.stopAfterBytes));
    const std::span<const uint8_t> all(bytes);
    if (faults.stallAfterBytes && *faults.stallAfterBytes < bytes.size()) {
        const size_t first = *faults.stallAfterBytes;
        in.replyBytes(all.first(first));
        in.replyBytes(all.subspan(first),
                      static_cast<int64_t>(first) * Instrument::kByteTimeUs + faults.stallUs);
        return;
    }
    in.replyBytes(all);
}

void erase(Instrument& in, const CommandLine&) {
    eraseRecords(in.state.records);
    const std::string& stray = in.faults.records.eraseStray;
    for (int step = 1; step <= kEraseSteps; ++step) {
        const int64_t at = step * kEraseStepUs;
        if (!stray.empty() && step % 128 == 0) in.reply(stray, at - kEraseStepUs / 2);
        in.reply("!", at);
    }
    in.reply("*", (kEraseSteps + 1) * kEraseStepUs);
}

}  // namespace

float loggedValue(const SimSetup& setup, const SimRecords& records, uint32_t r, int k) {
    const uint64_t serial = records.dropped + r;
    const uint64_t spread = serial * 7919 + static_cast<uint64_t>(k) * 104729 + 13;
    const int64_t seconds = recordSeconds(records, r);
    const LocalDateTime t = civilFromEpochSeconds(seconds);
    const uint8_t type = setup.fields[static_cast<size_t>(k)].type;
    // The instrument's own clock is missing only under the clock fault.
    if ((type == 1 || type == 2) && records.clockMissingEvery != 0 && spread % records.clockMissingEvery == 0)
        return std::numeric_limits<float>::quiet_NaN();
    switch (type) {
    case 1:
        return static_cast<float>((t.year - 2000) * 10000 + t.month * 100 + t.day);
    case 2:
        return static_cast<float>(t.hour * 10000 + t.minute * 100 + t.second);
    default:
        if (spread % kMissingEvery == 0) return std::numeric_limits<float>::quiet_NaN();
        return weather(k, seconds);
    }
}

void registerRecordsCommands(Instrument& in) {
    in.registerCommand(340, sendRecords);
    in.registerCommand(345, erase);
}

}  // namespace vrn::sim

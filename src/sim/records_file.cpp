#include "sim/records_file.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string_view>

namespace vrn::sim {
namespace {

constexpr std::string_view kMagic{"VRNMEM\x01\x00", 8};
// The magic, logged, first, interval, clock fault, dropped, capacity, next-set flag, next,
// break count.
constexpr size_t kHeaderBytes = 8 + 4 + 8 + 4 + 4 + 8 + 4 + 1 + 8 + 4;
constexpr size_t kBreakBytes = 4 + 8;
// A memory holds at most this many records (one value each); more is a damaged file.
constexpr uint64_t kMostRecords = kMemoryValues;
constexpr uint32_t kLongestInterval = 86400;
// Record times lie within the two-digit years of the clock (2000 to 2099), with room to spare.
constexpr int64_t kLatestSeconds = int64_t{5} * 1000 * 1000 * 1000;

bool plausibleTime(int64_t seconds) {
    return seconds >= 0 && seconds <= kLatestSeconds;
}

template <typename T>
void put(std::string& out, T value) {
    const auto bits = static_cast<uint64_t>(value);
    for (size_t i = 0; i < sizeof(T); ++i)
        out.push_back(static_cast<char>(bits >> (8 * i)));
}

// Reads fixed-width numbers from the front, never past the end.
class Reader {
public:
    explicit Reader(std::string_view bytes) : bytes_(bytes) {}
    template <typename T>
    T take() {
        if (bytes_.size() - at_ < sizeof(T)) {
            at_ = bytes_.size();
            return T{};
        }
        uint64_t bits = 0;
        for (size_t i = 0; i < sizeof(T); ++i)
            bits |= uint64_t{static_cast<uint8_t>(bytes_[at_ + i])} << (8 * i);
        at_ += sizeof(T);
        return static_cast<T>(bits);
    }

private:
    std::string_view bytes_;
    size_t at_ = 0;
};

}  // namespace

std::string recordsFileBytes(const SimRecords& m) {
    std::string out(kMagic);
    put<uint32_t>(out, m.logged);
    put<int64_t>(out, m.firstSeconds);
    put<uint32_t>(out, m.intervalSeconds);
    put<uint32_t>(out, m.clockMissingEvery);
    put<uint64_t>(out, m.dropped);
    put<uint32_t>(out, m.capacityValues);
    put<uint8_t>(out, m.nextSeconds ? 1 : 0);
    put<int64_t>(out, m.nextSeconds.value_or(0));
    put<uint32_t>(out, static_cast<uint32_t>(m.breaks.size()));
    for (const RecordBreak& b : m.breaks) {
        put<uint32_t>(out, b.index);
        put<int64_t>(out, b.seconds);
    }
    return out;
}

bool readRecordsFile(const std::string& bytes, SimRecords& records, std::string& error) {
    auto bad = [&error](const std::string& why) {
        error = "records.bin: " + why;
        return false;
    };
    if (bytes.size() < kHeaderBytes || std::string_view(bytes).substr(0, kMagic.size()) != kMagic)
        return bad("not a record memory of this simulator");
    Reader in(std::string_view(bytes).substr(kMagic.size()));
    SimRecords m = records;
    m.logged = in.take<uint32_t>();
    m.firstSeconds = in.take<int64_t>();
    m.intervalSeconds = in.take<uint32_t>();
    m.clockMissingEvery = in.take<uint32_t>();
    m.dropped = in.take<uint64_t>();
    m.capacityValues = in.take<uint32_t>();
    const auto hasNext = in.take<uint8_t>();
    const auto next = in.take<int64_t>();
    const auto breaks = in.take<uint32_t>();
    if (m.logged > kMostRecords || m.intervalSeconds < 1 || m.intervalSeconds > kLongestInterval ||
        m.capacityValues < 1 || m.capacityValues > kMemoryValues || hasNext > 1 ||
        !plausibleTime(m.firstSeconds) || !plausibleTime(next))
        return bad("a number out of range");
    if (breaks >= std::max<uint32_t>(m.logged, 1) ||
        bytes.size() != kHeaderBytes + uint64_t{breaks} * kBreakBytes)
        return bad(std::to_string(bytes.size()) + " bytes do not hold " + std::to_string(breaks) + " breaks");
    Reader tail(std::string_view(bytes).substr(kHeaderBytes));
    m.breaks.clear();
    for (uint32_t i = 0; i < breaks; ++i) {
        RecordBreak b;
        b.index = tail.take<uint32_t>();
        b.seconds = tail.take<int64_t>();
        const uint32_t after = m.breaks.empty() ? 0 : m.breaks.back().index;
        if (b.index <= after || b.index >= m.logged || !plausibleTime(b.seconds))
            return bad("the breaks are out of order");
        m.breaks.push_back(b);
    }
    m.nextSeconds = hasNext ? std::optional<int64_t>(next) : std::nullopt;
    records = m;
    return true;
}

}  // namespace vrn::sim

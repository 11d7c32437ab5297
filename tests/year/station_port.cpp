#include "station_port.h"

#include "core/link/clock.h"
#include "sim/instrument.h"

namespace vrn::test {
namespace {

constexpr int kGetRecords = 340;

}  // namespace

StationPort::StationPort(sim::Instrument& instrument, Clock& clock, std::function<void()> recordsAsked,
                         std::optional<size_t> loseAfter, int64_t downUs)
    : instrument_(instrument),
      clock_(clock),
      port_(instrument, clock),
      recordsAsked_(std::move(recordsAsked)),
      loseAfter_(loseAfter),
      downUs_(downUs),
      downloads_(instrument.commandCounts[kGetRecords]) {}

bool StationPort::openEx(std::string_view description) {
    return port_.openEx(description);
}

void StationPort::write(std::span<const uint8_t> bytes) {
    port_.write(bytes);
    // The instrument handles a command as its last byte arrives.
    if (instrument_.commandCounts[kGetRecords] == downloads_) return;
    downloads_ = instrument_.commandCounts[kGetRecords];
    downloading_ = true;
    if (recordsAsked_) recordsAsked_();
}

ReadResult StationPort::read(std::span<uint8_t> buffer) {
    const ReadResult result = port_.read(buffer);
    if (!loseAfter_ || !downloading_) return result;
    recordBytes_ += result.count;
    if (recordBytes_ >= *loseAfter_) {
        instrument_.faults.powerCut = sim::PowerCut{clock_.nowUs(), downUs_};
        loseAfter_.reset();
    }
    return result;
}

}  // namespace vrn::test

#include "station_port.h"

#include "core/link/clock.h"
#include "sim/instrument.h"

namespace vrn::test {
namespace {

constexpr int kGetRecords = 340;

}  // namespace

StationPort::StationPort(sim::Instrument& instrument, Clock& clock, std::optional<size_t> loseAfter,
                         int64_t downUs)
    : instrument_(instrument),
      clock_(clock),
      port_(instrument, clock),
      loseAfter_(loseAfter),
      downUs_(downUs) {}

bool StationPort::openEx(std::string_view description) {
    downloadsBefore_ = instrument_.commandCounts[kGetRecords];
    return port_.openEx(description);
}

ReadResult StationPort::read(std::span<uint8_t> buffer) {
    const ReadResult result = port_.read(buffer);
    if (!loseAfter_ || instrument_.commandCounts[kGetRecords] == downloadsBefore_) return result;
    recordBytes_ += result.count;
    if (recordBytes_ >= *loseAfter_) {
        instrument_.faults.powerCut = sim::PowerCut{clock_.nowUs(), downUs_};
        loseAfter_.reset();
    }
    return result;
}

}  // namespace vrn::test

// The setup file reader: any bytes load into a Setup whose values stay in their controls' ranges,
// and what it loaded saves and loads again to the same file.
#include <cstdlib>
#include <vector>

#include "core/setup/setup_file.h"
#include "core/setup/setup_model.h"
#include "core/text/utf8.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vrn::setup;
    SetupModel m;
    readSetupFile({data, size}, m);
    const auto inRange = [](int v, SpinRange r) { return v >= r.min && v <= r.max; };
    if (!inRange(m.interval(), kIntervalRange) || !inRange(m.fieldsPerRecord(), kFieldsPerRecordRange) ||
        !inRange(m.scrollPause(), kScrollPauseRange) || !inRange(m.scrollEnd(), kScrollEndRange) ||
        m.com1Baud() < -1 || m.com1Baud() > 7 || m.com2Baud() < -1 || m.com2Baud() > 7 || m.com1Type() < -1 ||
        m.com1Type() > 1)
        std::abort();
    for (int i = 0; i < kFieldCount; ++i) {
        const RecordField& f = m.field(i);
        if (!inRange(f.width, kWidthRange) || !inRange(f.precision, kPrecisionRange) ||
            vrn::text::utf8Length(f.label) > kLabelMaxChars)
            std::abort();
    }
    const std::vector<uint8_t> saved = writeSetupFile(m);
    if (saved.size() != kSetupFileSize) std::abort();
    SetupModel again;
    readSetupFile(saved, again);
    if (writeSetupFile(again) != saved) std::abort();
    return 0;
}

// The decoder of the 800-byte record format the instrument sends: whatever arrives, every row it
// accepts must encode back to the same label, type, width and precision bytes, and stay in range.
#include <cstdlib>

#include "core/setup/field_block.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vrn::setup;
    const std::span<const uint8_t> bytes(data, size);
    const DecodedFormats formats = decodeRecordFormats(bytes);
    if (formats.rows.empty() || formats.rows.size() > static_cast<size_t>(kFieldCount)) std::abort();
    if (formats.ok != (formats.rows.size() == static_cast<size_t>(kFieldCount) &&
                       formats.rows.back().status == DecodedField::Status::Ok))
        std::abort();
    for (size_t i = 0; i < formats.rows.size(); ++i) {
        const DecodedField& d = formats.rows[i];
        if (d.status != DecodedField::Status::Ok) continue;
        if (d.type > 2 || d.width > 9 || d.precision > 7) std::abort();
        RecordField f;
        f.label = d.label;
        f.type = d.type;
        f.width = d.width;
        f.precision = d.precision;
        const FieldBlock again = encodeFieldBlock(f);
        const auto original = bytes.subspan(i * kFieldBlockSize, kFieldBlockSize);
        for (size_t b = 0; b < 28 && again[b] != 0; ++b)
            if (again[b] != original[b]) std::abort();
        if (again[28] != original[28] || again[29] != original[29] || again[30] != original[30]) std::abort();
    }
    return 0;
}

// The downloaded record bytes cut by a record format into the record text file and the display
// text: whatever the bytes and the format, the file has one line per whole record after its three
// header lines, each line has one delimiter fewer than fields, every number reads as "%0*.*f"
// prints it, and every display line starts with its record number.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/records/record_text.h"
#include "core/records/value_format.h"
#include "fuzz_input.h"

using vrn::fuzz::require;

namespace {

size_t count(const std::string& text, char c) {
    size_t n = 0;
    for (char t : text)
        n += t == c;
    return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vrn;
    fuzz::Input in(data, size);
    const size_t fieldCount = 1 + in.byte() % 25;
    std::vector<setup::RecordField> fields(fieldCount);
    for (size_t k = 0; k < fieldCount; ++k) {
        fields[k].label = setup::defaultFieldLabel(static_cast<int>(k));
        fields[k].type = static_cast<int8_t>(in.byte()) % 5;
        fields[k].width = 1 + in.byte() % 9;
        fields[k].precision = in.byte() % 7;
    }
    const records::RecordBlock block(fields, in.rest());
    require(block.recordCount() == in.rest().size() / (fieldCount * 4), "whole records only");

    std::string file = records::recordFileHeader(block, ',', {2026, 1, 2, 3, 4, 5});
    records::appendRecordLines(file, block, 0, block.recordCount(), ',');
    require(count(file, '\n') == block.recordCount() + 3, "one line per record after the header");
    require(count(file, '\r') == count(file, '\n'), "every line ends with CR LF");
    require(count(file, ',') == (block.recordCount() + 1) * (fieldCount - 1), "F - 1 delimiters a line");

    for (size_t r = 0; r < block.recordCount(); ++r)
        for (size_t k = 0; k < fieldCount; ++k) {
            const float v = block.value(r, k);
            const std::string text = records::formatValue(v, fields[k]);
            if (fields[k].type == 0 && std::isfinite(v)) {
                char expected[96];
                std::snprintf(expected, sizeof expected, "%0*.*f", fields[k].width, fields[k].precision,
                              static_cast<double>(v));
                require(text == expected, "numbers as printf prints them");
            }
            require(text.size() <= 48, "a value's text is bounded");
        }

    std::string display;
    records::appendDisplayLines(display, block, 0, block.recordCount(), '\t');
    require(count(display, '\n') == block.recordCount(), "one display line per record");
    size_t lineStart = 0;
    for (size_t r = 0; r < block.recordCount(); ++r) {
        char number[32];
        std::snprintf(number, sizeof number, "%07zu\t", r + 1);
        require(display.compare(lineStart, std::strlen(number), number) == 0,
                "display lines start with the record number");
        lineStart = display.find('\n', lineStart) + 1;
    }
    return 0;
}

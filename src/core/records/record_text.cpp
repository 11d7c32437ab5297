#include "core/records/record_text.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstdio>

#include "core/records/value_format.h"
#include "core/text/cp1252.h"

namespace vrn::records {
namespace {

void appendValues(std::string& out, const RecordBlock& block, size_t r, char delimiter) {
    const size_t fields = block.fieldCount();
    for (size_t k = 0; k < fields; ++k) {
        if (k > 0) out.push_back(delimiter);
        appendValue(out, block.value(r, k), block.field(k));
    }
    out += "\r\n";
}

// A record's number as "%07i": seven digits with leading zeros, more when it needs them.
void appendRecordNumber(std::string& out, size_t number) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, number).ptr;
    const auto n = static_cast<size_t>(end - digits);
    if (n < 7) out.append(7 - n, '0');
    out.append(digits, end);
}

// One past the last record of a range, kept inside the block however large count is.
size_t lastOf(const RecordBlock& block, size_t first, size_t count) {
    const size_t n = block.recordCount();
    return first >= n ? first : first + std::min(count, n - first);
}

}  // namespace

char delimiterOf(int index) {
    switch (index) {
    case 0:
        return ' ';
    case 2:
        return '\t';
    default:
        return ',';
    }
}

RecordBlock::RecordBlock(std::vector<setup::RecordField> fields, std::span<const uint8_t> bytes)
    : fields_(std::move(fields)), bytes_(bytes) {
    const size_t recordBytes = fields_.size() * kValueBytes;
    records_ = recordBytes == 0 ? 0 : bytes_.size() / recordBytes;
}

float RecordBlock::value(size_t r, size_t k) const {
    const uint8_t* p = bytes_.data() + (r * fields_.size() + k) * kValueBytes;
    const uint32_t bits = uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
    return std::bit_cast<float>(bits);
}

std::vector<setup::RecordField> recordFormat(const setup::SetupModel& model) {
    std::vector<setup::RecordField> fields;
    fields.reserve(static_cast<size_t>(model.fieldsPerRecord()));
    for (int i = 0; i < model.fieldsPerRecord(); ++i)
        fields.push_back(model.field(i));
    return fields;
}

std::string recordFileHeader(const RecordBlock& block, char delimiter, const LocalDateTime& now) {
    char line[96];
    std::snprintf(line, sizeof line, "%zu RECORDS\r\n%02u-%02u-%04u %02u:%02u:%02u\r\n", block.recordCount(),
                  static_cast<unsigned>(now.month), static_cast<unsigned>(now.day),
                  static_cast<unsigned>(now.year), static_cast<unsigned>(now.hour),
                  static_cast<unsigned>(now.minute), static_cast<unsigned>(now.second));
    std::string out = line;
    for (size_t k = 0; k < block.fieldCount(); ++k) {
        if (k > 0) out.push_back(delimiter);
        out += text::utf8ToCp1252(block.field(k).label);
    }
    out += "\r\n";
    return out;
}

void appendRecordLines(std::string& out, const RecordBlock& block, size_t first, size_t count,
                       char delimiter) {
    const size_t end = lastOf(block, first, count);
    for (size_t r = first; r < end; ++r)
        appendValues(out, block, r, delimiter);
}

void appendDisplayLines(std::string& out, const RecordBlock& block, size_t first, size_t count,
                        char delimiter) {
    std::string lines;
    appendRecordLines(lines, block, first, count, delimiter);
    appendNumberedLines(out, lines, first + 1, count, delimiter);
}

std::string_view appendNumberedLines(std::string& out, std::string_view lines, size_t firstNumber,
                                     size_t count, char delimiter) {
    for (size_t i = 0; i < count && !lines.empty(); ++i) {
        const size_t end = lines.find('\n');
        const size_t length = end == std::string_view::npos ? lines.size() : end + 1;
        appendRecordNumber(out, firstNumber + i);
        out.push_back(delimiter);
        out.append(lines.substr(0, length));
        lines.remove_prefix(length);
    }
    return lines;
}

}  // namespace vrn::records

#include "core/setup/field_block.h"

#include "core/text/cp1252.h"

namespace vrn::setup {
namespace {

constexpr size_t kTypeAt = 28;
constexpr size_t kWidthAt = 29;
constexpr size_t kPrecisionAt = 30;
// The label is read from bytes 0..26; byte 27 always ends it.
constexpr size_t kLabelSpan = 27;
constexpr uint8_t kMaxType = 2;
constexpr uint8_t kMaxWidth = 9;
constexpr uint8_t kMaxPrecision = 7;

}  // namespace

FieldBlock encodeFieldBlock(const RecordField& field) {
    FieldBlock block{};
    const std::string label = text::utf8ToCp1252(field.label);
    for (size_t i = 0; i < label.size() && i < kLabelMaxChars; ++i)
        block[i] = static_cast<uint8_t>(label[i]);
    block[kTypeAt] = static_cast<uint8_t>(field.type);
    block[kWidthAt] = static_cast<uint8_t>(field.width);
    block[kPrecisionAt] = static_cast<uint8_t>(field.precision);
    return block;
}

DecodedField decodeFieldBlock(std::span<const uint8_t> bytes) {
    DecodedField d;
    if (bytes.size() < kFieldBlockSize) {
        d.status = DecodedField::Status::TooShort;
        return d;
    }
    size_t length = 0;
    while (length < kLabelSpan && bytes[length] != 0)
        ++length;
    if (length > kLabelMaxChars) {
        d.status = DecodedField::Status::LabelTooLong;
        return d;
    }
    d.label = text::cp1252ToUtf8(bytes.first(length));
    d.type = bytes[kTypeAt];
    d.width = bytes[kWidthAt];
    d.precision = bytes[kPrecisionAt];
    if (d.type > kMaxType || d.width > kMaxWidth || d.precision > kMaxPrecision)
        d.status = DecodedField::Status::ValueTooLarge;
    return d;
}

DecodedFormats decodeRecordFormats(std::span<const uint8_t> bytes) {
    DecodedFormats out;
    for (size_t i = 0; i < static_cast<size_t>(kFieldCount); ++i) {
        const size_t at = i * kFieldBlockSize;
        out.rows.push_back(
            decodeFieldBlock(at < bytes.size() ? bytes.subspan(at) : std::span<const uint8_t>{}));
        if (out.rows.back().status != DecodedField::Status::Ok) return out;
    }
    out.ok = true;
    return out;
}

}  // namespace vrn::setup

#include "core/setup/setup_file.h"

#include <algorithm>
#include <optional>
#include <string>

#include "core/text/cp1252.h"

namespace vrn::setup {
namespace {

class Writer {
public:
    void i32(int32_t v) {
        const auto u = static_cast<uint32_t>(v);
        for (int shift = 0; shift < 32; shift += 8)
            out.push_back(static_cast<uint8_t>(u >> shift));
    }
    void label(const std::string& utf8) {
        const std::string bytes = text::utf8ToCp1252(utf8);
        for (size_t i = 0; i < kFileLabelSize; ++i)
            out.push_back(i < bytes.size() && i < kLabelMaxChars ? static_cast<uint8_t>(bytes[i]) : 0);
    }
    std::vector<uint8_t> out;
};

// Reads items in order; an item not wholly inside the bytes is absent.
class Reader {
public:
    explicit Reader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

    std::optional<int32_t> i32() {
        if (bytes_.size() - pos_ < 4) return std::nullopt;
        uint32_t u = 0;
        for (int i = 0; i < 4; ++i)
            u |= uint32_t{bytes_[pos_ + static_cast<size_t>(i)]} << (8 * i);
        pos_ += 4;
        return static_cast<int32_t>(u);
    }
    std::optional<std::string> label() {
        if (bytes_.size() - pos_ < kFileLabelSize) return std::nullopt;
        const auto field = bytes_.subspan(pos_, kFileLabelSize);
        pos_ += kFileLabelSize;
        size_t length = 0;
        while (length < field.size() && field[length] != 0)
            ++length;
        return text::cp1252ToUtf8(field.first(length));
    }

private:
    std::span<const uint8_t> bytes_;
    size_t pos_ = 0;
};

}  // namespace

std::vector<uint8_t> writeSetupFile(const SetupModel& m) {
    Writer w;
    w.out.reserve(kSetupFileSize);
    w.i32(m.com2Baud());
    w.i32(m.stopOnError() ? 1 : 0);
    w.i32(m.keyLock() ? 1 : 0);
    w.i32(m.interval());
    w.i32(m.fieldsPerRecord());
    w.i32(m.autoScroll() ? 1 : 0);
    w.i32(m.scrollPause());
    w.i32(m.scrollEnd());
    for (int i = 0; i < kFieldCount; ++i) {
        const RecordField& f = m.field(i);
        w.label(f.label);
        w.i32(f.type);
        w.i32(f.width);
        w.i32(f.precision);
    }
    w.i32(m.com1Baud());
    w.i32(m.com1Type());
    return std::move(w.out);
}

void readSetupFile(std::span<const uint8_t> bytes, SetupModel& m) {
    Reader r(bytes.first(std::min(bytes.size(), kSetupFileSize)));
    const auto number = [&](auto apply) {
        const auto v = r.i32();
        if (v) apply(*v);
        return v.has_value();
    };
    const bool header =
        number([&](int32_t v) { m.setCom2Baud(v); }) &&
        number([&](int32_t v) { m.setStopOnError(v != 0); }) &&
        number([&](int32_t v) { m.setKeyLock(v != 0); }) && number([&](int32_t v) { m.setInterval(v); }) &&
        number([&](int32_t v) { m.setFieldsPerRecord(v); }) &&
        number([&](int32_t v) { m.setAutoScroll(v != 0); }) &&
        number([&](int32_t v) { m.setScrollPause(v); }) && number([&](int32_t v) { m.setScrollEnd(v); });
    if (!header) return;
    for (int i = 0; i < kFieldCount; ++i) {
        const auto label = r.label();
        if (!label) return;
        m.setLabel(i, *label);
        const bool complete = number([&](int32_t v) { m.setType(i, v); }) &&
                              number([&](int32_t v) { m.setWidth(i, v); }) &&
                              number([&](int32_t v) { m.setPrecision(i, v); });
        if (!complete) return;
    }
    if (bytes.size() <= kSetupFileSizeWithoutCom1) return;
    if (number([&](int32_t v) { m.setCom1Baud(v); })) number([&](int32_t v) { m.setCom1Type(v); });
}

}  // namespace vrn::setup

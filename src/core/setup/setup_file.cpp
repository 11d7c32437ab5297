#include "core/setup/setup_file.h"

#include <algorithm>
#include <array>
#include <cstdio>
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

template <size_t N>
std::string itemText(const std::array<const char*, N>& items, int64_t index) {
    return index >= 0 && static_cast<size_t>(index) < N ? items[static_cast<size_t>(index)] : "(none)";
}

std::string fieldValueName(int index, const char* what) {
    char name[32];
    std::snprintf(name, sizeof name, "FIELD %02d %s", index + 1, what);
    return name;
}

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

std::vector<AdjustedValue> readSetupFile(std::span<const uint8_t> bytes, SetupModel& m) {
    Reader r(bytes.first(std::min(bytes.size(), kSetupFileSize)));
    std::vector<AdjustedValue> adjusted;
    // Reads the next value into the model; a value the model changed on the way is noted.
    const auto value = [&](std::string name, auto set, auto get, auto show) {
        const auto v = r.i32();
        if (!v) return false;
        set(*v);
        const int64_t kept = get();
        if (kept != *v) adjusted.push_back({std::move(name), *v, show(kept)});
        return true;
    };
    const auto flag = [&](auto set) {
        const auto v = r.i32();
        if (v) set(*v != 0);
        return v.has_value();
    };
    const auto number = [](int64_t v) { return std::to_string(v); };
    const auto baud = [](int64_t i) { return itemText(kBaudItems, i); };
    const auto com1Type = [](int64_t i) { return itemText(kCom1TypeItems, i); };

    const bool header =
        value(
            "COM2 BAUD", [&](int32_t v) { m.setCom2Baud(v); }, [&] { return m.com2Baud(); }, baud) &&
        flag([&](bool on) { m.setStopOnError(on); }) && flag([&](bool on) { m.setKeyLock(on); }) &&
        value(
            "INTERVAL", [&](int32_t v) { m.setInterval(v); }, [&] { return m.interval(); }, number) &&
        value(
            "FIELDS PER RECORD", [&](int32_t v) { m.setFieldsPerRecord(v); },
            [&] { return m.fieldsPerRecord(); }, number) &&
        flag([&](bool on) { m.setAutoScroll(on); }) &&
        value(
            "SCROLL PAUSE", [&](int32_t v) { m.setScrollPause(v); }, [&] { return m.scrollPause(); },
            number) &&
        value(
            "SCROLL END SCREEN", [&](int32_t v) { m.setScrollEnd(v); }, [&] { return m.scrollEnd(); },
            number);
    if (!header) return adjusted;
    for (int i = 0; i < kFieldCount; ++i) {
        const auto label = r.label();
        if (!label) return adjusted;
        m.setLabel(i, *label);
        const auto type = r.i32();
        if (!type) return adjusted;
        m.setType(i, *type);
        const bool complete = value(
                                  fieldValueName(i, "WIDTH"), [&](int32_t v) { m.setWidth(i, v); },
                                  [&] { return m.field(i).width; }, number) &&
                              value(
                                  fieldValueName(i, "PRECISION"), [&](int32_t v) { m.setPrecision(i, v); },
                                  [&] { return m.field(i).precision; }, number);
        if (!complete) return adjusted;
    }
    if (bytes.size() <= kSetupFileSizeWithoutCom1) return adjusted;
    if (value(
            "COM1 BAUD", [&](int32_t v) { m.setCom1Baud(v); }, [&] { return m.com1Baud(); }, baud))
        value(
            "COM1 TYPE", [&](int32_t v) { m.setCom1Type(v); }, [&] { return m.com1Type(); }, com1Type);
    return adjusted;
}

std::string adjustedValueText(const AdjustedValue& a) {
    return a.name + " " + std::to_string(a.inFile) + " is out of range: taken as " + a.kept;
}

}  // namespace vrn::setup

#include "core/compare/setup_compare.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "core/setup/setup_model.h"

namespace vrn::compare {
namespace {

template <size_t N>
std::string itemText(const std::array<const char*, N>& items, int64_t index) {
    if (index >= 0 && static_cast<size_t>(index) < N) return items[static_cast<size_t>(index)];
    return index < 0 ? std::string("(none)") : "(item " + std::to_string(index) + ")";
}

std::string onOff(bool on) {
    return on ? "ON" : "OFF";
}

std::string inQuotes(const std::string& text) {
    return "\"" + text + "\"";
}

std::string fieldName(int index, const char* what) {
    char name[32];
    std::snprintf(name, sizeof name, "FIELD %02d %s", index + 1, what);
    return name;
}

class Differences {
public:
    void add(const std::string& name, const std::string& file, const std::string& instrument) {
        if (file != instrument) found_.push_back({name, file, instrument});
    }
    std::vector<Difference> take() { return std::move(found_); }

private:
    std::vector<Difference> found_;
};

bool isNumber(const setup::RecordField& f) {
    return f.type == static_cast<int32_t>(setup::FieldType::Number);
}

}  // namespace

std::vector<std::string> compareSetup(const setup::SetupModel& file, const setup::SetupModel& instrument,
                                      bool compareCom1) {
    return differenceLines(setupDifferences(file, instrument, compareCom1));
}

std::vector<Difference> setupDifferences(const setup::SetupModel& file, const setup::SetupModel& instrument,
                                         bool compareCom1) {
    Differences out;
    const setup::SetupModel& f = file;
    const setup::SetupModel& i = instrument;
    if (compareCom1) {
        out.add("COM1 TYPE", itemText(setup::kCom1TypeItems, f.com1Type()),
                itemText(setup::kCom1TypeItems, i.com1Type()));
        out.add("COM1 BAUD", itemText(setup::kBaudItems, f.com1Baud()),
                itemText(setup::kBaudItems, i.com1Baud()));
    }
    out.add("COM2 BAUD", itemText(setup::kBaudItems, f.com2Baud()),
            itemText(setup::kBaudItems, i.com2Baud()));
    out.add("STOP ON ERROR", onOff(f.stopOnError()), onOff(i.stopOnError()));
    out.add("KEYPAD LOCK", onOff(f.keyLock()), onOff(i.keyLock()));
    out.add("INTERVAL", std::to_string(f.interval()), std::to_string(i.interval()));
    out.add("AUTO SCROLL", onOff(f.autoScroll()), onOff(i.autoScroll()));
    if (f.autoScroll() || i.autoScroll()) {
        out.add("SCROLL PAUSE", std::to_string(f.scrollPause()), std::to_string(i.scrollPause()));
        out.add("SCROLL END SCREEN", std::to_string(f.scrollEnd()), std::to_string(i.scrollEnd()));
    }
    out.add("FIELDS PER RECORD", std::to_string(f.fieldsPerRecord()), std::to_string(i.fieldsPerRecord()));
    const int rows = std::min(setup::kFieldCount, std::max(f.fieldsPerRecord(), i.fieldsPerRecord()));
    for (int row = 0; row < rows; ++row) {
        const setup::RecordField& a = f.field(row);
        const setup::RecordField& b = i.field(row);
        out.add(fieldName(row, "LABEL"), inQuotes(a.label), inQuotes(b.label));
        out.add(fieldName(row, "TYPE"), itemText(setup::kFieldTypeItems, a.type),
                itemText(setup::kFieldTypeItems, b.type));
        if (isNumber(a) && isNumber(b)) {
            out.add(fieldName(row, "WIDTH"), std::to_string(a.width), std::to_string(b.width));
            out.add(fieldName(row, "PRECISION"), std::to_string(a.precision), std::to_string(b.precision));
        }
    }
    return out.take();
}

}  // namespace vrn::compare

#include "core/program/display_width.h"

#include "core/program/catalogue.h"

namespace vrn {
namespace {

constexpr uint16_t kDisplayFlags = 6;
constexpr uint16_t kDisplayNesw = 7;
constexpr uint16_t kDisplayText = 8;
constexpr uint16_t kDisplayTime = 9;
constexpr uint16_t kDisplayValue = 10;

constexpr int32_t kTimeWidth = 8;          // HH:MM:SS
constexpr int32_t kCompassPointWidth = 3;  // the longest of the 16 points: NNE, ENE, ...
// The 16 flags FLAG SET MASK addresses: one digit each in binary, four hexadecimal digits.
constexpr int32_t kFlagsBinaryWidth = 16;
constexpr int32_t kFlagsHexWidth = 4;
constexpr uint16_t kFlagsBinary = 0;  // "BIN" in the format list

std::optional<size_t> paramIndex(const InstrDesc& d, std::string_view name) {
    for (size_t j = 0; j < d.paramCount && j < kMaxParams; ++j)
        if (d.params[j].name == name) return j;
    return std::nullopt;
}

}  // namespace

std::string_view textBeforeEndMark(std::string_view stored) {
    return stored.substr(0, stored.find('\\'));
}

std::optional<int32_t> displayedCharacters(const ProgramStore& store, size_t slot) {
    const uint16_t number = store.instruction(slot);
    const InstrDesc* d = instruction(number);
    if (d == nullptr) return std::nullopt;
    switch (number) {
    case kDisplayFlags: {
        const auto format = paramIndex(*d, "format=");
        const bool binary = format && store.shortValue(slot, *format) == kFlagsBinary;
        return binary ? kFlagsBinaryWidth : kFlagsHexWidth;
    }
    case kDisplayNesw:
        return kCompassPointWidth;
    case kDisplayText:
        return static_cast<int32_t>(textBeforeEndMark(store.textArea(slot)).size());
    case kDisplayTime:
        return kTimeWidth;
    case kDisplayValue:
        if (const auto width = paramIndex(*d, "width=")) return store.intValue(slot, *width);
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

}  // namespace vrn

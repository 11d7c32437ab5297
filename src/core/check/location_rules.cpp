#include <algorithm>
#include <set>

#include "core/check/check_context.h"

namespace vrn::check {
namespace {

constexpr uint16_t kLocEqualsValue = 34;     // "LOC = VALUE": loc= is written
constexpr uint16_t kSerialBufferValue = 50;  // "SERIAL BUFFER VALUE": loc= is read

bool reads(uint16_t number, std::string_view name) {
    return name == "sloc=" || name == "sloc1=" || name == "sloc2=" || name == "loc2=" || name == "loc3=" ||
           (number == kSerialBufferValue && name == "loc=");
}

bool writes(uint16_t number, std::string_view name) {
    return name == "dloc=" || name == "dloc1=" || name == "loc1=" ||
           (number == kLocEqualsValue && name == "loc=");
}

// The locations an instruction writes through parameter j: one, or for a serial input the #flds
// locations from dloc1 on (at least one, so that a zero count is reported once, as a value).
void addWritten(const CheckContext& c, size_t k, size_t j, std::set<int32_t>& written) {
    const int32_t first = c.intValue(k, j);
    int32_t count = 1;
    if (c.desc(k)->params[j].name == "dloc1=")
        if (const auto flds = c.param(k, "#flds=")) count = std::max(1, c.intValue(k, *flds));
    for (int32_t i = 0; i < count; ++i)
        written.insert(first + i);
}

}  // namespace

// A location that is read but that no instruction of the program writes holds whatever the
// instrument starts with: it runs, but hardly as meant.
void checkLocations(CheckContext& c) {
    std::set<int32_t> written;
    for (size_t k = 0; k < c.length(); ++k) {
        const InstrDesc* d = c.desc(k);
        if (d == nullptr) continue;
        for (size_t j = 0; j < d->paramCount; ++j)
            if (writes(c.number(k), d->params[j].name)) addWritten(c, k, j, written);
    }
    for (size_t k = 0; k < c.length(); ++k) {
        const InstrDesc* d = c.desc(k);
        if (d == nullptr) continue;
        for (size_t j = 0; j < d->paramCount; ++j) {
            if (!reads(c.number(k), d->params[j].name)) continue;
            const int32_t loc = c.intValue(k, j);
            if (!written.contains(loc))
                c.add(k, j, Severity::Warning, "location " + std::to_string(loc) + " is never written");
        }
    }
}

}  // namespace vrn::check

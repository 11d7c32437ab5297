#pragma once

#include <string>
#include <vector>

#include "core/setup/setup_model.h"

namespace vrn::test {

using Steps = std::vector<std::string>;

// The model as the twelve steps of a Get read it, in their order.
inline Steps stepsOf(const setup::SetupModel& m) {
    std::string formats;
    for (int i = 0; i < setup::kFieldCount; ++i) {
        const setup::RecordField& f = m.field(i);
        formats += f.label + "/" + std::to_string(f.type) + "/" + std::to_string(f.width) + "/" +
                   std::to_string(f.precision) + ";";
    }
    return {m.date(),
            m.time(),
            std::to_string(m.com1Baud()) + "/" + std::to_string(m.com1Type()),
            std::to_string(m.com2Baud()),
            std::to_string(m.stopOnError()),
            std::to_string(m.keyLock()),
            std::to_string(m.interval()),
            std::to_string(m.fieldsPerRecord()),
            formats,
            std::to_string(m.autoScroll()),
            std::to_string(m.scrollPause()),
            std::to_string(m.scrollEnd())};
}

// Steps before the first that differs from the instrument hold its values, the one that differs
// may hold anything its control allows, and every later one is as before (failed) or the
// instrument's (got through).
inline std::string readSoFar(const Steps& got, const Steps& device, const Steps& before, bool failed) {
    size_t k = 0;
    while (k < got.size() && got[k] == device[k])
        ++k;
    for (size_t j = k + 1; j < got.size(); ++j)
        if (got[j] != (failed ? before[j] : device[j]))
            return "step " + std::to_string(j) + " is \"" + got[j] + "\" after step " + std::to_string(k);
    return {};
}

}  // namespace vrn::test

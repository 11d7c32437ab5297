#pragma once

#include <functional>

namespace vrn {

// What the machine tells about the instrument's bridge: plugged in, unplugged. The window hands
// both to its USB port; a test stands in for the machine.
class InstrumentEvents {
public:
    virtual ~InstrumentEvents() = default;

    std::function<void()> appeared;
    std::function<void()> gone;
};

}  // namespace vrn

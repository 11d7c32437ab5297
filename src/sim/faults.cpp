#include "sim/faults.h"

namespace vrn::sim {

Fault Faults::take(int command) {
    auto use = [](Fault& f) {
        Fault used = f;
        if (f.times > 0 && --f.times == 0) f.kind = Fault::Kind::None;
        return used;
    };
    auto queued = sequence.find(command);
    if (queued != sequence.end() && !queued->second.empty()) {
        Fault& front = queued->second.front();
        const Fault used = use(front);
        if (front.kind == Fault::Kind::None) queued->second.pop_front();
        return used;
    }
    auto it = perCommand.find(command);
    if (it != perCommand.end() && it->second.kind != Fault::Kind::None) return use(it->second);
    if (all && all->kind != Fault::Kind::None) return use(*all);
    return {};
}

}  // namespace vrn::sim

// The simulator's command line: any arguments (the input cut at NUL bytes) are either refused with
// a reason or give faults that are each spoiling something, and the same arguments parse the same
// way twice.
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "sim/sim_options.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using vrn::fuzz::require;
    using vrn::sim::Fault;
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> args;
    for (size_t from = 0; from <= text.size();) {
        const size_t end = std::min(text.find('\0', from), text.size());
        args.push_back(text.substr(from, end - from));
        from = end + 1;
    }
    vrn::sim::SimOptions options;
    std::string error;
    const bool ok = vrn::sim::parseSimOptions(args, options, error);
    require(ok == error.empty(), "refused exactly when there is a reason");
    vrn::sim::SimOptions again;
    std::string errorAgain;
    require(vrn::sim::parseSimOptions(args, again, errorAgain) == ok && errorAgain == error,
            "the same arguments parse the same way");
    if (!ok) return 0;
    for (const auto& [command, fault] : options.faults.perCommand) {
        require(command >= 0 && command <= 999, "a fault names a command number");
        require(fault.kind != Fault::Kind::None && (fault.times == -1 || fault.times > 0),
                "every fault spoils some replies");
    }
    require(again.link == options.link && again.state == options.state, "the same paths");
    return 0;
}

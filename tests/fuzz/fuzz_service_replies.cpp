// The calibration checks, the calibration data and the hardware tests against an instrument whose
// every reply is fuzz bytes: each ends within its time bound, and each result is one the result
// box can hold (at most 24 bytes of reply, after its fixed prefix).
#include <string>

#include "core/service/calibration.h"
#include "core/service/diagnostics.h"
#include "fuzz_input.h"
#include "fuzz_link.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vrn::service;
    using vrn::fuzz::require;
    vrn::fuzz::Input input(data, size);
    const uint8_t choice = input.byte();
    vrn::fuzz::ReplayLink link(input.rest());
    vrn::Exchange& ex = link.exchange;
    const int64_t start = link.host.clock_.nowMs();
    const auto within = [&](int64_t ms) { return link.host.clock_.nowMs() - start <= ms; };
    const auto replyFits = [](const vrn::Result<std::string>& r, std::string_view prefix) {
        return r.hasValue() &&
               (*r == kNoResponse || (r->starts_with(prefix) && r->size() <= prefix.size() + kReplyRead - 1));
    };
    switch (choice % 6) {
    case 0:
        (void)runCalibrationCheck(ex, static_cast<CalCheck>(choice / 6 % calChecks().size()));
        require(within(int64_t{kCalWaitSeconds} * 1000 + 3000), "a check ends at its bound");
        break;
    case 1:
        (void)getCalData(ex);
        require(within(1000), "the calibration data is one read");
        break;
    case 2: {
        const size_t kind = choice / 6 % inputKinds().size();
        const auto result = testInput(ex, kind, 1);
        require(replyFits(result, inputKinds()[kind].voltage ? "" : "Count: "), "input result fits");
        break;
    }
    case 3: {
        const auto result = testRam(ex);
        require(
            result.hasValue() && (*result == "RAM OK" || *result == "RAM ERROR" || *result == kNoResponse),
            "RAM result one of three");
        break;
    }
    case 4:
        require(replyFits(testPgm(ex), "PGM Signature: 0x"), "program signature fits");
        break;
    default:
        require(replyFits(testRom(ex), "ROM Signature: 0x"), "ROM signature fits");
        break;
    }
    return 0;
}

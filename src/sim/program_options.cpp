#include "sim/program_options.h"

#include <charconv>

namespace vrn::sim {
namespace {

bool count(const std::string& text, int& value) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && !text.empty() && value >= 0;
}

std::string takeCorruptBlock(OptionsRead& r, const std::string& name, const std::string& value) {
    const size_t colon = value.find(':');
    int block = 0;
    int times = 1;
    if (!count(value.substr(0, colon), block) ||
        (colon != std::string::npos && !count(value.substr(colon + 1), times)))
        return name + " needs N or N:K, not: " + value;
    r.options.faults.corruptBlocks[block] = times;
    return {};
}

// The options that take a count into one of the program faults.
template <auto Field>
std::string takeCount(OptionsRead& r, const std::string& name, const std::string& value) {
    int n = 0;
    if (!count(value, n)) return name + " needs a count, not: " + value;
    r.options.faults.program.*Field = n;
    return {};
}

template <bool ProgramFaults::*Field>
std::string takeFlag(OptionsRead& r, const std::string&, const std::string&) {
    r.options.faults.program.*Field = true;
    return {};
}

constexpr SimOption kProgramOptions[] = {
    {"--corrupt-block", "N[:K]", "program block N (from 0) goes out or arrives corrupted, K times (1)",
     takeCorruptBlock},
    {"--corrupt-every", "K", "every program block goes out or arrives corrupted K times first",
     takeCount<&ProgramFaults::corruptEvery>},
    {"--wrong-end-crc", "K", "the next K program end packets carry their CRC byte-swapped",
     takeCount<&ProgramFaults::wrongEndCrc>},
    {"--send-blocks", "N", "CMD115 sends N blocks (not 66) before its end packet",
     takeCount<&ProgramFaults::blocksToSend>},
    {"--shuffle-slots", nullptr, "CMD115 stores the program's slots in reverse, listed so in its table",
     takeFlag<&ProgramFaults::shuffleSlots>},
    {"--stray-answers", "K", "the next K answers to program blocks have a stray byte first",
     takeCount<&ProgramFaults::strayAnswers>},
    {"--silent-after-blocks", "N", "a program transfer goes silent after N blocks",
     takeCount<&ProgramFaults::silentAfterBlocks>},
    {"--lose-last-instruction", nullptr, "CMD110 stores a program without its last instruction",
     takeFlag<&ProgramFaults::loseLastInstruction>},
};

}  // namespace

std::span<const SimOption> programOptions() {
    return kProgramOptions;
}

}  // namespace vrn::sim

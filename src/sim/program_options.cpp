#include "sim/program_options.h"

#include <charconv>

namespace vrn::sim {

namespace {

bool count(const std::string& text, int& value) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && !text.empty() && value >= 0;
}

}  // namespace

std::optional<bool> parseProgramOption(const std::vector<std::string>& args, size_t& i, Faults& faults,
                                       std::string& error) {
    const std::string& option = args[i];
    ProgramFaults& f = faults.program;
    if (option == "--shuffle-slots") {
        f.shuffleSlots = true;
        return true;
    }
    if (option == "--lose-last-instruction") {
        f.loseLastInstruction = true;
        return true;
    }
    const bool known = option == "--corrupt-block" || option == "--corrupt-every" ||
                       option == "--wrong-end-crc" || option == "--send-blocks" ||
                       option == "--stray-answers" || option == "--silent-after-blocks";
    if (!known) return std::nullopt;
    if (i + 1 >= args.size()) {
        error = option + " needs a value";
        return false;
    }
    const std::string& value = args[++i];
    int n = 0;
    if (option == "--corrupt-block") {
        const size_t colon = value.find(':');
        int times = 1;
        if (!count(value.substr(0, colon), n) ||
            (colon != std::string::npos && !count(value.substr(colon + 1), times))) {
            error = "--corrupt-block needs N or N:K, not: " + value;
            return false;
        }
        faults.corruptBlocks[n] = times;
        return true;
    }
    if (!count(value, n)) {
        error = option + " needs a count, not: " + value;
        return false;
    }
    if (option == "--corrupt-every") f.corruptEvery = n;
    if (option == "--wrong-end-crc") f.wrongEndCrc = n;
    if (option == "--send-blocks") f.blocksToSend = n;
    if (option == "--stray-answers") f.strayAnswers = n;
    if (option == "--silent-after-blocks") f.silentAfterBlocks = n;
    return true;
}

}  // namespace vrn::sim

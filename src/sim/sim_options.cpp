#include "sim/sim_options.h"

#include <charconv>
#include <cstdint>
#include <string>

#include "sim/program_options.h"

namespace vrn::sim {

const char* const kSimUsage =
    "Usage: vrncomm-sim [options]\n"
    "Serves a simulated 41700 on a pseudo-terminal and prints the terminal's path.\n"
    "Runs until interrupted (SIGINT or SIGTERM).\n"
    "\n"
    "Options:\n"
    "  --link PATH            also make a symbolic link to the terminal at PATH (removed at exit);\n"
    "                         PATH must not exist, unless a simulator that is gone left it\n"
    "  --state DIR            keep what is sent to the instrument in DIR, and start from what DIR\n"
    "                         holds: a Setup sent, the simulator restarted, a Get gives it back;\n"
    "                         the record memory too (records.bin), and the clock, which runs on\n"
    "                         while the simulator is stopped and logs the records due meanwhile\n"
    "  --trace FILE           write every byte received and sent to FILE, with its time in\n"
    "                         microseconds since the start\n"
    "  --speed K              the instrument's clock runs K times faster than the PC's (1 to\n"
    "                         1000000); the line keeps its rate. A record is logged every minute\n"
    "                         of that clock, the oldest overwritten once 2,162,675 values are held\n"
    "  --sends-oldest         a record download of N sends the oldest N records, not the newest\n"
    "  --power-cut-after S    the power fails S seconds after the start: the terminal (and the\n"
    "                         --link) goes away, the clock stands, nothing is logged\n"
    "  --power-cut-for S      ... and comes back S seconds later on a new terminal, its path\n"
    "                         printed again; both options go together\n"
    "  --silent               never reply to any command\n"
    "  --silent-cmd N         never reply to command N\n"
    "  --short-cmd N:BYTES    leave the last BYTES bytes off every reply to command N\n"
    "  --reply-cmd N:TEXT     reply TEXT instead of the answer to command N\n"
    "  --stray-cmd N:TEXT     send TEXT before the answer to command N\n"
    "  --times K              the fault option just before spoils only the next K replies\n"
    "  --drop-after N         send nothing more once N reply bytes went out\n"
    "  --corrupt-block N[:K]  program block N (from 0) goes out or arrives corrupted, K times (1)\n"
    "  --corrupt-every K      every program block goes out or arrives corrupted K times first\n"
    "  --wrong-end-crc K      the next K program end packets carry their CRC byte-swapped\n"
    "  --send-blocks N        CMD115 sends N blocks (not 66) before its end packet\n"
    "  --shuffle-slots        CMD115 stores the program's slots in reverse, listed so in its table\n"
    "  --stray-answers K      the next K answers to program blocks have a stray byte first\n"
    "  --silent-after-blocks N  a program transfer goes silent after N blocks\n"
    "  --lose-last-instruction  CMD110 stores a program without its last instruction\n"
    "  --records-stop-after N  the record download (CMD340) stops after N bytes\n"
    "  --records-stall N:MS   the record download pauses MS milliseconds after N bytes\n"
    "  --erase-stray TEXT     the record erase (CMD345) sends TEXT among its progress bytes\n"
    "  --loader-acks N        the firmware loader acknowledges N records, then falls silent\n"
    "  --loader-stray TEXT    the firmware loader sends TEXT before every acknowledgement\n"
    "  --help                 show this text\n";

namespace {

// A day: longer than any test waits, and its microseconds stay far inside the clock's range.
constexpr int64_t kLongestStallMs = int64_t{24} * 3600 * 1000;
// A year of records a minute apart in half a minute.
constexpr int64_t kFastestClock = 1000000;

template <typename T>
bool number(const std::string& text, T& value) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && !text.empty();
}

// "N:REST": a command number (0..999) and what follows the first colon.
bool commandAndRest(const std::string& text, int& command, std::string& rest) {
    const size_t colon = text.find(':');
    if (colon == std::string::npos) return false;
    rest = text.substr(colon + 1);
    return number(text.substr(0, colon), command) && command >= 0 && command <= 999;
}

}  // namespace

bool parseSimOptions(const std::vector<std::string>& args, SimOptions& options, std::string& error) {
    Fault* lastFault = nullptr;  // what --times limits: the fault option just before it
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& option = args[i];
        if (option == "--help" || option == "-h") {
            options.help = true;
            continue;
        }
        if (const auto program = parseProgramOption(args, i, options.faults, error)) {
            if (!*program) return false;
            lastFault = nullptr;
            continue;
        }
        if (option == "--sends-oldest") {
            options.sendsOldest = true;
            lastFault = nullptr;
            continue;
        }
        if (option == "--silent") {
            options.faults.all = Fault::silent();
            lastFault = &*options.faults.all;
            continue;
        }
        const bool takesValue =
            option == "--link" || option == "--state" || option == "--trace" || option == "--silent-cmd" ||
            option == "--short-cmd" || option == "--reply-cmd" || option == "--stray-cmd" ||
            option == "--drop-after" || option == "--times" || option == "--records-stop-after" ||
            option == "--records-stall" || option == "--erase-stray" || option == "--loader-acks" ||
            option == "--loader-stray" || option == "--speed" || option == "--power-cut-after" ||
            option == "--power-cut-for";
        if (!takesValue) {
            error = "unknown option: " + option;
            return false;
        }
        if (i + 1 >= args.size()) {
            error = option + " needs a value";
            return false;
        }
        const std::string& value = args[++i];
        int command = 0;
        std::string rest;
        Fault* limited = lastFault;
        lastFault = nullptr;
        if (option == "--link") {
            if (value.empty()) {
                error = "--link needs a path";
                return false;
            }
            options.link = value;
        } else if (option == "--trace") {
            if (value.empty()) {
                error = "--trace needs a file";
                return false;
            }
            options.trace = value;
        } else if (option == "--state") {
            if (value.empty()) {
                error = "--state needs a folder";
                return false;
            }
            options.state = value;
        } else if (option == "--speed") {
            if (!number(value, options.speed) || options.speed < 1 || options.speed > kFastestClock) {
                error = "--speed needs a whole number from 1 to 1000000, not: " + value;
                return false;
            }
        } else if (option == "--power-cut-after" || option == "--power-cut-for") {
            int64_t seconds = 0;
            if (!number(value, seconds) || seconds < 0 || seconds > kLongestStallMs / 1000) {
                error = option + " needs whole seconds (up to a day), not: " + value;
                return false;
            }
            PowerCut& cut = options.faults.powerCut ? *options.faults.powerCut
                                                    : options.faults.powerCut.emplace(PowerCut{-1, -1});
            (option == "--power-cut-after" ? cut.atUs : cut.forUs) = seconds * 1000000;
        } else if (option == "--silent-cmd") {
            if (!number(value, command) || command < 0 || command > 999) {
                error = "--silent-cmd needs a command number, not: " + value;
                return false;
            }
            lastFault = &(options.faults.perCommand[command] = Fault::silent());
        } else if (option == "--short-cmd") {
            size_t by = 0;
            if (!commandAndRest(value, command, rest) || !number(rest, by) || by == 0) {
                error = "--short-cmd needs N:BYTES, not: " + value;
                return false;
            }
            lastFault = &(options.faults.perCommand[command] = Fault::cutShort(by));
        } else if (option == "--reply-cmd" || option == "--stray-cmd") {
            if (!commandAndRest(value, command, rest)) {
                error = option + " needs N:TEXT, not: " + value;
                return false;
            }
            lastFault = &(options.faults.perCommand[command] =
                              option == "--reply-cmd" ? Fault::replace(rest) : Fault::strayFirst(rest));
        } else if (option == "--loader-acks") {
            int acks = 0;
            if (!number(value, acks) || acks < 0) {
                error = "--loader-acks needs a record count, not: " + value;
                return false;
            }
            options.faults.loaderAcks = acks;
        } else if (option == "--loader-stray") {
            options.faults.loaderStray = value;
        } else if (option == "--times") {
            int times = 0;
            if (limited == nullptr || !number(value, times) || times <= 0) {
                error = "--times needs a count above 0 after a fault option, not: " + value;
                return false;
            }
            limited->times = times;
        } else if (option == "--records-stop-after") {
            uint64_t bytes = 0;
            if (!number(value, bytes)) {
                error = "--records-stop-after needs a byte count, not: " + value;
                return false;
            }
            options.faults.records.stopAfterBytes = bytes;
        } else if (option == "--records-stall") {
            const size_t colon = value.find(':');
            uint64_t bytes = 0;
            int64_t ms = 0;
            if (colon == std::string::npos || !number(value.substr(0, colon), bytes) ||
                !number(value.substr(colon + 1), ms) || ms < 0 || ms > kLongestStallMs) {
                error = "--records-stall needs N:MS (MS up to a day), not: " + value;
                return false;
            }
            options.faults.records.stallAfterBytes = bytes;
            options.faults.records.stallUs = ms * 1000;
        } else if (option == "--erase-stray") {
            if (value.empty()) {
                error = "--erase-stray needs a TEXT";
                return false;
            }
            options.faults.records.eraseStray = value;
        } else {
            uint64_t bytes = 0;
            if (!number(value, bytes)) {
                error = "--drop-after needs a byte count, not: " + value;
                return false;
            }
            options.faults.dropAfterBytes = bytes;
        }
    }
    if (options.faults.powerCut &&
        (options.faults.powerCut->atUs < 0 || options.faults.powerCut->forUs < 0)) {
        error = "--power-cut-after and --power-cut-for go together";
        return false;
    }
    return true;
}

}  // namespace vrn::sim

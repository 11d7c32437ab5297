#include <array>

#include "cli/cli.h"

namespace vrn::cli {
namespace {

// One line per status, the README's table in its words; --help and the manual page print it too.
constexpr std::array<std::string_view, kExitStationUnwell + 1> kExitMeanings{
    "success; a diff found no difference",
    "the instrument did not answer, the port could not be opened, the transfer failed, or the tool "
    "itself failed (out of memory)",
    "bad usage, a file or value problem, or a question refused (no --yes)",
    "the instrument answered and differs from the file: a diff command, or a --verify that found the "
    "send did not take",
    "the record download was cut short (fewer records than asked, the port lost, or all records "
    "asked for and the instrument's newest not reached): the complete records that came were kept "
    "(written by get-records with a warning, stored by collect)",
    "check found warnings and no errors",
    "check found errors; send-program or send-all refused a program with errors (no --yes)",
    "the record archive could not be opened, read or written (collect, export, plot of an archive, status,"
    " sync)",
    "status found a station stale (no record newer than --stale) or failing (its last collection attempt "
    "failed)",
};

}  // namespace

std::string_view exitMeaning(int status) {
    if (status == kExitInterrupted) return "stopped by SIGINT (Ctrl+C): the running wait was aborted";
    if (status == kExitTerminated) return "stopped by SIGTERM: the running wait was aborted";
    if (status < 0 || status >= static_cast<int>(kExitMeanings.size())) return "unknown";
    return kExitMeanings[static_cast<size_t>(status)];
}

}  // namespace vrn::cli

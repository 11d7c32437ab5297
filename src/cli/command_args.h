#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vrn::cli {

// What the commands that share them are given once the command line is parsed (a command's own
// arguments are defined beside it). The command's definition has already checked every value named
// here against its documented form, so the commands take them as they are. A command with only
// positionals gets them as a list, in order.
using Words = std::vector<std::string>;

// send-program, send-screens, send-all
struct SendArgs {
    std::string file;
    bool verify = false;
};

struct CollectArgs {
    std::string archive;
    std::optional<std::string> station;
    std::string count;                     // "all" or 1..999999999; empty for the default
    std::optional<std::string> utcOffset;  // +HH:MM or -HH:MM
    // The station's clock now keeps this offset: it replaces the one held from the next record on.
    std::optional<std::string> newUtcOffset;
};

// The part of an archive a command reads: a station, from and to (UTC, as written).
struct ArchiveRangeArgs {
    std::string station;
    std::optional<std::string> from;
    std::optional<std::string> to;
};

struct ExportArgs {
    std::string archive;
    std::string out;
    ArchiveRangeArgs range;
    std::string delimiter = "comma";
};

}  // namespace vrn::cli

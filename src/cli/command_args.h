#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vrn::cli {

// What each command is given once the command line is parsed. The command line's definition
// (commands_*.cpp) has already checked every value named here against its documented form, so the
// commands take them as they are. A command with only positionals gets them as a list, in order.
using Words = std::vector<std::string>;

// send-program, send-screens, send-all
struct SendArgs {
    std::string file;
    bool verify = false;
};

struct SendSetupArgs {
    std::string file;
    std::optional<std::string> time;  // "MM-DD-YYYY HH:MM:SS"; the PC's time when not given
    bool verify = false;
};

struct ListingArgs {
    std::string file;
    bool outline = false;
};

struct CheckArgs {
    std::string file;
    std::optional<std::string> setup;
};

struct GetRecordsArgs {
    std::string count;  // "all" or 1..999999999
    std::string file;
    std::string delimiter = "comma";
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

struct PlotArgs {
    std::string in;
    std::string out;
    ArchiveRangeArgs range;  // station empty: in is a record text file
    std::optional<std::string> fields;
};

struct CalibrateArgs {
    std::string step;
    std::optional<std::string> ref;  // millivolts, 0000.00 to 9999.99
    std::optional<std::string> passwordFile;
};

struct CalCheckArgs {
    std::string check;
    std::optional<std::string> passwordFile;
};

struct TestArgs {
    std::string what;   // input, output, switch, ram, pgm, rom, display
    std::string kind;   // input: se, diff, wd, lowfreq, ttl
    int channel = 0;    // input, output, switch
    std::string level;  // output: 0mV ... 20mA; switch: on or off
};

struct PullDownArgs {
    int channel = 0;
    std::string state;  // on or off
};

struct FirmwareArgs {
    std::string file;
    std::optional<std::string> backup;
};

}  // namespace vrn::cli

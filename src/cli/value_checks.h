#pragma once

#include <CLI/CLI.hpp>
#include <span>
#include <string>
#include <vector>

namespace vrn::cli {

// The checks of the command line's values, each with the message a mistake gets: "takes ...,
// not: VALUE", after the name of the argument or option (the command line adds it).

// One of the names; "takes a, b or c, not: x".
CLI::Validator oneOf(std::vector<std::string> names);
// A whole number from lo to hi.
CLI::Validator wholeNumber(int lo, int hi);
// A record count as the Get Records page takes it, or "all".
CLI::Validator recordCount();
// A UTC offset, +HH:MM or -HH:MM.
CLI::Validator utcOffset();
// A UTC time: YYYY-MM-DD, YYYY-MM-DD HH:MM or YYYY-MM-DD HH:MM:SS.
CLI::Validator utcTime();
// Millivolts as the calibration's reference box takes them: 0000.00 to 9999.99.
CLI::Validator millivolts();
// Any text but an empty one.
CLI::Validator notEmpty();

// The names of a table's choices on the command line (each entry's cliName), for oneOf.
template <class Info>
std::vector<std::string> cliNamesOf(std::span<const Info> infos) {
    std::vector<std::string> names;
    for (const Info& info : infos)
        names.push_back(info.cliName);
    return names;
}

}  // namespace vrn::cli

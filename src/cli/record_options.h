#pragma once

#include <CLI/CLI.hpp>
#include <string>

#include "cli/command_args.h"

namespace vrn::cli {

// The options of the commands that write or read records.

// --delimiter space|comma|tab: the record text file's field delimiter.
CLI::Option& delimiterOption(CLI::App& command, std::string& delimiter);

// --station NAME, --from T, --to T: a station's records in an archive; from and to go with a station.
void rangeOptions(CLI::App& command, ArchiveRangeArgs& range, bool stationNeeded);

}  // namespace vrn::cli

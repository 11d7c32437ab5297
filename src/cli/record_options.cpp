#include "cli/record_options.h"

#include "cli/value_checks.h"

namespace vrn::cli {

CLI::Option& delimiterOption(CLI::App& command, std::string& delimiter) {
    return *command.add_option("--delimiter", delimiter)
                ->type_name("space|comma|tab")
                ->check(oneOf({"space", "comma", "tab"}));
}

void rangeOptions(CLI::App& command, ArchiveRangeArgs& range, bool stationNeeded) {
    CLI::Option* station =
        command.add_option("--station", range.station)->type_name("NAME")->check(notEmpty());
    if (stationNeeded) station->required();
    command.add_option("--from", range.from)->type_name("T")->check(utcTime())->needs(station);
    command.add_option("--to", range.to)->type_name("T")->check(utcTime())->needs(station);
}

}  // namespace vrn::cli

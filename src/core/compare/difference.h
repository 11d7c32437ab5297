#pragma once

#include <string>
#include <vector>

namespace vrn::compare {

// One value or run of cells that differs: where it is, and the texts of the two sides as a user
// reads them.
struct Difference {
    std::string where;  // "COM2 BAUD", "screen 3 row 2 col 5..11"
    std::string file;
    std::string instrument;
};

// "WHERE: file FILE, instrument INSTRUMENT", the line a diff prints.
std::string differenceLine(const Difference& d);
std::vector<std::string> differenceLines(const std::vector<Difference>& differences);

}  // namespace vrn::compare

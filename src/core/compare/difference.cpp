#include "core/compare/difference.h"

namespace vrn::compare {

std::string differenceLine(const Difference& d) {
    return d.where + ": file " + d.file + ", instrument " + d.instrument;
}

std::vector<std::string> differenceLines(const std::vector<Difference>& differences) {
    std::vector<std::string> lines;
    lines.reserve(differences.size());
    for (const Difference& d : differences)
        lines.push_back(differenceLine(d));
    return lines;
}

}  // namespace vrn::compare

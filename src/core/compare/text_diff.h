#pragma once

#include <string>
#include <vector>

namespace vrn::compare {

// Lines of context around each change in a unified diff.
inline constexpr size_t kDiffContext = 3;

// The unified diff ("--- from", "+++ to", "@@ -a,b +c,d @@" hunks) that turns `from` into `to`,
// one output line per element; empty when the two are equal. Common lines are found exactly
// (longest common subsequence) while the differing middle is small enough; beyond that the
// middle is shown as removed and added whole, which is still a correct diff.
std::vector<std::string> unifiedDiff(const std::vector<std::string>& from, const std::vector<std::string>& to,
                                     const std::string& fromLabel, const std::string& toLabel);

}  // namespace vrn::compare

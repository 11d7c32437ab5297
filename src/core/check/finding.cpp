#include "core/check/finding.h"

#include <algorithm>
#include <cstdio>

namespace vrn::check {

std::string counted(size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

size_t CheckResult::errors() const {
    return static_cast<size_t>(std::count_if(findings.begin(), findings.end(),
                                             [](const Finding& f) { return f.severity == Severity::Error; }));
}

size_t CheckResult::warnings() const {
    return findings.size() - errors();
}

std::string findingLine(const Finding& f) {
    char position[16];
    std::snprintf(position, sizeof position, "%03zu", f.position());
    std::string line = std::string(position) + " " + f.instructionName;
    if (!f.parameterName.empty()) line += " " + f.parameterName;
    line += f.severity == Severity::Error ? ": error: " : ": warning: ";
    return line + f.message;
}

std::string countsText(const CheckResult& result) {
    if (result.findings.empty()) return "NO FINDINGS";
    return counted(result.errors(), "ERROR", "ERRORS") + ", " +
           counted(result.warnings(), "WARNING", "WARNINGS");
}

}  // namespace vrn::check

#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vrn::check {

// Error: the instrument cannot run the program as written. Warning: it runs, but likely not as
// meant, or the instrument's own rules do not settle whether it is wrong.
enum class Severity : uint8_t { Warning, Error };

// One thing the check found, tied to an instruction and, where one decides it, a parameter.
struct Finding {
    size_t slot = 0;                  // program position - 1
    uint16_t instruction = 0;         // instruction number as the store holds it
    std::string instructionName;      // catalogue name; "#N" for a number it does not know
    std::optional<size_t> parameter;  // parameter index within the instruction
    std::string parameterName;        // "sloc=", ...; empty without a parameter
    Severity severity = Severity::Warning;
    std::string message;  // one line, no final full stop

    size_t position() const { return slot + 1; }
};

struct CheckResult {
    std::vector<Finding> findings;  // in program order

    size_t errors() const;
    size_t warnings() const;
};

// "012 AVERAGE sloc=: warning: location 17 is never written".
std::string findingLine(const Finding& finding);
// "1 ERROR, 2 WARNINGS" (singular and plural as they fall); "NO FINDINGS" for a clean program.
std::string countsText(const CheckResult& result);
// "1 error", "3 errors": a count with its noun in the singular or the plural.
std::string counted(size_t n, const char* one, const char* many);

}  // namespace vrn::check

#include <vector>

#include "core/check/check_context.h"
#include "core/program/program_outline.h"
#include "core/setup/setup_model.h"

namespace vrn::check {
namespace {

constexpr uint16_t kRecordTime = 43;   // "RECORD TIME": frmt= DATE or TIME
constexpr uint16_t kRecordValue = 44;  // "RECORD VALUE": a number

using setup::FieldType;

struct Recorded {
    size_t slot;
    size_t param;  // frmt= or sloc=, the parameter that says what is recorded
    FieldType type;
};

const char* typeName(FieldType t) {
    return setup::kFieldTypeItems[static_cast<size_t>(t)];
}

}  // namespace

// Get Records cuts the record memory by the fields per record of the Setup and reads each field
// by its type, so the values one pass of the program records must match the record format.
// A RECORD inside an IF makes what a pass records depend on the run: then every finding here is
// a warning, since the check cannot know which passes record.
void checkRecordFormat(CheckContext& c, const setup::SetupModel& setup) {
    std::vector<uint16_t> numbers;
    numbers.reserve(c.length());
    for (size_t k = 0; k < c.length(); ++k)
        numbers.push_back(c.number(k));
    const std::vector<size_t> levels = outlineLevels(numbers);

    std::vector<Recorded> recorded;
    std::optional<size_t> firstConditional;
    for (size_t k = 0; k < c.length(); ++k) {
        if (numbers[k] != kRecordTime && numbers[k] != kRecordValue) continue;
        if (levels[k] > 0 && !firstConditional) firstConditional = k;
        if (numbers[k] == kRecordValue) {
            recorded.push_back({k, 0, FieldType::Number});
            continue;
        }
        const uint16_t frmt = c.choice(k, 0);
        if (frmt > 1) continue;  // the choice rule reports it
        recorded.push_back({k, 0, frmt == 0 ? FieldType::Date : FieldType::Time});
    }

    const Severity severity = firstConditional ? Severity::Warning : Severity::Error;
    const size_t fields = static_cast<size_t>(setup.fieldsPerRecord());
    const std::string perRecord =
        "the record format has " + counted(fields, "field", "fields") + " per record";
    if (firstConditional)
        c.add(*firstConditional, std::nullopt, Severity::Warning,
              "recorded inside an IF: how many values a pass records depends on the run");
    if (recorded.empty()) {
        if (c.hasPgmEnd())
            c.add(c.length(), std::nullopt, Severity::Warning, "the program records no values; " + perRecord);
        return;
    }
    for (size_t i = 0; i < recorded.size(); ++i) {
        const Recorded& r = recorded[i];
        if (i >= fields) {
            c.add(r.slot, r.param, severity,
                  "records value " + std::to_string(i + 1) + " of a pass; " + perRecord);
            continue;
        }
        const setup::RecordField& field = setup.field(static_cast<int>(i));
        if (!field.hasValidType() || static_cast<FieldType>(field.type) == r.type) continue;
        c.add(r.slot, r.param, severity,
              std::string("records a ") + typeName(r.type) + " into field " + std::to_string(i + 1) + " \"" +
                  field.label + "\", a " + typeName(static_cast<FieldType>(field.type)) + " field");
    }
    if (recorded.size() < fields)
        c.add(recorded.back().slot, std::nullopt, severity,
              "a pass records " + counted(recorded.size(), "value", "values") + "; " + perRecord);
}

}  // namespace vrn::check

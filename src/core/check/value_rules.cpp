#include <cmath>

#include "core/check/check_context.h"
#include "core/program/display_width.h"

namespace vrn::check {
namespace {

constexpr int32_t kLargestTransferred = 0xFFFF;  // integers travel as their low 16 bits

int32_t largestOfWidth(uint8_t width) {
    int32_t largest = 1;
    for (uint8_t i = 0; i < width && largest <= kLargestTransferred; ++i)
        largest *= 10;
    return largest - 1;
}

void checkInteger(CheckContext& c, size_t k, size_t j, const ParamDesc& p) {
    const int32_t v = c.intValue(k, j);
    if (v < 0 || v > kLargestTransferred) {
        c.add(k, j, Severity::Error,
              "value " + std::to_string(v) + " does not fit the 16 bits the 41700 receives; it would get " +
                  std::to_string(static_cast<uint16_t>(v)));
    } else if (v > largestOfWidth(p.width)) {
        c.add(k, j, Severity::Warning,
              "value " + std::to_string(v) + " has more than the " + std::to_string(p.width) +
                  " digits the parameter takes");
    }
}

void checkChoice(CheckContext& c, size_t k, size_t j, const ParamDesc& p) {
    const uint16_t index = c.choice(k, j);
    const ChoiceList* list = choiceList(p.kind);
    if (list != nullptr && index < list->count) return;
    c.add(k, j, Severity::Error,
          "choice " + std::to_string(index) + " is not in its list of " +
              std::to_string(list ? list->count : 0));
}

void checkText(CheckContext& c, size_t k, size_t j, const ParamDesc& p) {
    const size_t length = textBeforeEndMark(c.store().textArea(k)).size();
    if (length > p.width)
        c.add(k, j, Severity::Warning,
              "text of " + std::to_string(length) + " characters, where the parameter takes " +
                  std::to_string(p.width));
}

void checkDecimal(CheckContext& c, size_t k, size_t j) {
    if (!std::isfinite(c.store().floatValue(k, j)))
        c.add(k, j, Severity::Error, "the value is not a number the 41700 can compute with");
}

// Values whose meaning ties two parameters of one instruction together.
void checkCombinations(CheckContext& c, size_t k) {
    const auto width = c.param(k, "width=");
    const auto decpt = c.param(k, "decpt=");
    if (width && decpt) {
        const int32_t w = c.intValue(k, *width);
        const int32_t d = c.intValue(k, *decpt);
        if (w == 0)
            c.add(k, width, Severity::Error, "a width of 0 leaves no room for the value");
        else if (d >= w)
            c.add(k, decpt, Severity::Error,
                  std::to_string(d) + " decimals and the point do not fit a width of " + std::to_string(w));
    }
    // Every averaging type of these instructions works over a count of samples; the catalogue
    // starts the count at 0, so what the instrument makes of 0 is left open.
    if (const auto samples = c.param(k, "#samp="); samples && c.intValue(k, *samples) == 0)
        c.add(k, samples, Severity::Warning, "0 samples: the statistic is taken over no samples");
    if (const auto fields = c.param(k, "#flds="); fields && c.intValue(k, *fields) == 0)
        c.add(k, fields, Severity::Warning, "0 fields: the input stores no value");
}

}  // namespace

void checkValues(CheckContext& c) {
    for (size_t k = 0; k < c.length(); ++k) {
        const InstrDesc* d = c.desc(k);
        if (d == nullptr) continue;
        for (size_t j = 0; j < d->paramCount; ++j) {
            const ParamDesc& p = d->params[j];
            switch (classify(p.kind)) {
            case KindClass::Integer:
                checkInteger(c, k, j, p);
                break;
            case KindClass::Choice:
                checkChoice(c, k, j, p);
                break;
            case KindClass::Text:
                checkText(c, k, j, p);
                break;
            case KindClass::Decimal:
                checkDecimal(c, k, j);
                break;
            case KindClass::Hex:
            case KindClass::None:
                break;
            }
        }
        checkCombinations(c, k);
    }
}

}  // namespace vrn::check

#include "core/check/check_context.h"
#include "core/program/display_width.h"

namespace vrn::check {
namespace {

// The LCD: 8 user screens of 6 rows by 40 character cells; a large character takes 2 x 2 cells.
constexpr int32_t kScreens = 8;
constexpr int32_t kRows = 6;
constexpr int32_t kColumns = 40;
constexpr uint16_t kLargeFont = 1;  // "BIG  " in the font list

bool inRange(CheckContext& c, size_t k, std::optional<size_t> p, int32_t last, const char* what) {
    if (!p) return false;
    const int32_t v = c.intValue(k, *p);
    if (v >= 1 && v <= last) return true;
    c.add(k, p, Severity::Error,
          std::string(what) + " " + std::to_string(v) + " is not on the LCD (1 to " + std::to_string(last) +
              ")");
    return false;
}

}  // namespace

void checkScreens(CheckContext& c) {
    for (size_t k = 0; k < c.length(); ++k) {
        const auto scrn = c.param(k, "scrn=");
        if (!scrn) continue;
        const auto rowParam = c.param(k, "row=");
        const auto colParam = c.param(k, "col=");
        const auto fontParam = c.param(k, "font=");
        inRange(c, k, scrn, kScreens, "screen");
        const bool rowOk = inRange(c, k, rowParam, kRows, "row");
        const bool colOk = inRange(c, k, colParam, kColumns, "column");
        const bool large = fontParam && c.choice(k, *fontParam) == kLargeFont;
        const int32_t cell = large ? 2 : 1;
        if (rowOk && large && c.intValue(k, *rowParam) == kRows)
            c.add(k, rowParam, Severity::Error, "the large font takes two rows, and row 6 is the last");
        if (!colOk) continue;
        const int32_t col = c.intValue(k, *colParam);
        const int32_t chars = displayedCharacters(c.store(), k).value_or(1);
        const int32_t last = col - 1 + chars * cell;
        if (chars > 0 && last > kColumns)
            c.add(k, colParam, Severity::Error,
                  std::to_string(chars) + (large ? " large" : "") + " character" + (chars == 1 ? "" : "s") +
                      " from column " + std::to_string(col) + " end at column " + std::to_string(last) +
                      "; a row has 40");
    }
}

}  // namespace vrn::check

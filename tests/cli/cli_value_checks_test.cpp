#include <gtest/gtest.h>

#include "cli/value_checks.h"

namespace vrn::cli::test {
namespace {

// Each check lets its documented forms through and names what it takes for anything else.
TEST(CliValueChecks, TakeTheDocumentedFormsAndNameWhatTheyTake) {
    struct Row {
        const char* name;
        CLI::Validator check;
        std::string value;
        bool taken;
    };
    const std::vector<Row> rows = {
        {"count 1", recordCount(), "1", true},
        {"count at its most", recordCount(), "999999999", true},
        {"count all", recordCount(), "all", true},
        {"count 0", recordCount(), "0", false},
        {"count past its most", recordCount(), "1000000000", false},
        {"count with a sign", recordCount(), "-5", false},
        {"count in exponent form", recordCount(), "1e3", false},
        {"count ALL", recordCount(), "ALL", false},
        {"millivolts whole", millivolts(), "2500", true},
        {"millivolts with hundredths", millivolts(), "9999.99", true},
        {"millivolts with tenths", millivolts(), "0.5", true},
        {"millivolts ending in a point", millivolts(), "2500.", false},
        {"millivolts without a whole part", millivolts(), ".5", false},
        {"five digits", millivolts(), "12345", false},
        {"thousandths", millivolts(), "1.005", false},
        {"a letter", millivolts(), "25a0", false},
        {"offset", utcOffset(), "+01:00", true},
        {"offset west", utcOffset(), "-05:30", true},
        {"offset past 14 hours", utcOffset(), "+15:00", false},
        {"offset without its colon", utcOffset(), "+0100", false},
        {"a day", utcTime(), "2026-03-01", true},
        {"a minute", utcTime(), "2026-03-01 12:30", true},
        {"a second", utcTime(), "2026-03-01 12:30:59", true},
        {"February 30", utcTime(), "2026-02-30", false},
        {"a month's name", utcTime(), "May", false},
        {"channel 1", wholeNumber(1, 4), "1", true},
        {"channel 4", wholeNumber(1, 4), "4", true},
        {"channel 0", wholeNumber(1, 4), "0", false},
        {"channel 5", wholeNumber(1, 4), "5", false},
        {"channel with a blank", wholeNumber(1, 4), "1 ", false},
        {"in the list", oneOf({"space", "comma", "tab"}), "tab", true},
        {"another case", oneOf({"space", "comma", "tab"}), "Tab", false},
        {"empty name", notEmpty(), "", false},
        {"a name", notEmpty(), "st12", true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        std::string value = r.value;
        const std::string said = r.check(value);
        EXPECT_EQ(said.empty(), r.taken) << said;
        EXPECT_EQ(value, r.value);
        if (!r.taken) {
            EXPECT_TRUE(said.starts_with("takes ")) << said;
            EXPECT_TRUE(said.ends_with(", not: " + r.value)) << said;
        }
    }
    std::string semi = "semi";
    EXPECT_EQ(oneOf({"space", "comma", "tab"})(semi), "takes space, comma or tab, not: semi");
    std::string five = "5";
    EXPECT_EQ(wholeNumber(1, 4)(five), "takes a whole number from 1 to 4, not: 5");
}

}  // namespace
}  // namespace vrn::cli::test

#include <gtest/gtest.h>

#include "core/chart/hidden_fields.h"

namespace vrn::chart {
namespace {

TEST(HiddenFields, OwnSectionWrittenAndReadBackTheRestUntouched) {
    const std::string setup = "[41700 Setup]\nTop=100\nLeft=100\nShow Records=0\nNum of Records=100\n";
    struct Row {
        const char* name;
        std::string before;
        std::set<std::string> hidden;
        std::string after;
    } rows[] = {
        {"new section after the others",
         setup,
         {"RH", "AIR TEMP"},
         setup + "\n[Records Chart]\nHidden Field 1=AIR TEMP\nHidden Field 2=RH\n"},
        {"section replaced in its place",
         "[Records Chart]\nHidden Field 1=OLD\nHidden Field 7=GONE\n\n" + setup,
         {"BARO"},
         "[Records Chart]\nHidden Field 1=BARO\n" + setup},
        {"every field ticked: no section",
         setup + "\n[records chart]\nHidden Field 1=RH\n",
         {},
         setup + "\n"},
        {"CR LF kept",
         "[41700 Setup]\r\nTop=5\r\n",
         {"RH"},
         "[41700 Setup]\r\nTop=5\r\n\r\n[Records Chart]\r\nHidden Field 1=RH\r\n"},
        {"empty file", "", {"A B"}, "[Records Chart]\nHidden Field 1=A B\n"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const std::string written = writeHiddenFields(r.before, r.hidden);
        EXPECT_EQ(written, r.after);
        EXPECT_EQ(parseHiddenFields(written), r.hidden);
    }
}

TEST(HiddenFields, ReadsOnlyItsOwnKeysInItsOwnSection) {
    const std::string text =
        "[41700 Setup]\nHidden Field 1=NOT OURS\n[Records Chart]\n; a comment\nhidden field 3 =  WIND SPEED  "
        "\n"
        "Hidden Field=NO NUMBER\nOther=X\nHidden Field 4=\n[Recent Files]\nHidden Field 1=NOR THIS\n";
    EXPECT_EQ(parseHiddenFields(text), (std::set<std::string>{"WIND SPEED"}));
    EXPECT_TRUE(parseHiddenFields("garbage\n\x01[\n").empty());
}

}  // namespace
}  // namespace vrn::chart

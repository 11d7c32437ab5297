#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "core/compare/program_compare.h"
#include "core/compare/screen_compare.h"
#include "core/compare/setup_compare.h"
#include "core/compare/text_diff.h"
#include "core/program/program_model.h"
#include "core/program/transfer_image.h"
#include "core/screens/screen_store.h"
#include "core/setup/setup_model.h"
#include "sim/sim_state.h"

namespace vrn::compare {
namespace {

using Lines = std::vector<std::string>;

// Applies a unified diff to `from`, checking every context and removed line against it; the
// result must be `to` whenever the diff is right.
Lines applyDiff(const Lines& from, const Lines& diff) {
    Lines out;
    size_t at = 0;
    for (size_t k = 2; k < diff.size(); ++k) {
        const std::string& d = diff[k];
        if (d.starts_with("@@")) {
            size_t start = std::stoul(d.substr(4));
            const size_t comma = d.find(',');
            const size_t count = std::stoul(d.substr(comma + 1));
            if (count > 0) --start;
            while (at < start)
                out.push_back(from.at(at++));
            continue;
        }
        const std::string text = d.substr(1);
        if (d[0] == '+') {
            out.push_back(text);
            continue;
        }
        EXPECT_EQ(from.at(at), text) << "line " << at + 1;
        if (d[0] == ' ') out.push_back(text);
        ++at;
    }
    while (at < from.size())
        out.push_back(from[at++]);
    return out;
}

Lines numbered(size_t n, const std::string& prefix = "line ") {
    Lines lines;
    for (size_t k = 1; k <= n; ++k)
        lines.push_back(prefix + std::to_string(k));
    return lines;
}

TEST(CompareDiff, HunksAreExactAndMinimal) {
    const Lines ten = numbered(10);
    Lines changed = ten;
    changed[4] = "five";
    Lines farApart = numbered(20);
    farApart[1] = "two";
    farApart[17] = "eighteen";
    Lines near = ten;
    near[2] = "three";
    near[8] = "nine";
    struct Row {
        const char* name;
        Lines from;
        Lines to;
        Lines expected;
    } rows[] = {
        {"equal", ten, ten, {}},
        {"both empty", {}, {}, {}},
        {"one line changed, three of context",
         ten,
         changed,
         {"--- a", "+++ b", "@@ -2,7 +2,7 @@", " line 2", " line 3", " line 4", "-line 5", "+five", " line 6",
          " line 7", " line 8"}},
        {"added to an empty file", {}, {"x", "y"}, {"--- a", "+++ b", "@@ -0,0 +1,2 @@", "+x", "+y"}},
        {"last line removed", {"a", "b"}, {"a"}, {"--- a", "+++ b", "@@ -1,2 +1,1 @@", " a", "-b"}},
        {"first line removed",
         {"a", "b", "c", "d", "e"},
         {"b", "c", "d", "e"},
         {"--- a", "+++ b", "@@ -1,4 +1,3 @@", "-a", " b", " c", " d"}},
        {"changes six lines apart share a hunk",
         ten,
         near,
         {"--- a", "+++ b", "@@ -1,10 +1,10 @@", " line 1", " line 2", "-line 3", "+three", " line 4",
          " line 5", " line 6", " line 7", " line 8", "-line 9", "+nine", " line 10"}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(unifiedDiff(r.from, r.to, "a", "b"), r.expected);
    }
    const Lines two = unifiedDiff(numbered(20), farApart, "a", "b");
    size_t hunks = 0;
    for (const std::string& line : two)
        hunks += line.starts_with("@@") ? 1 : 0;
    EXPECT_EQ(hunks, 2u);
    EXPECT_EQ(applyDiff(numbered(20), two), farApart);
}

TEST(CompareDiff, RandomEditsAndHugeDifferencesApplyBack) {
    std::mt19937 random(19);
    for (int round = 0; round < 200; ++round) {
        SCOPED_TRACE(round);
        Lines from;
        Lines to;
        const size_t n = random() % 40;
        for (size_t k = 0; k < n; ++k) {
            const std::string line = "l" + std::to_string(random() % 6);
            if (random() % 4 != 0) from.push_back(line);
            if (random() % 4 != 0) to.push_back(random() % 5 == 0 ? line + "'" : line);
        }
        const Lines diff = unifiedDiff(from, to, "a", "b");
        EXPECT_EQ(diff.empty(), from == to);
        EXPECT_EQ(applyDiff(from, diff), to);
    }
    // Past the exact search's table: unrelated programs of thousands of lines still diff right.
    const Lines big = numbered(3000);
    const Lines other = numbered(2500, "other ");
    Lines framed = big;
    framed.insert(framed.begin() + 1500, other.begin(), other.end());
    EXPECT_EQ(applyDiff(big, unifiedDiff(big, other, "a", "b")), other);
    EXPECT_EQ(applyDiff(big, unifiedDiff(big, framed, "a", "b")), framed);
}

setup::SetupModel station() {
    setup::SetupModel m;
    m.setFieldsPerRecord(3);
    m.setLabel(0, "WIND SPEED");
    m.setLabel(1, "DATE");
    m.setType(1, static_cast<int32_t>(setup::FieldType::Date));
    m.setLabel(2, "TEMP");
    return m;
}

TEST(CompareSetup, NamesEachDifferenceThatHasAnEffect) {
    struct Row {
        const char* name;
        void (*changeInstrument)(setup::SetupModel&);
        bool compareCom1;
        Lines expected;
    } rows[] = {
        {"equal", [](setup::SetupModel&) {}, true, {}},
        {"COM2 baud by its caption",
         [](setup::SetupModel& m) { m.setCom2Baud(4); },
         true,
         {"COM2 BAUD: file 9600, instrument 19.2K"}},
        {"COM1 of a file that holds it",
         [](setup::SetupModel& m) {
             m.setCom1Type(1);
             m.setCom1Baud(7);
         },
         true,
         {"COM1 TYPE: file RS-232, instrument RS-485", "COM1 BAUD: file 9600, instrument 230.4K"}},
        {"COM1 of a file too old to hold it", [](setup::SetupModel& m) { m.setCom1Type(1); }, false, {}},
        {"switches as ON and OFF",
         [](setup::SetupModel& m) {
             m.setStopOnError(true);
             m.setKeyLock(true);
         },
         true,
         {"STOP ON ERROR: file OFF, instrument ON", "KEYPAD LOCK: file OFF, instrument ON"}},
        {"the clock is not compared",
         [](setup::SetupModel& m) {
             m.setDate("07-14-2026");
             m.setTime("09:05:33");
         },
         true,
         {}},
        {"scroll values without auto scroll", [](setup::SetupModel& m) { m.setScrollPause(9); }, true, {}},
        {"scroll values with auto scroll on one side",
         [](setup::SetupModel& m) {
             m.setAutoScroll(true);
             m.setScrollPause(9);
         },
         true,
         {"AUTO SCROLL: file OFF, instrument ON", "SCROLL PAUSE: file 1, instrument 9"}},
        {"a row past both counts", [](setup::SetupModel& m) { m.setLabel(3, "RAIN"); }, true, {}},
        {"a row in use on one side",
         [](setup::SetupModel& m) {
             m.setFieldsPerRecord(4);
             m.setLabel(3, "RAIN");
         },
         true,
         {"FIELDS PER RECORD: file 3, instrument 4",
          "FIELD 04 LABEL: file \"FIELD 04\", instrument \"RAIN\""}},
        {"the width of a date field", [](setup::SetupModel& m) { m.setWidth(1, 3); }, true, {}},
        {"width, precision and type of a number field",
         [](setup::SetupModel& m) {
             m.setWidth(2, 5);
             m.setPrecision(2, 3);
             m.setType(0, 9);
         },
         true,
         {"FIELD 01 TYPE: file Number, instrument (item 9)", "FIELD 03 WIDTH: file 7, instrument 5",
          "FIELD 03 PRECISION: file 1, instrument 3"}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const setup::SetupModel file = station();
        setup::SetupModel instrument = station();
        r.changeInstrument(instrument);
        EXPECT_EQ(compareSetup(file, instrument, r.compareCom1), r.expected);
    }
}

TEST(CompareScreens, OneLinePerRunOfDifferingColumns) {
    struct Cell {
        int screen, row, column;
        uint8_t byte;
    };
    struct Row {
        const char* name;
        std::vector<Cell> file;
        std::vector<Cell> instrument;
        Lines expected;
    } rows[] = {
        {"equal", {}, {}, {}},
        {"a word",
         {{2, 1, 4, 'T'}, {2, 1, 5, 'E'}, {2, 1, 6, 'M'}, {2, 1, 7, 'P'}},
         {{2, 1, 4, 'T'}, {2, 1, 5, 'M'}, {2, 1, 6, 'P'}},
         {"screen 3 row 2 col 6..8: file \"EMP\", instrument \"MP \""}},
        {"two runs in a row and the last cell",
         {{7, 5, 0, 'A'}, {7, 5, 39, 'Z'}},
         {{7, 5, 1, 'B'}},
         {"screen 8 row 6 col 1..2: file \"A \", instrument \" B\"",
          "screen 8 row 6 col 40: file \"Z\", instrument \" \""}},
        {"font size and the degree sign",
         {{0, 0, 0, 0xC1}, {0, 0, 1, 0xC1}, {0, 0, 2, 0x7E}},
         {{0, 0, 0, 'A'}, {0, 0, 1, 0xC1}, {0, 0, 2, 0x01}},
         {"screen 1 row 1 col 1: file \"A\" (large), instrument \"A\"",
          "screen 1 row 1 col 3: file \"\u00B0\", instrument \"?\""}},
        {"partly large",
         {{4, 2, 10, 0xC2}, {4, 2, 11, 'x'}},
         {},
         {"screen 5 row 3 col 11..12: file \"Bx\" (partly large), instrument \"  \""}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        screens::ScreenStore file;
        screens::ScreenStore instrument;
        for (const Cell& c : r.file)
            file.setCell(c.screen, c.row, c.column, c.byte);
        for (const Cell& c : r.instrument)
            instrument.setCell(c.screen, c.row, c.column, c.byte);
        EXPECT_EQ(compareScreens(file.bytes(), instrument.bytes()), r.expected);
    }
}

TEST(CompareProgram, ListsAStoreAsTheInstrumentWouldAndRefusesUnknownInstructions) {
    ProgramModel received;
    ASSERT_FALSE(decodeTransferImage(sim::defaultProgramImage(), received).failed);
    const Lines instrumentListing = treeListing(received.tree);
    ASSERT_GT(instrumentListing.size(), 2u);
    EXPECT_EQ(instrumentListing.back(), "PGM END");
    EXPECT_TRUE(instrumentListing[1].starts_with("\t"));

    std::string problem;
    // The tree text plays no part: only the store is sent.
    received.tree.setText({0}, "SOMETHING ELSE");
    EXPECT_EQ(sentProgramListing(received.store, problem), instrumentListing);

    ProgramStore unknown;
    unknown.setInstruction(0, 0xFFFE);
    EXPECT_EQ(sentProgramListing(unknown, problem), std::nullopt);
    EXPECT_EQ(problem, "000 00000 65534");
}

}  // namespace
}  // namespace vrn::compare

#include "core/check/program_check.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <initializer_list>
#include <set>
#include <string>
#include <vector>

#include "core/program/catalogue.h"
#include "core/program/node_text.h"
#include "core/program/param_input.h"
#include "core/program/program_model.h"
#include "core/program/program_outline.h"
#include "core/program/transfer_image.h"
#include "core/setup/setup_model.h"
#include "sim/sim_state.h"

namespace vrn::check {
namespace {

using Lines = std::vector<std::string>;
using setup::FieldType;

struct Instr {
    std::string_view name;
    std::vector<std::string_view> values;  // as typed; a choice by its index
};

// Stores the instructions from slot 0 on, as the editor would, and PGM END after them.
ProgramStore programOf(const std::vector<Instr>& instrs) {
    ProgramStore store;
    size_t k = 0;
    for (const Instr& in : instrs) {
        const auto number = instructionNumberOf(in.name);
        EXPECT_TRUE(number) << in.name;
        if (!number) return store;
        const InstrDesc& d = *instruction(*number);
        EXPECT_EQ(in.values.size(), d.paramCount) << in.name;
        store.setInstruction(k, *number);
        for (size_t j = 0; j < in.values.size() && j < d.paramCount; ++j) {
            const std::string_view v = in.values[j];
            switch (classify(d.params[j].kind)) {
            case KindClass::Integer:
                store.setIntValue(k, j, readIntegerInput(v));
                break;
            case KindClass::Decimal:
                store.setFloatValue(k, j, readDecimalInput(v));
                store.setTextField(k, j, v);
                break;
            case KindClass::Text:
                store.setTextArea(k, v);
                break;
            case KindClass::Hex:
                store.setShortValue(k, j, readHexInput(v));
                break;
            case KindClass::Choice:
                store.setShortValue(k, j, static_cast<uint16_t>(readIntegerInput(v)));
                break;
            case KindClass::None:
                break;
            }
        }
        ++k;
    }
    store.setInstruction(k, 0);
    return store;
}

setup::SetupModel formatOf(const std::vector<FieldType>& types) {
    setup::SetupModel s;
    s.setFieldsPerRecord(static_cast<int64_t>(types.size()));
    for (size_t i = 0; i < types.size(); ++i)
        s.setType(static_cast<int>(i), static_cast<int32_t>(types[i]));
    return s;
}

Lines linesOf(const CheckResult& r) {
    Lines out;
    for (const Finding& f : r.findings)
        out.push_back(findingLine(f));
    return out;
}

struct Row {
    const char* name;
    std::vector<Instr> program;
    std::function<void(ProgramStore&)> damage;  // what the editor cannot make: from a file
    std::optional<std::vector<FieldType>> format;
    Lines expected;
};

const Instr kWrite1{"LOC = VALUE", {"1", "2.5"}};

TEST(ProgramCheck, EachRuleFiresOnTheProgramThatBreaksIt) {
    const std::vector<Row> rows = {
        {"if without end if",
         {{"IF FLAG", {"1", "0"}}, {"BEEP", {"1"}}},
         {},
         {},
         {"001 IF FLAG: error: no END IF closes this IF before PGM END"}},
        {"nested if without end if",
         {{"IF FLAG", {"1", "0"}}, {"IF KEYSWITCH", {"0"}}, {"END IF", {}}},
         {},
         {},
         {"001 IF FLAG: error: no END IF closes this IF before PGM END"}},
        {"second else",
         {{"IF FLAG", {"1", "0"}}, {"ELSE", {}}, {"ELSE", {}}, {"END IF", {}}},
         {},
         {},
         {"003 ELSE: error: second ELSE of the IF at 001 (the first is at 002)"}},
        {"else of a closed if",
         {{"IF FLAG", {"1", "0"}}, {"END IF", {}}, {"ELSE", {}}},
         {},
         {},
         {"003 ELSE: error: ELSE outside any IF"}},
        {"end if outside", {{"END IF", {}}}, {}, {}, {"001 END IF: error: END IF outside any IF"}},
        {"no pgm end",
         {},
         [](ProgramStore& s) {
             for (size_t k = 0; k < ProgramStore::kSlotCount; ++k)
                 s.setInstruction(k, 3);  // BEEP num= 0 everywhere
         },
         {},
         {"512 BEEP: error: the program has no PGM END in its 512 slots"}},
        {"unknown instruction",
         {{"BEEP", {"1"}}, {"BEEP", {"1"}}},
         [](ProgramStore& s) { s.setInstruction(1, 60); },
         {},
         {"002 #60: error: instruction number 60 is not one the 41700 knows"}},
        {"screen, row and column off the LCD",
         {{"DISPLAY TIME", {"9", "0", "7", "41"}}},
         {},
         {},
         {"001 DISPLAY TIME scrn=: error: screen 9 is not on the LCD (1 to 8)",
          "001 DISPLAY TIME row=: error: row 7 is not on the LCD (1 to 6)",
          "001 DISPLAY TIME col=: error: column 41 is not on the LCD (1 to 40)"}},
        {"screen and column 0",
         {{"DISPLAY FLAGS", {"0", "0", "1", "0", "0"}}},
         {},
         {},
         {"001 DISPLAY FLAGS scrn=: error: screen 0 is not on the LCD (1 to 8)",
          "001 DISPLAY FLAGS col=: error: column 0 is not on the LCD (1 to 40)"}},
        {"large font on the last row and column",
         {{"DISPLAY TIME", {"1", "1", "6", "40"}}},
         {},
         {},
         {"001 DISPLAY TIME row=: error: the large font takes two rows, and row 6 is the last",
          "001 DISPLAY TIME col=: error: 8 large characters from column 40 end at column 55; a row has 40"}},
        {"text past column 40",
         {{"DISPLAY TEXT", {"1", "1", "35", "TEMPERATURE", "0"}}},
         {},
         {},
         {"001 DISPLAY TEXT col=: error: 11 characters from column 35 end at column 45; a row has 40"}},
        {"large text past column 40",
         {{"DISPLAY TEXT", {"1", "1", "20", "ABCDEFGHIJK", "1"}}},
         {},
         {},
         {"001 DISPLAY TEXT col=: error: 11 large characters from column 20 end at column 41; a row has 40"}},
        {"text ends at its backslash",
         {{"DISPLAY TEXT", {"1", "1", "35", "ABC\\DEFGHIJK", "0"}}},
         {},
         {},
         {}},
        {"value past column 40",
         {kWrite1, {"DISPLAY VALUE", {"1", "1", "0", "2", "36", "6", "1"}}},
         {},
         {},
         {"002 DISPLAY VALUE col=: error: 6 characters from column 36 end at column 41; a row has 40"}},
        {"location read and never written",
         {{"AVERAGE", {"17", "5", "0", "60"}}},
         {},
         {},
         {"001 AVERAGE sloc=: warning: location 17 is never written"}},
        {"every reading parameter",
         {{"IF LOC1 COMPARE LOC2", {"2", "0", "3"}},
          {"END IF", {}},
          {"LOC1 = LOC2 OPER LOC3", {"1", "4", "0", "5"}},
          {"SERIAL BUFFER VALUE", {"6", "7", "1", "0"}},
          {"LOC = VALUE", {"7", "1"}}},
         {},
         {},
         {"001 IF LOC1 COMPARE LOC2 sloc1=: warning: location 2 is never written",
          "001 IF LOC1 COMPARE LOC2 sloc2=: warning: location 3 is never written",
          "003 LOC1 = LOC2 OPER LOC3 loc2=: warning: location 4 is never written",
          "003 LOC1 = LOC2 OPER LOC3 loc3=: warning: location 5 is never written",
          "004 SERIAL BUFFER VALUE loc=: warning: location 6 is never written"}},
        {"a serial input writes its #flds locations",
         {{"INPUT SERIAL NUM", {"0", "3", "1", "0", "100", "10"}},
          {"RECORD VALUE", {"12"}},
          {"RECORD VALUE", {"13"}}},
         {},
         {},
         {"003 RECORD VALUE sloc=: warning: location 13 is never written"}},
        {"decimals that do not fit the width",
         {kWrite1,
          {"DISPLAY VALUE", {"1", "1", "0", "1", "1", "3", "3"}},
          {"SERIAL BUFFER VALUE", {"1", "0", "0", "0"}}},
         {},
         {},
         {"002 DISPLAY VALUE decpt=: error: 3 decimals and the point do not fit a width of 3",
          "003 SERIAL BUFFER VALUE width=: error: a width of 0 leaves no room for the value"}},
        {"no samples",
         {kWrite1, {"MAXIMUM", {"1", "2", "1", "0"}}},
         {},
         {},
         {"002 MAXIMUM #samp=: warning: 0 samples: the statistic is taken over no samples"}},
        {"no fields",
         {{"INPUT SERIAL NMEA", {"1", "WIMWV", "0", "1000", "1"}}},
         {},
         {},
         {"001 INPUT SERIAL NMEA #flds=: warning: 0 fields: the input stores no value"}},
        {"choice outside its list",
         {kWrite1, {"AVERAGE", {"1", "2", "4", "60"}}},
         {},
         {},
         {"002 AVERAGE type=: error: choice 4 is not in its list of 4"}},
        {"integers a file can hold",
         {kWrite1, {"AVERAGE", {"1", "2", "0", "60"}}},
         [](ProgramStore& s) {
             s.setIntValue(1, 1, 1234);
             s.setIntValue(1, 3, 70000);
         },
         {},
         {"002 AVERAGE dloc=: warning: value 1234 has more than the 3 digits the parameter takes",
          "002 AVERAGE #samp=: error: value 70000 does not fit the 16 bits the 41700 receives; it would get "
          "4464"}},
        {"text longer than the parameter takes",
         {{"INPUT SERIAL NMEA", {"1", "GPGGA1", "1", "1000", "1"}}},
         {},
         {},
         {"001 INPUT SERIAL NMEA header=: warning: text of 6 characters, where the parameter takes 5"}},
        {"decimal that is not a number",
         {{"LOC = VALUE", {"1", "0"}}},
         [](ProgramStore& s) { s.setFloatValue(0, 1, std::nanf("")); },
         {},
         {"001 LOC = VALUE val=: error: the value is not a number the 41700 can compute with"}},
        {"a pass records fewer values than a record has fields",
         {kWrite1, {"RECORD VALUE", {"1"}}},
         {},
         std::vector{FieldType::Number, FieldType::Number},
         {"002 RECORD VALUE: error: a pass records 1 value; the record format has 2 fields per record"}},
        {"a pass records more values than a record has fields",
         {kWrite1, {"RECORD VALUE", {"1"}}, {"RECORD TIME", {"1"}}},
         {},
         std::vector{FieldType::Number},
         {"003 RECORD TIME frmt=: error: records value 2 of a pass; the record format has 1 field per "
          "record"}},
        {"a value recorded into a date field",
         {kWrite1, {"RECORD VALUE", {"1"}}, {"RECORD TIME", {"0"}}},
         {},
         std::vector{FieldType::Date, FieldType::Date},
         {"002 RECORD VALUE sloc=: error: records a Number into field 1 \"FIELD 01\", a Date field"}},
        {"records inside an IF are warnings",
         {kWrite1, {"IF TIME INTERVAL", {"1", "10"}}, {"RECORD TIME", {"1"}}, {"END IF", {}}},
         {},
         std::vector{FieldType::Date, FieldType::Number},
         {"003 RECORD TIME: warning: recorded inside an IF: how many values a pass records depends on the "
          "run",
          "003 RECORD TIME frmt=: warning: records a Time into field 1 \"FIELD 01\", a Date field",
          "003 RECORD TIME: warning: a pass records 1 value; the record format has 2 fields per record"}},
        {"a program that records nothing",
         {{"BEEP", {"1"}}},
         {},
         std::vector{FieldType::Number},
         {"002 PGM END: warning: the program records no values; the record format has 1 field per record"}},
    };
    for (const Row& r : rows) {
        ProgramStore store = programOf(r.program);
        if (r.damage) r.damage(store);
        std::optional<setup::SetupModel> setup;
        if (r.format) setup = formatOf(*r.format);
        const CheckResult result = checkProgram(store, setup ? &*setup : nullptr);
        EXPECT_EQ(linesOf(result), r.expected) << r.name;
    }
}

// Each display instruction takes as many columns as it shows characters: at the last column where
// it still fits there is no finding, one column further it ends past column 40.
TEST(ProgramCheck, EachDisplayInstructionTakesItsRealWidth) {
    struct WidthRow {
        const char* name;
        Instr fits;
        Instr oneFurther;
        Lines expected;
    };
    const std::vector<WidthRow> rows = {
        {"time HH:MM:SS",
         {"DISPLAY TIME", {"1", "0", "1", "33"}},
         {"DISPLAY TIME", {"1", "0", "1", "34"}},
         {"002 DISPLAY TIME col=: error: 8 characters from column 34 end at column 41; a row has 40"}},
        {"large time",
         {"DISPLAY TIME", {"1", "1", "1", "25"}},
         {"DISPLAY TIME", {"1", "1", "1", "26"}},
         {"002 DISPLAY TIME col=: error: 8 large characters from column 26 end at column 41; a row has 40"}},
        {"compass point",
         {"DISPLAY NESW", {"1", "1", "0", "1", "38"}},
         {"DISPLAY NESW", {"1", "1", "0", "1", "39"}},
         {"002 DISPLAY NESW col=: error: 3 characters from column 39 end at column 41; a row has 40"}},
        {"flags in binary",
         {"DISPLAY FLAGS", {"1", "0", "1", "25", "0"}},
         {"DISPLAY FLAGS", {"1", "0", "1", "26", "0"}},
         {"002 DISPLAY FLAGS col=: error: 16 characters from column 26 end at column 41; a row has 40"}},
        {"flags in hexadecimal",
         {"DISPLAY FLAGS", {"1", "0", "1", "37", "1"}},
         {"DISPLAY FLAGS", {"1", "0", "1", "38", "1"}},
         {"002 DISPLAY FLAGS col=: error: 4 characters from column 38 end at column 41; a row has 40"}},
        {"value of its width",
         {"DISPLAY VALUE", {"1", "1", "0", "1", "34", "7", "1"}},
         {"DISPLAY VALUE", {"1", "1", "0", "1", "35", "7", "1"}},
         {"002 DISPLAY VALUE col=: error: 7 characters from column 35 end at column 41; a row has 40"}},
        {"text up to its end mark",
         {"DISPLAY TEXT", {"1", "1", "38", "ABC\\DEFGHIJ", "0"}},
         {"DISPLAY TEXT", {"1", "1", "39", "ABC\\DEFGHIJ", "0"}},
         {"002 DISPLAY TEXT col=: error: 3 characters from column 39 end at column 41; a row has 40"}},
    };
    for (const WidthRow& r : rows) {
        EXPECT_EQ(linesOf(checkProgram(programOf({kWrite1, r.fits}))), Lines{}) << r.name;
        EXPECT_EQ(linesOf(checkProgram(programOf({kWrite1, r.oneFurther}))), r.expected) << r.name;
    }
}

// A text's length, like what the LCD shows of it, ends at the instrument's end mark.
TEST(ProgramCheck, ATextIsAsLongAsItsPartBeforeTheEndMark) {
    const struct {
        const char* name;
        Instr instr;
        Lines expected;
    } rows[] = {
        {"header cut by its end mark", {"INPUT SERIAL NMEA", {"1", "GPG\\GA1", "1", "1000", "1"}}, {}},
        {"header long before its end mark",
         {"INPUT SERIAL NMEA", {"1", "GPGGA1\\", "1", "1000", "1"}},
         {"001 INPUT SERIAL NMEA header=: warning: text of 6 characters, where the parameter takes 5"}},
        {"the longest text and a note after its end mark",
         {"SERIAL BUFFER TEXT", {"AAAAAAAAAAAAAAAAAAAAAAAAA\\NOTE"}},
         {}},
        {"one character too many before the end mark",
         {"SERIAL BUFFER TEXT", {"AAAAAAAAAAAAAAAAAAAAAAAAAB\\"}},
         {"001 SERIAL BUFFER TEXT text=: warning: text of 26 characters, where the parameter takes 25"}},
        {"display text with a note after its end mark",
         {"DISPLAY TEXT", {"1", "1", "1", "AAAAAAAAAAAAAAAAAAAAAAAAA\\NOTE", "0"}},
         {}},
    };
    for (const auto& r : rows)
        EXPECT_EQ(linesOf(checkProgram(programOf({r.instr}))), r.expected) << r.name;
}

TEST(ProgramCheck, FindingsCarryTheirParameterAndSeverityAsData) {
    const ProgramStore store = programOf({{"IF FLAG", {"1", "0"}}, {"AVERAGE", {"9", "2", "0", "60"}}});
    const CheckResult r = checkProgram(store);
    ASSERT_EQ(r.findings.size(), 2u);
    EXPECT_EQ(r.findings[0].position(), 1u);
    EXPECT_FALSE(r.findings[0].parameter);
    EXPECT_EQ(r.findings[0].severity, Severity::Error);
    EXPECT_EQ(r.findings[1].slot, 1u);
    EXPECT_EQ(r.findings[1].instruction, 2);
    EXPECT_EQ(r.findings[1].parameter, 0u);
    EXPECT_EQ(r.findings[1].parameterName, "sloc=");
    EXPECT_EQ(r.findings[1].severity, Severity::Warning);
    EXPECT_EQ(r.errors(), 1u);
    EXPECT_EQ(r.warnings(), 1u);
    EXPECT_EQ(countsText(r), "1 ERROR, 1 WARNING");
    EXPECT_EQ(countsText(checkProgram(programOf({}))), "NO FINDINGS");
}

// Every instruction of the catalogue, written as a station would use it.
std::vector<Instr> everyInstruction() {
    return {
        {"INPUT VOLTAGE", {"1", "1", "1.0", "0.0", "0", "1"}},
        {"INPUT FREQ", {"1", "0", "1.0", "0.0", "2"}},
        {"INPUT PRECIP (TIPPING BUCKET)", {"1", "0.1", "1.0", "3"}},
        {"INPUT PRECIP (SIPHON)", {"1", "0", "0", "1.0", "0.0", "4"}},
        {"INPUT SERIAL NMEA", {"1", "WIMWV", "2", "1000", "5"}},
        {"INPUT SERIAL NUM", {"0", "2", "1", "0", "100", "7"}},
        {"INPUT SERIAL VRNT", {"1", "0", "1000", "9"}},
        {"INPUT (reserved)", {}},
        {"INPUT WIND DIR (VOLTAGE)", {"2", "0", "10"}},
        {"INPUT WIND SPEED (FREQ)", {"1", "0", "0", "11"}},
        {"LOC1 = LOC2", {"12", "6"}},
        {"LOC = VALUE", {"13", "2"}},
        {"LOC1 = LOC2 OPER LOC3", {"14", "1", "0", "8"}},
        {"LOC1 = LOC2 OPER VALUE", {"15", "3", "2", "1.8"}},
        {"LOC1 = FUNCTION(LOC2)", {"16", "0", "4"}},
        {"AVERAGE", {"11", "17", "0", "60"}},
        {"MAXIMUM", {"11", "18", "0", "60"}},
        {"MINIMUM", {"11", "19", "1", "60"}},
        {"STANDARD DEVIATION", {"11", "20", "2", "60"}},
        {"WIND DIRECTION 0-540", {"10", "21"}},
        {"ALARM", {"1", "0.0", "10.0", "0", "0", "1"}},
        {"BEEP", {"1"}},
        {"DELAY", {"10"}},
        {"CHANGE TO SCREEN", {"13"}},
        {"DISPLAY FLAGS", {"1", "0", "1", "1", "0"}},
        {"DISPLAY NESW", {"10", "1", "0", "2", "1"}},
        {"DISPLAY TEXT", {"1", "3", "1", "TEMP ~C", "0"}},
        {"DISPLAY TIME", {"1", "1", "5", "25"}},
        {"DISPLAY VALUE", {"1", "1", "1", "3", "11", "7", "1"}},
        {"FLAG SET", {"1", "1"}},
        {"FLAG SET MASK", {"00FF", "0"}},
        {"FLAG TIME INTERVAL", {"0", "10", "2", "1"}},
        {"IF FLAG", {"1", "1"}},
        {"BEEP", {"2"}},
        {"ELSE", {}},
        {"BEEP", {"3"}},
        {"END IF", {}},
        {"IF FLAG MASK", {"00FF", "0", "1"}},
        {"IF KEYSWITCH", {"0"}},
        {"OUTPUT SWITCH", {"1", "1"}},
        {"END IF", {}},
        {"END IF", {}},
        {"IF LOC1 COMPARE LOC2", {"1", "2", "2"}},
        {"OUTPUT MILLIAMPS", {"1", "1", "1.0", "0.0"}},
        {"END IF", {}},
        {"IF LOC COMPARE VAL", {"1", "2", "10.0"}},
        {"OUTPUT MILLIVOLTS", {"1", "1", "1.0", "0.0"}},
        {"END IF", {}},
        {"IF LOC SPAN", {"1", "0.0", "10.0", "0", "0"}},
        {"SERIAL BUFFER TEXT", {"ALARM"}},
        {"END IF", {}},
        {"IF TIME INTERVAL", {"1", "10"}},
        {"SERIAL BUFFER TEXT", {"$WX"}},
        {"SERIAL BUFFER TIME", {"0", "1"}},
        {"SERIAL BUFFER VALUE", {"1", "7", "1", "1"}},
        {"SERIAL BUFFER NESW", {"10", "1"}},
        {"SERIAL BUFFER CHECKSUM", {"2"}},
        {"SERIAL BUFFER OUT", {"1", "3", "0"}},
        {"END IF", {}},
        {"RECORD TIME", {"0"}},
        {"RECORD TIME", {"1"}},
        {"RECORD VALUE", {"1"}},
        {"RECORD VALUE", {"17"}},
    };
}

TEST(ProgramCheck, TheStationProgramAndAProgramOfEveryInstructionHaveNoFindings) {
    ProgramModel station;
    ASSERT_FALSE(decodeTransferImage(sim::defaultProgramImage(), station).failed);
    EXPECT_EQ(linesOf(checkProgram(station.store)), Lines{});

    const ProgramStore every = programOf(everyInstruction());
    std::set<uint16_t> used;
    for (size_t k = 0; k < ProgramStore::kSlotCount && (k == 0 || every.instruction(k - 1) != 0); ++k)
        used.insert(every.instruction(k));
    EXPECT_EQ(used.size(), kInstructionCount);
    EXPECT_EQ(linesOf(checkProgram(every)), Lines{});
    const setup::SetupModel format =
        formatOf({FieldType::Date, FieldType::Time, FieldType::Number, FieldType::Number});
    EXPECT_EQ(linesOf(checkProgram(every, &format)), Lines{});
}

// The station's program records its record format's five readings, its date and its time on every
// pass: against that format it has no findings; against one missing the last field, or with the
// readings' order moved, it has.
TEST(ProgramCheck, TheStationProgramAgainstTheStationRecordFormat) {
    ProgramModel station;
    ASSERT_FALSE(decodeTransferImage(sim::defaultProgramImage(), station).failed);
    using T = FieldType;
    const std::vector<T> stationFormat = {T::Number, T::Number, T::Number, T::Number,
                                          T::Number, T::Date,   T::Time};
    const setup::SetupModel coherent = formatOf(stationFormat);
    EXPECT_EQ(linesOf(checkProgram(station.store, &coherent)), Lines{});
    setup::SetupModel shorter = formatOf({T::Number, T::Number, T::Number, T::Number, T::Number, T::Date});
    EXPECT_EQ(
        linesOf(checkProgram(station.store, &shorter)),
        (Lines{"017 RECORD TIME frmt=: error: records value 7 of a pass; the record format has 6 fields "
               "per record"}));
    setup::SetupModel dateFirst =
        formatOf({T::Date, T::Time, T::Number, T::Number, T::Number, T::Number, T::Number});
    dateFirst.setLabel(0, "DATE");
    EXPECT_EQ(linesOf(checkProgram(station.store, &dateFirst)).size(), 4u);
}

TEST(ProgramOutline, BodiesOfIfsGoOneLevelDeeper) {
    struct OutlineRow {
        const char* name;
        std::vector<uint16_t> numbers;
        std::vector<size_t> levels;
    };
    const std::vector<OutlineRow> rows = {
        {"flat", {3, 5, 0}, {0, 0, 0}},
        {"if else end if", {16, 3, 11, 3, 12, 0}, {0, 1, 0, 1, 0, 0}},
        {"nested", {22, 18, 42, 12, 44, 12, 0}, {0, 1, 2, 1, 1, 0, 0}},
        {"stray else and end if stay put", {11, 12, 3}, {0, 0, 0}},
        {"an if never closed", {20, 3, 0}, {0, 1, 1}},
    };
    for (const OutlineRow& r : rows)
        EXPECT_EQ(outlineLevels(r.numbers), r.levels) << r.name;
    EXPECT_EQ(instructionNumberOf("IF TIME INTERVAL"), kLastIfNumber);
    EXPECT_EQ(instructionNumberOf("IF FLAG"), kFirstIfNumber);
    EXPECT_FALSE(instructionNumberOf("IF"));
}

}  // namespace
}  // namespace vrn::check

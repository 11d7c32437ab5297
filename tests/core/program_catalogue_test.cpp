#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/program/catalogue.h"

namespace vrn {
namespace {

// The catalogue as its reference table writes it: each parameter as "name" kind-letter width
// [initial], separated by "; ". I integer, D decimal, T text, H hex, Cn choice from list n.
struct Row {
    uint32_t number;
    const char* name;
    const char* params;
};
const Row kTable[] = {
    {0, "PGM END", R"()"},
    {1, "ALARM",
     R"("sloc=" I3 [1]; "set1=" D7 [0.0]; "set2=" D7 [0.0]; "delay=" I3 [0]; "span=" C31 [0]; "sw=" I1 [1])"},
    {2, "AVERAGE", R"("sloc=" I3 [1]; "dloc=" I3 [1]; "type=" C26 [0]; "#samp=" I4 [0])"},
    {3, "BEEP", R"("num=" I1 [1])"},
    {4, "CHANGE TO SCREEN", R"("sloc=" I3 [1])"},
    {5, "DELAY", R"("msec=" I4 [1])"},
    {6, "DISPLAY FLAGS",
     R"("scrn=" I1 [1]; "font=" C5 [0]; "row=" I1 [1]; "col=" I2 [1]; "format=" C32 [0])"},
    {7, "DISPLAY NESW", R"("sloc=" I3 [1]; "scrn=" I1 [1]; "font=" C5 [0]; "row=" I1 [1]; "col=" I2 [1])"},
    {8, "DISPLAY TEXT", R"("scrn=" I1 [1]; "row=" I1 [1]; "col=" I2 [1]; "text=" T25; "font=" C5 [0])"},
    {9, "DISPLAY TIME", R"("scrn=" I1 [1]; "font=" C5 [0]; "row=" I1 [1]; "col=" I2 [1])"},
    {10, "DISPLAY VALUE",
     R"("sloc=" I3 [1]; "scrn=" I1 [1]; "font=" C5 [0]; "row=" I1 [1]; "col=" I2 [1]; "width=" I1 [7]; "decpt=" I1 [0])"},
    {11, "ELSE", R"()"},
    {12, "END IF", R"()"},
    {13, "FLAG SET", R"("flag#=" I2 [1]; "state=" C12 [0])"},
    {14, "FLAG SET MASK", R"("mask=" H4 [0]; "state=" C12 [0])"},
    {15, "FLAG TIME INTERVAL", R"("unit=" C6 [0]; "time=" I4 [0]; "flag#=" I2 [1]; "state=" C12 [0])"},
    {16, "IF FLAG", R"("flag#=" I2 [1]; "state=" C12 [0])"},
    {17, "IF FLAG MASK", R"("mask=" H4 [0]; "logic=" C30 [0]; "state=" C12 [0])"},
    {18, "IF KEYSWITCH", R"("key=" C10 [0])"},
    {19, "IF LOC1 COMPARE LOC2", R"("sloc1=" I3 [1]; "comp:" C8 [0]; "sloc2=" I3 [1])"},
    {20, "IF LOC COMPARE VAL", R"("sloc=" I3 [1]; "comp:" C8 [0]; "val=" D7 [0.0])"},
    {21, "IF LOC SPAN",
     R"("sloc=" I3 [1]; "set1=" D7 [0.0]; "set2=" D7 [0.0]; "delay=" I2 [0]; "span=" C31 [0])"},
    {22, "IF TIME INTERVAL", R"("unit=" C6 [0]; "time=" I4 [0])"},
    {23, "INPUT FREQ",
     R"("chan=" I1 [1]; "type=" C22 [0]; "mult=" D7 [1.0]; "offs=" D7 [0.0]; "dloc=" I3 [1])"},
    {24, "INPUT PRECIP (TIPPING BUCKET)",
     R"("chan=" I1 [1]; "reso=" D7 [0.1]; "mult=" D7 [1.0]; "dloc=" I3 [1])"},
    {25, "INPUT PRECIP (SIPHON)",
     R"("chan=" I2 [1]; "type=" C18 [0]; "unit=" C15 [0]; "mult=" D7 [1.0]; "offs=" D7 [0.0]; "dloc=" I3 [1])"},
    {26, "INPUT SERIAL NMEA",
     R"("chan=" C34 [1]; "header=" T5; "#flds=" I2 [1]; "wait=" I4 [1000]; "dloc1=" I3 [1])"},
    {27, "INPUT SERIAL NUM",
     R"("chan=" C34 [1]; "#flds=" I2 [1]; "delim=" C28 [0]; "endchr=" C27 [0]; "wait=" I4 [100]; "dloc1=" I3 [1])"},
    {28, "INPUT SERIAL VRNT", R"("chan=" C34 [1]; "units=" C14 [0]; "wait=" I4 [1000]; "dloc1=" I3 [1])"},
    {29, "INPUT (reserved)", R"()"},
    {30, "INPUT VOLTAGE",
     R"("chan=" I2 [1]; "type=" C18 [0]; "mult=" D7 [1.0]; "offs=" D7 [0.0]; "rate=" C21 [0]; "dloc=" I3 [1])"},
    {31, "INPUT WIND DIR (VOLTAGE)", R"("chan=" I2 [1]; "sensor=" C19 [0]; "dloc=" I3 [1])"},
    {32, "INPUT WIND SPEED (FREQ)", R"("chan=" I1 [1]; "sensor=" C19 [0]; "units=" C14 [0]; "dloc=" I3 [1])"},
    {33, "LOC1 = LOC2", R"("loc1=" I3 [1]; "loc2=" I3 [1])"},
    {34, "LOC = VALUE", R"("loc=" I3 [1]; "val=" D7 [0.0])"},
    {35, "LOC1 = LOC2 OPER LOC3", R"("loc1=" I3 [1]; "loc2=" I3 [1]; "oper:" C13 [0]; "loc3=" I3 [1])"},
    {36, "LOC1 = LOC2 OPER VALUE", R"("loc1=" I3 [1]; "loc2=" I3 [1]; "oper:" C13 [0]; "val=" D7 [0.0])"},
    {37, "LOC1 = FUNCTION(LOC2)", R"("loc1=" I3 [1]; "func=" C17 [0]; "loc2=" I3 [1])"},
    {38, "MAXIMUM", R"("sloc=" I3 [1]; "dloc1=" I3 [1]; "type=" C33 [0]; "#samp=" I4 [0])"},
    {39, "MINIMUM", R"("sloc=" I3 [1]; "dloc1=" I3 [1]; "type=" C33 [0]; "#samp=" I4 [0])"},
    {40, "OUTPUT MILLIAMPS", R"("sloc=" I3 [1]; "chan=" I2 [1]; "mult=" D7 [1.0]; "offs=" D7 [0.0])"},
    {41, "OUTPUT MILLIVOLTS", R"("sloc=" I3 [1]; "chan=" I2 [1]; "mult=" D7 [1.0]; "offs=" D7 [0.0])"},
    {42, "OUTPUT SWITCH", R"("chan=" I1 [1]; "state=" C12 [0])"},
    {43, "RECORD TIME", R"("frmt=" C16 [0])"},
    {44, "RECORD VALUE", R"("sloc=" I3 [1])"},
    {45, "SERIAL BUFFER CHECKSUM", R"("type=" C25 [0])"},
    {46, "SERIAL BUFFER NESW", R"("sloc=" I3 [1]; "delim=" C28 [0])"},
    {47, "SERIAL BUFFER OUT", R"("chan=" C34 [1]; "endchr=" C27 [0]; "delay=" I2 [0])"},
    {48, "SERIAL BUFFER TEXT", R"("text=" T25)"},
    {49, "SERIAL BUFFER TIME", R"("frmt=" C16 [0]; "delim=" C28 [0])"},
    {50, "SERIAL BUFFER VALUE", R"("loc=" I3 [1]; "width=" I1 [7]; "decpt=" I1 [0]; "delim=" C28 [0])"},
    {51, "STANDARD DEVIATION", R"("sloc=" I3 [1]; "dloc=" I3 [1]; "type=" C26 [0]; "#samp=" I4 [0])"},
    {52, "WIND DIRECTION 0-540", R"("sloc=" I3 [1]; "dloc=" I3 [1])"},
};

struct ListRow {
    uint8_t code;
    std::vector<std::string> texts;
};
const ListRow kLists[] = {
    {5, {"SMALL", "BIG  "}},
    {6, {"SEC", "MIN"}},
    {8, {"< ", "<=", "> ", ">=", "<>", "= "}},
    {10, {"KEY1", "KEY2", "KEY3"}},
    {12, {"OFF", "ON "}},
    {13, {"+  ", "-  ", "*  ", "/  ", "POW", "MOD"}},
    {14, {"M/S ", "MPH ", "KM/H", "KTS "}},
    {15, {"MM  ", "INCH"}},
    {16, {"DATE", "TIME"}},
    {17,
     {"ABS    ", "COS    ", "SIN    ", "ATAN2  ", "DEWPT  ", "WETBULB", "WNDCHLL", "POLYNOM", "RTD375 ",
      "RTD385 ", "P CORR ", "ERRCODE", "DATETIME", "WAITFOR "}},
    {18, {"DIFF", "SE  "}},
    {19, {"TYPEA", "TYPEB", "TYPEC", "TYPED"}},
    {21,
     {"4800Hz ", "2400Hz ", "960Hz  ", "300Hz  ", "150Hz  ", "60Hz   ", "50Hz   ", "10Hz   ", "7.5Hz  ",
      "4.7Hz  "}},
    {22, {"LOW-AC", "TTL/SW"}},
    {25, {"SIMPLE", "CRC32 ", "NMEA  "}},
    {26, {"BLOCK    ", "BLK ANGLE", "MOVING   ", "MOV ANGLE"}},
    {27, {"CR  ", "LF  ", "NONE", "CRLF"}},
    {28, {"SPACE", "COMMA", "TAB  ", "NONE "}},
    {30, {"ANY", "ALL"}},
    {31, {"EXCL", "INCL"}},
    {32, {"BIN", "HEX"}},
    {33, {"BLOCK ", "MOVING"}},
    {34, {"COM1", "COM2"}},
};

struct Expected {
    std::string name;
    uint8_t kind;
    uint8_t width;
    float initial;
};

// Reads one "name" Xn [initial] item after another, separated by "; ".
std::vector<Expected> parseParams(const std::string& text) {
    std::vector<Expected> out;
    size_t pos = 0;
    while (pos < text.size()) {
        const size_t nameEnd = text.find('"', pos + 1);
        const std::string name = text.substr(pos + 1, nameEnd - pos - 1);
        const char letter = text.at(nameEnd + 2);
        size_t used = 0;
        const int number = std::stoi(text.substr(nameEnd + 3), &used);
        size_t next = nameEnd + 3 + used;
        float initial = 0.0f;
        if (text.compare(next, 2, " [") == 0) {
            const size_t close = text.find(']', next);
            initial = std::stof(text.substr(next + 2, close - next - 2));
            next = close + 1;
        }
        const auto width = static_cast<uint8_t>(number);
        switch (letter) {
        case 'I':
            out.push_back({name, 1, width, initial});
            break;
        case 'D':
            out.push_back({name, 2, width, initial});
            break;
        case 'T':
            out.push_back({name, 3, width, 0.0f});
            break;
        case 'H':
            out.push_back({name, 4, width, initial});
            break;
        case 'C':
            out.push_back({name, static_cast<uint8_t>(number), 0, initial});
            break;
        default:
            ADD_FAILURE() << "unknown kind letter in " << text;
            return out;
        }
        pos = next < text.size() ? next + 2 : next;  // past "; "
    }
    return out;
}

TEST(Catalogue, EveryInstructionMatchesTheTable) {
    ASSERT_EQ(std::size(kTable), kInstructionCount);
    for (const Row& row : kTable) {
        SCOPED_TRACE(row.name);
        const InstrDesc* instr = instruction(row.number);
        ASSERT_NE(instr, nullptr);
        EXPECT_EQ(instr->name, row.name);
        const std::vector<Expected> want = parseParams(row.params);
        ASSERT_EQ(instr->paramCount, want.size());
        for (size_t j = 0; j < kMaxParams; ++j) {
            const ParamDesc& got = instr->params[j];
            if (j >= want.size()) {
                EXPECT_TRUE(got.name.empty() && got.kind == 0 && got.width == 0 && got.initial == 0.0f)
                    << "unused descriptor " << j;
                continue;
            }
            EXPECT_EQ(got.name, want[j].name) << j;
            EXPECT_EQ(got.kind, want[j].kind) << want[j].name;
            EXPECT_EQ(got.width, want[j].width) << want[j].name;
            EXPECT_EQ(got.initial, want[j].initial) << want[j].name;
            EXPECT_NE(classify(got.kind), KindClass::None) << want[j].name;
            if (classify(got.kind) == KindClass::Choice) {
                EXPECT_TRUE(choiceText(got.kind, static_cast<uint32_t>(got.initial)).has_value())
                    << want[j].name;
            }
        }
    }
}

TEST(Catalogue, ChoiceListsMatchTheTable) {
    std::vector<bool> keyed(256, false);
    for (const ListRow& row : kLists) {
        SCOPED_TRACE(int(row.code));
        keyed[row.code] = true;
        const ChoiceList* list = choiceList(row.code);
        ASSERT_NE(list, nullptr);
        ASSERT_EQ(list->count, row.texts.size());
        for (size_t i = 0; i < row.texts.size(); ++i)
            EXPECT_EQ(choiceText(row.code, static_cast<uint32_t>(i)), row.texts[i]) << i;
        EXPECT_EQ(choiceText(row.code, list->count), std::nullopt);
        EXPECT_EQ(choiceText(row.code, 0xFFFF), std::nullopt);
    }
    for (int code = 0; code < 256; ++code)
        if (!keyed[static_cast<size_t>(code)]) {
            EXPECT_EQ(choiceList(static_cast<uint8_t>(code)), nullptr) << code;
        }
}

TEST(Catalogue, LookupsAndClassesAtTheEdges) {
    EXPECT_EQ(instruction(53), nullptr);
    EXPECT_EQ(instruction(0xFFFF), nullptr);
    EXPECT_NE(instruction(52), nullptr);

    const std::vector<std::string_view> names = chooserNames();
    ASSERT_EQ(names.size(), 52u);
    EXPECT_EQ(names.front(), "ALARM");
    EXPECT_EQ(names.back(), "WIND DIRECTION 0-540");
    for (size_t p = 0; p < names.size(); ++p)
        EXPECT_EQ(names[p], instruction(static_cast<uint32_t>(p + 1))->name);

    struct {
        uint8_t code;
        KindClass want;
    } classes[] = {{0, KindClass::None},    {1, KindClass::Integer}, {2, KindClass::Decimal},
                   {3, KindClass::Text},    {4, KindClass::Hex},     {5, KindClass::Choice},
                   {34, KindClass::Choice}, {35, KindClass::None},   {255, KindClass::None}};
    for (const auto& c : classes)
        EXPECT_EQ(classify(c.code), c.want) << int(c.code);

    // "reso=" starts at the single-precision number nearest to 0.1, not a rounded double.
    EXPECT_EQ(instruction(24)->params[1].initial, 0.1f);
}

}  // namespace
}  // namespace vrn

#include <gtest/gtest.h>

#include <vector>

#include "core/program/node_text.h"
#include "core/program/param_edit.h"
#include "core/program/param_input.h"
#include "program_rig.h"

namespace vrn {
namespace {

using test::ProgramRig;
using Strings = std::vector<std::string>;

TEST(ParamInput, KeyFiltersOfTheEditBoxes) {
    struct Row {
        EditBoxKind kind;
        const char* passes;
        const char* refused;
    } rows[] = {
        {EditBoxKind::Integer, "\b0123456789", "-.aAfF g+"},
        {EditBoxKind::Decimal, "\b-.0123456789", "aAe+, x"},
        {EditBoxKind::Hex, "\b0123456789ABCDEFabcdef", "gG-. xX"},
        {EditBoxKind::Text, "\babc XYZ~\\-.9", ""},
    };
    for (const Row& row : rows) {
        for (const char* c = row.passes; *c; ++c)
            EXPECT_TRUE(keyPasses(row.kind, static_cast<char32_t>(*c))) << int(row.kind) << " '" << *c << "'";
        for (const char* c = row.refused; *c; ++c)
            EXPECT_FALSE(keyPasses(row.kind, static_cast<char32_t>(*c)))
                << int(row.kind) << " '" << *c << "'";
        EXPECT_FALSE(keyPasses(row.kind, kEnterKey));
    }
    EXPECT_TRUE(keyPasses(EditBoxKind::Text, 0xB0));
    EXPECT_FALSE(keyPasses(EditBoxKind::Integer, 0xB0));
}

TEST(ParamInput, ReadingsOfTypedText) {
    struct DecRow {
        const char* input;
        float want;
    } decimals[] = {{"-.5", -0.5f}, {"1.2.3", 1.2f}, {"", 0.0f},         {"-", 0.0f},   {".", 0.0f},
                    {"-.", 0.0f},   {"5.", 5.0f},    {"12.25", 12.25f},  {"0.1", 0.1f}, {"--1", 0.0f},
                    {"3-4", 3.0f},  {"1e5", 1.0f},   {"-0012.5", -12.5f}};
    for (const DecRow& r : decimals)
        EXPECT_EQ(readDecimalInput(r.input), r.want) << '"' << r.input << '"';

    struct IntRow {
        const char* input;
        int32_t want;
    } integers[] = {{"", 0}, {"000", 0}, {"042", 42}, {"9999", 9999}, {"12a", 12}};
    for (const IntRow& r : integers)
        EXPECT_EQ(readIntegerInput(r.input), r.want) << '"' << r.input << '"';

    struct HexRow {
        const char* input;
        uint16_t want;
    } hexes[] = {{"ff", 0x00FF}, {"", 0}, {"FFFF", 0xFFFF}, {"aB1", 0x0AB1}, {"12345", 0x2345}, {"1g2", 0x1}};
    for (const HexRow& r : hexes)
        EXPECT_EQ(readHexInput(r.input), r.want) << '"' << r.input << '"';
}

TEST(NodeText, RenderingIsLocaleFreeAndPadded) {
    EXPECT_EQ(formatInteger(0, 3), "000");
    EXPECT_EQ(formatInteger(65535, 1), "65535");
    EXPECT_EQ(formatDecimal(0.1f, 5), "0.10000");
    EXPECT_EQ(formatDecimal(-12.5f, 5), "-12.50000");
    EXPECT_EQ(formatHex(0xAB), "00AB");
    EXPECT_EQ(textAreaToDisplay("25~C\xE9"),
              "25\xC2\xB0"
              "C\xC3\xA9");
    EXPECT_EQ(textAreaFromDisplay("25\xC2\xB0"
                                  "C\xC3\xA9\xE2\x82\xAC\xE4\xB8\x80"),
              "25~C\xE9\x80?");
}

// One instruction of each shape before "PGM END", ready for its parameters to be edited.
struct EditRig : ProgramRig {
    explicit EditRig(std::string_view name) {
        selectEnd();
        insert(name);
    }
    std::optional<ParamTarget> target(size_t j) { return resolveParameter(program, {0, j}); }
    std::vector<uint8_t> image() const {
        return {program.store.image().begin(), program.store.image().end()};
    }
};

TEST(ParamEdit, OkWritesValueTextAndNode) {
    struct Row {
        const char* what;
        const char* instruction;
        size_t param;
        const char* input;
        const char* dialog;
        const char* node;
        const char* textField;  // null: the text field is not used
        uint32_t value;
    } rows[] = {
        {"empty integer", "ALARM", 0, "", "EditInt", "sloc= 000", "000", 0},
        {"integer", "ALARM", 3, "42", "EditInt", "delay= 042", "042", 42},
        {"decimal -.5", "LOC = VALUE", 1, "-.5", "EditFloat", "val= -.5", "-.5", 0xBF000000},
        {"decimal 1.2.3", "LOC = VALUE", 1, "1.2.3", "EditFloat", "val= 1.2.3", "1.2.3", 0x3F99999A},
        {"hex ff", "FLAG SET MASK", 0, "ff", "EditHex", "mask= 00FF", "00FF", 0x00FF},
        {"text ABC", "DISPLAY TEXT", 3, "ABC", "EditText", "text= ABC                      ", nullptr, 0},
        {"NMEA header", "INPUT SERIAL NMEA", 1, "GPGGA", "EditText", "header= GPGGA", nullptr, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        EditRig rig(row.instruction);
        rig.dialogs.textAnswers = {row.input};
        rig.select({{0, row.param}});
        rig.editor.editSelectedParameter();
        ASSERT_EQ(rig.dialogs.openings.size(), 1u);
        EXPECT_EQ(rig.dialogs.openings[0].dialog, row.dialog);
        EXPECT_EQ(rig.params(0).at(row.param), row.node);
        if (row.textField) {
            EXPECT_EQ(rig.program.store.textField(0, row.param), row.textField);
            EXPECT_EQ(rig.program.store.value(0, row.param), row.value);
        }
    }
    EditRig rig("DISPLAY TEXT");
    rig.dialogs.textAnswers = {
        "25\xC2\xB0"
        "C"};
    rig.select({{0, 3}});
    rig.editor.editSelectedParameter();
    EXPECT_EQ(rig.program.store.textArea(0), "25~C");
    EXPECT_EQ(rig.params(0)[3],
              "text= 25\xC2\xB0"
              "C" +
                  std::string(21, ' '));
    EXPECT_EQ(rig.editor.labelText(), "Instruction 002 ");
}

TEST(ParamEdit, DialogsOpenFilledFromTheSlot) {
    EditRig rig("INPUT SERIAL NMEA");
    rig.program.store.setTextArea(0, "a~b");
    rig.program.store.setShortValue(0, 0, 0);
    for (size_t j = 0; j < 5; ++j) {
        rig.select({{0, j}});
        rig.editor.editSelectedParameter();
    }
    const auto& o = rig.dialogs.openings;
    ASSERT_EQ(o.size(), 5u);
    EXPECT_EQ(o[0].dialog, "EditType");
    EXPECT_EQ(o[0].choices, (Strings{"COM1", "COM2"}));
    EXPECT_EQ(o[0].current, 0);
    EXPECT_EQ(o[1].dialog, "EditText");
    EXPECT_EQ(o[1].setup.text,
              "a\xC2\xB0"
              "b");
    EXPECT_EQ(o[1].setup.maxLength, 5);
    EXPECT_EQ(o[2].setup.text, "01");
    EXPECT_EQ(o[2].setup.maxLength, 2);
    EXPECT_EQ(o[3].setup.text, "1000");
    EXPECT_EQ(o[3].setup.maxLength, 4);

    EditRig dec("INPUT FREQ");
    dec.select({{0, 2}});
    dec.editor.editSelectedParameter();
    ASSERT_EQ(dec.dialogs.openings.size(), 1u);
    EXPECT_EQ(dec.dialogs.openings[0].setup.text, "1.00000");
    EXPECT_EQ(dec.dialogs.openings[0].setup.maxLength, 7);
}

TEST(ParamEdit, CancelChangesNoByte) {
    const struct {
        const char* instruction;
        size_t param;
    } rows[] = {{"ALARM", 0}, {"ALARM", 1}, {"FLAG SET MASK", 0}, {"DISPLAY TEXT", 3}, {"FLAG SET MASK", 1}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.instruction);
        EditRig rig(row.instruction);
        const std::vector<uint8_t> before = rig.image();
        const Strings nodes = rig.params(0);
        rig.select({{0, row.param}});
        rig.editor.editSelectedParameter();  // no answer scripted: Cancel
        EXPECT_EQ(rig.dialogs.openings.size(), 1u);
        EXPECT_EQ(rig.image(), before);
        EXPECT_EQ(rig.params(0), nodes);
    }
}

TEST(ParamEdit, ChoicesOutsideTheListShowEmptyAndStaySafe) {
    EditRig rig("OUTPUT SWITCH");
    rig.dialogs.choiceAnswers = {1};
    rig.select({{0, 1}});
    rig.editor.editSelectedParameter();
    EXPECT_EQ(rig.params(0)[1], "state= ON ");
    EXPECT_EQ(rig.program.store.value(0, 1), 1u);
    EXPECT_EQ(rig.dialogs.openings[0].current, 0);

    // A value from outside (a file, the instrument) that names no text of the list.
    rig.program.store.setShortValue(0, 1, 2);
    rig.select({0});
    rig.editor.copyInstruction();
    rig.editor.pasteInstruction();
    EXPECT_EQ(rig.params(0)[1], "state= ");
    rig.program.store.setShortValue(0, 1, 0xFFFF);
    const std::vector<uint8_t> before = rig.image();
    rig.dialogs.choiceAnswers = {-1};
    rig.select({{0, 1}});
    rig.editor.editSelectedParameter();
    EXPECT_EQ(rig.dialogs.openings.back().current, -1);
    EXPECT_EQ(rig.dialogs.openings.back().choices, (Strings{"OFF", "ON "}));
    EXPECT_EQ(rig.image(), before);
    EXPECT_EQ(rig.params(0)[1], "state= ");
}

}  // namespace
}  // namespace vrn

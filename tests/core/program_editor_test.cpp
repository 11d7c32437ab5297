#include "core/program/program_editor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "program_rig.h"

namespace vrn {
namespace {

using test::ProgramRig;
using Strings = std::vector<std::string>;

std::vector<uint8_t> imageOf(const ProgramStore& store) {
    return {store.image().begin(), store.image().end()};
}

// Fills every slot with a byte pattern of its own index, so moves can be told apart.
void markSlots(ProgramStore& store) {
    for (size_t k = 0; k < ProgramStore::kSlotCount; ++k) {
        ProgramStore::Slot s;
        s.fill(static_cast<uint8_t>(k));
        s[0] = static_cast<uint8_t>(k);
        s[1] = static_cast<uint8_t>(k >> 8);
        store.setSlot(k, s);
    }
}

TEST(ProgramStore, FieldsAreLittleEndianAtTheirOffsets) {
    ProgramStore store;
    store.setInstruction(3, 0x1234);
    store.setIntValue(3, 6, -2);
    store.setFloatValue(3, 1, 1.5f);
    store.setShortValue(3, 2, 0xBEEF);
    store.setTextField(3, 6, "123456789");
    store.setTextArea(3, std::string(60, 'x'));
    const auto img = store.image();
    const size_t base = 3 * 128;
    EXPECT_EQ(img[base + 0], 0x34);
    EXPECT_EQ(img[base + 1], 0x12);
    EXPECT_EQ(std::vector<uint8_t>(img.begin() + base + 74, img.begin() + base + 78),
              (std::vector<uint8_t>{0xFE, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(std::vector<uint8_t>(img.begin() + base + 14, img.begin() + base + 18),
              (std::vector<uint8_t>{0x00, 0x00, 0xC0, 0x3F}));
    EXPECT_EQ(std::vector<uint8_t>(img.begin() + base + 26, img.begin() + base + 30),
              (std::vector<uint8_t>{0xEF, 0xBE, 0x00, 0x00}));
    EXPECT_EQ(store.textField(3, 6), "1234567");
    EXPECT_EQ(img[base + 78 + 7], 0);
    EXPECT_EQ(store.textArea(3), std::string(41, 'x'));
    EXPECT_EQ(img[base + 127], 0);
    EXPECT_EQ(store.intValue(3, 6), -2);
    EXPECT_EQ(store.floatValue(3, 1), 1.5f);
    EXPECT_EQ(store.shortValue(3, 2), 0xBEEF);
    EXPECT_THROW(store.instruction(512), std::out_of_range);
    EXPECT_THROW(store.value(0, 7), std::out_of_range);
}

TEST(ProgramEditor, InsertGoesBeforeTheSelectionAndMovesTheSlots) {
    ProgramRig rig;
    EXPECT_EQ(rig.editor.labelText(), "Instruction 1");
    rig.selectEnd();
    rig.insert("BEEP");
    EXPECT_EQ(rig.instructions(), (Strings{"BEEP", "PGM END"}));
    EXPECT_EQ(rig.program.tree.selected(), NodePath{1});
    EXPECT_EQ(rig.editor.labelText(), "Instruction 002 ");
    EXPECT_EQ(rig.program.store.instruction(0), 3);
    EXPECT_EQ(rig.program.store.instruction(1), 0);

    // With a marked store, inserting at position 2 moves slots 2..510 up and loses slot 511.
    markSlots(rig.program.store);
    rig.select({1});
    rig.insert("ELSE");
    rig.select({2});
    const std::vector<uint8_t> before = imageOf(rig.program.store);
    rig.insert("END IF");
    EXPECT_EQ(rig.instructions(), (Strings{"BEEP", "ELSE", "END IF", "PGM END"}));
    EXPECT_EQ(rig.editor.labelText(), "Instruction 004 ");
    const ProgramStore& store = rig.program.store;
    EXPECT_EQ(store.instruction(2), 12);
    for (size_t k = 3; k < ProgramStore::kSlotCount; ++k) {
        const auto s = store.slot(k);
        ASSERT_TRUE(
            std::equal(s.begin(), s.end(), before.begin() + static_cast<std::ptrdiff_t>(128 * (k - 1))))
            << k;
    }
    // The new slot starts clean: nothing of the instruction it was copied from shows through.
    const auto fresh = store.slot(2);
    EXPECT_TRUE(std::all_of(fresh.begin() + 2, fresh.end(), [](uint8_t b) { return b == 0; }));
}

TEST(ProgramEditor, NewInstructionsShowTheirInitialValues) {
    struct Row {
        const char* name;
        Strings params;
    } rows[] = {
        {"INPUT SERIAL NMEA", {"chan= COM2", "header= WIMWV", "#flds= 01", "wait= 1000", "dloc1= 001"}},
        {"FLAG SET MASK", {"mask= 0000", "state= OFF"}},
        {"INPUT PRECIP (TIPPING BUCKET)", {"chan= 1", "reso= 0.10000", "mult= 1.00000", "dloc= 001"}},
        {"DISPLAY VALUE",
         {"sloc= 001", "scrn= 1", "font= SMALL", "row= 1", "col= 01", "width= 7", "decpt= 0"}},
        {"DISPLAY TEXT", {"scrn= 1", "row= 1", "col= 01", "text= ", "font= SMALL"}},
        {"LOC1 = FUNCTION(LOC2)", {"loc1= 001", "func= ABS    ", "loc2= 001"}},
        {"IF LOC COMPARE VAL", {"sloc= 001", "comp: < ", "val= 0.00000"}},
        {"ELSE", {}},
        {"INPUT (reserved)", {}},
    };
    for (const Row& row : rows) {
        ProgramRig rig;
        rig.selectEnd();
        rig.insert(row.name);
        EXPECT_EQ(rig.instructions(), (Strings{row.name, "PGM END"}));
        EXPECT_EQ(rig.params(0), row.params) << row.name;
    }

    ProgramRig rig;
    rig.selectEnd();
    rig.insert("INPUT SERIAL NMEA");
    const ProgramStore& s = rig.program.store;
    EXPECT_EQ(s.instruction(0), 26);
    EXPECT_EQ(s.shortValue(0, 0), 1);
    EXPECT_EQ(s.textArea(0), "WIMWV");
    EXPECT_EQ(s.intValue(0, 3), 1000);
    EXPECT_EQ(s.textField(0, 3), "1000");
    EXPECT_EQ(s.textField(0, 2), "01");
    rig.selectEnd();
    rig.insert("INPUT PRECIP (TIPPING BUCKET)");
    EXPECT_EQ(s.floatValue(1, 1), 0.1f);
    EXPECT_EQ(s.textField(1, 1), "0.10000");
}

TEST(ProgramEditor, CountLimitRefusesInsertAndPasteWithTheirOwnTexts) {
    ProgramRig rig;
    rig.selectEnd();
    for (int i = 0; i < 510; ++i)
        rig.insert("BEEP");
    ASSERT_EQ(rig.program.tree.topCount(), 511u);
    rig.select({0});
    rig.editor.copyInstruction();
    rig.selectEnd();
    rig.insert("DELAY");  // the 511th instruction still fits
    ASSERT_EQ(rig.program.tree.topCount(), 512u);
    EXPECT_EQ(rig.program.tree.topLevel()[510].text, "DELAY");
    EXPECT_EQ(rig.program.store.instruction(510), 5);
    EXPECT_EQ(rig.program.store.instruction(511), 0);

    const std::vector<uint8_t> before = imageOf(rig.program.store);
    rig.insert("DELAY");
    rig.editor.pasteInstruction();
    EXPECT_EQ(rig.boxTexts(), (Strings{"Instruction count limited to 512.\nCannot Insert.",
                                       "Instruction count limited to 512.\nCannot insert."}));
    EXPECT_EQ(rig.program.tree.topCount(), 512u);
    EXPECT_EQ(imageOf(rig.program.store), before);
    EXPECT_TRUE(rig.host.beepTimesUs.empty());
}

TEST(ProgramEditor, RefusalsChangeNothing) {
    struct Row {
        const char* what;
        std::optional<NodePath> selection;
        void (*act)(ProgramEditor&);
        std::optional<std::string> box;  // nothing: a beep instead
    } rows[] = {
        {"delete, none", std::nullopt,
         [](ProgramEditor& e) { e.deleteInstruction(ProgramEditor::DeleteBy::Button, true); },
         "Please select an instruction to delete."},
        {"delete, end", NodePath{1},
         [](ProgramEditor& e) { e.deleteInstruction(ProgramEditor::DeleteBy::Button, true); },
         "PGM END cannot be deleted."},
        {"delete, param", NodePath{0, 0},
         [](ProgramEditor& e) { e.deleteInstruction(ProgramEditor::DeleteBy::Button, true); },
         "Parameters cannot be deleted.\nPlease select an instruction"},
        {"menu delete, param", NodePath{0, 0},
         [](ProgramEditor& e) { e.deleteInstruction(ProgramEditor::DeleteBy::Menu, true); },
         "Parameters cannot be deleted.\nPlease select an instruction."},
        {"menu delete, end", NodePath{1},
         [](ProgramEditor& e) { e.deleteInstruction(ProgramEditor::DeleteBy::Menu, true); },
         "PGM END cannot be deleted."},
        {"cut, none", std::nullopt, [](ProgramEditor& e) { e.cutInstruction(); },
         "Please select an instruction to cut."},
        {"cut, end", NodePath{1}, [](ProgramEditor& e) { e.cutInstruction(); }, "PGM END cannot be cut."},
        {"cut, param", NodePath{0, 1}, [](ProgramEditor& e) { e.cutInstruction(); },
         "Parameters cannot be cut.\nPlease select an instruction."},
        {"copy, none", std::nullopt, [](ProgramEditor& e) { e.copyInstruction(); },
         "Please select an instruction to copy."},
        {"copy, end", NodePath{1}, [](ProgramEditor& e) { e.copyInstruction(); },
         "PGM END cannot be copied."},
        {"copy, param", NodePath{0, 1}, [](ProgramEditor& e) { e.copyInstruction(); },
         "Parameters cannot be copied.\nPlease select an instruction."},
        {"insert, param", NodePath{0, 0}, [](ProgramEditor& e) { e.insertInstruction(0); }, std::nullopt},
        {"insert, none", std::nullopt, [](ProgramEditor& e) { e.insertInstruction(0); }, std::nullopt},
        {"edit, none", std::nullopt, [](ProgramEditor& e) { e.editSelectedParameter(); },
         "Please select a parameter"},
        {"edit, instruction", NodePath{0}, [](ProgramEditor& e) { e.editSelectedParameter(); },
         "Cannot edit an instruction.\nPlease select a parameter."},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        ProgramRig rig;
        rig.selectEnd();
        rig.insert("FLAG SET");
        rig.select({0});
        rig.editor.copyInstruction();  // so Paste has something to refuse
        rig.setSelection(row.selection);
        const std::vector<uint8_t> before = imageOf(rig.program.store);
        const Strings tree = rig.instructions();
        row.act(rig.editor);
        if (row.box) {
            EXPECT_EQ(rig.boxTexts(), Strings{*row.box});
            EXPECT_EQ(rig.host.boxes.at(0).kind, MsgKind::Warning);
            EXPECT_TRUE(rig.host.beepTimesUs.empty());
        } else {
            EXPECT_TRUE(rig.host.boxes.empty());
            EXPECT_EQ(rig.host.beepTimesUs.size(), 1u);
        }
        EXPECT_EQ(imageOf(rig.program.store), before);
        EXPECT_EQ(rig.instructions(), tree);
        EXPECT_EQ(rig.params(0), (Strings{"flag#= 01", "state= OFF"}));
    }

    ProgramRig rig;
    rig.selectEnd();
    rig.insert("FLAG SET");
    rig.select({0});
    rig.editor.copyInstruction();
    rig.select({{0, 1}});
    rig.editor.pasteInstruction();
    EXPECT_TRUE(rig.host.boxes.empty());
    EXPECT_EQ(rig.host.beepTimesUs.size(), 1u);
    EXPECT_EQ(rig.program.tree.topCount(), 2u);
}

TEST(ProgramEditor, DeleteAsksOnlyFromTheButtonWithConfirmChecked) {
    struct Row {
        const char* what;
        ProgramEditor::DeleteBy by;
        bool confirmChecked;
        std::optional<MsgResult> answer;
        bool deleted;
    } rows[] = {
        {"button, confirm, yes", ProgramEditor::DeleteBy::Button, true, MsgResult::Yes, true},
        {"button, confirm, no", ProgramEditor::DeleteBy::Button, true, MsgResult::No, false},
        {"button, no confirm", ProgramEditor::DeleteBy::Button, false, std::nullopt, true},
        {"menu, confirm checked", ProgramEditor::DeleteBy::Menu, true, std::nullopt, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        ProgramRig rig;
        rig.selectEnd();
        rig.insert("BEEP");
        rig.insert("DELAY");
        rig.insert("ELSE");
        markSlots(rig.program.store);
        const std::vector<uint8_t> before = imageOf(rig.program.store);
        rig.select({1});
        if (row.answer) rig.host.setNextAnswer(*row.answer);
        rig.editor.deleteInstruction(row.by, row.confirmChecked);
        if (row.answer) {
            ASSERT_EQ(rig.boxTexts(), Strings{"Delete selected instruction?"});
            EXPECT_EQ(rig.host.boxes[0].buttons, MsgButtons::YesNo);
        } else {
            EXPECT_TRUE(rig.host.boxes.empty());
        }
        if (!row.deleted) {
            EXPECT_EQ(rig.instructions(), (Strings{"BEEP", "DELAY", "ELSE", "PGM END"}));
            EXPECT_EQ(imageOf(rig.program.store), before);
            continue;
        }
        EXPECT_EQ(rig.instructions(), (Strings{"BEEP", "ELSE", "PGM END"}));
        // Slots 2..511 moved down by one; slot 511 keeps its content.
        const ProgramStore& store = rig.program.store;
        for (size_t k = 1; k < 511; ++k)
            ASSERT_EQ(store.slot(k)[5], static_cast<uint8_t>(k + 1)) << k;
        EXPECT_EQ(store.slot(511)[5], static_cast<uint8_t>(511));
        EXPECT_EQ(store.slot(0)[5], 0);
        // The instruction that moved into the place is selected.
        EXPECT_EQ(rig.program.tree.selected(), NodePath{1});
        EXPECT_EQ(rig.editor.labelText(), "Instruction 002 ");
    }
}

TEST(ProgramEditor, CutThenTwoPastesGiveTwoCopiesWithTheCutValues) {
    ProgramRig rig;
    rig.selectEnd();
    rig.insert("LOC = VALUE");
    rig.insert("BEEP");
    EXPECT_FALSE(rig.editor.pasteEnabled());
    // Type 1.5 into "val=" and 7 into "loc=".
    rig.dialogs.textAnswers = {"1.5", "7"};
    rig.select({{0, 1}});
    rig.editor.editSelectedParameter();
    rig.select({{0, 0}});
    rig.editor.editSelectedParameter();
    EXPECT_EQ(rig.params(0), (Strings{"loc= 007", "val= 1.5"}));
    const ProgramStore::Slot cut = rig.program.store.slot(0);

    rig.select({0});
    rig.editor.cutInstruction();
    EXPECT_TRUE(rig.host.boxes.empty());
    EXPECT_TRUE(rig.editor.pasteEnabled());
    EXPECT_EQ(rig.instructions(), (Strings{"BEEP", "PGM END"}));
    rig.selectEnd();
    rig.editor.pasteInstruction();
    rig.editor.pasteInstruction();
    EXPECT_EQ(rig.instructions(), (Strings{"BEEP", "LOC = VALUE", "LOC = VALUE", "PGM END"}));
    EXPECT_EQ(rig.editor.labelText(), "Instruction 004 ");
    for (size_t p : {1u, 2u}) {
        // The typed text gives way to the value rendered with five decimals.
        EXPECT_EQ(rig.params(p), (Strings{"loc= 007", "val= 1.50000"}));
        EXPECT_EQ(rig.program.store.slot(p), cut);
    }
}

TEST(ProgramEditor, PasteRendersEveryKindFromTheSlot) {
    ProgramRig rig;
    rig.selectEnd();
    rig.insert("DISPLAY TEXT");
    rig.insert("INPUT SERIAL NUM");
    rig.dialogs.textAnswers = {
        "25\xC2\xB0"
        "C"};
    rig.dialogs.choiceAnswers = {2};
    rig.select({{0, 3}});
    rig.editor.editSelectedParameter();
    rig.select({{1, 2}});
    rig.editor.editSelectedParameter();
    for (size_t p : {0u, 1u}) {
        rig.select({p});
        rig.editor.copyInstruction();
        rig.selectEnd();
        rig.editor.pasteInstruction();
    }
    // The pasted text parameter shows the text area as it stands: the tilde stays a tilde.
    EXPECT_EQ(rig.params(2), (Strings{"scrn= 1", "row= 1", "col= 01", "text= 25~C", "font= SMALL"}));
    EXPECT_EQ(rig.params(3), (Strings{"chan= COM2", "#flds= 01", "delim= TAB  ", "endchr= CR  ", "wait= 0100",
                                      "dloc1= 001"}));
    EXPECT_EQ(rig.program.store.textArea(2), "25~C");
}

TEST(ProgramEditor, NewProgramErasesAfterYesAndLeavesNoSelection) {
    ProgramRig rig;
    rig.selectEnd();
    rig.insert("BEEP");
    rig.insert("DELAY");
    const ProgramStore::Slot beep = rig.program.store.slot(0);

    rig.host.setNextAnswer(MsgResult::No);
    EXPECT_FALSE(rig.editor.newProgram());
    EXPECT_EQ(rig.instructions(), (Strings{"BEEP", "DELAY", "PGM END"}));

    rig.host.setNextAnswer(MsgResult::Yes);
    EXPECT_TRUE(rig.editor.newProgram());
    EXPECT_EQ(rig.boxTexts(), (Strings{"Erase all current instructions to start a new program?",
                                       "Erase all current instructions to start a new program?"}));
    EXPECT_EQ(rig.instructions(), Strings{"PGM END"});
    EXPECT_FALSE(rig.program.tree.selected());
    for (size_t k = 0; k < ProgramStore::kSlotCount; ++k)
        ASSERT_EQ(rig.program.store.instruction(k), 0) << k;
    // Only the instruction numbers are cleared.
    EXPECT_TRUE(std::equal(beep.begin() + 2, beep.end(), rig.program.store.slot(0).begin() + 2));

    rig.insert("BEEP");
    EXPECT_EQ(rig.host.beepTimesUs.size(), 1u);
    EXPECT_EQ(rig.instructions(), Strings{"PGM END"});
    rig.selectEnd();
    rig.insert("BEEP");
    EXPECT_EQ(rig.instructions(), (Strings{"BEEP", "PGM END"}));
}

TEST(ProgramEditor, SelectionLabelAndDoubleClick) {
    ProgramRig rig;
    rig.selectEnd();
    rig.insert("OUTPUT SWITCH");
    rig.select({0});
    EXPECT_EQ(rig.editor.labelText(), "Instruction 001 ");
    rig.select({{1}});
    EXPECT_EQ(rig.editor.labelText(), "Instruction 002 ");
    rig.select({{0, 1}});
    EXPECT_EQ(rig.editor.labelText(), "Instruction 002 ");

    rig.editor.doubleClick(false);
    EXPECT_EQ(rig.boxTexts(), Strings{"Enable Edit must be checked."});
    EXPECT_TRUE(rig.dialogs.openings.empty());

    rig.editor.doubleClick(true);
    ASSERT_EQ(rig.dialogs.openings.size(), 1u);
    EXPECT_EQ(rig.dialogs.openings[0].dialog, "EditType");

    rig.select({0});
    rig.editor.doubleClick(true);
    rig.editor.doubleClick(false);
    EXPECT_EQ(rig.dialogs.openings.size(), 1u);
    EXPECT_EQ(rig.host.boxes.size(), 1u);
}

TEST(ProgramEditor, TreesFromFilesAreHandledSafely) {
    // A tree read from a file may disagree with the store and be deeper than two levels.
    ProgramRig rig;
    rig.program.tree.clear();
    rig.program.tree.append({}, "ALARM");
    rig.program.tree.append({0}, "sloc= 001");
    rig.program.tree.append({0, 0}, "deeper");
    rig.program.tree.append({}, "PGM END");
    rig.program.store.setInstruction(0, 999);

    rig.select({{0, 0, 0}});
    rig.editor.editSelectedParameter();
    rig.editor.deleteInstruction(ProgramEditor::DeleteBy::Menu, false);
    rig.select({{0, 0}});
    rig.editor.editSelectedParameter();  // slot 0 holds no catalogued instruction
    EXPECT_TRUE(rig.dialogs.openings.empty());
    EXPECT_EQ(rig.boxTexts(), Strings{"Parameters cannot be deleted.\nPlease select an instruction."});

    // An instruction number the catalogue lacks can be copied but not pasted.
    rig.select({0});
    rig.editor.copyInstruction();
    rig.editor.pasteInstruction();
    EXPECT_EQ(rig.host.beepTimesUs.size(), 1u);
    EXPECT_EQ(rig.program.tree.topCount(), 2u);

    // More than 512 top-level nodes: the ones past the store have no slot to copy.
    for (int i = 0; i < 520; ++i)
        rig.program.tree.insert({0}, "BEEP");
    rig.select({515});
    rig.editor.copyInstruction();
    EXPECT_EQ(rig.host.beepTimesUs.size(), 2u);
    rig.editor.deleteInstruction(ProgramEditor::DeleteBy::Menu, false);
    EXPECT_EQ(rig.program.tree.topCount(), 521u);
}

}  // namespace
}  // namespace vrn

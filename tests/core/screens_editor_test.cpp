#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <vector>

#include "core/screens/pixel_sink.h"
#include "core/screens/screen_drawing.h"
#include "core/screens/screen_editor.h"
#include "core/screens/screen_store.h"
#include "recording_host.h"

namespace vrn::screens {
namespace {

struct Rig {
    test::RecordingHost host;
    ScreenStore store;
    PixelBuffer image{kPictureWidth, kScreenImageHeight};
    ScreenDisplay display{store, image};
    ScreenEditor editor{display, host};

    Rig() {
        editor.clearAll();
        editor.ButtonStartEditClick();
    }
    // Walks the cursor there over blank cells, then forgets the beeps of the walk.
    void goTo(int row, int column) {
        editor.keyDown(static_cast<int>(EditKey::Home));
        for (int r = 0; r < row; ++r)
            editor.keyDown(static_cast<int>(EditKey::Down));
        for (int c = 0; c < column; ++c)
            editor.keyDown(static_cast<int>(EditKey::Right));
        host.beepKinds.clear();
    }
    int beeps(BeepKind kind) const {
        return static_cast<int>(std::count(host.beepKinds.begin(), host.beepKinds.end(), kind));
    }
    // Whether the image shows the cell's top-left pixel green (an unlit pixel of the inverse cursor,
    // for the glyphs used here).
    bool cornerGreen(int row, int column) const {
        return image.at(column * kCellWidth, row * kCellHeight) == kGreen;
    }
};

struct Cell {
    int row, column;
    uint8_t byte;
};

struct Input {
    bool key;  // a key-down, else a character
    int value;
};
Input key(EditKey k) {
    return {true, static_cast<int>(k)};
}
Input ch(int c) {
    return {false, c};
}

void putLarge(ScreenStore& store, int row, int column, uint8_t byte) {
    store.SetLargeCell(row, column, byte);
}

TEST(ScreenEditorRules, KeysAndTyping) {
    struct Row {
        const char* name;
        std::vector<Cell> largeBlocks;  // present before the input, by any cell of the block
        int row, column;                // the cursor before the input
        bool largeFont;
        std::vector<Input> input;
        std::vector<Cell> changed;  // the cells that must differ afterwards; all others stay
        int endRow, endColumn;
        int defaultBeeps, warningBeeps;
    };
    const uint8_t A = 0xC1, Z = 0xDA;
    // clang-format off
    const std::vector<Row> rows = {
        {"large A at the origin", {}, 0, 0, true, {ch('A')}, {{0, 0, A}, {0, 1, A}, {1, 0, A}, {1, 1, A}}, 0, 2, 0, 0},
        {"large A at row 3 column 7 fills its aligned block",
         {}, 3, 7, true, {ch('A')}, {{2, 6, A}, {2, 7, A}, {3, 6, A}, {3, 7, A}}, 3, 8, 0, 0},
        {"large character on the last cell beeps and stays on it",
         {}, 5, 39, true, {ch('Z')}, {{4, 38, Z}, {4, 39, Z}, {5, 38, Z}, {5, 39, Z}}, 5, 38, 1, 0},
        {"small character on the lower-right cell dissolves the block",
         {{0, 0, A}}, 1, 1, false, {ch('x')}, {{1, 1, 'x'}, {0, 0, ' '}, {0, 1, ' '}, {1, 0, ' '}}, 1, 2, 0, 0},
        {"backspace on a large character leaves a large blank and moves past it",
         {{2, 4, A}}, 3, 5, false, {key(EditKey::Backspace)}, {{2, 4, 0xA0}, {2, 5, 0xA0}, {3, 4, 0xA0}, {3, 5, 0xA0}},
         3, 2, 0, 0},
        {"backspace on a small character erases it, not the one before",
         {}, 0, 3, false, {ch('a'), ch('b'), key(EditKey::Left), key(EditKey::Backspace)}, {{0, 3, 'a'}}, 0, 3, 0, 0},
        {"up from a large character on row 1 is refused", {{0, 2, A}}, 1, 3, false, {key(EditKey::Up)}, {}, 1, 3, 1, 0},
        {"up from row 0 is refused", {{0, 2, A}}, 0, 2, false, {key(EditKey::Up)}, {}, 0, 2, 1, 0},
        {"down from a large character on row 4 is refused", {{4, 0, A}}, 4, 0, false, {key(EditKey::Down)}, {}, 4, 0, 1, 0},
        {"down from a large character on row 5 is refused", {{4, 0, A}}, 5, 1, false, {key(EditKey::Down)}, {}, 5, 1, 1, 0},
        {"up from the lower row of a large character leaves the block", {{2, 0, A}}, 3, 1, false, {key(EditKey::Up)}, {}, 1, 1, 0, 0},
        {"down from the upper row of a large character leaves the block", {{2, 0, A}}, 2, 0, false, {key(EditKey::Down)}, {}, 4, 0, 0, 0},
        {"left on a large character at the left edge beeps onto its left column",
         {{0, 0, A}}, 1, 1, false, {key(EditKey::Left)}, {}, 1, 0, 1, 0},
        {"right over a large character skips its block", {{0, 4, A}}, 0, 4, false, {key(EditKey::Right)}, {}, 0, 6, 0, 0},
        {"end before a large block stops on its left column", {{2, 38, A}}, 3, 0, false, {key(EditKey::End)}, {}, 3, 38, 0, 0},
        {"end on a row of small cells", {}, 0, 5, false, {key(EditKey::End)}, {}, 0, 39, 0, 0},
        {"home", {}, 4, 17, false, {key(EditKey::Home)}, {}, 4, 0, 0, 0},
        {"the 40th character of a row beeps and stays", {}, 0, 39, false, {ch('Q')}, {{0, 39, 'Q'}}, 0, 39, 1, 0},
        {"tilde and degree sign both enter 126", {}, 1, 0, false, {ch('~'), ch(176)}, {{1, 0, 126}, {1, 1, 126}}, 1, 2, 0, 0},
        {"braces, bar, DEL and other codes are refused",
         {}, 1, 0, false, {ch('{'), ch('|'), ch('}'), ch(127), ch(200), ch(0x20AC)}, {}, 1, 0, 0, 6},
        {"enter and escape beep", {}, 1, 0, false, {ch(13), ch(27)}, {}, 1, 0, 2, 0},
        {"delete on a large character keeps it a large blank", {{4, 10, Z}}, 5, 10, false, {key(EditKey::Delete)},
         {{4, 10, 0xA0}, {4, 11, 0xA0}, {5, 10, 0xA0}, {5, 11, 0xA0}}, 5, 10, 0, 0},
        {"large typed over a large character replaces the block", {{0, 0, Z}}, 0, 1, true, {ch('A')},
         {{0, 0, A}, {0, 1, A}, {1, 0, A}, {1, 1, A}}, 0, 2, 0, 0},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Rig rig;
        rig.goTo(row.row, row.column);
        for (const Cell& c : row.largeBlocks)
            putLarge(rig.store, c.row, c.column, c.byte);
        if (row.largeFont) rig.editor.RadioButtonFontBigClick();
        std::array<uint8_t, kStoreBytes> expected;
        std::copy(rig.store.bytes().begin(), rig.store.bytes().end(), expected.begin());
        for (const Cell& c : row.changed)
            expected[static_cast<size_t>(c.row * kColumns + c.column)] = c.byte;

        for (const Input& in : row.input)
            EXPECT_TRUE(in.key ? rig.editor.keyDown(in.value)
                               : rig.editor.character(static_cast<uint32_t>(in.value)));

        EXPECT_TRUE(std::equal(expected.begin(), expected.end(), rig.store.bytes().begin()));
        EXPECT_EQ(rig.editor.row(), row.endRow);
        EXPECT_EQ(rig.editor.column(), row.endColumn);
        EXPECT_EQ(rig.beeps(BeepKind::Default), row.defaultBeeps);
        EXPECT_EQ(rig.beeps(BeepKind::Warning), row.warningBeeps);
        EXPECT_TRUE(rig.cornerGreen(row.endRow, row.endColumn)) << "the cursor is shown inverse";
    }
}

TEST(ScreenEditorRules, PositionLabel) {
    Rig rig;
    rig.goTo(3, 7);
    EXPECT_EQ(rig.editor.labelText(), "Row 4  Column 08 Small ");
    rig.store.SetLargeCell(3, 7, 0xC1);
    EXPECT_EQ(rig.editor.labelText(), "Row 2  Column 04 Large ");
    rig.editor.ButtonStopEditClick();
    EXPECT_EQ(rig.editor.labelText(), " ");
}

TEST(ScreenEditorRules, KeysDoNothingOutsideEditing) {
    Rig rig;
    rig.editor.ButtonStopEditClick();
    EXPECT_FALSE(rig.editor.keyDown(static_cast<int>(EditKey::Right)));
    EXPECT_FALSE(rig.editor.character('A'));
    EXPECT_FALSE(rig.cornerGreen(0, 0));
    EXPECT_EQ(rig.store.cell(0, 0), ' ');
    EXPECT_TRUE(rig.host.beepKinds.empty());
}

TEST(ScreenEditorRules, ScreenNumberAndClear) {
    Rig rig;
    rig.store.setCell(2, 0, 0, 'K');
    EXPECT_FALSE(rig.editor.UpDownScrNumChangingEx(0));
    EXPECT_FALSE(rig.editor.UpDownScrNumChangingEx(9));
    EXPECT_EQ(rig.beeps(BeepKind::Default), 2);
    EXPECT_EQ(rig.editor.screenNumber(), 1);

    rig.goTo(2, 2);
    EXPECT_TRUE(rig.editor.UpDownScrNumChangingEx(3));
    EXPECT_EQ(rig.store.current(), 2);
    EXPECT_TRUE(rig.editor.editing());
    EXPECT_EQ(rig.editor.row(), 0);
    EXPECT_EQ(rig.editor.column(), 0);
    EXPECT_EQ(rig.host.waitCursorDepth, 0);

    rig.editor.RadioButtonFontBigClick();
    rig.editor.ButtonScreenClrClick();
    EXPECT_EQ(rig.store.cell(2, 0, 0), ' ');
    EXPECT_FALSE(rig.editor.largeFont());
    EXPECT_EQ(rig.editor.preview(), FontPreview::Small);
}

}  // namespace
}  // namespace vrn::screens

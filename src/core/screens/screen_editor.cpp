#include "core/screens/screen_editor.h"

#include <algorithm>
#include <cstdio>

#include "core/link/host.h"
#include "core/screens/screen_drawing.h"
#include "core/screens/screen_store.h"

namespace vrn::screens {

void drawFontPreview(PixelSink& sink, FontPreview preview) {
    switch (preview) {
    case FontPreview::Small:
        DrawLargeGlyphAt(sink, 0, 0, ' ', false);
        DrawSmallGlyphAt(sink, 7, 6, 'T', false);
        break;
    case FontPreview::Large:
        DrawLargeGlyphAt(sink, 0, 0, 'T', false);
        break;
    case FontPreview::Blank:
        DrawLargeGlyphAt(sink, 0, 0, ' ', false);
        break;
    }
}

void ScreenEditor::clearAll() {
    for (int s = 0; s < kScreenCount; ++s)
        display_.ClearScreen(s);
    display_.store().setCurrent(0);
    changed();
}

const ScreenStore& ScreenEditor::store() const {
    return display_.store();
}

void ScreenEditor::changed() {
    if (onChange) onChange();
}

bool ScreenEditor::cursorLarge() const {
    return isLarge(display_.store().cell(row_, column_));
}

std::string ScreenEditor::labelText() const {
    if (!editing_) return " ";
    char text[48];
    if (cursorLarge())
        std::snprintf(text, sizeof text, "Row %1i  Column %02i Large ", row_ / 2 + 1, column_ / 2 + 1);
    else
        std::snprintf(text, sizeof text, "Row %1i  Column %02i Small ", row_ + 1, column_ + 1);
    return text;
}

void ScreenEditor::ButtonStartEditClick() {
    editing_ = true;
    row_ = 0;
    column_ = 0;
    largeFont_ = false;
    preview_ = FontPreview::Small;
    display_.drawStoredCell(0, 0, true);
    changed();
}

void ScreenEditor::ButtonStopEditClick() {
    display_.drawStoredCell(row_, column_, false);
    preview_ = FontPreview::Blank;
    editing_ = false;
    changed();
}

void ScreenEditor::ButtonScreenClrClick() {
    if (!editing_) return;
    display_.ClearScreen(display_.store().current());
    row_ = 0;
    column_ = 0;
    largeFont_ = false;
    preview_ = FontPreview::Small;
    display_.drawStoredCell(0, 0, true);
    changed();
}

void ScreenEditor::selectFont(bool large) {
    largeFont_ = large;
    // The buttons are disabled outside editing, where the preview stays blank.
    if (editing_) preview_ = large ? FontPreview::Large : FontPreview::Small;
    changed();
}

int ScreenEditor::screenNumber() const {
    return display_.store().current() + 1;
}

bool ScreenEditor::UpDownScrNumChangingEx(int number) {
    if (number < 1 || number > kScreenCount) {
        host_.beep(BeepKind::Default);
        return false;
    }
    WaitCursor hourglass(host_);
    display_.ShowScreen(number - 1);
    if (editing_) {
        row_ = 0;
        column_ = 0;
        display_.drawStoredCell(0, 0, true);
    }
    changed();
    return true;
}

void ScreenEditor::showAt(int screen, int row, int column) {
    display_.ShowScreen(std::clamp(screen, 0, kScreenCount - 1));
    row_ = std::clamp(row, 0, kRows - 1);
    column_ = std::clamp(column, 0, kColumns - 1);
    if (editing_) display_.drawStoredCell(row_, column_, true);
    changed();
}

void ScreenEditor::setScreenNumber(int number) {
    if (number != screenNumber()) UpDownScrNumChangingEx(number);
}

void ScreenEditor::moveCursor(int row, int column) {
    display_.drawStoredCell(row_, column_, false);
    row_ = row;
    column_ = column;
    display_.drawStoredCell(row_, column_, true);
    changed();
}

void ScreenEditor::up() {
    int row = row_;
    if (row == 0 || (cursorLarge() && row < 2)) {
        host_.beep(BeepKind::Default);
        return;
    }
    if (cursorLarge()) row &= ~1;
    moveCursor(row - 1, column_);
}

void ScreenEditor::down() {
    int row = row_;
    if (row >= kRows - 1 || (cursorLarge() && row > 3)) {
        host_.beep(BeepKind::Default);
        return;
    }
    if (cursorLarge()) row |= 1;
    moveCursor(row + 1, column_);
}

void ScreenEditor::left() {
    int column = column_;
    if (cursorLarge()) {
        column &= ~1;
        if (column < 2)
            host_.beep(BeepKind::Default);
        else
            column -= 2;
    } else if (column == 0) {
        host_.beep(BeepKind::Default);
    } else {
        --column;
    }
    moveCursor(row_, column);
}

void ScreenEditor::right() {
    int column = column_;
    if (cursorLarge()) {
        column = (column & ~1) + 2;
        if (column == kColumns) {
            host_.beep(BeepKind::Default);
            column = kColumns - 2;
        }
    } else if (column == kColumns - 1) {
        host_.beep(BeepKind::Default);
    } else {
        ++column;
    }
    moveCursor(row_, column);
}

void ScreenEditor::erase() {
    ScreenStore& store = display_.store();
    if (cursorLarge())
        store.SetLargeCell(row_, column_, kLargeBlank);
    else
        store.setCell(row_, column_, kBlank);
    display_.drawStoredCell(row_, column_, true);
}

void ScreenEditor::type(uint8_t code) {
    ScreenStore& store = display_.store();
    if (cursorLarge()) {
        display_.DrawCell(row_, column_, kLargeBlank, false);
        store.SetLargeCell(row_, column_, kBlank);
    }
    if (largeFont_)
        store.SetLargeCell(row_, column_, static_cast<uint8_t>(code | kLargeBit));
    else
        store.setCell(row_, column_, code);
    right();
}

bool ScreenEditor::keyDown(int virtualKey) {
    if (!editing_) return false;
    switch (static_cast<EditKey>(virtualKey)) {
    case EditKey::Backspace:
        erase();
        left();
        return true;
    case EditKey::End: {
        const bool lastLarge = isLarge(display_.store().cell(row_, kColumns - 1));
        moveCursor(row_, lastLarge ? kColumns - 2 : kColumns - 1);
        return true;
    }
    case EditKey::Home:
        moveCursor(row_, 0);
        return true;
    case EditKey::Left:
        left();
        return true;
    case EditKey::Up:
        up();
        return true;
    case EditKey::Right:
        right();
        return true;
    case EditKey::Down:
        down();
        return true;
    case EditKey::Delete:
        erase();
        changed();
        return true;
    }
    return false;
}

bool ScreenEditor::character(uint32_t code) {
    if (!editing_) return false;
    if (code < 32) {
        host_.beep(BeepKind::Default);
        return true;
    }
    if (code == kDegreeSign) code = kDegreeCode;
    if (code > 122 && code != kDegreeCode) {
        host_.beep(BeepKind::Warning);
        return true;
    }
    type(static_cast<uint8_t>(code));
    return true;
}

}  // namespace vrn::screens

#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace vrn {
class Host;
}

namespace vrn::screens {

class PixelSink;
class ScreenDisplay;
class ScreenStore;

// The keys the editor acts on, by their virtual-key numbers.
enum class EditKey : int {
    Backspace = 8,
    End = 35,
    Home = 36,
    Left = 37,
    Up = 38,
    Right = 39,
    Down = 40,
    Delete = 46,
};

// What the font preview shows.
enum class FontPreview : uint8_t { Blank, Small, Large };

// Draws the preview the way the Screens page's ImageFont shows it.
void drawFontPreview(PixelSink& sink, FontPreview preview);

// The screen editor: the edit mode, the cursor, the selected font and the keyboard rules, over
// the store and the screen image. Refused moves give the default beep, refused characters the
// warning beep; neither changes the store or the cursor.
class ScreenEditor {
public:
    static constexpr int kDegreeSign = 176;  // Windows-1252
    static constexpr uint8_t kDegreeCode = 126;

    ScreenEditor(ScreenDisplay& display, Host& host) : display_(display), host_(host) {}

    // Start-up: every screen blank, screen 1 current.
    void clearAll();

    void ButtonStartEditClick();
    // Also run when editing is already off, and after screens were loaded.
    void ButtonStopEditClick();
    void ButtonScreenClrClick();
    void RadioButtonFontSmallClick() { selectFont(false); }
    void RadioButtonFontBigClick() { selectFont(true); }

    // The screen-number control is about to change to `number` (1 to 8 in range); false, with a
    // beep, when the change would leave the range.
    bool UpDownScrNumChangingEx(int number);
    // Shows the screen with the cursor at (row, column), drawn while editing: where the window
    // puts the user back after it restored the store.
    void showAt(int screen, int row, int column);
    // Sets the screen number as a program does: the change runs only when the number differs.
    void setScreenNumber(int number);
    int screenNumber() const;

    // A key-down; true when the editor acted on it (the key goes no further).
    bool keyDown(int virtualKey);
    // A character (its code in Windows-1252, or any code point above it); true when the editor
    // took it.
    bool character(uint32_t code);

    bool editing() const { return editing_; }
    int row() const { return row_; }
    int column() const { return column_; }
    bool largeFont() const { return largeFont_; }
    FontPreview preview() const { return preview_; }
    // LabelRowCol: the cursor position while editing, a single space otherwise.
    std::string labelText() const;

    ScreenDisplay& display() const { return display_; }
    const ScreenStore& store() const;

    // Runs after every change the page shows (mode, cursor, font, screen number, preview).
    std::function<void()> onChange;

private:
    void selectFont(bool large);
    bool cursorLarge() const;
    void moveCursor(int row, int column);
    void changed();
    void up();
    void down();
    void left();
    void right();
    void erase();
    void type(uint8_t code);

    ScreenDisplay& display_;
    Host& host_;
    bool editing_ = false;
    int row_ = 0;
    int column_ = 0;
    bool largeFont_ = false;
    FontPreview preview_ = FontPreview::Blank;
};

}  // namespace vrn::screens

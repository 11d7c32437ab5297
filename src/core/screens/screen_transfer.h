#pragma once

#include <cstdint>

#include "core/link/outcome.h"

namespace vrn {
class Exchange;
class Host;
}  // namespace vrn

namespace vrn::screens {

class ScreenEditor;
class ScreenDisplay;

// Moves the whole screen store to and from the instrument (CMD215 and CMD210), with the
// message-area lines and progress of the window.
class ScreenTransfer {
public:
    static constexpr int kGetTries = 10;
    static constexpr int64_t kGetPauseMs = 100;
    // The wait for "*" before the image goes out, and the same in Timer1's half-second ticks.
    static constexpr int kReadySeconds = 2;
    static constexpr int kReadyTicks = 4;
    static constexpr uint8_t kReady = '*';
    static constexpr const char* kNoResponseText = "No response from 41700";

    ScreenTransfer(Exchange& exchange, ScreenDisplay& display, ScreenEditor& editor)
        : ex_(exchange), display_(display), editor_(editor) {}

    // Up to ten tries of the whole image; on success it shows screen 1 and ends editing. On
    // failure the store, the screen shown and the edit mode are untouched.
    Outcome GetUserScreens();
    // Waits for "*", then writes the image one byte a write.
    Outcome SendUserScreens();

    Exchange& exchange() { return ex_; }
    ScreenDisplay& display() { return display_; }
    ScreenEditor& editor() { return editor_; }

private:
    Host& host();

    Exchange& ex_;
    ScreenDisplay& display_;
    ScreenEditor& editor_;
};

}  // namespace vrn::screens

#pragma once

#include <cstdint>

namespace vrn {

struct ScreenRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t width = 0;
    int32_t height = 0;
};

struct ScreenPoint {
    int32_t left = 0;
    int32_t top = 0;
    bool operator==(const ScreenPoint&) const = default;
};

// Where a message box of the given size goes so that it sits centred over the main window: half
// the difference of the sizes, each half truncated toward zero (so a box wider than the window
// overhangs it by the same amount on both sides, the odd pixel going to the left).
constexpr ScreenPoint centredOver(const ScreenRect& main, int32_t boxWidth, int32_t boxHeight) {
    return {main.left + (main.width - boxWidth) / 2, main.top + (main.height - boxHeight) / 2};
}

}  // namespace vrn

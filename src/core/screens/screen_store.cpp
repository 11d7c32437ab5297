#include "core/screens/screen_store.h"

#include <algorithm>

namespace vrn::screens {

size_t ScreenStore::index(int screen, int row, int column) {
    screen = std::clamp(screen, 0, kScreenCount - 1);
    row = std::clamp(row, 0, kRows - 1);
    column = std::clamp(column, 0, kColumns - 1);
    return static_cast<size_t>(screen) * kScreenBytes + static_cast<size_t>(row * kColumns + column);
}

void ScreenStore::SetLargeCell(int row, int column, uint8_t byte) {
    const int top = row & ~1, left = column & ~1;
    for (int r = top; r < top + 2; ++r)
        for (int c = left; c < left + 2; ++c)
            setCell(r, c, byte);
}

void ScreenStore::clear(int screen) {
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c)
            setCell(screen, r, c, kBlank);
}

void ScreenStore::setCurrent(int screen) {
    current_ = std::clamp(screen, 0, kScreenCount - 1);
}

void ScreenStore::load(std::span<const uint8_t> bytes) {
    std::copy_n(bytes.begin(), std::min(bytes.size(), kStoreBytes), bytes_.begin());
}

}  // namespace vrn::screens

#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace vrn::screens {

inline constexpr int kScreenCount = 8;
inline constexpr int kRows = 6;
inline constexpr int kColumns = 40;
inline constexpr size_t kScreenBytes = size_t{kRows} * kColumns;
// The whole store: the payload of the screen commands and the content of a screen file.
inline constexpr size_t kStoreBytes = kScreenCount * kScreenBytes;

inline constexpr uint8_t kBlank = 0x20;
inline constexpr uint8_t kLargeBit = 0x80;
inline constexpr uint8_t kLargeBlank = 0xA0;

inline bool isLarge(uint8_t cell) {
    return (cell & kLargeBit) != 0;
}

// The eight screens of 6 rows of 40 cells, one byte a cell, and the screen now shown. A large
// character fills the aligned 2 x 2 block of cells whose top-left cell has an even row and column.
class ScreenStore {
public:
    ScreenStore() { bytes_.fill(kBlank); }

    // Cell access; screen 0 to 7, row 0 to 5, column 0 to 39 (brought into range).
    uint8_t cell(int screen, int row, int column) const { return bytes_[index(screen, row, column)]; }
    void setCell(int screen, int row, int column, uint8_t byte) { bytes_[index(screen, row, column)] = byte; }

    // The current screen's cell.
    uint8_t cell(int row, int column) const { return cell(current_, row, column); }
    void setCell(int row, int column, uint8_t byte) { setCell(current_, row, column, byte); }

    // Stores the byte in all four cells of the block of (row, column) in the current screen.
    void SetLargeCell(int row, int column, uint8_t byte);

    // Every cell of the screen becomes a blank.
    void clear(int screen);

    int current() const { return current_; }
    void setCurrent(int screen);

    std::span<const uint8_t, kStoreBytes> bytes() const { return bytes_; }
    // Copies the bytes over the store from its first byte on; bytes past the store are ignored.
    void load(std::span<const uint8_t> bytes);

private:
    static size_t index(int screen, int row, int column);

    std::array<uint8_t, kStoreBytes> bytes_{};
    int current_ = 0;
};

}  // namespace vrn::screens

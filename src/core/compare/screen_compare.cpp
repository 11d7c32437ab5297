#include "core/compare/screen_compare.h"

namespace vrn::compare {
namespace {

constexpr uint8_t kDegree = 0x7E;

std::string cellText(uint8_t cell) {
    const auto c = static_cast<uint8_t>(cell & ~screens::kLargeBit);
    if (c == kDegree) return "\u00B0";
    if (c < 0x20 || c == 0x7F) return "?";
    return std::string(1, static_cast<char>(c));
}

// The quoted text of columns [from, to) of one row, and the font when it is not all small.
std::string runText(std::span<const uint8_t, screens::kStoreBytes> bytes, size_t rowAt, int from, int to) {
    std::string text = "\"";
    int large = 0;
    for (int c = from; c < to; ++c) {
        const uint8_t cell = bytes[rowAt + static_cast<size_t>(c)];
        text += cellText(cell);
        large += screens::isLarge(cell) ? 1 : 0;
    }
    text += "\"";
    if (large == to - from)
        text += " (large)";
    else if (large > 0)
        text += " (partly large)";
    return text;
}

}  // namespace

std::vector<std::string> compareScreens(std::span<const uint8_t, screens::kStoreBytes> file,
                                        std::span<const uint8_t, screens::kStoreBytes> instrument) {
    return differenceLines(screenDifferences(file, instrument));
}

std::vector<Difference> screenDifferences(std::span<const uint8_t, screens::kStoreBytes> file,
                                          std::span<const uint8_t, screens::kStoreBytes> instrument) {
    std::vector<Difference> found;
    for (int screen = 0; screen < screens::kScreenCount; ++screen) {
        for (int row = 0; row < screens::kRows; ++row) {
            const size_t rowAt = static_cast<size_t>(screen) * screens::kScreenBytes +
                                 static_cast<size_t>(row) * screens::kColumns;
            int c = 0;
            while (c < screens::kColumns) {
                if (file[rowAt + static_cast<size_t>(c)] == instrument[rowAt + static_cast<size_t>(c)]) {
                    ++c;
                    continue;
                }
                const int from = c;
                while (c < screens::kColumns &&
                       file[rowAt + static_cast<size_t>(c)] != instrument[rowAt + static_cast<size_t>(c)])
                    ++c;
                const std::string columns = c - from == 1
                                                ? std::to_string(from + 1)
                                                : std::to_string(from + 1) + ".." + std::to_string(c);
                found.push_back({"screen " + std::to_string(screen + 1) + " row " + std::to_string(row + 1) +
                                     " col " + columns,
                                 runText(file, rowAt, from, c), runText(instrument, rowAt, from, c)});
            }
        }
    }
    return found;
}

}  // namespace vrn::compare

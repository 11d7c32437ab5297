#include "core/setup/baud_codes.h"

#include <array>

namespace vrn::setup {
namespace {

constexpr std::array<int, 8> kCodes = {12, 24, 48, 96, 19, 38, 115, 230};

}  // namespace

int baudCodeOfIndex(int index) {
    return index >= 0 && index < static_cast<int>(kCodes.size()) ? kCodes[static_cast<size_t>(index)] : 0;
}

std::optional<int> baudIndexOfCode(int code) {
    for (size_t i = 0; i < kCodes.size(); ++i)
        if (kCodes[i] == code) return static_cast<int>(i);
    return std::nullopt;
}

}  // namespace vrn::setup

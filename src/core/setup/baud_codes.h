#pragma once

#include <optional>

namespace vrn::setup {

// The wire code of a baud item index (12, 24, 48, 96, 19, 38, 115, 230); 0 outside 0..7.
int baudCodeOfIndex(int index);

// The item index of a wire code; none for a code outside the table.
std::optional<int> baudIndexOfCode(int code);

}  // namespace vrn::setup

#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "core/program/program_store.h"

namespace vrn {

// The instrument ends a text parameter at its first backslash: what follows is never shown or
// sent, so it is no part of the text's length.
std::string_view textBeforeEndMark(std::string_view stored);

// How many characters the instruction in the slot puts on its LCD row (a large character counts
// once): the time as HH:MM:SS, a compass point, the flags in binary or hexadecimal, the text up to
// its end mark, the value's width. Empty for an instruction that shows nothing on the LCD.
std::optional<int32_t> displayedCharacters(const ProgramStore& store, size_t slot);

}  // namespace vrn

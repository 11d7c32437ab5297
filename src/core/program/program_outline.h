#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace vrn {

// Instruction numbers the program's structure turns on.
inline constexpr uint16_t kPgmEndNumber = 0;
inline constexpr uint16_t kElseNumber = 11;
inline constexpr uint16_t kEndIfNumber = 12;
inline constexpr uint16_t kFirstIfNumber = 16;  // "IF FLAG"
inline constexpr uint16_t kLastIfNumber = 22;   // "IF TIME INTERVAL"
// A number no instruction has: for a node whose text names none.
inline constexpr uint16_t kUnknownInstruction = 0xFFFF;

inline bool isIfInstruction(uint32_t number) {
    return number >= kFirstIfNumber && number <= kLastIfNumber;
}

// The instruction number the catalogue gives a name; empty for a name it does not have.
std::optional<uint16_t> instructionNumberOf(std::string_view name);

// How deep each instruction sits between IF and END IF: the instructions of an IF's body one
// level deeper than the IF, its ELSE and END IF on the IF's own level. An ELSE or END IF that no
// IF opened stays on the level it finds; an IF never closed keeps its body indented to the end.
std::vector<size_t> outlineLevels(std::span<const uint16_t> numbers);

}  // namespace vrn

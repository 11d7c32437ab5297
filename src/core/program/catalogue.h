#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace vrn {

// What kind of value a parameter holds, from its kind code: 1 integer, 2 decimal, 3 text,
// 4 hex, 5 to 34 a choice from the list keyed by the code; 0 marks an unused descriptor.
enum class KindClass : uint8_t { None, Integer, Decimal, Text, Hex, Choice };

KindClass classify(uint8_t kind);

struct ParamDesc {
    std::string_view name;  // ends in "=" (":" for "comp:" and "oper:")
    uint8_t kind = 0;
    uint8_t width = 0;  // digits or characters the user may type; unused for choices
    float initial = 0;  // initial number, or the index of the initial choice
};

inline constexpr size_t kMaxParams = 7;

struct InstrDesc {
    std::string_view name;
    uint16_t paramCount = 0;
    std::array<ParamDesc, kMaxParams> params{};
};

inline constexpr size_t kMaxChoices = 14;

struct ChoiceList {
    uint16_t count = 0;
    std::array<std::string_view, kMaxChoices> texts{};
};

// The instrument knows instructions 0 ("PGM END") to 52 by number.
inline constexpr uint32_t kInstructionCount = 53;

// Null for an instruction number of 53 or more.
const InstrDesc* instruction(uint32_t number);

// Null for a code that keys no list.
const ChoiceList* choiceList(uint8_t kind);

// Empty for a code that keys no list and for an index at or above the list's count.
std::optional<std::string_view> choiceText(uint8_t kind, uint32_t index);

// The instruction chooser's entries: instructions 1 to 52; position p stands for number p + 1.
std::vector<std::string_view> chooserNames();

}  // namespace vrn

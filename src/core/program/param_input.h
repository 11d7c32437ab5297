#pragma once

#include <cstdint>
#include <string_view>

namespace vrn {

// The four edit-box dialogs; the choice dialog has a list only.
enum class EditBoxKind : uint8_t { Integer, Decimal, Hex, Text };

inline constexpr char32_t kBackspaceKey = 0x08;
inline constexpr char32_t kEnterKey = 0x0D;

// Whether a typed character reaches the edit box; a refused one is dropped with the system
// beep. Enter never reaches it: it accepts the dialog instead.
bool keyPasses(EditBoxKind kind, char32_t key);

// The leading decimal number of the input (an optional sign, digits); none gives 0.
int32_t readIntegerInput(std::string_view input);

// The longest leading part that reads as a decimal number: an optional minus sign, digits, an
// optional full stop and digits, at least one digit in all; none gives 0. "1.2.3" reads 1.2.
float readDecimalInput(std::string_view input);

// Hexadecimal digits from the start, kept to 16 bits; reading stops at any other character.
uint16_t readHexInput(std::string_view input);

}  // namespace vrn

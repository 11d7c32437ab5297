#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/program/catalogue.h"
#include "core/program/program_store.h"

namespace vrn {

// "%0*i": zero-padded to width (the sign counts in the width).
std::string formatInteger(int32_t value, int width);
// "%0.*f": fixed with the given decimals, independent of the C locale.
std::string formatDecimal(float value, int decimals);
// "%04X".
std::string formatHex(uint16_t value);

// Decimals a decimal parameter is first shown with: width - 2.
int decimalsOf(const ParamDesc& param);

// The text of a choice, or an empty text for an index its list does not have.
std::string_view choiceTextOrEmpty(uint8_t kind, uint32_t index);

// Text area bytes as the window shows them (a tilde shows as the degree sign), and back. Received
// programs and the text dialog show the text area so.
std::string textAreaToDisplay(std::string_view stored);
std::string textAreaFromDisplay(std::string_view shown);

// Text area bytes exactly as they stand, a tilde as a tilde: how an inserted or pasted
// instruction's node shows them (these node texts go into program files and listings as they are).
std::string textAreaAsStored(std::string_view stored);

// "name value".
std::string paramNodeText(const ParamDesc& param, std::string_view value);

// A parameter node as an inserted or pasted instruction shows it, rendered from slot's fields.
std::string renderedParamNode(const ProgramStore& store, size_t slot, size_t index, const ParamDesc& param);

}  // namespace vrn

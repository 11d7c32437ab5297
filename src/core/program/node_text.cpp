#include "core/program/node_text.h"

#include <array>
#include <charconv>
#include <cstdio>

#include "core/text/cp1252.h"

namespace vrn {

namespace {
constexpr char kTilde = '~';
constexpr std::string_view kDegreeUtf8 = "\xC2\xB0";
}  // namespace

std::string formatInteger(int32_t value, int width) {
    std::array<char, 48> buf{};
    std::snprintf(buf.data(), buf.size(), "%0*i", width, value);
    return buf.data();
}

std::string formatDecimal(float value, int decimals) {
    std::array<char, 128> buf{};
    const auto result = std::to_chars(buf.data(), buf.data() + buf.size(), value, std::chars_format::fixed,
                                      decimals < 0 ? 0 : decimals);
    if (result.ec != std::errc()) return "0";
    return std::string(buf.data(), result.ptr);
}

std::string formatHex(uint16_t value) {
    std::array<char, 8> buf{};
    std::snprintf(buf.data(), buf.size(), "%04X", static_cast<unsigned>(value));
    return buf.data();
}

int decimalsOf(const ParamDesc& param) {
    return param.width >= 2 ? param.width - 2 : 0;
}

std::string_view choiceTextOrEmpty(uint8_t kind, uint32_t index) {
    return choiceText(kind, index).value_or(std::string_view{});
}

std::string textAreaToDisplay(std::string_view stored) {
    std::string out;
    for (char c : stored) {
        if (c == kTilde)
            out += kDegreeUtf8;
        else
            out += text::cp1252ToUtf8(std::string_view(&c, 1));
    }
    return out;
}

std::string textAreaAsStored(std::string_view stored) {
    return text::cp1252ToUtf8(stored);
}

std::string textAreaFromDisplay(std::string_view shown) {
    std::string withTilde;
    for (size_t pos = 0; pos < shown.size();) {
        if (shown.substr(pos, kDegreeUtf8.size()) == kDegreeUtf8) {
            withTilde.push_back(kTilde);
            pos += kDegreeUtf8.size();
        } else {
            withTilde.push_back(shown[pos++]);
        }
    }
    return text::utf8ToCp1252(withTilde);
}

std::string paramNodeText(const ParamDesc& param, std::string_view value) {
    std::string text(param.name);
    text += ' ';
    text += value;
    return text;
}

std::string renderedParamNode(const ProgramStore& store, size_t slot, size_t index, const ParamDesc& param) {
    switch (classify(param.kind)) {
    case KindClass::Integer:
        return paramNodeText(param, formatInteger(store.shortValue(slot, index), param.width));
    case KindClass::Decimal:
        return paramNodeText(param, formatDecimal(store.floatValue(slot, index), decimalsOf(param)));
    case KindClass::Text:
        return paramNodeText(param, textAreaAsStored(store.textArea(slot)));
    case KindClass::Hex:
        return paramNodeText(param, formatHex(store.shortValue(slot, index)));
    case KindClass::Choice:
        return paramNodeText(param, choiceTextOrEmpty(param.kind, store.shortValue(slot, index)));
    case KindClass::None:
        break;
    }
    return paramNodeText(param, "");
}

}  // namespace vrn

// What the user types into the parameter dialogs, and the code-page conversion of program texts.
// Text of defined Windows-1252 bytes must come back unchanged through UTF-8.
#include <string>

#include "core/program/param_input.h"
#include "core/program/win1252.h"
#include "fuzz_input.h"

namespace {

bool allDefined(std::string_view bytes) {
    for (const char c : bytes) {
        const auto b = static_cast<uint8_t>(c);
        if (b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vrn::fuzz::Input input(data, size);
    const auto kind = static_cast<vrn::EditBoxKind>(input.byte() % 4);
    const std::string_view text = input.restText();

    for (const char c : text)
        vrn::keyPasses(kind, static_cast<unsigned char>(c));
    vrn::readIntegerInput(text);
    vrn::readDecimalInput(text);
    vrn::readHexInput(text);

    const std::string bytes = vrn::utf8ToWin1252(text);
    vrn::fuzz::require(bytes.size() <= text.size(), "a character never becomes more than one byte");
    const std::string shown = vrn::win1252ToUtf8(text);
    vrn::fuzz::require(vrn::utf8Length(shown) == text.size(), "each byte becomes one character");
    vrn::fuzz::require(!allDefined(text) || vrn::utf8ToWin1252(shown) == text,
                       "defined bytes come back unchanged through UTF-8");
    return 0;
}

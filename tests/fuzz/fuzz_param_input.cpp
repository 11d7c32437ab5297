// What the user types into the parameter dialogs, and the code-page conversion of program texts:
// any bytes must come back unchanged through UTF-8.
#include <string>

#include "core/program/param_input.h"
#include "core/text/cp1252.h"
#include "core/text/utf8.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vrn::fuzz::Input input(data, size);
    const auto kind = static_cast<vrn::EditBoxKind>(input.byte() % 4);
    const std::string_view text = input.restText();

    for (const char c : text)
        vrn::keyPasses(kind, static_cast<unsigned char>(c));
    vrn::readIntegerInput(text);
    vrn::readDecimalInput(text);
    vrn::readHexInput(text);

    const std::string bytes = vrn::text::utf8ToCp1252(text);
    vrn::fuzz::require(bytes.size() <= text.size(), "a character never becomes more than one byte");
    const std::string shown = vrn::text::cp1252ToUtf8(text);
    vrn::fuzz::require(vrn::text::utf8Length(shown) == text.size(), "each byte becomes one character");
    vrn::fuzz::require(vrn::text::utf8ToCp1252(shown) == text, "any bytes come back unchanged through UTF-8");
    return 0;
}

#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vrn::text {

// The code point replacing a malformed UTF-8 sequence.
inline constexpr char32_t kReplacement = 0xFFFD;

// Decodes the code point at pos and moves pos past it; a malformed sequence gives kReplacement
// and skips one byte, so every input decodes without reading past its end.
char32_t nextCodePoint(std::string_view utf8, size_t& pos);

void appendUtf8(std::string& out, char32_t cp);

// Number of characters (code points) in the text.
size_t utf8Length(std::string_view utf8);

// The first maxChars characters of the text.
std::string utf8Left(std::string_view utf8, size_t maxChars);

}  // namespace vrn::text

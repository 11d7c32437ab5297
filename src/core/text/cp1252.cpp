#include "core/text/cp1252.h"

#include <array>

#include "core/text/utf8.h"

namespace vrn::text {
namespace {

// Bytes 0x80..0x9F; the others are their own code points.
constexpr std::array<char32_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char32_t toUnicode(uint8_t byte) {
    return byte >= 0x80 && byte <= 0x9F ? kHigh[byte - 0x80] : char32_t{byte};
}

char fromUnicode(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<char>(cp);
    for (size_t i = 0; i < kHigh.size(); ++i)
        if (kHigh[i] == cp) return static_cast<char>(0x80 + i);
    return '?';
}

}  // namespace

std::string cp1252ToUtf8(std::span<const uint8_t> bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (uint8_t b : bytes)
        appendUtf8(out, toUnicode(b));
    return out;
}

std::string cp1252ToUtf8(std::string_view bytes) {
    return cp1252ToUtf8(
        std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
}

std::string utf8ToCp1252(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (size_t pos = 0; pos < utf8.size();)
        out.push_back(fromUnicode(nextCodePoint(utf8, pos)));
    return out;
}

}  // namespace vrn::text

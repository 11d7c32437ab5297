#include "core/program/win1252.h"

#include <array>
#include <cstdint>
#include <optional>

namespace vrn {
namespace {

// Bytes 0x80 to 0x9F; the rest of the code page matches Latin-1. Zero marks an undefined byte.
constexpr std::array<char32_t, 32> kHigh{0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                         0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                         0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                         0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

constexpr char32_t kReplacement = 0xFFFD;

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

char toByte(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
    for (size_t i = 0; i < kHigh.size(); ++i)
        if (kHigh[i] != 0 && kHigh[i] == c) return static_cast<char>(0x80 + i);
    return '?';
}

// Decodes the code point at pos and moves pos past it; a malformed sequence gives nothing and
// moves pos past its first byte.
std::optional<char32_t> nextCodePoint(std::string_view s, size_t& pos) {
    const auto lead = static_cast<uint8_t>(s[pos++]);
    if (lead < 0x80) return lead;
    size_t more = 0;
    char32_t c = 0;
    if ((lead & 0xE0) == 0xC0) {
        more = 1;
        c = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        more = 2;
        c = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        more = 3;
        c = lead & 0x07;
    } else {
        return std::nullopt;
    }
    if (s.size() - pos < more) return std::nullopt;
    for (size_t i = 0; i < more; ++i) {
        const auto b = static_cast<uint8_t>(s[pos + i]);
        if ((b & 0xC0) != 0x80) return std::nullopt;
        c = (c << 6) | (b & 0x3F);
    }
    pos += more;
    return c;
}

}  // namespace

std::string win1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (char ch : bytes) {
        const auto b = static_cast<uint8_t>(ch);
        if (b >= 0x80 && b < 0xA0) {
            const char32_t c = kHigh[b - 0x80];
            appendUtf8(out, c == 0 ? kReplacement : c);
        } else {
            appendUtf8(out, b);
        }
    }
    return out;
}

std::string utf8ToWin1252(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    size_t pos = 0;
    while (pos < utf8.size()) {
        const std::optional<char32_t> c = nextCodePoint(utf8, pos);
        out.push_back(c ? toByte(*c) : '?');
    }
    return out;
}

size_t utf8Length(std::string_view utf8) {
    size_t count = 0;
    for (char ch : utf8)
        if ((static_cast<uint8_t>(ch) & 0xC0) != 0x80) ++count;
    return count;
}

}  // namespace vrn

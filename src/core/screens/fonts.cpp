#include "core/screens/fonts.h"

#include <string_view>

namespace vrn::screens {
namespace {

// The glyphs are drawn here as pictures side by side, '#' a lit pixel and '.' an unlit one; the
// tables in the instrument's byte layout are built from them when the program is compiled, so a
// malformed picture does not compile.
struct Pictures {
    const std::string_view* lines;
    int perLine;  // glyphs side by side on a line
    int width;
    int height;
};

// clang-format off
constexpr std::string_view kSmallPictures[] = {
    // 32-39: space ! " # $ % & '
    "...... ..#... .#.#.. .#.#.. ..#... ##.... .##... ..#...",
    "...... ..#... .#.#.. .#.#.. .####. ##..#. #..#.. ..#...",
    "...... ..#... .#.#.. #####. #.#... ...#.. #.#... .#....",
    "...... ..#... ...... .#.#.. .###.. ..#... .#.... ......",
    "...... ..#... ...... #####. ..#.#. .#.... #.#.#. ......",
    "...... ...... ...... .#.#.. ####.. #..##. #..#.. ......",
    "...... ..#... ...... .#.#.. ..#... ...##. .##.#. ......",
    "...... ...... ...... ...... ...... ...... ...... ......",
    // 40-47: ( ) * + , - . /
    "...#.. .#.... ...... ...... ...... ...... ...... ......",
    "..#... ..#... ..#... ..#... ...... ...... ...... ....#.",
    ".#.... ...#.. #.#.#. ..#... ...... ...... ...... ...#..",
    ".#.... ...#.. .###.. #####. ...... #####. ...... ..#...",
    ".#.... ...#.. #.#.#. ..#... .##... ...... ...... .#....",
    "..#... ..#... ..#... ..#... ..#... ...... .##... #.....",
    "...#.. .#.... ...... ...... .#.... ...... .##... ......",
    "...... ...... ...... ...... ...... ...... ...... ......",
    // 48-55: 0 1 2 3 4 5 6 7
    ".###.. ..#... .###.. #####. ...#.. #####. ..##.. #####.",
    "#...#. .##... #...#. ...#.. ..##.. #..... .#.... ....#.",
    "#..##. ..#... ....#. ..#... .#.#.. ####.. #..... ...#..",
    "#.#.#. ..#... ...#.. ...#.. #..#.. ....#. ####.. ..#...",
    "##..#. ..#... ..#... ....#. #####. ....#. #...#. .#....",
    "#...#. ..#... .#.... #...#. ...#.. #...#. #...#. .#....",
    ".###.. .###.. #####. .###.. ...#.. .###.. .###.. .#....",
    "...... ...... ...... ...... ...... ...... ...... ......",
    // 56-63: 8 9 : ; < = > ?
    ".###.. .###.. ...... ...... ...#.. ...... .#.... .###..",
    "#...#. #...#. .##... .##... ..#... ...... ..#... #...#.",
    "#...#. #...#. .##... .##... .#.... #####. ...#.. ....#.",
    ".###.. .####. ...... ...... #..... ...... ....#. ...#..",
    "#...#. ....#. .##... .##... .#.... #####. ...#.. ..#...",
    "#...#. ...#.. .##... ..#... ..#... ...... ..#... ......",
    ".###.. .##... ...... .#.... ...#.. ...... .#.... ..#...",
    "...... ...... ...... ...... ...... ...... ...... ......",
    // 64-71: @ A B C D E F G
    ".###.. .###.. ####.. .###.. ###... #####. #####. .###..",
    "#...#. #...#. #...#. #...#. #..#.. #..... #..... #...#.",
    "....#. #...#. #...#. #..... #...#. #..... #..... #.....",
    ".##.#. #####. ####.. #..... #...#. ####.. ####.. #.###.",
    "#.#.#. #...#. #...#. #..... #...#. #..... #..... #...#.",
    "#.#.#. #...#. #...#. #...#. #..#.. #..... #..... #...#.",
    ".###.. #...#. ####.. .###.. ###... #####. #..... .####.",
    "...... ...... ...... ...... ...... ...... ...... ......",
    // 72-79: H I J K L M N O
    "#...#. .###.. ..###. #...#. #..... #...#. #...#. .###..",
    "#...#. ..#... ...#.. #..#.. #..... ##.##. #...#. #...#.",
    "#...#. ..#... ...#.. #.#... #..... #.#.#. ##..#. #...#.",
    "#####. ..#... ...#.. ##.... #..... #.#.#. #.#.#. #...#.",
    "#...#. ..#... ...#.. #.#... #..... #...#. #..##. #...#.",
    "#...#. ..#... #..#.. #..#.. #..... #...#. #...#. #...#.",
    "#...#. .###.. .##... #...#. #####. #...#. #...#. .###..",
    "...... ...... ...... ...... ...... ...... ...... ......",
    // 80-87: P Q R S T U V W
    "####.. .###.. ####.. .####. #####. #...#. #...#. #...#.",
    "#...#. #...#. #...#. #..... ..#... #...#. #...#. #...#.",
    "#...#. #...#. #...#. #..... ..#... #...#. #...#. #...#.",
    "####.. #...#. ####.. .###.. ..#... #...#. #...#. #.#.#.",
    "#..... #.#.#. #.#... ....#. ..#... #...#. #...#. #.#.#.",
    "#..... #..#.. #..#.. ....#. ..#... #...#. .#.#.. #.#.#.",
    "#..... .##.#. #...#. ####.. ..#... .###.. ..#... .#.#..",
    "...... ...... ...... ...... ...... ...... ...... ......",
    // 88-95: X Y Z [ \ ] ^ _
    "#...#. #...#. #####. .###.. ...... .###.. ..#... ......",
    "#...#. #...#. ....#. .#.... #..... ...#.. .#.#.. ......",
    ".#.#.. .#.#.. ...#.. .#.... .#.... ...#.. #...#. ......",
    "..#... ..#... ..#... .#.... ..#... ...#.. ...... ......",
    ".#.#.. ..#... .#.... .#.... ...#.. ...#.. ...... ......",
    "#...#. ..#... #..... .#.... ....#. ...#.. ...... ......",
    "#...#. ..#... #####. .###.. ...... .###.. ...... ......",
    "...... ...... ...... ...... ...... ...... ...... ######",
    // 96-103: ` a b c d e f g
    ".#.... ...... #..... ...... ....#. ...... ..##.. ......",
    "..#... ...... #..... ...... ....#. ...... .#..#. ......",
    "...#.. .###.. #.##.. .###.. .##.#. .###.. .#.... .####.",
    "...... ....#. ##..#. #..... #..##. #...#. ###... #...#.",
    "...... .####. #...#. #..... #...#. #####. .#.... #...#.",
    "...... #...#. #...#. #...#. #...#. #..... .#.... .####.",
    "...... .####. ####.. .###.. .####. .###.. .#.... ....#.",
    "...... ...... ...... ...... ...... ...... ...... .###..",
    // 104-111: h i j k l m n o
    "#..... ..#... ...#.. #..... .##... ...... ...... ......",
    "#..... ...... ...... #..... ..#... ...... ...... ......",
    "#.##.. .##... ..##.. #..#.. ..#... ##.#.. #.##.. .###..",
    "##..#. ..#... ...#.. #.#... ..#... #.#.#. ##..#. #...#.",
    "#...#. ..#... ...#.. ##.... ..#... #.#.#. #...#. #...#.",
    "#...#. ..#... ...#.. #.#... ..#... #...#. #...#. #...#.",
    "#...#. .###.. #..#.. #..#.. .###.. #...#. #...#. .###..",
    "...... ...... .##... ...... ...... ...... ...... ......",
    // 112-119: p q r s t u v w
    "...... ...... ...... ...... .#.... ...... ...... ......",
    "...... ...... ...... ...... .#.... ...... ...... ......",
    "####.. .####. #.##.. .####. ###... #...#. #...#. #...#.",
    "#...#. #...#. ##..#. #..... .#.... #...#. #...#. #...#.",
    "#...#. #...#. #..... .###.. .#.... #...#. #...#. #.#.#.",
    "####.. .####. #..... ....#. .#..#. #..##. .#.#.. #.#.#.",
    "#..... ....#. #..... ####.. ..##.. .##.#. ..#... .#.#..",
    "#..... ....#. ...... ...... ...... ...... ...... ......",
    // 120-127: x y z hatch block bar degree triangle
    "...... ...... ...... #.#.#. ###### ...... .##... #.....",
    "...... ...... ...... .#.#.# ###### ...... #..#.. ##....",
    "#...#. #...#. #####. #.#.#. ###### ...... #..#.. ###...",
    ".#.#.. #...#. ...#.. .#.#.# ###### ###### .##... ####..",
    "..#... #...#. ..#... #.#.#. ###### ###### ...... ###...",
    ".#.#.. .####. .#.... .#.#.# ###### ...... ...... ##....",
    "#...#. ....#. #####. #.#.#. ###### ...... ...... #.....",
    "...... .###.. ...... .#.#.# ###### ...... ...... ......",
};

// The large font is the small one at twice the size, one column in from the block's left edge
// (small column k becomes large columns 2k + 1 and 2k + 2), so the two read alike on the LCD.
// The glyphs that must reach both edges of the block are drawn whole.
constexpr std::string_view kWholeLargePictures[] = {
    // 95, 123, 124, 125: _ and the bars that span the whole block
    "............ ............ ............ ............",
    "............ ............ ............ ............",
    "............ ............ ............ ............",
    "............ ............ ............ ............",
    "............ ............ ............ ............",
    "............ ............ ............ ............",
    "............ ............ ............ ############",
    "............ ............ ............ ############",
    "............ ............ ............ ############",
    "............ ............ ............ ############",
    "............ ............ ............ ............",
    "............ ............ ............ ............",
    "............ ............ ............ ............",
    "............ ............ ............ ............",
    "############ ############ ############ ............",
    "############ ############ ############ ............",
};
// clang-format on
constexpr int kWholeLargeCodes[] = {95, 123, 124, 125};

constexpr Pictures kSmallSet{kSmallPictures, 8, kSmallWidth, kSmallHeight};
constexpr Pictures kWholeLargeSet{kWholeLargePictures, 4, kLargeWidth, kLargeHeight};

// Whether pixel (x, y) of picture `index` of the set is lit.
consteval bool lit(const Pictures& set, int index, int x, int y) {
    const std::string_view line = set.lines[(index / set.perLine) * set.height + y];
    if (line.size() != static_cast<size_t>(set.perLine * (set.width + 1) - 1))
        throw "a glyph picture line has the wrong length";
    const int at = (index % set.perLine) * (set.width + 1) + x;
    const char c = line[static_cast<size_t>(at)];
    if (c != '#' && c != '.') throw "a glyph picture holds a character other than '#' and '.'";
    return c == '#';
}

consteval SmallFont buildSmall() {
    static_assert(std::size(kSmallPictures) == size_t{kGlyphCount / 8} * kSmallHeight);
    SmallFont font{};
    for (int g = 0; g < kGlyphCount; ++g)
        for (int x = 0; x < kSmallWidth; ++x)
            for (int y = 0; y < kSmallHeight; ++y)
                if (lit(kSmallSet, g, x, y))
                    font[static_cast<size_t>(g) * kSmallGlyphBytes + static_cast<size_t>(x)] |=
                        static_cast<uint8_t>(1u << y);
    return font;
}

consteval void setLarge(LargeFont& font, int g, int x, int y) {
    const size_t at =
        static_cast<size_t>(g) * kLargeGlyphBytes + static_cast<size_t>(y / 8 * kLargeWidth + x);
    font[at] |= static_cast<uint8_t>(1u << (y % 8));
}

consteval LargeFont buildLarge() {
    static_assert(std::size(kWholeLargePictures) == kLargeHeight);
    LargeFont font{};
    for (int g = 0; g < kGlyphCount; ++g)
        for (int x = 1; x < kLargeWidth; ++x)
            for (int y = 0; y < kLargeHeight; ++y)
                if (lit(kSmallSet, g, (x - 1) / 2, y / 2)) setLarge(font, g, x, y);
    for (int w = 0; w < static_cast<int>(std::size(kWholeLargeCodes)); ++w) {
        const int g = kWholeLargeCodes[w] - kFirstGlyphCode;
        for (size_t i = 0; i < kLargeGlyphBytes; ++i)
            font[static_cast<size_t>(g) * kLargeGlyphBytes + i] = 0;
        for (int x = 0; x < kLargeWidth; ++x)
            for (int y = 0; y < kLargeHeight; ++y)
                if (lit(kWholeLargeSet, w, x, y)) setLarge(font, g, x, y);
    }
    return font;
}

constexpr SmallFont kSmall = buildSmall();
constexpr LargeFont kLarge = buildLarge();

}  // namespace

const SmallFont& smallFont() {
    return kSmall;
}

const LargeFont& largeFont() {
    return kLarge;
}

std::span<const uint8_t> smallGlyph(int code) {
    if (code < kFirstGlyphCode || code >= kFirstGlyphCode + kGlyphCount) return {};
    return std::span<const uint8_t>(kSmall).subspan(
        static_cast<size_t>(code - kFirstGlyphCode) * kSmallGlyphBytes, kSmallGlyphBytes);
}

std::span<const uint8_t> largeGlyph(int code) {
    if (code < kFirstGlyphCode || code >= kFirstGlyphCode + kGlyphCount) return {};
    return std::span<const uint8_t>(kLarge).subspan(
        static_cast<size_t>(code - kFirstGlyphCode) * kLargeGlyphBytes, kLargeGlyphBytes);
}

bool smallPixel(std::span<const uint8_t> glyph, int x, int y) {
    if (glyph.size() != kSmallGlyphBytes || x < 0 || x >= kSmallWidth || y < 0 || y >= kSmallHeight)
        return false;
    return (glyph[static_cast<size_t>(x)] >> y) & 1u;
}

bool largePixel(std::span<const uint8_t> glyph, int x, int y) {
    if (glyph.size() != kLargeGlyphBytes || x < 0 || x >= kLargeWidth || y < 0 || y >= kLargeHeight)
        return false;
    const int at = y / 8 * kLargeWidth + x;
    return (glyph[static_cast<size_t>(at)] >> (y % 8)) & 1u;
}

}  // namespace vrn::screens

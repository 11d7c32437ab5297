#pragma once

#include <string>
#include <string_view>

namespace vrn {

// Program texts are single Windows-1252 bytes in the store and in files, UTF-8 in the window.

// Every byte becomes its character; the five bytes the code page leaves undefined become U+FFFD.
std::string win1252ToUtf8(std::string_view bytes);

// Characters the code page cannot hold, and malformed UTF-8, become '?'.
std::string utf8ToWin1252(std::string_view utf8);

// Number of characters (code points) in UTF-8 text.
size_t utf8Length(std::string_view utf8);

}  // namespace vrn

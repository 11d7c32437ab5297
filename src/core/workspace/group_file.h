#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace vrn::workspace {

// The group file (".ssp") holds only this type mark; its members sit beside it, named after it.
inline constexpr std::string_view kGroupMark = "41700Group";
inline constexpr const char* kGroupFileExt = "ssp";

// The member paths of a group: its folder and base name (everything before the last dot of the
// file name, or the whole name when it has none) with each member's suffix.
struct GroupMembers {
    std::string setup;                    // ".set"
    std::string screens;                  // ".scr"
    std::string program;                  // ".pgm"
    std::string listing;                  // ".txt", the program tree text
    std::array<std::string, 8> pictures;  // " Screen 1.bmp" to " Screen 8.bmp"
};

GroupMembers groupMembers(std::string_view groupPath);

// The file name without folder and extension: the current group name after an open or save.
std::string groupBaseName(std::string_view groupPath);

// Whether the file starts with the mark, compared case-sensitively; what follows is ignored.
bool isGroupFile(std::span<const uint8_t> bytes);

std::span<const uint8_t> groupMarkBytes();

}  // namespace vrn::workspace

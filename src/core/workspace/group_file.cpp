#include "core/workspace/group_file.h"

#include <algorithm>

namespace vrn::workspace {
namespace {

// The folder (with its trailing slash) and the base name.
std::pair<std::string_view, std::string_view> split(std::string_view path) {
    const size_t slash = path.find_last_of('/');
    const size_t nameAt = slash == std::string_view::npos ? 0 : slash + 1;
    std::string_view name = path.substr(nameAt);
    if (const size_t dot = name.find_last_of('.'); dot != std::string_view::npos) name = name.substr(0, dot);
    return {path.substr(0, nameAt), name};
}

}  // namespace

GroupMembers groupMembers(std::string_view groupPath) {
    const auto [folder, base] = split(groupPath);
    const std::string stem = std::string(folder) + std::string(base);
    GroupMembers m;
    m.setup = stem + ".set";
    m.screens = stem + ".scr";
    m.program = stem + ".pgm";
    m.listing = stem + ".txt";
    for (size_t i = 0; i < m.pictures.size(); ++i)
        m.pictures[i] = stem + " Screen " + std::to_string(i + 1) + ".bmp";
    return m;
}

std::string groupBaseName(std::string_view groupPath) {
    return std::string(split(groupPath).second);
}

std::span<const uint8_t> groupMarkBytes() {
    static constexpr auto kBytes = [] {
        std::array<uint8_t, kGroupMark.size()> bytes{};
        std::copy(kGroupMark.begin(), kGroupMark.end(), bytes.begin());
        return bytes;
    }();
    return kBytes;
}

bool isGroupFile(std::span<const uint8_t> bytes) {
    const auto mark = groupMarkBytes();
    return bytes.size() >= mark.size() && std::equal(mark.begin(), mark.end(), bytes.begin());
}

}  // namespace vrn::workspace

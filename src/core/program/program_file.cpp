#include "core/program/program_file.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "core/text/cp1252.h"

namespace vrn {
namespace {

// Splits at CR LF, a lone CR or a lone LF; text after the last break is a line too.
std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

}  // namespace

std::string programTreeText(const ProgramTree& tree) {
    std::string out;
    tree.forEach([&out](size_t depth, const std::string& text) {
        out.append(depth, '\t');
        out += text::utf8ToCp1252(text);
        out += "\r\n";
    });
    return out;
}

std::vector<uint8_t> writeProgramFile(const ProgramModel& program) {
    const auto image = program.store.image();
    std::vector<uint8_t> out(image.begin(), image.end());
    const std::string text = programTreeText(program.tree);
    out.insert(out.end(), text.begin(), text.end());
    return out;
}

std::optional<std::string> readProgramFile(std::span<const uint8_t> bytes, ProgramModel& program) {
    // A short image would overwrite only the first slots and leave the rest of the old program
    // behind them: two programs in one store.
    if (bytes.size() < ProgramStore::kImageSize)
        return "Not a program file: it has " + std::to_string(bytes.size()) +
               " bytes,\nwhere a program file has at least " + std::to_string(ProgramStore::kImageSize) + ".";
    const size_t imageBytes = ProgramStore::kImageSize;
    std::copy_n(bytes.begin(), imageBytes, program.store.image().begin());
    program.tree.clear();

    const auto rest = bytes.subspan(imageBytes);
    const std::string_view text(reinterpret_cast<const char*>(rest.data()), rest.size());
    NodePath last;  // the node added just before, empty before the first
    for (std::string_view line : splitLines(text)) {
        const size_t level = std::min(line.find_first_not_of("\t "), line.size());
        const std::string nodeText = text::cp1252ToUtf8(line.substr(level));
        if (last.empty()) {
            last = program.tree.append({}, nodeText);
            continue;
        }
        const size_t depth = last.size() - 1;
        if (level > depth + 1) {
            return "Invalid level (" + std::to_string(level) + ") for item \"" + nodeText + "\"";
        }
        NodePath parent = last;
        parent.resize(level);  // the ancestor at the line's level is the new node's parent
        last = program.tree.append(parent, nodeText);
    }
    return std::nullopt;
}

}  // namespace vrn

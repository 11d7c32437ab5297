#include "core/program/transfer_image.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>

#include "core/link/decimal.h"
#include "core/program/catalogue.h"
#include "core/program/node_text.h"
#include "core/program/param_input.h"
#include "core/text/cp1252.h"

namespace vrn {
namespace {

constexpr size_t kSlotSize = ProgramStore::kSlotSize;

size_t valueAt(size_t slot, size_t param) {
    return slot * kSlotSize + 2 + 12 * param;
}

void putBig16(std::span<uint8_t> out, size_t at, uint16_t v) {
    out[at] = static_cast<uint8_t>(v >> 8);
    out[at + 1] = static_cast<uint8_t>(v);
}

uint16_t big16(std::span<const uint8_t> in, size_t at) {
    return static_cast<uint16_t>((in[at] << 8) | in[at + 1]);
}

// Bytes up to the first NUL within a NUL-terminated field of the image: at most size - 1, as the
// store keeps them, so the node shows what the store holds.
std::string fieldText(std::span<const uint8_t> in, size_t at, size_t size) {
    const auto field = in.subspan(at, size - 1);
    const auto end = std::find(field.begin(), field.end(), uint8_t{0});
    return std::string(field.begin(), end);
}

// "%03u %05u %05u" (position, slot, instruction), or without the instruction when the slot
// index itself is out of range.
std::string positionLine(size_t k, unsigned slot, std::optional<unsigned> number) {
    char text[64];
    if (number)
        std::snprintf(text, sizeof text, "%03u %05u %05u", static_cast<unsigned>(k), slot, *number);
    else
        std::snprintf(text, sizeof text, "%03u %05u NO SUCH SLOT.", static_cast<unsigned>(k), slot);
    return text;
}

// "Instruction 004 " (its 1-based position, as the program page counts) and what is wrong with it.
std::string instructionProblem(size_t k, const std::string& what) {
    char text[32];
    std::snprintf(text, sizeof text, "Instruction %03u ", static_cast<unsigned>(k + 1));
    return text + what;
}

// One received instruction, laid over the store slot it replaces: the number, then each
// parameter's fields by kind. Returns the parameter node texts.
std::vector<std::string> decodeSlot(std::span<const uint8_t> image, size_t from, size_t k,
                                    const InstrDesc& instr, ProgramStore& store) {
    std::vector<std::string> nodes;
    const size_t textAreaAt = from * kSlotSize + ProgramStore::kTextAreaOffset;
    for (size_t j = 0; j < std::min<size_t>(instr.paramCount, kMaxParams); ++j) {
        const ParamDesc& param = instr.params[j];
        const size_t value = valueAt(from, j);
        const std::string text = fieldText(image, value + 4, ProgramStore::kTextFieldSize);
        switch (classify(param.kind)) {
        case KindClass::Integer:
            store.setIntValue(k, j, readDecimal(text));
            store.setTextField(k, j, text);
            nodes.push_back(paramNodeText(param, text::cp1252ToUtf8(text)));
            break;
        case KindClass::Decimal:
            store.setFloatValue(k, j, readDecimalInput(text));
            store.setTextField(k, j, text);
            nodes.push_back(paramNodeText(param, text::cp1252ToUtf8(text)));
            break;
        case KindClass::Text: {
            const std::string area = fieldText(image, textAreaAt, ProgramStore::kTextAreaSize);
            store.setTextArea(k, area);
            nodes.push_back(paramNodeText(param, textAreaToDisplay(area)));
            break;
        }
        case KindClass::Hex: {
            const uint16_t v = big16(image, value);
            store.setShortValue(k, j, v);
            store.setTextField(k, j, formatHex(v));
            nodes.push_back(paramNodeText(param, formatHex(v)));
            break;
        }
        case KindClass::Choice: {
            // An index the list does not have is kept and shown without a text.
            const uint16_t v = big16(image, value);
            store.setShortValue(k, j, v);
            nodes.push_back(paramNodeText(param, choiceTextOrEmpty(param.kind, v)));
            break;
        }
        case KindClass::None:
            nodes.push_back(paramNodeText(param, ""));
            break;
        }
    }
    return nodes;
}

}  // namespace

std::vector<uint8_t> buildTransferImage(const ProgramStore& store) {
    std::vector<uint8_t> image(kTransferImageSize);
    const auto source = store.image();
    std::copy(source.begin(), source.end(), image.begin());
    bool ended = false;
    for (size_t k = 0; k < ProgramStore::kSlotCount; ++k) {
        const size_t slotAt = k * kSlotSize;
        const size_t entryAt = kTransferSlotsSize + k * kOrderEntrySize;
        if (ended) {
            putBig16(image, slotAt, kUnusedSlot);
            putBig16(image, entryAt, kUnusedSlot);
            putBig16(image, entryAt + 2, kUnusedSlot);
            continue;
        }
        const uint16_t number = store.instruction(k);
        putBig16(image, slotAt, number);
        putBig16(image, entryAt, static_cast<uint16_t>(k));
        putBig16(image, entryAt + 2, kUnusedSlot);
        ended = number == 0;
        const InstrDesc* instr = instruction(number);
        if (instr == nullptr) continue;
        for (size_t j = 0; j < std::min<size_t>(instr->paramCount, kMaxParams); ++j) {
            const size_t at = valueAt(k, j);
            switch (classify(instr->params[j].kind)) {
            case KindClass::Integer:
            case KindClass::Hex:
            case KindClass::Choice:
                putBig16(image, at, store.shortValue(k, j));
                image[at + 2] = 0;
                image[at + 3] = 0;
                break;
            case KindClass::Decimal:
                std::reverse(image.begin() + static_cast<std::ptrdiff_t>(at),
                             image.begin() + static_cast<std::ptrdiff_t>(at + 4));
                break;
            case KindClass::Text:
            case KindClass::None:
                break;
            }
        }
    }
    return image;
}

DecodeResult decodeTransferImage(std::span<const uint8_t> image, ProgramModel& program) {
    DecodeResult result;
    if (image.size() < kTransferImageSize) {
        result.failed = true;
        result.lines.emplace_back("RECEIVED USER PROGRAM IS INCOMPLETE.");
        result.problem = "The program is incomplete.";
        return result;
    }
    ProgramStore store = program.store;
    std::vector<ProgramNode> nodes;
    bool ended = false;
    for (size_t k = 0; k < ProgramStore::kSlotCount && !ended; ++k) {
        const uint16_t from = big16(image, kTransferSlotsSize + k * kOrderEntrySize);
        if (from >= ProgramStore::kSlotCount) {
            result.lines.push_back(positionLine(k, from, std::nullopt));
            result.problem =
                instructionProblem(k, "is in slot " + std::to_string(from) + ", past the last slot 511.");
            result.failed = true;
            return result;
        }
        const uint16_t number = big16(image, from * kSlotSize);
        store.setInstruction(k, number);
        const InstrDesc* instr = instruction(number);
        if (instr == nullptr) {
            result.lines.push_back(positionLine(k, from, number));
            result.problem = instructionProblem(k, "has the unknown number " + std::to_string(number) + ".");
            result.failed = true;
            return result;
        }
        ProgramNode node{std::string(instr->name), {}};
        for (std::string& text : decodeSlot(image, from, k, *instr, store))
            node.children.push_back({std::move(text), {}});
        nodes.push_back(std::move(node));
        ended = number == 0;
    }
    if (!ended) {
        result.lines.emplace_back("RECEIVED USER PROGRAM HAS NO PGM END.");
        result.problem = "The program has no PGM END.";
        result.failed = true;
        return result;
    }
    program.store = store;
    program.tree.clear();
    for (size_t k = 0; k < nodes.size(); ++k) {
        program.tree.append({}, nodes[k].text);
        for (const ProgramNode& child : nodes[k].children)
            program.tree.append({k}, child.text);
    }
    return result;
}

}  // namespace vrn

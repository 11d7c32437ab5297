#include "core/program/program_editor.h"

#include <array>
#include <cstdio>

#include "core/program/catalogue.h"
#include "core/program/node_text.h"

namespace vrn {

namespace {

constexpr std::string_view kEndName = "PGM END";
constexpr std::string_view kNmeaDefaultHeader = "WIMWV";

// The catalogue's initial value truncated toward zero to an unsigned 16-bit number.
uint16_t initialShort(const ParamDesc& param) {
    return static_cast<uint16_t>(static_cast<int32_t>(param.initial));
}

}  // namespace

ProgramEditor::ProgramEditor(ProgramModel& program, Host& host, ParameterDialogs& dialogs)
    : program_(program), host_(host), dialogs_(dialogs) {}

void ProgramEditor::showPosition(size_t position) {
    std::array<char, 32> buf{};
    std::snprintf(buf.data(), buf.size(), "Instruction %03i ", static_cast<int>(position + 1));
    label_ = buf.data();
}

std::optional<size_t> ProgramEditor::insertPosition(const char* limitMessage) {
    if (program_.tree.topCount() >= kMaxInstructions) {
        warn(host_, limitMessage);
        return std::nullopt;
    }
    const std::optional<NodePath>& selected = program_.tree.selected();
    if (!selected || isParameterNode(*selected)) {
        host_.beep(BeepKind::Default);
        return std::nullopt;
    }
    return selected->front();
}

std::optional<size_t> ProgramEditor::selectedInstruction(const Refusals& refusals) {
    const std::optional<NodePath>& selected = program_.tree.selected();
    if (!selected) {
        warn(host_, refusals.noSelection);
        return std::nullopt;
    }
    if (!isParameterNode(*selected) && selected->front() + 1 == program_.tree.topCount()) {
        warn(host_, refusals.onEnd);
        return std::nullopt;
    }
    if (isParameterNode(*selected)) {
        warn(host_, refusals.onParameter);
        return std::nullopt;
    }
    return selected->front();
}

void ProgramEditor::insertInstruction(int chooserPosition) {
    const std::optional<size_t> position =
        insertPosition("Instruction count limited to 512.\nCannot Insert.");
    if (!position) return;
    const uint32_t number = static_cast<uint32_t>(chooserPosition) + 1;
    const InstrDesc* instr = chooserPosition >= 0 ? instruction(number) : nullptr;
    if (instr == nullptr) {
        host_.beep(BeepKind::Default);
        return;
    }
    const size_t p = *position;
    ProgramStore& store = program_.store;
    program_.tree.insert({p}, std::string(instr->name));
    store.moveUpFrom(p);
    // A fresh slot: no text or unused field carries over from the instruction it was copied from.
    store.clearSlot(p);
    store.setInstruction(p, static_cast<uint16_t>(number));
    for (size_t j = 0; j < instr->paramCount; ++j) {
        const ParamDesc& param = instr->params[j];
        std::string value;
        switch (classify(param.kind)) {
        case KindClass::Integer: {
            const uint16_t v = initialShort(param);
            value = formatInteger(v, param.width);
            store.setIntValue(p, j, v);
            store.setTextField(p, j, value);
            break;
        }
        case KindClass::Decimal:
            value = formatDecimal(param.initial, decimalsOf(param));
            store.setFloatValue(p, j, param.initial);
            store.setTextField(p, j, value);
            break;
        case KindClass::Text:
            store.setShortValue(p, j, initialShort(param));
            if (instr->name.find("NMEA") != std::string_view::npos) store.setTextArea(p, kNmeaDefaultHeader);
            value = textAreaAsStored(store.textArea(p));
            break;
        case KindClass::Hex: {
            const uint16_t v = initialShort(param);
            value = formatHex(v);
            store.setShortValue(p, j, v);
            store.setTextField(p, j, value);
            break;
        }
        case KindClass::Choice:
            store.setShortValue(p, j, initialShort(param));
            value = choiceTextOrEmpty(param.kind, initialShort(param));
            break;
        case KindClass::None:
            break;
        }
        program_.tree.append({p}, paramNodeText(param, value));
    }
    showPosition(p + 1);
}

void ProgramEditor::deleteInstruction(DeleteBy by, bool confirmDelete) {
    const Refusals refusals{"Please select an instruction to delete.", "PGM END cannot be deleted.",
                            by == DeleteBy::Button
                                ? "Parameters cannot be deleted.\nPlease select an instruction"
                                : "Parameters cannot be deleted.\nPlease select an instruction."};
    const std::optional<size_t> position = selectedInstruction(refusals);
    if (!position) return;
    if (by == DeleteBy::Button && confirmDelete && !confirm(host_, "Delete selected instruction?")) return;
    removeInstruction(*position);
}

void ProgramEditor::removeInstruction(size_t position) {
    if (position < ProgramStore::kSlotCount) program_.store.moveDownTo(position);
    program_.tree.remove({position});
    // The instruction that took its place becomes the selection, as the tree control would do.
    program_.tree.select(NodePath{position});
    showPosition(position);
}

void ProgramEditor::copyInstruction() {
    const std::optional<size_t> position =
        selectedInstruction({"Please select an instruction to copy.", "PGM END cannot be copied.",
                             "Parameters cannot be copied.\nPlease select an instruction."});
    if (!position) return;
    if (*position >= ProgramStore::kSlotCount) {
        host_.beep(BeepKind::Default);
        return;
    }
    clipboard_ = program_.store.slot(*position);
}

void ProgramEditor::cutInstruction() {
    const std::optional<size_t> position =
        selectedInstruction({"Please select an instruction to cut.", "PGM END cannot be cut.",
                             "Parameters cannot be cut.\nPlease select an instruction."});
    if (!position) return;
    if (*position >= ProgramStore::kSlotCount) {
        host_.beep(BeepKind::Default);
        return;
    }
    clipboard_ = program_.store.slot(*position);
    removeInstruction(*position);
}

void ProgramEditor::pasteInstruction() {
    if (!clipboard_) return;
    const std::optional<size_t> position =
        insertPosition("Instruction count limited to 512.\nCannot insert.");
    if (!position) return;
    const uint16_t number = static_cast<uint16_t>((*clipboard_)[0] | ((*clipboard_)[1] << 8));
    const InstrDesc* instr = instruction(number);
    if (instr == nullptr) {
        host_.beep(BeepKind::Default);
        return;
    }
    const size_t p = *position;
    program_.tree.insert({p}, std::string(instr->name));
    program_.store.moveUpFrom(p);
    program_.store.setSlot(p, *clipboard_);
    for (size_t j = 0; j < instr->paramCount; ++j)
        program_.tree.append({p}, renderedParamNode(program_.store, p, j, instr->params[j]));
    showPosition(p + 1);
}

bool ProgramEditor::newProgram() {
    if (!confirm(host_, "Erase all current instructions to start a new program?")) return false;
    program_.tree.clear();
    for (size_t k = 0; k < ProgramStore::kSlotCount; ++k)
        program_.store.setInstruction(k, 0);
    program_.tree.append({}, std::string(kEndName));
    // Nothing is selected, so no instruction is named.
    label_.clear();
    return true;
}

void ProgramEditor::editSelectedParameter() {
    const std::optional<NodePath>& selected = program_.tree.selected();
    if (!selected) {
        warn(host_, "Please select a parameter");
        return;
    }
    if (!isParameterNode(*selected)) {
        warn(host_, "Cannot edit an instruction.\nPlease select a parameter.");
        return;
    }
    if (const std::optional<ParamTarget> target = resolveParameter(program_, *selected))
        editParameter(program_, *target, dialogs_);
}

void ProgramEditor::doubleClick(bool editEnabled) {
    const std::optional<NodePath>& selected = program_.tree.selected();
    if (!selected || !isParameterNode(*selected)) return;
    if (editEnabled)
        editSelectedParameter();
    else
        warn(host_, "Enable Edit must be checked.");
}

void ProgramEditor::selectionChanged(std::optional<NodePath> path) {
    program_.tree.select(path);
    if (path && !isParameterNode(*path)) showPosition(path->front());
}

}  // namespace vrn

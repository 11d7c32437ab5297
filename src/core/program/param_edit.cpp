#include "core/program/param_edit.h"

#include "core/program/node_text.h"
#include "core/text/cp1252.h"
#include "core/text/utf8.h"

namespace vrn {

std::optional<ParamTarget> resolveParameter(const ProgramModel& program, const NodePath& node) {
    if (node.size() != 2 || program.tree.find(node) == nullptr) return std::nullopt;
    const size_t slot = node[0];
    const size_t index = node[1];
    if (slot >= ProgramStore::kSlotCount) return std::nullopt;
    const InstrDesc* instr = instruction(program.store.instruction(slot));
    if (instr == nullptr || index >= instr->paramCount) return std::nullopt;
    return ParamTarget{node, slot, index, instr->params[index]};
}

EditBoxSetup editBoxSetup(const ProgramModel& program, const ParamTarget& target) {
    const ProgramStore& store = program.store;
    if (classify(target.param.kind) == KindClass::Text)
        return {textAreaToDisplay(store.textArea(target.slot)), target.param.width};
    return {text::cp1252ToUtf8(store.textField(target.slot, target.index)), target.param.width};
}

void applyIntegerInput(ProgramModel& program, const ParamTarget& target, std::string_view input) {
    const int32_t value = readIntegerInput(input);
    const std::string shown = formatInteger(value, target.param.width);
    program.store.setIntValue(target.slot, target.index, value);
    program.store.setTextField(target.slot, target.index, shown);
    program.tree.setText(target.node, paramNodeText(target.param, shown));
}

void applyDecimalInput(ProgramModel& program, const ParamTarget& target, std::string_view input) {
    program.store.setFloatValue(target.slot, target.index, readDecimalInput(input));
    program.store.setTextField(target.slot, target.index, text::utf8ToCp1252(input));
    program.tree.setText(target.node, paramNodeText(target.param, input));
}

void applyHexInput(ProgramModel& program, const ParamTarget& target, std::string_view input) {
    const uint16_t value = readHexInput(input);
    const std::string shown = formatHex(value);
    program.store.setShortValue(target.slot, target.index, value);
    program.store.setTextField(target.slot, target.index, shown);
    program.tree.setText(target.node, paramNodeText(target.param, shown));
}

void applyTextInput(ProgramModel& program, const ParamTarget& target, std::string_view input) {
    program.store.setTextArea(target.slot, textAreaFromDisplay(input));
    // Left-aligned and padded with blanks to the width, as "%-*s" does.
    std::string shown(input);
    for (size_t n = text::utf8Length(input); n < target.param.width; ++n)
        shown += ' ';
    program.tree.setText(target.node, paramNodeText(target.param, shown));
}

void applyChoice(ProgramModel& program, const ParamTarget& target, int choice) {
    const std::optional<std::string_view> text =
        choice >= 0 ? choiceText(target.param.kind, static_cast<uint32_t>(choice)) : std::nullopt;
    if (!text) return;
    program.store.setShortValue(target.slot, target.index, static_cast<uint16_t>(choice));
    program.tree.setText(target.node, paramNodeText(target.param, *text));
}

void editParameter(ProgramModel& program, const ParamTarget& target, ParameterDialogs& dialogs) {
    switch (classify(target.param.kind)) {
    case KindClass::Integer:
        if (auto input = dialogs.EditInt(editBoxSetup(program, target)))
            applyIntegerInput(program, target, *input);
        return;
    case KindClass::Decimal:
        if (auto input = dialogs.EditFloat(editBoxSetup(program, target)))
            applyDecimalInput(program, target, *input);
        return;
    case KindClass::Hex:
        if (auto input = dialogs.EditHex(editBoxSetup(program, target)))
            applyHexInput(program, target, *input);
        return;
    case KindClass::Text:
        if (auto input = dialogs.EditText(editBoxSetup(program, target)))
            applyTextInput(program, target, *input);
        return;
    case KindClass::Choice: {
        const ChoiceList* list = choiceList(target.param.kind);
        if (list == nullptr) return;
        std::vector<std::string> choices(list->texts.begin(), list->texts.begin() + list->count);
        const uint16_t current = program.store.shortValue(target.slot, target.index);
        if (auto choice = dialogs.EditType(choices, current < list->count ? current : -1))
            applyChoice(program, target, *choice);
        return;
    }
    case KindClass::None:
        return;
    }
}

}  // namespace vrn

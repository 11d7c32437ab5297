#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/program/catalogue.h"
#include "core/program/param_input.h"
#include "core/program/program_model.h"

namespace vrn {

// What an edit-box dialog opens with: the text (whole text selected) and the most characters
// that may be typed.
struct EditBoxSetup {
    std::string text;
    int maxLength = 0;
};

// The five modal parameter dialogs. Each returns the user's input on OK and nothing on Cancel.
class ParameterDialogs {
public:
    virtual ~ParameterDialogs() = default;
    virtual std::optional<std::string> EditInt(const EditBoxSetup& setup) = 0;
    virtual std::optional<std::string> EditFloat(const EditBoxSetup& setup) = 0;
    virtual std::optional<std::string> EditHex(const EditBoxSetup& setup) = 0;
    virtual std::optional<std::string> EditText(const EditBoxSetup& setup) = 0;
    // The list's texts in order and the current index (-1 when the value names no text);
    // returns the chosen index.
    virtual std::optional<int> EditType(const std::vector<std::string>& choices, int current) = 0;
};

// A parameter node resolved against the store and the catalogue.
struct ParamTarget {
    NodePath node;
    size_t slot = 0;
    size_t index = 0;
    ParamDesc param;
};

// The parameter a node stands for: a child of a top-level node whose slot exists and holds a
// catalogued instruction with that many parameters. Nothing otherwise.
std::optional<ParamTarget> resolveParameter(const ProgramModel& program, const NodePath& node);

// Opens the dialog for the parameter's kind, filled from the slot; on OK writes the value, the
// text field or text area, and the node text. Cancel changes nothing.
void editParameter(ProgramModel& program, const ParamTarget& target, ParameterDialogs& dialogs);

// What the dialog of the target's kind opens with.
EditBoxSetup editBoxSetup(const ProgramModel& program, const ParamTarget& target);

// The write-back of OK for each kind, given the input as typed (UTF-8) or the chosen index.
void applyIntegerInput(ProgramModel& program, const ParamTarget& target, std::string_view input);
void applyDecimalInput(ProgramModel& program, const ParamTarget& target, std::string_view input);
void applyHexInput(ProgramModel& program, const ParamTarget& target, std::string_view input);
void applyTextInput(ProgramModel& program, const ParamTarget& target, std::string_view input);
void applyChoice(ProgramModel& program, const ParamTarget& target, int choice);

}  // namespace vrn

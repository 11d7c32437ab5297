#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "core/link/host.h"
#include "core/program/param_edit.h"
#include "core/program/program_model.h"

namespace vrn {

// The program editor's operations on the store and the tree, with their messages, questions and
// beeps through the Host. The window's controls call these and show the state kept here.
class ProgramEditor {
public:
    ProgramEditor(ProgramModel& program, Host& host, ParameterDialogs& dialogs);

    // Which delete: the button (asks when Confirm is checked) or the context menu (never asks).
    enum class DeleteBy : uint8_t { Button, Menu };

    // Inserts instruction chooserPosition + 1 before the selected instruction.
    void insertInstruction(int chooserPosition);
    void deleteInstruction(DeleteBy by, bool confirmDelete);
    void copyInstruction();
    void cutInstruction();
    void pasteInstruction();
    // True when the user agreed and the program was erased.
    bool newProgram();
    void editSelectedParameter();
    void doubleClick(bool editEnabled);
    // The tree's selection moved to path (nothing selected when empty).
    void selectionChanged(std::optional<NodePath> path);

    const std::string& labelText() const { return label_; }
    bool pasteEnabled() const { return clipboard_.has_value(); }

    static constexpr size_t kMaxInstructions = ProgramStore::kSlotCount;

private:
    // Refusal checks shared by delete, cut and copy; the texts name the operation.
    struct Refusals {
        const char* noSelection;
        const char* onEnd;
        const char* onParameter;
    };
    // The selected instruction's position, or nothing after showing the refusal.
    std::optional<size_t> selectedInstruction(const Refusals& refusals);
    // The position to insert before, or nothing after a refusal.
    std::optional<size_t> insertPosition(const char* limitMessage);
    void removeInstruction(size_t position);
    void showPosition(size_t position);

    ProgramModel& program_;
    Host& host_;
    ParameterDialogs& dialogs_;
    std::optional<ProgramStore::Slot> clipboard_;
    std::string label_ = "Instruction 1";
};

}  // namespace vrn

#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "core/program/catalogue.h"
#include "core/program/param_edit.h"
#include "core/program/program_editor.h"
#include "core/program/program_model.h"
#include "recording_host.h"

namespace vrn::test {

// Parameter dialogs answered from a script; every opening is kept.
class ScriptedDialogs : public ParameterDialogs {
public:
    struct Opening {
        std::string dialog;
        EditBoxSetup setup;
        std::vector<std::string> choices;
        int current = -1;
    };

    std::optional<std::string> EditInt(const EditBoxSetup& s) override { return box("EditInt", s); }
    std::optional<std::string> EditFloat(const EditBoxSetup& s) override { return box("EditFloat", s); }
    std::optional<std::string> EditHex(const EditBoxSetup& s) override { return box("EditHex", s); }
    std::optional<std::string> EditText(const EditBoxSetup& s) override { return box("EditText", s); }
    std::optional<int> EditType(const std::vector<std::string>& choices, int current) override {
        Opening opening;
        opening.dialog = "EditType";
        opening.choices = choices;
        opening.current = current;
        openings.push_back(std::move(opening));
        if (choiceAnswers.empty()) return std::nullopt;
        auto answer = choiceAnswers.front();
        choiceAnswers.pop_front();
        return answer;
    }

    std::vector<Opening> openings;
    std::deque<std::optional<std::string>> textAnswers;  // nothing is Cancel
    std::deque<std::optional<int>> choiceAnswers;

private:
    std::optional<std::string> box(const char* name, const EditBoxSetup& setup) {
        Opening opening;
        opening.dialog = name;
        opening.setup = setup;
        openings.push_back(std::move(opening));
        if (textAnswers.empty()) return std::nullopt;
        auto answer = textAnswers.front();
        textAnswers.pop_front();
        return answer;
    }
};

// A program editor on a recording host, with helpers that act as the user would.
struct ProgramRig {
    RecordingHost host;
    ProgramModel program;
    ScriptedDialogs dialogs;
    ProgramEditor editor{program, host, dialogs};

    static int chooserPosition(std::string_view name) {
        for (uint32_t n = 1; n < kInstructionCount; ++n)
            if (instruction(n)->name == name) return static_cast<int>(n - 1);
        return -1;
    }
    void select(NodePath path) { editor.selectionChanged(std::move(path)); }
    void setSelection(std::optional<NodePath> path) { editor.selectionChanged(std::move(path)); }
    void selectEnd() { select({program.tree.topCount() - 1}); }
    // Inserts before the selection, the way the button does with the chooser on that name.
    void insert(std::string_view name) { editor.insertInstruction(chooserPosition(name)); }
    // The children's texts of top-level node p.
    std::vector<std::string> params(size_t p) const {
        std::vector<std::string> out;
        for (const ProgramNode& n : program.tree.topLevel().at(p).children)
            out.push_back(n.text);
        return out;
    }
    std::vector<std::string> instructions() const {
        std::vector<std::string> out;
        for (const ProgramNode& n : program.tree.topLevel())
            out.push_back(n.text);
        return out;
    }
    std::vector<std::string> boxTexts() const {
        std::vector<std::string> out;
        for (const auto& b : host.boxes)
            out.push_back(b.text);
        return out;
    }
};

}  // namespace vrn::test

#include "gui/program/parameter_dialog_set.h"

#include <utility>

#include "gui/program/edit_box_dialog.h"
#include "gui/program/edit_type_dialog.h"

namespace vrn::gui {

ParameterDialogSet::ParameterDialogSet(std::function<QPoint()> position) : position_(std::move(position)) {}

namespace {

// Places the dialog and runs it; a dialog not created yet answers Cancel.
template <typename Form, typename... Args>
auto runPlaced(Form* form, const QPoint& at, const Args&... args) -> decltype(form->run(args...)) {
    if (form == nullptr) return std::nullopt;
    form->move(at);
    return form->run(args...);
}

}  // namespace

std::optional<std::string> ParameterDialogSet::EditInt(const EditBoxSetup& setup) {
    return runPlaced(forms_.editInt, position_(), setup);
}

std::optional<std::string> ParameterDialogSet::EditFloat(const EditBoxSetup& setup) {
    return runPlaced(forms_.editFloat, position_(), setup);
}

std::optional<std::string> ParameterDialogSet::EditHex(const EditBoxSetup& setup) {
    return runPlaced(forms_.editHex, position_(), setup);
}

std::optional<std::string> ParameterDialogSet::EditText(const EditBoxSetup& setup) {
    return runPlaced(forms_.editText, position_(), setup);
}

std::optional<int> ParameterDialogSet::EditType(const std::vector<std::string>& choices, int current) {
    return runPlaced(forms_.editType, position_(), choices, current);
}

}  // namespace vrn::gui

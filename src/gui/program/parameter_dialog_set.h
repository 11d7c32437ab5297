#pragma once

#include <QPoint>
#include <functional>

#include "core/program/param_edit.h"

namespace vrn::gui {

class TFormEditInt;
class TFormEditFloat;
class TFormEditHex;
class TFormEditText;
class TFormEditType;

// The five dialogs the window creates at start-up, as the program editor opens them: each one
// placed where position() says before it is shown. The window hands them over with setForms()
// once it has created them; until then every edit is a Cancel.
class ParameterDialogSet : public ParameterDialogs {
public:
    struct Forms {
        TFormEditInt* editInt;
        TFormEditFloat* editFloat;
        TFormEditHex* editHex;
        TFormEditText* editText;
        TFormEditType* editType;
    };

    explicit ParameterDialogSet(std::function<QPoint()> position);
    void setForms(const Forms& forms) { forms_ = forms; }

    std::optional<std::string> EditInt(const EditBoxSetup& setup) override;
    std::optional<std::string> EditFloat(const EditBoxSetup& setup) override;
    std::optional<std::string> EditHex(const EditBoxSetup& setup) override;
    std::optional<std::string> EditText(const EditBoxSetup& setup) override;
    std::optional<int> EditType(const std::vector<std::string>& choices, int current) override;

private:
    Forms forms_{};
    std::function<QPoint()> position_;
};

}  // namespace vrn::gui

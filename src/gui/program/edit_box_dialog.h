#pragma once

#include <QDialog>
#include <optional>
#include <string>

#include "core/link/host.h"
#include "core/program/param_edit.h"
#include "core/program/param_input.h"

class QLineEdit;
class QPushButton;

namespace vrn::gui {

class KeyFilterValidator;

// A parameter dialog with one edit box `Edit1`, `Button1` "&Ok" and `Button2` "&Cancel". Keys
// the parameter's kind refuses are dropped with the system beep, and so is pasted or dropped
// text that holds one; Enter accepts.
class EditBoxDialog : public QDialog {
public:
    EditBoxDialog(const QString& caption, EditBoxKind kind, Host& host, QWidget* parent);

    // Fills the box, shows the dialog modally and returns the input on OK.
    std::optional<std::string> run(const EditBoxSetup& setup);

    QLineEdit* edit() const { return edit_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    EditBoxKind kind_;
    Host& host_;
    QLineEdit* edit_;
    KeyFilterValidator* validator_ = nullptr;
};

class TFormEditInt : public EditBoxDialog {
public:
    TFormEditInt(Host& host, QWidget* parent);
};

class TFormEditFloat : public EditBoxDialog {
public:
    TFormEditFloat(Host& host, QWidget* parent);
};

class TFormEditHex : public EditBoxDialog {
public:
    TFormEditHex(Host& host, QWidget* parent);
};

class TFormEditText : public EditBoxDialog {
public:
    TFormEditText(Host& host, QWidget* parent);
};

}  // namespace vrn::gui

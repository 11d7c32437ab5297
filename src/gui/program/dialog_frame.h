#pragma once

class QDialog;
class QPushButton;
class QWidget;

namespace vrn::gui {

struct DialogButtons {
    QPushButton* ok;
    QPushButton* cancel;
};

// Lays a parameter dialog out as its one input field above `Button1` "&Ok" and `Button2`
// "&Cancel", at a fixed size. Neither button is a default: Enter is the field's own business.
DialogButtons layOutParameterDialog(QDialog& dialog, QWidget* field);

}  // namespace vrn::gui

#include "gui/program/dialog_frame.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace vrn::gui {

DialogButtons layOutParameterDialog(QDialog& dialog, QWidget* field) {
    auto* ok = new QPushButton("&Ok", &dialog);
    ok->setObjectName("Button1");
    ok->setAutoDefault(false);
    auto* cancel = new QPushButton("&Cancel", &dialog);
    cancel->setObjectName("Button2");
    cancel->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(field);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    return {ok, cancel};
}

}  // namespace vrn::gui

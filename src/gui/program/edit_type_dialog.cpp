#include "gui/program/edit_type_dialog.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QPushButton>

#include "gui/program/dialog_frame.h"

namespace vrn::gui {

TFormEditType::TFormEditType(QWidget* parent) : QDialog(parent), list_(new QComboBox(this)) {
    setObjectName("TFormEditType");
    setWindowTitle("Edit Parameter Type");
    list_->setObjectName("ComboBox1");
    list_->setEditable(false);
    list_->installEventFilter(this);
    const DialogButtons b = layOutParameterDialog(*this, list_);
    connect(b.ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(b.cancel, &QPushButton::clicked, this, &QDialog::reject);
}

std::optional<int> TFormEditType::run(const std::vector<std::string>& choices, int current) {
    list_->clear();
    for (const std::string& text : choices)
        list_->addItem(QString::fromStdString(text));
    list_->setCurrentIndex(current);
    list_->setFocus();
    if (exec() != QDialog::Accepted) return std::nullopt;
    return list_->currentIndex();
}

bool TFormEditType::eventFilter(QObject* watched, QEvent* event) {
    if (watched != list_ || event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        accept();
        return true;
    }
    if (!key->text().isEmpty() && key->text().at(0).isPrint()) list_->showPopup();
    return false;
}

}  // namespace vrn::gui

#include "gui/program/edit_box_dialog.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

#include "gui/program/dialog_frame.h"

namespace vrn::gui {

EditBoxDialog::EditBoxDialog(const QString& caption, EditBoxKind kind, Host& host, QWidget* parent)
    : QDialog(parent), kind_(kind), host_(host), edit_(new QLineEdit(this)) {
    setWindowTitle(caption);
    edit_->setObjectName("Edit1");
    edit_->installEventFilter(this);
    const DialogButtons b = layOutParameterDialog(*this, edit_);
    connect(b.ok, &QPushButton::clicked, this, [this] {
        edit_->setFocus();
        accept();
    });
    connect(b.cancel, &QPushButton::clicked, this, [this] {
        edit_->setFocus();
        reject();
    });
}

std::optional<std::string> EditBoxDialog::run(const EditBoxSetup& setup) {
    edit_->setMaxLength(setup.maxLength > 0 ? setup.maxLength : 1);
    edit_->setText(QString::fromStdString(setup.text));
    edit_->selectAll();
    edit_->setFocus();
    if (exec() != QDialog::Accepted) return std::nullopt;
    return edit_->text().toStdString();
}

bool EditBoxDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched != edit_ || event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        accept();
        return true;
    }
    if (key->key() == Qt::Key_Backspace) return false;
    const QString text = key->text();
    // Only printable characters are the parameter's business. Keys without one (arrows, Home,
    // Delete) and keys that carry a control character (Esc cancels, Tab moves to the buttons) act
    // as usual.
    if (text.isEmpty()) return false;
    const char32_t c = text.toUcs4().value(0);
    if (c < 0x20 || c == 0x7F || keyPasses(kind_, c)) return false;
    host_.beep(BeepKind::Default);
    return true;
}

TFormEditInt::TFormEditInt(Host& host, QWidget* parent)
    : EditBoxDialog("Edit Integer Number", EditBoxKind::Integer, host, parent) {
    setObjectName("TFormEditInt");
}

TFormEditFloat::TFormEditFloat(Host& host, QWidget* parent)
    : EditBoxDialog("Edit Decimal Number", EditBoxKind::Decimal, host, parent) {
    setObjectName("TFormEditFloat");
}

TFormEditHex::TFormEditHex(Host& host, QWidget* parent)
    : EditBoxDialog("Edit Hex Number", EditBoxKind::Hex, host, parent) {
    setObjectName("TFormEditHex");
}

TFormEditText::TFormEditText(Host& host, QWidget* parent)
    : EditBoxDialog("Edit Text", EditBoxKind::Text, host, parent) {
    setObjectName("TFormEditText");
    edit()->setToolTip("Use '\\\" character to denote end of string.");
}

}  // namespace vrn::gui

#include "gui/program/edit_box_dialog.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QValidator>

#include "gui/program/dialog_frame.h"

namespace vrn::gui {
namespace {

bool characterPasses(EditBoxKind kind, char32_t c) {
    return c >= 0x20 && c != 0x7F && keyPasses(kind, c);
}

}  // namespace

// Text that arrives other than by a key (pasted, dropped, the selection's middle click) meets
// the key filter too: what it would add is refused whole, with the same beep, if one character
// of it is a key the filter would drop.
class KeyFilterValidator : public QValidator {
public:
    KeyFilterValidator(EditBoxKind kind, Host& host, QLineEdit& edit)
        : QValidator(&edit), kind_(kind), host_(host) {
        connect(&edit, &QLineEdit::textChanged, this, [this](const QString& text) { before_ = text; });
    }

    // The text about to be put in by the program, which is taken as it is.
    void expect(const QString& text) { before_ = text; }

    State validate(QString& input, int&) const override {
        // Only what the change adds is checked, against the text before it: the box already holds
        // the new text while it is validated.
        qsizetype prefix = 0;
        while (prefix < before_.size() && prefix < input.size() && before_[prefix] == input[prefix])
            ++prefix;
        qsizetype suffix = 0;
        while (suffix < before_.size() - prefix && suffix < input.size() - prefix &&
               before_[before_.size() - 1 - suffix] == input[input.size() - 1 - suffix])
            ++suffix;
        for (const char32_t c : input.mid(prefix, input.size() - prefix - suffix).toUcs4()) {
            if (!characterPasses(kind_, c)) {
                host_.beep(BeepKind::Default);
                return Invalid;
            }
        }
        return Acceptable;
    }

private:
    EditBoxKind kind_;
    Host& host_;
    QString before_;
};

EditBoxDialog::EditBoxDialog(const QString& caption, EditBoxKind kind, Host& host, QWidget* parent)
    : QDialog(parent), kind_(kind), host_(host), edit_(new QLineEdit(this)) {
    setWindowTitle(caption);
    edit_->setObjectName("Edit1");
    edit_->installEventFilter(this);
    validator_ = new KeyFilterValidator(kind, host, *edit_);
    edit_->setValidator(validator_);
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
    const QString text = QString::fromStdString(setup.text);
    validator_->expect(text);
    edit_->setText(text);
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
    // Pasting is the line's own business; what it would add is checked by the validator.
    if (key->key() == Qt::Key_Backspace || key->matches(QKeySequence::Paste)) return false;
    const QString text = key->text();
    // Only printable characters are the parameter's business. Keys without one (arrows, Home,
    // Delete) and keys that carry a control character (Esc cancels, Tab moves to the buttons) act
    // as usual.
    if (text.isEmpty()) return false;
    const char32_t c = text.toUcs4().value(0);
    if (c < 0x20 || c == 0x7F || characterPasses(kind_, c)) return false;
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

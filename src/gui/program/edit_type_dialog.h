#pragma once

#include <QDialog>
#include <optional>
#include <string>
#include <vector>

class QComboBox;

namespace vrn::gui {

// The choice dialog: the drop-down list `ComboBox1` (no typing; a key drops it down), `Button1`
// "&Ok" and `Button2` "&Cancel". Enter accepts.
class TFormEditType : public QDialog {
public:
    explicit TFormEditType(QWidget* parent);

    // Shows the texts with the current one selected (none for -1); returns the chosen index.
    std::optional<int> run(const std::vector<std::string>& choices, int current);

    QComboBox* list() const { return list_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QComboBox* list_;
};

}  // namespace vrn::gui

#include "gui/app/pages.h"

#include <QTabWidget>

namespace vrn::gui {

void PageTab::show() const {
    control_->setCurrentWidget(sheet_);
}

bool PageTab::shown() const {
    return control_->currentWidget() == sheet_;
}

}  // namespace vrn::gui

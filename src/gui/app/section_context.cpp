#include "gui/app/section_context.h"

#include <QTabWidget>

namespace vrn::gui {

void SectionContext::showPage(QWidget* page) const {
    pageControl.setCurrentWidget(page);
}

bool SectionContext::isShown(const QWidget* page) const {
    return pageControl.currentWidget() == page;
}

}  // namespace vrn::gui

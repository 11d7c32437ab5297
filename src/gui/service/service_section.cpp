#include "gui/service/service_section.h"

#include <QAction>
#include <QVBoxLayout>

#include "gui/app/main_menu.h"
#include "gui/app/qt_host.h"
#include "gui/service/calibration_page.h"
#include "gui/service/form_calibrate.h"
#include "gui/service/tests_page.h"

namespace vrn::gui {
namespace {

void fill(QWidget* tab, QWidget* page) {
    auto* layout = new QVBoxLayout(tab);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(page);
}

}  // namespace

ServiceSection::ServiceSection(const SectionContext& context) : QObject(&context.window), ctx_(context) {
    calibration_ = new CalibrationPage(ctx_.exchange, ctx_.pages.TabSheetCalib);
    fill(ctx_.pages.TabSheetCalib, calibration_);
    tests_ = new TestsPage(ctx_.exchange, ctx_.pages.TabSheetTests);
    fill(ctx_.pages.TabSheetTests, tests_);

    formCalibrate_ = new TFormCalibrate(ctx_.host, &ctx_.window);
    formCalibrate_->onAccepted = [this] {
        calibration_->enableCalibration();
        ctx_.showPage(ctx_.pages.TabSheetCalib);
    };
    connect(ctx_.menu.AllowCalibration, &QAction::triggered, formCalibrate_, &QDialog::exec);
    connect(ctx_.menu.FirmwareUpdate1, &QAction::triggered, this, &ServiceSection::FirmwareUpdate1Click);
}

void ServiceSection::FirmwareUpdate1Click() {
    // Its boxes and lines have said how it ended.
    (void)service::FirmwareUpdate1(ctx_.exchange, ctx_.files, firmwareBackup,
                                   currentGroupName ? currentGroupName() : "");
}

}  // namespace vrn::gui

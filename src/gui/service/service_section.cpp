#include "gui/service/service_section.h"

#include <QAction>
#include <QTabWidget>
#include <QVBoxLayout>

#include "gui/app/form_main.h"
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

ServiceSection::ServiceSection(TFormMain& form) : QObject(&form), form_(form) {
    calibration_ = new CalibrationPage(form.exchange(), form.pages().TabSheetCalib);
    fill(form.pages().TabSheetCalib, calibration_);
    tests_ = new TestsPage(form.exchange(), form.pages().TabSheetTests);
    fill(form.pages().TabSheetTests, tests_);

    formCalibrate_ = new TFormCalibrate(form.host(), &form);
    formCalibrate_->onAccepted = [this] {
        calibration_->enableCalibration();
        form_.pageControl()->setCurrentWidget(form_.pages().TabSheetCalib);
    };
    connect(form.menu().AllowCalibration, &QAction::triggered, formCalibrate_, &QDialog::exec);
    connect(form.menu().FirmwareUpdate1, &QAction::triggered, this, &ServiceSection::FirmwareUpdate1Click);
}

void ServiceSection::FirmwareUpdate1Click() {
    service::FirmwareUpdate1(form_.exchange(), files_, firmwareBackup,
                             currentGroupName ? currentGroupName() : "");
}

}  // namespace vrn::gui

#include "gui/service/service_section.h"

#include <QAction>
#include <QVBoxLayout>

#include "core/link/exchange.h"
#include "core/service/firmware_update.h"
#include "gui/app/exchange_guard.h"
#include "gui/app/main_menu.h"
#include "gui/service/calibration_page.h"
#include "gui/service/form_calibrate.h"
#include "gui/service/tests_page.h"
#include "gui/workspace/workspace_section.h"

namespace vrn::gui {
namespace {

void fill(QWidget* tab, QWidget* page) {
    auto* layout = new QVBoxLayout(tab);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(page);
}

}  // namespace

ServiceSection::ServiceSection(QWidget& window, const PageTab& calibration, const PageTab& tests,
                               Exchange& exchange, FileStore& files, ExchangeGuard& guard, MainMenu& menu,
                               WorkspaceSection& workspace)
    : QObject(&window), exchange_(exchange), files_(files), workspace_(workspace) {
    calibration_ = new CalibrationPage(exchange_, calibration.sheet());
    fill(calibration.sheet(), calibration_);
    guard.keepUsable(calibration_->stopButton());
    tests_ = new TestsPage(exchange_, tests.sheet());
    fill(tests.sheet(), tests_);

    formCalibrate_ = new TFormCalibrate(exchange_.host(), &window);
    connect(formCalibrate_, &TFormCalibrate::passwordAccepted, this, [this, calibration] {
        calibration_->enableCalibration();
        calibration.show();
    });
    connect(menu.add(&MainMenuItems::FirmwareUpdate1, this), &QAction::triggered, this,
            &ServiceSection::FirmwareUpdate1Click);
    connect(menu.add(&MainMenuItems::AllowCalibration, this), &QAction::triggered, formCalibrate_,
            &QDialog::exec);
}

std::string ServiceSection::currentGroupName() const {
    return workspace_.currentGroupName();
}

void ServiceSection::FirmwareUpdate1Click() {
    service::FirmwareUpdate1(
        exchange_, files_,
        [this](const std::string& firmwarePath) { return workspace_.backup(firmwarePath); },
        workspace_.currentGroupName());
}

}  // namespace vrn::gui

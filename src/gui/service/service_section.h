#pragma once

#include <QObject>
#include <functional>
#include <string>

#include "core/service/firmware_update.h"
#include "gui/app/section_context.h"

namespace vrn::gui {

class CalibrationPage;
class TestsPage;
class TFormCalibrate;

// The service functions inside the main window: the Calibration and Tests pages, the
// "Calibration Enable" dialog and the Firmware Update menu item.
class ServiceSection : public QObject {
    Q_OBJECT
public:
    explicit ServiceSection(const SectionContext& context);

    CalibrationPage& calibrationPage() { return *calibration_; }
    TestsPage& testsPage() { return *tests_; }
    TFormCalibrate& formCalibrate() { return *formCalibrate_; }

    // What the firmware dialog's backup box runs before the wake: Setup, Screens and Program into
    // a group file. Until it is set, a chosen backup stops the update before anything is sent.
    service::FirmwareBackup firmwareBackup;
    // The status bar text during the update: the current group's name.
    std::function<std::string()> currentGroupName;

private:
    void FirmwareUpdate1Click();

    SectionContext ctx_;
    CalibrationPage* calibration_ = nullptr;
    TestsPage* tests_ = nullptr;
    TFormCalibrate* formCalibrate_ = nullptr;
};

}  // namespace vrn::gui

#pragma once

#include <QObject>
#include <string>

#include "gui/app/pages.h"

namespace vrn {
class Exchange;
class FileStore;
}  // namespace vrn

namespace vrn::gui {

class CalibrationPage;
class ExchangeGuard;
class MainMenu;
class TestsPage;
class TFormCalibrate;
class WorkspaceSection;

// The service functions inside the main window: the Calibration and Tests pages, the
// "Calibration Enable" dialog and the Firmware Update menu item.
class ServiceSection : public QObject {
    Q_OBJECT
public:
    // Stop Calibration stays usable in guard. The firmware update backs the instrument up through
    // workspace, and shows its current group's name.
    ServiceSection(QWidget& window, const PageTab& calibration, const PageTab& tests, Exchange& exchange,
                   FileStore& files, ExchangeGuard& guard, MainMenu& menu, WorkspaceSection& workspace);

    CalibrationPage& calibrationPage() { return *calibration_; }
    TestsPage& testsPage() { return *tests_; }
    TFormCalibrate& formCalibrate() { return *formCalibrate_; }

    // The status bar text during the update: the current group's name.
    std::string currentGroupName() const;

private:
    void FirmwareUpdate1Click();

    Exchange& exchange_;
    FileStore& files_;
    WorkspaceSection& workspace_;
    CalibrationPage* calibration_ = nullptr;
    TestsPage* tests_ = nullptr;
    TFormCalibrate* formCalibrate_ = nullptr;
};

}  // namespace vrn::gui

#include "gui/workspace/workspace_section.h"

#include <QAction>
#include <QPrintDialog>
#include <QPrinter>
#include <QTabWidget>

#include "core/link/clock.h"
#include "core/link/exchange.h"
#include "core/link/host.h"
#include "core/link/usb_port.h"
#include "core/workspace/firmware_backup.h"
#include "core/workspace/report_layout.h"
#include "gui/app/change_tracker.h"
#include "gui/app/file_names.h"
#include "gui/app/form_main.h"
#include "gui/app/qt_host.h"
#include "gui/screens/screens_section.h"
#include "gui/service/service_section.h"
#include "gui/setup/setup_section.h"
#include "print/bmp_picture.h"
#include "print/report_printer.h"

namespace vrn::gui {

WorkspaceSection::WorkspaceSection(TFormMain& form)
    : QObject(&form),
      form_(form),
      programTransfer_(form.exchange(), form.program()),
      workspace_{form.setupSection().model(), form.screensSection().editor(), form.program(), {}},
      transfers_{form.setupSection().transfer(), form.screensSection().transfer(), programTransfer_} {
    QTabWidget* control = form.pageControl();
    const Pages& tabs = form.pages();
    pages_.current = [control] { return control->currentIndex(); };
    pages_.show = [control, tabs](workspace::Page page) {
        switch (page) {
        case workspace::Page::Setup:
            control->setCurrentWidget(tabs.TabSheetSetup);
            break;
        case workspace::Page::Screens:
            control->setCurrentWidget(tabs.TabSheetScreen);
            break;
        case workspace::Page::Program:
            control->setCurrentWidget(tabs.TabSheetUserPgm);
            break;
        }
    };
    pages_.restore = [control](int index) { control->setCurrentIndex(index); };

    const MainMenuItems& menu = form.menu();
    // A part the whole Get does not reach keeps its mark: only a complete run counts as got or sent.
    connect(menu.GetCollection1, &QAction::triggered, this, [this] {
        if (form_.usbPort().isOpen() &&
            !form_.changes().maySaveFirst({Part::Setup, Part::Screens, Part::Program}))
            return;
        if (!workspace::GetCollection1(transfers_, pages_).ok()) return;
        for (Part part : kAllParts)
            form_.changes().loaded(part);
    });
    connect(menu.SendCollection1, &QAction::triggered, this, [this] {
        if (!workspace::SendCollection1(transfers_, pages_).ok()) return;
        for (Part part : kAllParts)
            form_.changes().saved(part);
    });

    connect(menu.PrintProgram1, &QAction::triggered, this, &WorkspaceSection::PrintProgram1Click);

    ServiceSection& service = form.serviceSection();
    service.firmwareBackup = [this](const std::string& firmwarePath) { return backup(firmwarePath); };
    service.currentGroupName = [this] { return workspace_.groupName; };
}

void WorkspaceSection::PrintProgram1Click() {
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog PrintDialog1(&printer, &form_);
    PrintDialog1.setObjectName(QStringLiteral("PrintDialog1"));
    if (PrintDialog1.exec() != QDialog::Accepted) return;
    const workspace::ReportInput input{workspace_.setup, workspace_.program.tree, workspace_.screens.store(),
                                       workspace_.groupName, form_.host().clock().localNow()};
    WaitCursor hourglass(form_.host());
    // A PDF file chosen in the dialog replaces an old one only once the report is drawn whole.
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty()) {
        const std::string path = localFileName(printer.outputFileName());
        std::string error;
        if (!print::saveReportPdf(path, input, files_, error))
            warn(form_.host(), "Cannot write " + path + ".\n" + error);
        return;
    }
    QString error;
    if (!print::printReport(printer, input, error)) warn(form_.host(), error.toStdString());
}

std::optional<std::string> WorkspaceSection::backup(const std::string& firmwarePath) {
    const std::string path = workspace::firmwareBackupPath(firmwarePath, form_.host().clock());
    if (workspace::backupInstrument(form_.exchange(), files_, path, print::bmpPicture) !=
        workspace::BackupOutcome::Written)
        return std::nullopt;
    return path;
}

}  // namespace vrn::gui

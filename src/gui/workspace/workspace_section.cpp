#include "gui/workspace/workspace_section.h"

#include <QAction>
#include <QPrintDialog>
#include <QPrinter>
#include <QTabWidget>

#include "core/link/clock.h"
#include "core/link/exchange.h"
#include "core/link/host.h"
#include "core/link/usb_port.h"
#include "core/setup/setup_transfer.h"
#include "core/workspace/firmware_backup.h"
#include "core/workspace/report_layout.h"
#include "gui/app/change_tracker.h"
#include "gui/app/file_names.h"
#include "gui/app/main_menu.h"
#include "gui/screens/screens_section.h"
#include "print/bmp_picture.h"
#include "print/report_printer.h"

namespace vrn::gui {

WorkspaceSection::WorkspaceSection(QWidget& window, QTabWidget& pageControl, const Pages& pages,
                                   setup::SetupTransfer& setup, ScreensSection& screens,
                                   ProgramModel& program, FileStore& files, ChangeTracker& changes,
                                   MainMenu& menu)
    : QObject(&window),
      window_(window),
      exchange_(setup.exchange()),
      files_(files),
      changes_(changes),
      programTransfer_(exchange_, program),
      workspace_{setup.model(), screens.editor(), program, {}},
      transfers_{setup, screens.transfer(), programTransfer_} {
    QTabWidget* control = &pageControl;
    const Pages tabs = pages;
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

    // A part the whole Get does not reach keeps its mark: only a complete run counts as got or sent.
    connect(menu.add(&MainMenuItems::GetCollection1, this), &QAction::triggered, this, [this] {
        if (exchange_.port().isOpen() && !changes_.maySaveFirst({Part::Setup, Part::Screens, Part::Program}))
            return;
        if (!workspace::GetCollection1(transfers_, pages_).ok()) return;
        for (Part part : kAllParts)
            changes_.loaded(part);
    });
    connect(menu.add(&MainMenuItems::SendCollection1, this), &QAction::triggered, this, [this] {
        if (!workspace::SendCollection1(transfers_, pages_).ok()) return;
        for (Part part : kAllParts)
            changes_.saved(part);
    });

    connect(menu.add(&MainMenuItems::PrintProgram1, this), &QAction::triggered, this,
            &WorkspaceSection::PrintProgram1Click);
}

void WorkspaceSection::PrintProgram1Click() {
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog PrintDialog1(&printer, &window_);
    PrintDialog1.setObjectName(QStringLiteral("PrintDialog1"));
    if (PrintDialog1.exec() != QDialog::Accepted) return;
    const workspace::ReportInput input{workspace_.setup, workspace_.program.tree, workspace_.screens.store(),
                                       workspace_.groupName, exchange_.host().clock().localNow()};
    WaitCursor hourglass(exchange_.host());
    // A PDF file chosen in the dialog replaces an old one only once the report is drawn whole.
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty()) {
        const std::string path = localFileName(printer.outputFileName());
        std::string error;
        if (!print::saveReportPdf(path, input, files_, error))
            warn(exchange_.host(), "Cannot write " + path + ".\n" + error);
        return;
    }
    QString error;
    if (!print::printReport(printer, input, error)) warn(exchange_.host(), error.toStdString());
}

std::optional<std::string> WorkspaceSection::backup(const std::string& firmwarePath) {
    const std::string path = workspace::firmwareBackupPath(firmwarePath, exchange_.host().clock());
    if (workspace::backupInstrument(exchange_, files_, path, print::bmpPicture) !=
        workspace::BackupOutcome::Written)
        return std::nullopt;
    return path;
}

}  // namespace vrn::gui

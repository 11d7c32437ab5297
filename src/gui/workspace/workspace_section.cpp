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
#include "gui/app/main_menu.h"
#include "gui/app/models.h"
#include "gui/app/qt_host.h"
#include "gui/screens/screens_section.h"
#include "gui/service/service_section.h"
#include "print/bmp_picture.h"
#include "print/report_printer.h"

namespace vrn::gui {

int TabPages::current() const {
    return control_.currentIndex();
}

void TabPages::show(workspace::Page page) const {
    switch (page) {
    case workspace::Page::Setup:
        control_.setCurrentWidget(tabs_.TabSheetSetup);
        break;
    case workspace::Page::Screens:
        control_.setCurrentWidget(tabs_.TabSheetScreen);
        break;
    case workspace::Page::Program:
        control_.setCurrentWidget(tabs_.TabSheetUserPgm);
        break;
    }
}

void TabPages::restore(int index) const {
    control_.setCurrentIndex(index);
}

WorkspaceSection::WorkspaceSection(const SectionContext& context, setup::SetupTransfer& setup,
                                   ScreensSection& screens, ServiceSection& service)
    : QObject(&context.window),
      ctx_(context),
      programTransfer_(context.exchange, context.models.program),
      workspace_{context.models.setup, screens.editor(), context.models.program, {}},
      transfers_{setup, screens.transfer(), programTransfer_},
      pages_(context.pageControl, context.pages) {
    const MainMenuItems& menu = ctx_.menu;
    // A part the whole Get does not reach keeps its mark: only a complete run counts as got or sent.
    connect(menu.GetCollection1, &QAction::triggered, this, [this] {
        if (ctx_.usb.isOpen() && !ctx_.changes.maySaveFirst({Part::Setup, Part::Screens, Part::Program}))
            return;
        if (!workspace::GetCollection1(transfers_, pages_).ok()) return;
        for (Part part : kAllParts)
            ctx_.changes.loaded(part);
    });
    connect(menu.SendCollection1, &QAction::triggered, this, [this] {
        if (!workspace::SendCollection1(transfers_, pages_).ok()) return;
        for (Part part : kAllParts)
            ctx_.changes.saved(part);
    });

    connect(menu.PrintProgram1, &QAction::triggered, this, &WorkspaceSection::PrintProgram1Click);

    service.firmwareBackup = [this](const std::string& firmwarePath) { return backup(firmwarePath); };
    service.currentGroupName = [this] { return workspace_.groupName; };
}

void WorkspaceSection::PrintProgram1Click() {
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog PrintDialog1(&printer, &ctx_.window);
    PrintDialog1.setObjectName(QStringLiteral("PrintDialog1"));
    if (PrintDialog1.exec() != QDialog::Accepted) return;
    const workspace::ReportInput input{workspace_.setup, workspace_.program.tree, workspace_.screens.store(),
                                       workspace_.groupName, ctx_.host.clock().localNow()};
    WaitCursor hourglass(ctx_.host);
    // A PDF file chosen in the dialog replaces an old one only once the report is drawn whole.
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty()) {
        const std::string path = localFileName(printer.outputFileName());
        std::string error;
        if (!print::saveReportPdf(path, input, ctx_.files, error))
            warn(ctx_.host, "Cannot write " + path + ".\n" + error);
        return;
    }
    QString error;
    if (!print::printReport(printer, input, error)) warn(ctx_.host, error.toStdString());
}

Result<std::string> WorkspaceSection::backup(const std::string& firmwarePath) {
    const std::string path = workspace::firmwareBackupPath(firmwarePath, ctx_.host.clock());
    Outcome backedUp = workspace::backupInstrument(ctx_.exchange, ctx_.files, path, print::bmpPicture);
    if (!backedUp.ok()) return backedUp;
    return {std::move(backedUp), path};
}

}  // namespace vrn::gui

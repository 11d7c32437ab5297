#include "gui/app/form_main.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <algorithm>

#include "core/link/exchange.h"
#include "core/link/timer1.h"
#include "core/link/usb_port.h"
#include "gui/app/form_about.h"
#include "gui/app/preferences_file.h"
#include "gui/app/qt_host.h"
#include "gui/program/edit_box_dialog.h"
#include "gui/program/edit_type_dialog.h"
#include "gui/program/program_section.h"
#include "gui/program/user_program_page.h"
#include "gui/records/records_section.h"
#include "gui/screens/screens_section.h"
#include "gui/service/service_section.h"
#include "gui/setup/setup_section.h"
#include "gui/workspace/workspace_section.h"

namespace vrn::gui {

TFormMain::TFormMain(Clock& clock, Port& driver, const QString& preferencesPath, QWidget* parent)
    : QMainWindow(parent), preferencesPath_(preferencesPath) {
    buildWindow();
    host_ = std::make_unique<QtHost>(clock, QtHost::Widgets{this, Memo1, ProgressBar, statusPanel_});
    host_->timer().onTick = [this] {
        for (const auto& handler : tickHandlers_)
            handler();
    };
    usb_ = std::make_unique<UsbPort>(driver, *host_);
    exchange_ = std::make_unique<Exchange>(*usb_, *host_);
    host_->guard().endWait = [this] {
        exchange_->WaitAborted = true;
        host_->timer().TimeoutTicks = 0;
    };
    setup_ = new SetupSection(*this);
    screens_ = new ScreensSection(*this);

    prefs_ = readPreferencesFile(preferencesPath_);
    move(prefs_.Left, prefs_.Top);
    userProgram_ = new UserProgramPage(program_, *host_, popup_, pages_.TabSheetUserPgm);
    new ProgramSection(*this);
    records_ = new RecordsSection(*this);

    usb_->OpenUsbPort();

    // The dialogs live for the whole run, created in this order.
    auto* editInt = new TFormEditInt(*host_, this);
    auto* editFloat = new TFormEditFloat(*host_, this);
    auto* editType = new TFormEditType(this);
    auto* editText = new TFormEditText(*host_, this);
    about_ = new TFormAbout(this);
    auto* editHex = new TFormEditHex(*host_, this);
    userProgram_->setParameterDialogs({editInt, editFloat, editHex, editText, editType});
    service_ = new ServiceSection(*this);
    new WorkspaceSection(*this);
    connect(menu_.About1, &QAction::triggered, about_, &QDialog::exec);
    connect(menu_.Exit1, &QAction::triggered, this, &QWidget::close);
    connect(menu_.ReconnectUSB, &QAction::triggered, this, [this] { usb_->ReconnectUSB(); });
    connect(ButtonClearMemo, &QPushButton::clicked, Memo1, &QPlainTextEdit::clear);
    fitToPages();
}

TFormMain::~TFormMain() {
    shutDown();
    // The page mirrors program_, which is gone before QWidget deletes the children.
    delete userProgram_;
}

Timer1& TFormMain::timer() {
    return host_->timer();
}

void TFormMain::addTickHandler(std::function<void()> handler) {
    tickHandlers_.push_back(std::move(handler));
}

void TFormMain::buildWindow() {
    setObjectName(QStringLiteral("TFormMain"));
    setWindowTitle(QString::fromLatin1(kCaption));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);

    menu_ = buildMainMenu(menuBar());
    popup_ = buildPopupMenu(this);
    // A command may hold the window for a moment without letting it paint: the place its menu
    // covered is painted again before the command runs (these connections come first).
    for (QAction* action : findChildren<QAction*>())
        connect(action, &QAction::triggered, this, [this] { repaint(); });

    // The client area below the menu: everything but the status bar sits on the central widget at
    // fixed places.
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("ClientArea"));
    client->setFixedSize(kClientWidth, kClientHeight - kStatusBarHeight);
    setCentralWidget(client);

    PageControlMain = new QTabWidget(client);
    PageControlMain->setObjectName(QStringLiteral("PageControlMain"));
    pages_.TabSheetSetup = addPage("TabSheetSetup", "Setup");
    pages_.TabSheetScreen = addPage("TabSheetScreen", "Screens");
    pages_.TabSheetUserPgm = addPage("TabSheetUserPgm", "User Program");
    pages_.TabSheetRecords = addPage("TabSheetRecords", "Get Records");
    pages_.TabSheetTests = addPage("TabSheetTests", "Tests");
    pages_.TabSheetCalib = addPage("TabSheetCalib", "Calibration");
    PageControlMain->setCurrentWidget(pages_.TabSheetCalib);

    ProgressBar = new QProgressBar(client);
    ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
    ProgressBar->setRange(0, 100);
    ProgressBar->setValue(0);
    ProgressBar->setTextVisible(false);

    Memo1 = new QPlainTextEdit(client);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setFocusPolicy(Qt::ClickFocus);
    // Lines such as the calibration data's eleven columns scroll sideways instead of wrapping.
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);

    ButtonClearMemo = new QPushButton(QStringLiteral("Clear Message Area"), client);
    ButtonClearMemo->setObjectName(QStringLiteral("ButtonClearMemo"));

    // One simple panel; menu hints cover it while shown and it comes back afterwards.
    StatusBar1 = statusBar();
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    // As tall as a larger font needs, else the usual height.
    StatusBar1->setFixedHeight(std::max(kStatusBarHeight, StatusBar1->fontMetrics().height() + 5));
    StatusBar1->setSizeGripEnabled(false);
    statusPanel_ = new QLabel(StatusBar1);
    statusPanel_->setObjectName(QStringLiteral("StatusBar1Panel"));
    StatusBar1->addWidget(statusPanel_, 1);
}

// The pages are laid out in the font the window is given. Where one needs more room than the
// window's usual size offers, the pages, and with them the window, grow by that much; the window
// keeps its arrangement and a fixed size.
void TFormMain::fitToPages() {
    const QSize need = PageControlMain->minimumSizeHint();
    const int dw = std::max(0, need.width() - kPagesWidth);
    const int dh = std::max(0, need.height() - kPagesHeight);
    PageControlMain->setGeometry(13, 8, kPagesWidth + dw, kPagesHeight + dh);
    ProgressBar->setGeometry(13, 399 + dh, kPagesWidth + dw, 17);
    Memo1->setGeometry(13, 424 + dh, kPagesWidth + dw, 201);
    ButtonClearMemo->setGeometry(8, 630 + dh, 537 + dw, 21);
    centralWidget()->setFixedSize(kClientWidth + dw, kClientHeight - kStatusBarHeight + dh);
    setFixedSize(kClientWidth + dw, menuBar()->sizeHint().height() + kClientHeight - kStatusBarHeight + dh +
                                        StatusBar1->minimumHeight());
}

QWidget* TFormMain::addPage(const char* name, const char* caption) {
    auto* page = new QWidget(PageControlMain);
    page->setObjectName(QString::fromLatin1(name));
    PageControlMain->addTab(page, QString::fromLatin1(caption));
    return page;
}

// During an exchange the window closes only once the exchange has ended, which it does at its
// next wait; the port stays open under it until then.
void TFormMain::closeEvent(QCloseEvent* event) {
    if (host_->guard().deferClose()) {
        event->ignore();
        return;
    }
    shutDown();
    event->accept();
}

// Runs once, at the first close or at destruction, whichever comes first. Nothing of the models
// is saved and nothing is asked.
void TFormMain::shutDown() {
    if (shutDown_) return;
    shutDown_ = true;
    prefs_.Top = y();
    prefs_.Left = x();
    // Nothing is asked as the window closes; a failed write keeps the old file and says so on stderr.
    if (!writePreferencesFile(preferencesPath_, prefs_))
        qWarning("VRNComm: cannot write the preferences file %s; it was left as it was.",
                 qUtf8Printable(preferencesPath_));
    usb_->closeAtExit();
}

}  // namespace vrn::gui

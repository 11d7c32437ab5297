#include "gui/app/form_main.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QUndoGroup>
#include <algorithm>

#include "core/link/exchange.h"
#include "core/link/timer1.h"
#include "core/link/usb_port.h"
#include "core/program/program_file.h"
#include "core/setup/setup_file.h"
#include "gui/app/change_tracker.h"
#include "gui/app/exchange_guard.h"
#include "gui/app/file_commands.h"
#include "gui/app/form_about.h"
#include "gui/app/preferences_file.h"
#include "gui/app/qt_host.h"
#include "gui/program/edit_box_dialog.h"
#include "gui/program/edit_type_dialog.h"
#include "gui/program/program_section.h"
#include "gui/program/user_program_page.h"
#include "gui/records/records_section.h"
#include "gui/screens/screens_page.h"
#include "gui/screens/screens_section.h"
#include "gui/service/service_section.h"
#include "gui/setup/setup_page.h"
#include "gui/setup/setup_section.h"
#include "gui/workspace/workspace_section.h"
#include "ports/instrument_events.h"

namespace vrn::gui {

TFormMain::TFormMain(Clock& clock, Port& driver, const QString& preferencesPath, InstrumentEvents* events,
                     QWidget* parent)
    : QMainWindow(parent), preferencesPath_(preferencesPath) {
    buildWindow();
    host_ = std::make_unique<QtHost>(clock, QtHost::Widgets{this, Memo1, ProgressBar, statusPanel_});
    host_->timer().onTick = [this] { emit timerTicked(); };
    changes_ = new ChangeTracker(*host_, this);
    connect(changes_, &ChangeTracker::stateChanged, this, &TFormMain::updateTitle);
    usb_ = std::make_unique<UsbPort>(driver, *host_);
    usb_->setFailureHint(kTryWithoutText);
    exchange_ = std::make_unique<Exchange>(*usb_, *host_);
    guardExchanges();
    setup_ =
        new SetupSection(pageTab(pages_.TabSheetSetup), *exchange_, models_.setup, *changes_, *menu_, this);
    addTickHandler([this] { setup_->timerTick(); });
    screens_ = new ScreensSection(*this, pageTab(pages_.TabSheetScreen), *exchange_, models_.screens,
                                  *changes_, *menu_);
    screens_->suppressSpaceOn(ButtonClearMemo);

    prefs_ = readPreferencesFile(preferencesPath_);
    move(prefs_.Left, prefs_.Top);
    program_ = new ProgramSection(pageTab(pages_.TabSheetUserPgm), *exchange_, models_.program, models_.setup,
                                  *changes_, *menu_, this);
    userProgram_ = &program_->page();
    records_ = new RecordsSection(*this, pageTab(pages_.TabSheetRecords), setup_->transfer(), files_,
                                  *changes_, host_->guard(), *menu_, prefs_, preferencesPath_);

    usb_->OpenUsbPort();

    buildDialogs();
    auto* workspace = new WorkspaceSection(*this, *PageControlMain, pages_, setup_->transfer(), *screens_,
                                           models_.program, files_, *changes_, *menu_);
    service_ = new ServiceSection(*this, pageTab(pages_.TabSheetCalib), pageTab(pages_.TabSheetTests),
                                  *exchange_, files_, host_->guard(), *menu_, *workspace);
    fileCommands_ = new FileCommands(*this, *host_, files_, workspace->workspace(), *changes_, *menu_,
                                     readPreferencesText(preferencesPath_));
    connect(fileCommands_, &FileCommands::documentNamed, this, &TFormMain::setDocumentName);
    buildUndo();
    trackChanges();
    setAcceptDrops(true);
    connect(menu_->add(&MainMenuItems::ReconnectUSB, this), &QAction::triggered, this,
            [this] { usb_->ReconnectUSB(); });
    QAction* exit = menu_->add(&MainMenuItems::Exit1, this);
    connect(exit, &QAction::triggered, this, &QWidget::close);
    host_->guard().keepUsable(exit);
    connect(menu_->add(&MainMenuItems::About1, this), &QAction::triggered, about_, &QDialog::exec);
    connect(ButtonClearMemo, &QPushButton::clicked, Memo1, &QPlainTextEdit::clear);
    if (events != nullptr) {
        events->appeared = [this] { openWhenPlugged(); };
        events->gone = [this] { usb_->instrumentGone(); };
    }
    fitToPages();
}

// The dialogs live for the whole run, created in this order.
void TFormMain::buildDialogs() {
    auto* editInt = new TFormEditInt(*host_, this);
    auto* editFloat = new TFormEditFloat(*host_, this);
    auto* editType = new TFormEditType(this);
    auto* editText = new TFormEditText(*host_, this);
    about_ = new TFormAbout(QCoreApplication::applicationDirPath(), *host_, this);
    auto* editHex = new TFormEditHex(*host_, this);
    userProgram_->setParameterDialogs({editInt, editFloat, editHex, editText, editType});
}

// The pages are disabled during an exchange, but for the sections' Stop buttons; the message area
// (and File, Exit) stay usable. A close asked for meanwhile ends the running wait.
void TFormMain::guardExchanges() {
    ExchangeGuard& guard = host_->guard();
    guard.setPages(PageControlMain);
    guard.keepUsable(Memo1);
    guard.keepUsable(ButtonClearMemo);
    connect(&guard, &ExchangeGuard::endWait, this, [this] {
        exchange_->abortWaits();
        host_->timer().runOut();
    });
}

PageTab TFormMain::pageTab(QWidget* sheet) {
    return {*PageControlMain, *sheet};
}

// An exchange that is letting events through has the port to itself: the instrument plugged in
// meanwhile is opened once it has ended.
void TFormMain::openWhenPlugged() {
    if (shutDown_) return;
    if (host_->guard().running()) {
        QTimer::singleShot(kPluggedRetryMs, this, [this] { openWhenPlugged(); });
        return;
    }
    usb_->instrumentAppeared();
}

// What a save of each part writes is what tells whether it changed; every edit makes the
// tracker look again.
void TFormMain::trackChanges() {
    setup::SetupModel& setupModel = models_.setup;
    changes_->setHooks(Part::Setup, {[&setupModel] { return setup::writeSetupFile(setupModel); },
                                     [this] { return fileCommands_->saveSetup(); }, nullptr});
    screens::ScreenEditor& screenEditor = screens_->editor();
    changes_->setHooks(Part::Screens, {[&screenEditor] {
                                           const auto bytes = screenEditor.store().bytes();
                                           return std::vector<uint8_t>(bytes.begin(), bytes.end());
                                       },
                                       [this] { return fileCommands_->saveScreens(); },
                                       [this] { screens_->undoStack().clear(); }});
    changes_->setHooks(Part::Program, {[this] {
                                           const auto image = models_.program.store.image();
                                           std::vector<uint8_t> bytes(image.begin(), image.end());
                                           const std::string text = programTreeText(models_.program.tree);
                                           bytes.insert(bytes.end(), text.begin(), text.end());
                                           return bytes;
                                       },
                                       [this] { return fileCommands_->saveProgram(); },
                                       [this] { userProgram_->undoStack().clear(); }});
    // The sections count their pages' edits as changes; the program's may switch the undo stack.
    connect(userProgram_, &UserProgramPage::changed, this, &TFormMain::chooseUndoStack);
}

void TFormMain::buildUndo() {
    undoGroup_ = new QUndoGroup(this);
    undoGroup_->addStack(&screens_->undoStack());
    undoGroup_->addStack(&userProgram_->undoStack());
    MainMenuItems& menu = menu_->items();
    menu.Undo1 = undoGroup_->createUndoAction(this, QStringLiteral("&Undo"));
    menu.Undo1->setObjectName(QStringLiteral("Undo1"));
    menu.Undo1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    menu.Redo1 = undoGroup_->createRedoAction(this, QStringLiteral("&Redo"));
    menu.Redo1->setObjectName(QStringLiteral("Redo1"));
    menu.Redo1->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    menu.Edit1->addAction(menu.Undo1);
    menu.Edit1->addAction(menu.Redo1);
    // The same two actions, so their keys are not claimed twice.
    QMenu* popup = userProgram_->popupMenu().PopupMenu1;
    popup->addSeparator();
    popup->addAction(menu.Undo1);
    popup->addAction(menu.Redo1);
    connect(PageControlMain, &QTabWidget::currentChanged, this, &TFormMain::chooseUndoStack);
    chooseUndoStack();
}

void TFormMain::chooseUndoStack() {
    QWidget* page = PageControlMain->currentWidget();
    QUndoStack* stack = nullptr;
    if (page == pages_.TabSheetScreen)
        stack = &screens_->undoStack();
    else if (page == pages_.TabSheetUserPgm && userProgram_->editingEnabled())
        stack = &userProgram_->undoStack();
    if (undoGroup_->activeStack() != stack) undoGroup_->setActiveStack(stack);
}

void TFormMain::setDocumentName(const QString& name) {
    documentName_ = name;
    updateTitle();
}

void TFormMain::updateTitle() {
    const bool modified = changes_->anyModified();
    QString title = QString::fromLatin1(kCaption);
    if (!documentName_.isEmpty() || modified)
        title = (documentName_.isEmpty() ? QStringLiteral("Untitled") : documentName_) +
                (modified ? QStringLiteral("*") : QString()) + QStringLiteral(" - ") + title;
    setWindowTitle(title);
    const std::pair<QWidget*, Part> tabs[] = {{pages_.TabSheetSetup, Part::Setup},
                                              {pages_.TabSheetScreen, Part::Screens},
                                              {pages_.TabSheetUserPgm, Part::Program}};
    for (const auto& [page, part] : tabs)
        PageControlMain->setTabText(PageControlMain->indexOf(page),
                                    QString::fromLatin1(ChangeTracker::partName(part)) +
                                        (changes_->isModified(part) ? QStringLiteral("*") : QString()));
}

TFormMain::~TFormMain() {
    shutDown();
}

const PopupMenuItems& TFormMain::popupMenu() const {
    return userProgram_->popupMenu();
}

Timer1& TFormMain::timer() {
    return host_->timer();
}

void TFormMain::addTickHandler(std::function<void()> handler) {
    connect(this, &TFormMain::timerTicked, this, std::move(handler));
}

void TFormMain::buildWindow() {
    setObjectName(QStringLiteral("TFormMain"));
    setWindowTitle(QString::fromLatin1(kCaption));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);

    menu_ = std::make_unique<MainMenu>(menuBar(), *this);

    // The client area below the menu: everything but the status bar sits on the central widget at
    // fixed places.
    client_ = std::make_unique<QWidget>(this);
    QWidget* client = client_.get();
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
    // A download asks what becomes of the records that came before the window closes.
    if (records_->stopForClose()) {
        event->ignore();
        return;
    }
    if (host_->guard().deferClose()) {
        event->ignore();
        return;
    }
    if (!shutDown_ && !changes_->maySaveFirst({Part::Setup, Part::Screens, Part::Program})) {
        event->ignore();
        return;
    }
    shutDown();
    event->accept();
}

// Runs once, at the first close or at destruction, whichever comes first. Nothing of the models
// is saved and nothing is asked (the close asked already).
void TFormMain::shutDown() {
    if (shutDown_) return;
    shutDown_ = true;
    prefs_.Top = y();
    prefs_.Left = x();
    // Nothing is asked as the window closes; a failed write keeps the old file and says so on stderr.
    if (!writePreferencesFile(preferencesPath_, prefs_))
        qWarning("VRNComm: cannot write the preferences file %s; it was left as it was.",
                 qUtf8Printable(preferencesPath_));
    if (fileCommands_ != nullptr && !rewritePreferencesFile(preferencesPath_, [this](std::string_view text) {
            return fileCommands_->writeInto(text);
        }))
        qWarning("VRNComm: cannot write the recent files into %s.", qUtf8Printable(preferencesPath_));
    usb_->closeAtExit();
}

}  // namespace vrn::gui

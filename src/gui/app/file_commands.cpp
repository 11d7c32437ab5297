#include "gui/app/file_commands.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <map>
#include <utility>
#include <vector>

#include "core/app/ini_section.h"
#include "core/program/program_actions.h"
#include "core/screens/screen_actions.h"
#include "core/setup/setup_actions.h"
#include "core/workspace/group_actions.h"
#include "gui/app/main_menu.h"
#include "gui/app/qt_host.h"
#include "print/bmp_picture.h"

namespace vrn::gui {
namespace {

std::string localPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QString fromLocal(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

// The local files of a drag that the File menu could open, in the order given.
QStringList openableFiles(const QMimeData* mime) {
    QStringList paths;
    if (mime == nullptr || !mime->hasUrls()) return paths;
    for (const QUrl& url : mime->urls())
        if (url.isLocalFile() && fileKindOf(url.toLocalFile())) paths.push_back(url.toLocalFile());
    return paths;
}

}  // namespace

std::optional<FileKind> fileKindOf(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("set")) return FileKind::Setup;
    if (suffix == QLatin1String("scr")) return FileKind::Screens;
    if (suffix == QLatin1String("pgm")) return FileKind::Program;
    if (suffix == QLatin1String("ssp")) return FileKind::Group;
    return std::nullopt;
}

FileCommands::FileCommands(QWidget& window, QtHost& host, FileStore& files, workspace::Workspace& workspace,
                           ChangeTracker& changes, MainMenu& menu, std::string_view preferencesText)
    : QObject(&window),
      window_(window),
      host_(host),
      files_(files),
      workspace_(workspace),
      changes_(changes),
      recentMenu_(menu.items().RecentFiles1),
      recent_(RecentFiles::fromIni(preferencesText)) {
    std::map<std::string, QString> folders;
    for (const auto& [kind, folder] : readIniSection(preferencesText, kFoldersSection))
        folders[kind] = fromLocal(folder);
    host_.setLastFolders(std::move(folders));

    const std::pair<QAction * MainMenuItems::*, void (FileCommands::*)()> opens[] = {
        {&MainMenuItems::OpenSetupFile, &FileCommands::openSetup},
        {&MainMenuItems::OpenScreenFile, &FileCommands::openScreens},
        {&MainMenuItems::OpenPgmFile, &FileCommands::openProgram},
        {&MainMenuItems::OpenGroup, &FileCommands::openGroup}};
    for (const auto& [item, open] : opens)
        connect(menu.add(item, this), &QAction::triggered, this, open);
    const std::pair<QAction * MainMenuItems::*, bool (FileCommands::*)()> saves[] = {
        {&MainMenuItems::SaveSetupFile, &FileCommands::saveSetup},
        {&MainMenuItems::SaveScreenFile, &FileCommands::saveScreens},
        {&MainMenuItems::SavePgmFile, &FileCommands::saveProgram},
        {&MainMenuItems::SaveGroup, &FileCommands::saveGroup}};
    for (const auto& [item, save] : saves)
        connect(menu.add(item, this), &QAction::triggered, this, save);
    showRecentFiles();
    qApp->installEventFilter(this);
}

void FileCommands::openSetup() {
    if (!changes_.maySaveFirst({Part::Setup})) return;
    if (const auto path = setup::OpenSetupFile(host_, files_, workspace_.setup))
        opened(FileKind::Setup, *path);
}

void FileCommands::openScreens() {
    if (!changes_.maySaveFirst({Part::Screens})) return;
    if (const auto path = screens::OpenScreenFile(host_, files_, workspace_.screens))
        opened(FileKind::Screens, *path);
}

void FileCommands::openProgram() {
    if (!changes_.maySaveFirst({Part::Program})) return;
    if (const auto path = program::OpenPgmFile(host_, files_, workspace_.program))
        opened(FileKind::Program, *path);
}

void FileCommands::openGroup() {
    if (!changes_.maySaveFirst({Part::Setup, Part::Screens, Part::Program})) return;
    if (const auto path = workspace::OpenGroup(host_, files_, workspace_)) opened(FileKind::Group, *path);
}

bool FileCommands::openPath(const QString& path) {
    const std::optional<FileKind> kind = fileKindOf(path);
    if (!kind) return false;
    const std::string local = localPath(path);
    bool done = false;
    switch (*kind) {
    case FileKind::Setup:
        done = changes_.maySaveFirst({Part::Setup}) &&
               setup::openSetupFileAt(host_, files_, workspace_.setup, local);
        break;
    case FileKind::Screens:
        done = changes_.maySaveFirst({Part::Screens}) &&
               screens::openScreenFileAt(host_, files_, workspace_.screens, local);
        break;
    case FileKind::Program:
        done = changes_.maySaveFirst({Part::Program}) &&
               program::openPgmFileAt(host_, files_, workspace_.program, local);
        break;
    case FileKind::Group:
        done = changes_.maySaveFirst({Part::Setup, Part::Screens, Part::Program}) &&
               workspace::confirmOverwrite(host_) &&
               workspace::openGroupFiles(host_, files_, workspace_, local);
        break;
    }
    if (done) opened(*kind, local);
    return done;
}

bool FileCommands::saveSetup() {
    const auto path = setup::SaveSetupFile(host_, files_, workspace_.setup);
    if (path) saved(FileKind::Setup, *path);
    return path.has_value();
}

bool FileCommands::saveScreens() {
    const auto path = screens::SaveScreenFile(host_, files_, workspace_.screens);
    if (path) saved(FileKind::Screens, *path);
    return path.has_value();
}

bool FileCommands::saveProgram() {
    const auto path = program::SavePgmFile(host_, files_, workspace_.program);
    if (path) saved(FileKind::Program, *path);
    return path.has_value();
}

bool FileCommands::saveGroup() {
    const auto path = workspace::SaveGroup(host_, files_, workspace_, print::bmpPicture);
    if (path) saved(FileKind::Group, *path);
    return path.has_value();
}

namespace {

std::vector<Part> partsOf(FileKind kind) {
    switch (kind) {
    case FileKind::Setup:
        return {Part::Setup};
    case FileKind::Screens:
        return {Part::Screens};
    case FileKind::Program:
        return {Part::Program};
    case FileKind::Group:
        break;
    }
    return {Part::Setup, Part::Screens, Part::Program};
}

}  // namespace

void FileCommands::opened(FileKind kind, const std::string& path) {
    for (Part part : partsOf(kind))
        changes_.loaded(part);
    remember(path);
}

void FileCommands::saved(FileKind kind, const std::string& path) {
    for (Part part : partsOf(kind))
        changes_.saved(part);
    remember(path);
}

void FileCommands::remember(const std::string& path) {
    const QString absolute = QFileInfo(fromLocal(path)).absoluteFilePath();
    recent_.add(localPath(absolute));
    showRecentFiles();
    emit documentNamed(QFileInfo(absolute).fileName());
}

void FileCommands::openRecent(const QString& path) {
    if (!QFileInfo::exists(path)) {
        recent_.remove(localPath(path));
        showRecentFiles();
        host_.appendLine("CANNOT FIND " + localPath(path) + ", REMOVED FROM RECENT FILES.");
        return;
    }
    openPath(path);
}

void FileCommands::showRecentFiles() {
    QMenu* menu = recentMenu_;
    menu->clear();
    int number = 0;
    for (const std::string& entry : recent_.paths) {
        const QString path = fromLocal(entry);
        QString caption = QDir::toNativeSeparators(path);
        caption.replace(QLatin1Char('&'), QLatin1String("&&"));
        QAction* action = menu->addAction(QStringLiteral("&%1 %2").arg(++number).arg(caption));
        action->setObjectName(QStringLiteral("RecentFile%1").arg(number));
        action->setData(path);
        connect(action, &QAction::triggered, this, [this, path] { openRecent(path); });
    }
    menu->setEnabled(!recent_.paths.empty());
}

std::string FileCommands::writeInto(std::string_view preferencesText) const {
    IniEntries folders;
    for (const auto& [kind, folder] : host_.lastFolders())
        folders.emplace_back(kind, localPath(folder));
    return writeIniSection(recent_.toIni(preferencesText), kFoldersSection, folders);
}

// A file dropped anywhere on the window (a text box would take its name as text) opens once the
// drop has ended; nothing is taken while an exchange runs.
bool FileCommands::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop) return false;
    if (!watched->isWidgetType() || static_cast<QWidget*>(watched)->window() != &window_) return false;
    auto* drop = static_cast<QDropEvent*>(event);
    const QStringList paths = openableFiles(drop->mimeData());
    if (paths.isEmpty() || host_.guard().running()) return false;
    drop->acceptProposedAction();
    if (type == QEvent::Drop) {
        QTimer::singleShot(0, this, [this, paths] {
            for (const QString& path : paths)
                if (!openPath(path)) break;
        });
    }
    return true;
}

}  // namespace vrn::gui

#include "gui/app/preferences_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace vrn::gui {
namespace {

// A preferences file is a few lines; anything much bigger is not ours and is not read whole.
constexpr qint64 kMaxFileBytes = 1 << 20;

}  // namespace

std::string readPreferencesText(const QString& path) {
    QFile file(path);
    if (file.size() > kMaxFileBytes || !file.open(QIODevice::ReadOnly)) return {};
    const QByteArray bytes = file.read(kMaxFileBytes);
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

QString preferencesFilePath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/VRNComm/vrncomm.ini");
}

Preferences readPreferencesFile(const QString& path) {
    return parsePreferences(readPreferencesText(path));
}

bool writePreferencesFile(const QString& path, const Preferences& prefs) {
    return writePreferencesText(path, writePreferences(readPreferencesText(path), prefs));
}

bool rewritePreferencesFile(const QString& path,
                            const std::function<std::string(std::string_view)>& rewrite) {
    return writePreferencesText(path, rewrite(readPreferencesText(path)));
}

bool writePreferencesText(const QString& path, const std::string& text) {
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) return false;
    QSaveFile file(path);
    // Unbuffered: a short write is caught here, before commit() could put a cut-short file in place.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return false;
    const auto size = static_cast<qint64>(text.size());
    if (file.write(text.data(), size) != size) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

}  // namespace vrn::gui

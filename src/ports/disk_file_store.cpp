#include "ports/disk_file_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QString>
#include <QTemporaryFile>
#include <algorithm>

namespace vrn {
namespace {

// Paths come as the file dialogs give them: in the local 8-bit encoding of file names.
QString fileName(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

}  // namespace

std::optional<std::vector<uint8_t>> DiskFileStore::readFile(const std::string& path, size_t maxBytes,
                                                            std::string& error) {
    QFile file(fileName(path));
    if (!file.open(QIODevice::ReadOnly)) {
        error = file.errorString().toStdString();
        return std::nullopt;
    }
    // Room for the file as its size says (one byte more shows it grew), not for the largest
    // allowed: a large bound must not cost its memory on every read.
    constexpr size_t kFirstRoom = 64 * 1024;
    const auto size = static_cast<size_t>(std::max<qint64>(file.size(), 0));
    std::vector<uint8_t> bytes(std::min(maxBytes, std::max(size + 1, kFirstRoom)));
    size_t got = 0;
    while (got < maxBytes) {
        if (got == bytes.size()) bytes.resize(std::min(maxBytes, bytes.size() * 2));
        const qint64 n =
            file.read(reinterpret_cast<char*>(bytes.data() + got), static_cast<qint64>(bytes.size() - got));
        if (n < 0) {
            error = file.errorString().toStdString();
            return std::nullopt;
        }
        if (n == 0) break;
        got += static_cast<size_t>(n);
    }
    bytes.resize(got);
    return bytes;
}

bool DiskFileStore::writeFile(const std::string& path, std::span<const uint8_t> bytes, std::string& error) {
    QSaveFile file(fileName(path));
    // Unbuffered, so a short write (a full disk, a file-size limit) is seen here: a buffered one
    // fails only in commit(), which then still puts the cut-short file in place.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        error = file.errorString().toStdString();
        return false;
    }
    const auto size = static_cast<qint64>(bytes.size());
    if (file.write(reinterpret_cast<const char*>(bytes.data()), size) != size || !file.commit()) {
        error = file.errorString().toStdString();
        file.cancelWriting();
        return false;
    }
    return true;
}

// As QSaveFile will need it: a target that is a writable file or none, and a folder that takes
// a new file beside it. The probe is an empty temporary file, removed at once; the target itself
// is never opened.
bool DiskFileStore::canCreate(const std::string& path, std::string& error) {
    const QFileInfo target(fileName(path));
    if (target.exists() && target.isDir()) {
        error = "It is a folder, not a file.";
        return false;
    }
    if (target.exists() && !target.isWritable()) {
        error = "The file is read-only.";
        return false;
    }
    const QFileInfo real(target.exists() ? target.canonicalFilePath() : target.absoluteFilePath());
    const QString folder = real.absolutePath();
    if (!QFileInfo(folder).isDir()) {
        error = "The folder does not exist.";
        return false;
    }
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".vrncomm-XXXXXX")));
    if (!probe.open()) {
        error = probe.errorString().toStdString();
        return false;
    }
    return true;
}

}  // namespace vrn

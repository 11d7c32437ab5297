#include "ports/disk_file_store.h"

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QString>
#include <QTemporaryFile>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace vrn {
namespace {

// Paths come as the file dialogs give them: in the local 8-bit encoding of file names.
QString fileName(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

// A new file gets the mode a plain save would give it; a replaced one keeps its own.
QFileDevice::Permissions modeFor(const QString& target) {
    const QFileInfo existing(target);
    if (existing.exists()) return existing.permissions();
    const mode_t mask = ::umask(0);
    ::umask(mask);
    const mode_t mode = 0666 & ~mask;
    QFileDevice::Permissions p;
    if (mode & S_IRUSR) p |= QFileDevice::ReadOwner | QFileDevice::ReadUser;
    if (mode & S_IWUSR) p |= QFileDevice::WriteOwner | QFileDevice::WriteUser;
    if (mode & S_IRGRP) p |= QFileDevice::ReadGroup;
    if (mode & S_IWGRP) p |= QFileDevice::WriteGroup;
    if (mode & S_IROTH) p |= QFileDevice::ReadOther;
    if (mode & S_IWOTH) p |= QFileDevice::WriteOther;
    return p;
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

bool DiskFileStore::writeFiles(std::span<const FileWrite> files, std::string& failedPath,
                               std::string& error) {
    std::vector<std::unique_ptr<QTemporaryFile>> written;
    for (const FileWrite& f : files) {
        const QString target = fileName(f.path);
        // Caught now: a rename over a folder would fail only after others had replaced theirs.
        if (QFileInfo(target).isDir()) {
            failedPath = f.path;
            error = "It is a folder.";
            return false;
        }
        if (!QDir().mkpath(QFileInfo(target).absolutePath())) {
            failedPath = f.path;
            error = "Its folder cannot be made.";
            return false;
        }
        auto temp = std::make_unique<QTemporaryFile>(target + QStringLiteral(".XXXXXX"));
        const auto size = static_cast<qint64>(f.bytes.size());
        if (!temp->open() || temp->write(reinterpret_cast<const char*>(f.bytes.data()), size) != size ||
            !temp->flush() || !temp->setPermissions(modeFor(target))) {
            failedPath = f.path;
            error = temp->errorString().toStdString();
            return false;  // the temporary files remove themselves
        }
        temp->close();
        written.push_back(std::move(temp));
    }
    for (size_t i = 0; i < written.size(); ++i) {
        const QByteArray from = QFile::encodeName(written[i]->fileName());
        if (std::rename(from.constData(), files[i].path.c_str()) != 0) {
            failedPath = files[i].path;
            error = std::strerror(errno);
            return false;
        }
        written[i]->setAutoRemove(false);
    }
    return true;
}

}  // namespace vrn

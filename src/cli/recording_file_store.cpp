#include "cli/recording_file_store.h"

#include <QByteArrayView>
#include <QCryptographicHash>

namespace vrn::cli {

bool RecordingFileStore::writeFile(const std::string& path, std::span<const uint8_t> bytes,
                                   std::string& error) {
    if (!inner_.writeFile(path, bytes, error)) return false;
    note(path, bytes);
    return true;
}

bool RecordingFileStore::writeFiles(std::span<const FileWrite> files, std::string& failedPath,
                                    std::string& error) {
    // All or nothing: a failed group wrote none of its files.
    if (!inner_.writeFiles(files, failedPath, error)) return false;
    for (const FileWrite& f : files)
        note(f.path, f.bytes);
    return true;
}

void RecordingFileStore::note(const std::string& path, std::span<const uint8_t> bytes) {
    const QByteArray digest = QCryptographicHash::hash(
        QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())), QCryptographicHash::Sha256);
    written_.push_back({path, bytes.size(), digest.toHex().toStdString()});
}

}  // namespace vrn::cli

#pragma once

#include <vector>

#include "cli/command_result.h"
#include "core/io/file_store.h"

namespace vrn::cli {

// The environment's files, noting each one written in full (path, size, SHA-256) for the result.
class RecordingFileStore final : public FileStore {
public:
    RecordingFileStore(FileStore& inner, std::vector<WrittenFile>& written)
        : inner_(inner), written_(written) {}

    std::optional<std::vector<uint8_t>> readFile(const std::string& path, size_t maxBytes,
                                                 std::string& error) override {
        return inner_.readFile(path, maxBytes, error);
    }
    bool writeFile(const std::string& path, std::span<const uint8_t> bytes, std::string& error) override;
    bool writeFiles(std::span<const FileWrite> files, std::string& failedPath, std::string& error) override;
    bool canCreate(const std::string& path, std::string& error) override {
        return inner_.canCreate(path, error);
    }

private:
    void note(const std::string& path, std::span<const uint8_t> bytes);

    FileStore& inner_;
    std::vector<WrittenFile>& written_;
};

}  // namespace vrn::cli

#pragma once

#include "core/io/file_store.h"

namespace vrn {

// The FileStore on the local disk. Paths are the bytes the user gave, whatever their encoding.
// Saves go to a temporary file beside the target that replaces it only once every byte is written
// and flushed; a FIFO or character device is written in place, and "-" is standard output.
class DiskFileStore final : public FileStore {
public:
    std::optional<std::vector<uint8_t>> readFile(const std::string& path, size_t maxBytes,
                                                 std::string& error) override;
    bool writeFile(const std::string& path, std::span<const uint8_t> bytes, std::string& error) override;
    // Each file to a temporary file beside it; only when all are complete are they renamed over
    // their targets, one after another (a rename within a folder does not run out of room).
    bool writeFiles(std::span<const FileWrite> files, std::string& failedPath, std::string& error) override;
    bool canCreate(const std::string& path, std::string& error) override;

private:
    // The bytes in a temporary file beside path's target, flushed to the disk; its name in tempName.
    bool writeBeside(const std::string& path, std::span<const uint8_t> bytes, std::string& tempName,
                     std::string& error);
};

}  // namespace vrn

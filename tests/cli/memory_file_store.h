#pragma once

#include <map>
#include <string>
#include <vector>

#include "core/io/file_store.h"

namespace vrn::cli::test {

// Files kept in memory; a path in `unwritable` fails to save like a full disk.
struct MemoryFileStore final : FileStore {
    std::map<std::string, std::vector<uint8_t>> files;
    std::string unwritable;

    std::optional<std::vector<uint8_t>> readFile(const std::string& path, size_t maxBytes,
                                                 std::string& error) override {
        auto it = files.find(path);
        if (it == files.end()) {
            error = "No such file or directory";
            return std::nullopt;
        }
        const size_t n = std::min(maxBytes, it->second.size());
        return std::vector<uint8_t>(it->second.begin(), it->second.begin() + static_cast<std::ptrdiff_t>(n));
    }
    bool writeFile(const std::string& path, std::span<const uint8_t> bytes, std::string& error) override {
        if (path == unwritable) {
            error = "No space left on device";
            return false;
        }
        files[path].assign(bytes.begin(), bytes.end());
        return true;
    }
};

}  // namespace vrn::cli::test

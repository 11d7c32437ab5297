#pragma once

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "core/io/file_store.h"

namespace vrn::test {

// Files kept in memory. Saving under `unwritablePrefix` fails with `writeError`, as a read-only
// folder would, and canCreate says so; saving under `fullPrefix` fails only in the write, as a full
// disk would; a missing file fails with `missingError`.
struct MemoryFileStore : FileStore {
    std::map<std::string, std::vector<uint8_t>> files;
    std::string unwritablePrefix = "/readonly/";
    std::string fullPrefix = "/full/";
    std::string writeError = "Access is denied.";
    std::string fullError = "No space left on device";
    std::string missingError = "No such file or directory";
    size_t maxAsked = 0;  // the byte limit of the last read

    std::optional<std::vector<uint8_t>> readFile(const std::string& path, size_t maxBytes,
                                                 std::string& error) override {
        maxAsked = maxBytes;
        auto it = files.find(path);
        if (it == files.end()) {
            error = missingError;
            return std::nullopt;
        }
        const size_t n = std::min(maxBytes, it->second.size());
        return std::vector<uint8_t>(it->second.begin(), it->second.begin() + static_cast<std::ptrdiff_t>(n));
    }

    bool writeFile(const std::string& path, std::span<const uint8_t> bytes, std::string& error) override {
        if (!unwritablePrefix.empty() && path.starts_with(unwritablePrefix)) {
            error = writeError;
            return false;
        }
        if (!fullPrefix.empty() && path.starts_with(fullPrefix)) {
            error = fullError;
            return false;
        }
        files[path].assign(bytes.begin(), bytes.end());
        return true;
    }

    // Each file through writeFile (so a subclass's failures apply); on a failure the store is
    // put back as it was.
    bool writeFiles(std::span<const FileWrite> batch, std::string& failedPath, std::string& error) override {
        const auto before = files;
        for (const FileWrite& f : batch) {
            if (!writeFile(f.path, f.bytes, error)) {
                files = before;
                failedPath = f.path;
                return false;
            }
        }
        return true;
    }

    bool canCreate(const std::string& path, std::string& error) override {
        if (!unwritablePrefix.empty() && path.starts_with(unwritablePrefix)) {
            error = writeError;
            return false;
        }
        return true;
    }
};

}  // namespace vrn::test

#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vrn {

// Whole-file reads and writes for the file menus; the disk behind it lives outside core.
// A target that is a FIFO or a character device (a terminal, /dev/null) is written in place as a
// stream; kStandardOutput names standard output.
class FileStore {
public:
    static constexpr std::string_view kStandardOutput = "-";

    virtual ~FileStore() = default;

    // The file's first bytes, at most maxBytes; none, with the reason in error, when it cannot be
    // opened or read.
    virtual std::optional<std::vector<uint8_t>> readFile(const std::string& path, size_t maxBytes,
                                                         std::string& error) = 0;

    // Writes the bytes to a temporary file that replaces path only once it is complete, so a
    // failed save leaves the previous file whole; a stream gets them as they are. A folder, a block
    // device or a socket is refused. False, with the reason in error, on failure.
    virtual bool writeFile(const std::string& path, std::span<const uint8_t> bytes, std::string& error) = 0;

    struct FileWrite {
        std::string path;
        std::vector<uint8_t> bytes;
    };
    // Files that belong together (a group's members): every one is written in full before any
    // replaces its old file, so a failure leaves all the old files as they were. A missing folder
    // is refused, as writeFile refuses it; standard output cannot take a group. False, with the file
    // that failed in failedPath and the reason in error.
    virtual bool writeFiles(std::span<const FileWrite> files, std::string& failedPath,
                            std::string& error) = 0;
    // Whether writeFile could put a file at path, found out without touching a file that is there
    // already. False, with the reason in error, when it could not.
    virtual bool canCreate(const std::string& path, std::string& error) = 0;
};

}  // namespace vrn

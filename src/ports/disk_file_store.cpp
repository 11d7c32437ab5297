#include "ports/disk_file_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace vrn {
namespace {

// Paths are the bytes the user named, passed to the system as they are: a name that is not valid
// in the locale's encoding still names its own file and no other.
namespace fs = std::filesystem;

std::string reason(int err) {
    return std::generic_category().message(err);
}

// Closes the descriptor on every way out.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    // Closes now, for the error a close can report (a delayed write failure).
    int release() {
        const int result = ::close(fd_);
        fd_ = -1;
        return result;
    }

private:
    int fd_;
};

// The file a save replaces: a link is followed, so the link stays and its target gets the bytes.
fs::path saveTarget(const std::string& path) {
    std::error_code ec;
    const fs::path given(path);
    if (fs::is_symlink(fs::symlink_status(given, ec))) {
        const fs::path real = fs::weakly_canonical(given, ec);
        if (!ec) return real;
    }
    return given;
}

fs::path folderOf(const fs::path& file) {
    const fs::path parent = file.parent_path();
    return parent.empty() ? fs::path(".") : parent;
}

// A new file's permissions: what the umask leaves of rw-rw-rw-, as an ordinary create gives.
mode_t newFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// A temporary file beside the target, created exclusively; -1 with errno on failure.
int createBeside(const fs::path& target, std::string& tempName) {
    std::string name = ".";
    name.append(target.filename().string()).append(".XXXXXX");
    tempName = (folderOf(target) / name).string();
    return ::mkstemp(tempName.data());
}

bool writeAll(int fd, std::span<const uint8_t> bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = ENOSPC;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

// What a save does with its target.
enum class Target {
    File,     // none yet, or a regular file: a temporary file beside it takes its place
    Stream,   // a FIFO or a character device: written in place, as it is
    Refused,  // what a file cannot replace (a folder, a block device, a socket)
};

// The target as the system opens it: links are followed, /dev/stdout to whatever it stands for.
Target targetOf(const std::string& path, std::string& error) {
    struct stat info {};
    // Not there yet, or not to be looked at: the save itself finds out what is wrong.
    if (::stat(path.c_str(), &info) != 0 || S_ISREG(info.st_mode)) return Target::File;
    if (S_ISFIFO(info.st_mode) || S_ISCHR(info.st_mode)) return Target::Stream;
    error = S_ISDIR(info.st_mode)    ? "It is a folder, not a file."
            : S_ISBLK(info.st_mode)  ? "It is a block device, not a file."
            : S_ISSOCK(info.st_mode) ? "It is a socket, not a file."
                                     : "It is not a file.";
    return Target::Refused;
}

bool isStandardOutput(const std::string& path) {
    return path == FileStore::kStandardOutput;
}

// Standard output as it was given: it must be open for writing.
bool standardOutputWritable(std::string& error) {
    const int flags = ::fcntl(STDOUT_FILENO, F_GETFL);
    if (flags < 0) {
        error = "Standard output is closed.";
        return false;
    }
    if ((flags & O_ACCMODE) == O_RDONLY) {
        error = "Standard output is not open for writing.";
        return false;
    }
    return true;
}

// The bytes into a FIFO or character device, in place. It is opened as a stream only if it still
// is one: a file put there meanwhile is not overwritten in place.
bool writeStream(const std::string& path, std::span<const uint8_t> bytes, std::string& error) {
    Descriptor fd(::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC));
    struct stat info {};
    if (fd.get() < 0 || ::fstat(fd.get(), &info) != 0) {
        error = reason(errno);
        return false;
    }
    if (!S_ISFIFO(info.st_mode) && !S_ISCHR(info.st_mode)) {
        error = "It is no longer a FIFO or a device.";
        return false;
    }
    if (!writeAll(fd.get(), bytes) || fd.release() != 0) {
        error = reason(errno);
        return false;
    }
    return true;
}

bool writeStandardOutput(std::span<const uint8_t> bytes, std::string& error) {
    if (!standardOutputWritable(error)) return false;
    if (!writeAll(STDOUT_FILENO, bytes)) {
        error = reason(errno);
        return false;
    }
    return true;
}

}  // namespace

std::optional<std::vector<uint8_t>> DiskFileStore::readFile(const std::string& path, size_t maxBytes,
                                                            std::string& error) {
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat info {};
    if (fd.get() < 0 || ::fstat(fd.get(), &info) != 0) {
        error = reason(errno);
        return std::nullopt;
    }
    if (S_ISDIR(info.st_mode)) {
        error = reason(EISDIR);
        return std::nullopt;
    }
    // Room for the file as its size says (one byte more shows it grew), not for the largest
    // allowed: a large bound must not cost its memory on every read.
    constexpr size_t kFirstRoom = 64 * 1024;
    const auto size = static_cast<size_t>(std::max<off_t>(info.st_size, 0));
    std::vector<uint8_t> bytes(std::min(maxBytes, std::max(size + 1, kFirstRoom)));
    size_t got = 0;
    while (got < maxBytes) {
        if (got == bytes.size()) bytes.resize(std::min(maxBytes, bytes.size() * 2));
        const ssize_t n = ::read(fd.get(), bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            error = reason(errno);
            return std::nullopt;
        }
        if (n == 0) break;
        got += static_cast<size_t>(n);
    }
    bytes.resize(got);
    return bytes;
}

// Every byte goes to a temporary file beside the target, is flushed to the disk, and only then
// does a rename put it in the target's place: a failed save leaves the previous file whole. A pipe
// or a device is no file to replace: it is written to.
bool DiskFileStore::writeFile(const std::string& path, std::span<const uint8_t> bytes, std::string& error) {
    if (isStandardOutput(path)) return writeStandardOutput(bytes, error);
    switch (targetOf(path, error)) {
    case Target::Refused:
        return false;
    case Target::Stream:
        return writeStream(path, bytes, error);
    case Target::File:
        break;
    }
    std::string tempName;
    if (!writeBeside(path, bytes, tempName, error)) return false;
    if (::rename(tempName.c_str(), saveTarget(path).c_str()) != 0) {
        error = reason(errno);
        ::unlink(tempName.c_str());
        return false;
    }
    return true;
}

bool DiskFileStore::writeFiles(std::span<const FileWrite> files, std::string& failedPath,
                               std::string& error) {
    std::vector<std::string> temps;
    std::vector<const FileWrite*> renamed;
    std::vector<const FileWrite*> streamed;
    const auto fail = [&](const std::string& path) {
        failedPath = path;
        for (const std::string& t : temps)
            ::unlink(t.c_str());
        return false;
    };
    for (const FileWrite& f : files) {
        if (isStandardOutput(f.path)) {
            error = "Standard output takes one file, not a group.";
            return fail(f.path);
        }
        const Target target = targetOf(f.path, error);
        if (target == Target::Refused) return fail(f.path);
        if (target == Target::Stream) {
            streamed.push_back(&f);
            continue;
        }
        std::string tempName;
        if (!writeBeside(f.path, f.bytes, tempName, error)) return fail(f.path);
        temps.push_back(std::move(tempName));
        renamed.push_back(&f);
    }
    // Every file is complete: the streams get theirs, then the files replace the old ones.
    for (const FileWrite* f : streamed)
        if (!writeStream(f->path, f->bytes, error)) return fail(f->path);
    for (size_t i = 0; i < temps.size(); ++i) {
        if (::rename(temps[i].c_str(), saveTarget(renamed[i]->path).c_str()) != 0) {
            error = reason(errno);
            temps.erase(temps.begin(), temps.begin() + static_cast<std::ptrdiff_t>(i));
            return fail(renamed[i]->path);
        }
    }
    return true;
}

bool DiskFileStore::writeBeside(const std::string& path, std::span<const uint8_t> bytes,
                                std::string& tempName, std::string& error) {
    if (!canCreate(path, error)) return false;
    const fs::path target = saveTarget(path);
    struct stat old {};
    const bool existed = ::stat(target.c_str(), &old) == 0;
    Descriptor fd(createBeside(target, tempName));
    if (fd.get() < 0) {
        error = reason(errno);
        return false;
    }
    const mode_t mode = existed ? (old.st_mode & 07777) : newFileMode();
    const bool written = ::fchmod(fd.get(), mode) == 0 && writeAll(fd.get(), bytes) &&
                         ::fsync(fd.get()) == 0 && fd.release() == 0;
    if (!written) {
        error = reason(errno);
        ::unlink(tempName.c_str());
        return false;
    }
    return true;
}

// As writeFile will need it: a target that is a writable file or none, and a folder that takes a
// new file beside it; or a stream this user may write to. The probe is an empty temporary file,
// removed at once; the target itself is never opened (a FIFO's reader is not woken).
bool DiskFileStore::canCreate(const std::string& path, std::string& error) {
    if (path.empty()) {
        error = reason(ENOENT);
        return false;
    }
    if (isStandardOutput(path)) return standardOutputWritable(error);
    switch (targetOf(path, error)) {
    case Target::Refused:
        return false;
    case Target::Stream:
        if (::access(path.c_str(), W_OK) == 0) return true;
        error = reason(errno);
        return false;
    case Target::File:
        break;
    }
    const fs::path target = saveTarget(path);
    struct stat info {};
    if (::stat(target.c_str(), &info) == 0) {
        if (::access(target.c_str(), W_OK) != 0) {
            error = "The file is read-only.";
            return false;
        }
    }
    std::string probeName;
    const int probe = createBeside(target, probeName);
    if (probe < 0) {
        error = reason(errno);
        return false;
    }
    ::close(probe);
    ::unlink(probeName.c_str());
    return true;
}

}  // namespace vrn

#include "sim/pty_exclusive.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <charconv>
#include <filesystem>
#include <system_error>

namespace vrn::sim {
namespace {

bool isProcessDir(const std::filesystem::directory_entry& entry, int& pid) {
    const std::string name = entry.path().filename().string();
    return std::from_chars(name.data(), name.data() + name.size(), pid).ptr == name.data() + name.size();
}

}  // namespace

bool isExclusive(int fd) {
    int exclusive = 0;
    return ::ioctl(fd, TIOCGEXCL, &exclusive) == 0 && exclusive != 0;
}

bool openElsewhere(const std::string& path) {
    namespace fs = std::filesystem;
    const int self = static_cast<int>(::getpid());
    std::error_code ec;
    for (fs::directory_iterator proc("/proc", ec), end; !ec && proc != end; proc.increment(ec)) {
        int pid = 0;
        if (!isProcessDir(*proc, pid) || pid == self) continue;
        std::error_code fdEc;
        for (fs::directory_iterator fd(proc->path() / "fd", fdEc); !fdEc && fd != end; fd.increment(fdEc)) {
            std::error_code linkEc;
            if (fs::read_symlink(fd->path(), linkEc) == path && !linkEc) return true;
        }
    }
    return false;
}

bool releaseOrphanedExclusive(int fd, const std::string& path) {
    if (!isExclusive(fd) || openElsewhere(path)) return false;
    return ::ioctl(fd, TIOCNXCL) == 0;
}

}  // namespace vrn::sim

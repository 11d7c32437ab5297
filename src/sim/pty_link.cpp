#include "sim/pty_link.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>
#include <vector>

namespace vrn::sim {
namespace {

// The link's target, or none when path is not a link.
bool readLink(const std::string& path, std::string& target) {
    std::vector<char> buffer(4096);
    const ssize_t n = ::readlink(path.c_str(), buffer.data(), buffer.size());
    if (n < 0 || static_cast<size_t>(n) >= buffer.size()) return false;
    target.assign(buffer.data(), static_cast<size_t>(n));
    return true;
}

std::string reason(int err) {
    return std::generic_category().message(err);
}

}  // namespace

bool isStalePtyLink(const std::string& path) {
    std::string target;
    if (!readLink(path, target) || !target.starts_with("/dev/pts/")) return false;
    struct stat info {};
    return ::stat(target.c_str(), &info) != 0 && errno == ENOENT;
}

bool PtyLink::make(const std::string& path, const std::string& target, std::string& error) {
    // symlink() never replaces: a path that appears meanwhile is refused, not taken.
    if (::symlink(target.c_str(), path.c_str()) != 0) {
        if (errno != EEXIST) {
            error = reason(errno);
            return false;
        }
        if (!isStalePtyLink(path)) {
            error = "it exists and is not a link a simulator left behind; remove it or choose another";
            return false;
        }
        if ((::unlink(path.c_str()) != 0 && errno != ENOENT) ||
            ::symlink(target.c_str(), path.c_str()) != 0) {
            error = reason(errno);
            return false;
        }
    }
    path_ = path;
    target_ = target;
    return true;
}

PtyLink::~PtyLink() {
    std::string now;
    if (!path_.empty() && readLink(path_, now) && now == target_) ::unlink(path_.c_str());
}

}  // namespace vrn::sim

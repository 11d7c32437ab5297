#include "cli/output_target.h"

#include <sys/stat.h>
#include <unistd.h>

#include "cli/session.h"
#include "core/io/file_store.h"
#include "core/workspace/group_file.h"

namespace vrn::cli {

namespace {

// "-", or a name of the stream standard output is (/dev/stdout, /dev/fd/1 on a pipe or terminal).
bool isStandardOutput(const std::string& path) {
    if (path == FileStore::kStandardOutput) return true;
    struct stat target {};
    struct stat out {};
    return ::stat(path.c_str(), &target) == 0 && ::fstat(STDOUT_FILENO, &out) == 0 &&
           (S_ISFIFO(target.st_mode) || S_ISCHR(target.st_mode)) && target.st_dev == out.st_dev &&
           target.st_ino == out.st_ino;
}

}  // namespace

bool claimStandardOutput(Session& s, const std::string& path) {
    if (!isStandardOutput(path)) return true;
    if (s.documentOnStdout) {
        s.host.error(
            "- (standard output) does not go with --json, whose document is printed there: "
            "name a file");
        return false;
    }
    s.host.dataOnStdout();
    return true;
}

bool claimOutputFile(Session& s, const std::string& path) {
    if (!claimStandardOutput(s, path)) return false;
    std::string error;
    if (!s.env.files.canCreate(path, error)) {
        s.host.error("cannot write " + path + ": " + error);
        return false;
    }
    return true;
}

bool refuseStandardOutput(Session& s, const std::string& path, std::string_view command) {
    if (path != FileStore::kStandardOutput) return true;
    s.host.error(std::string(command) + " writes several files: - (standard output) cannot take them");
    return false;
}

bool checkGroupTarget(Session& s, const std::string& groupPath, std::string_view command) {
    if (!refuseStandardOutput(s, groupPath, command)) return false;
    const workspace::GroupMembers members = workspace::groupMembers(groupPath);
    for (const std::string& path : {groupPath, members.setup, members.screens, members.program}) {
        std::string error;
        if (!s.env.files.canCreate(path, error)) {
            s.host.error("cannot write " + path + ": " + error);
            return false;
        }
    }
    return true;
}

}  // namespace vrn::cli

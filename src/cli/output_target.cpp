#include "cli/output_target.h"

#include "cli/session.h"
#include "core/io/file_store.h"
#include "core/workspace/group_file.h"

namespace vrn::cli {

bool claimStandardOutput(Session& s, const std::string& path) {
    if (path != FileStore::kStandardOutput) return true;
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

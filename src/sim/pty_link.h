#pragma once

#include <string>

namespace vrn::sim {

// The --link symlink to the simulator's pty, there for as long as the simulator runs. It never
// takes the place of anything but a link a simulator left behind (into /dev/pts/, to a pty that is
// gone), and at the end it removes the link only while it is still its own.
class PtyLink {
public:
    PtyLink() = default;
    ~PtyLink();
    PtyLink(const PtyLink&) = delete;
    PtyLink& operator=(const PtyLink&) = delete;

    // False, with the reason in error, when path is taken or the link cannot be made.
    bool make(const std::string& path, const std::string& target, std::string& error);

private:
    std::string path_;
    std::string target_;
};

// A link into /dev/pts/ whose pty no longer exists: what a simulator that ended without its
// clean-up leaves.
bool isStalePtyLink(const std::string& path);

}  // namespace vrn::sim

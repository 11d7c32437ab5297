#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "ports/usb_doctor.h"
#include "ports/usb_inventory.h"

namespace vrn::test {

// Fake /sys, /proc and /dev trees in a folder of their own, laid out as the kernel shows them:
// /sys/bus/usb/devices/1-1 with its attributes and interfaces, /proc/PID/comm and fd links,
// device nodes as plain files with the modes wanted; and /run, /etc and /usr for logind's seats,
// udev's rules and installed programs, empty unless a test puts something there.
class FakeSystem {
public:
    // The user the doctor speaks for: never the owner of the nodes made here.
    static constexpr uint32_t kUserId = 4242;

    FakeSystem() {
        char pattern[] = "/tmp/vrn-fake-system-XXXXXX";
        const char* made = ::mkdtemp(pattern);
        root_ = made != nullptr ? made : "";
        for (const char* dir : {"sys/bus/usb/devices", "proc", "dev/bus/usb", "run", "etc", "usr"})
            std::filesystem::create_directories(root_ / dir);
    }
    ~FakeSystem() {
        std::error_code ec;
        std::filesystem::remove_all(root_, ec);
    }
    FakeSystem(const FakeSystem&) = delete;
    FakeSystem& operator=(const FakeSystem&) = delete;

    SystemRoots roots() const {
        return {(root_ / "sys").string(), (root_ / "proc").string(), (root_ / "dev").string(),
                (root_ / "run").string(), (root_ / "etc").string(),  (root_ / "usr").string()};
    }

    struct Device {
        std::string sysName = "1-1";
        std::string vendor = "0403";
        std::string product = "6001";
        std::string description = "VARNO 41700 USB";
        std::string serial = "A10K3X7Z";
        int bus = 1;
        int address = 5;
        std::string driver = "ftdi_sio";  // empty: none bound
        std::string tty = "ttyUSB0";      // empty: no tty
        int latencyMs = 16;
    };

    // The device with one interface, and its USB node (0660, owned by the nodes' owner).
    void plug(const Device& d) {
        const auto dir = root_ / "sys/bus/usb/devices" / d.sysName;
        std::filesystem::create_directories(dir);
        write(dir / "idVendor", d.vendor + "\n");
        write(dir / "idProduct", d.product + "\n");
        write(dir / "manufacturer", "FTDI\n");
        write(dir / "product", d.description + "\n");
        write(dir / "serial", d.serial + "\n");
        write(dir / "busnum", std::to_string(d.bus) + "\n");
        write(dir / "devnum", std::to_string(d.address) + "\n");
        const auto iface = dir / (d.sysName + ":1.0");
        std::filesystem::create_directories(iface);
        if (!d.driver.empty())
            std::filesystem::create_symlink("../../../../bus/usb/drivers/" + d.driver, iface / "driver");
        if (!d.tty.empty()) {
            std::filesystem::create_directories(iface / d.tty / "tty" / d.tty);
            write(iface / d.tty / "latency_timer", std::to_string(d.latencyMs) + "\n");
            node(d.tty, 0660);
        }
        char usbNode[32];
        std::snprintf(usbNode, sizeof usbNode, "bus/usb/%03d/%03d", d.bus, d.address);
        node(usbNode, 0660);
    }

    // A device node under /dev as a plain file with this mode.
    void node(const std::string& name, mode_t mode) {
        const auto path = root_ / "dev" / name;
        std::filesystem::create_directories(path.parent_path());
        write(path, "");
        ::chmod(path.c_str(), mode);
    }
    std::string nodePath(const std::string& name) const { return (root_ / "dev" / name).string(); }

    // Any other file of the machine, by its path without the leading slash ("etc/udev/rules.d/x.rules").
    void file(const std::string& path, const std::string& text) {
        const auto at = root_ / path;
        std::filesystem::create_directories(at.parent_path());
        write(at, text);
    }
    // Removes a folder of the machine ("sys/bus/usb").
    void remove(const std::string& path) { std::filesystem::remove_all(root_ / path); }

    // A process, holding the named node ("/dev/ttyUSB0") open when one is given.
    void process(int pid, const std::string& name, const std::string& holds = {}) {
        const auto dir = root_ / "proc" / std::to_string(pid);
        std::filesystem::create_directories(dir / "fd");
        write(dir / "comm", name + "\n");
        std::filesystem::create_symlink("/dev/pts/0", dir / "fd" / "0");
        if (!holds.empty()) std::filesystem::create_symlink(holds, dir / "fd" / "5");
    }

    // The doctor's user: kUserId, in the nodes' group when asked. The nodes' owner is named
    // "root" and their group "dialout", whoever runs the test.
    DoctorUser user(bool inNodeGroup) const {
        struct stat st {};
        ::stat(root_.c_str(), &st);
        const uint32_t owner = st.st_uid;
        const uint32_t group = st.st_gid;
        DoctorUser u;
        u.credentials.uid = kUserId;
        u.credentials.gids = {kUserId};
        if (inNodeGroup) u.credentials.gids.push_back(group);
        u.pid = 999;
        u.userName = [owner](uint32_t id) {
            return id == owner     ? std::string("root")
                   : id == kUserId ? std::string("tech")
                                   : std::to_string(id);
        };
        u.groupName = [group](uint32_t id) {
            return id == group ? std::string("dialout") : std::to_string(id);
        };
        return u;
    }

private:
    static void write(const std::filesystem::path& file, const std::string& text) {
        std::ofstream(file, std::ios::binary) << text;
    }

    std::filesystem::path root_;
};

}  // namespace vrn::test

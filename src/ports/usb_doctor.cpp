#include "ports/usb_doctor.h"

#include <grp.h>
#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "ports/ftdi_port.h"
#include "ports/instrument_choice.h"
#include "ports/port_info.h"

namespace vrn {
namespace {

constexpr const char* kBrltty = "brltty";
constexpr const char* kModemManager = "ModemManager";
constexpr const char* kKernelDriver = "ftdi_sio";
constexpr const char* kUsbfs = "usbfs";
constexpr const char* kOneInstrument = "one instrument";
constexpr const char* kDialout = "dialout";

std::string inQuotes(std::string_view text) {
    std::string q = "\"";
    q += text;
    q += '"';
    return q;
}

std::string modeText(uint32_t mode) {
    char text[8];
    std::snprintf(text, sizeof text, "%04o", static_cast<unsigned>(mode & 07777));
    return text;
}

std::string pidList(const std::vector<ProcessInfo>& processes) {
    std::string text;
    for (const ProcessInfo& p : processes) {
        if (!text.empty()) text += ", ";
        text += p.name + " (pid " + std::to_string(p.pid) + ")";
    }
    return text;
}

const DeviceNode& nodeOf(const UsbDevice& d) {
    return d.ttyNode ? *d.ttyNode : d.usbNode;
}

// How a user names the device to open it whatever its description.
std::string whereAndWhat(const UsbDevice& d) {
    std::string text = d.sysName;
    text += " (";
    if (!d.serial.empty()) text += "serial " + d.serial + ", ";
    text += deviceName(d) + ")";
    return text;
}

bool isBrltty(const ProcessInfo& p) {
    return p.name == kBrltty;
}

UsbCheck instrumentCheck(const UsbInventory& inventory, const std::vector<const UsbDevice*>& found,
                         std::string_view description) {
    UsbCheck c{"instrument", true, {}, {}};
    if (!found.empty()) {
        c.finding = found.front()->sysName + " " + inQuotes(found.front()->product);
        return c;
    }
    c.ok = false;
    for (const UsbDevice& d : inventory.devices) {
        if (d.vendorId != FtdiPort::kVendorId) continue;
        c.finding = "an FTDI bridge is plugged in at " + d.sysName + ", but it calls itself " +
                    inQuotes(d.product) + ", not " + inQuotes(description);
        c.remedy = "if it is the instrument, open it by name: vrncomm --port " + deviceName(d);
        return c;
    }
    c.finding = "nothing is plugged in that calls itself " + inQuotes(description);
    c.remedy = "plug the instrument in with a USB data cable and switch it on";
    return c;
}

UsbCheck oneInstrumentCheck(const std::vector<const UsbDevice*>& found) {
    UsbCheck c{kOneInstrument, true, {}, {}, false};
    if (found.size() < 2) return c;
    c.ok = false;
    c.finding = std::to_string(found.size()) + " instruments are plugged in: ";
    for (size_t i = 0; i < found.size(); ++i)
        c.finding += (i == 0 ? "" : ", ") + whereAndWhat(*found[i]);
    c.finding += "; VRNComm opens " + found.front()->sysName;
    c.remedy = "unplug the others, or name the one to open: vrncomm --port " + portChoiceFor(*found[1]);
    return c;
}

UsbCheck usbBusCheck() {
    return {"usb bus", false, "this machine has no USB bus",
            "run VRNComm on the machine the instrument is plugged into (a container or virtual machine needs "
            "the USB device passed through)"};
}

// The user may open the instrument through the dialout group, or as the active user at a seat,
// whom the udev rule's uaccess tag gives it.
UsbCheck userCheck(const MachineSetup& m, const DoctorUser& user) {
    UsbCheck c{"user", true, {}, {}, false};
    const std::string name = user.userName(user.credentials.uid);
    const bool dialout = std::any_of(user.credentials.gids.begin(), user.credentials.gids.end(),
                                     [&](uint32_t gid) { return user.groupName(gid) == kDialout; });
    if (user.credentials.uid == 0) {
        c.finding = name + " may open every device";
    } else if (dialout) {
        c.finding = name + " is in " + kDialout;
    } else if (std::find(m.seatUsers.begin(), m.seatUsers.end(), user.credentials.uid) != m.seatUsers.end()) {
        c.finding = name + " is the user at a seat, whom the udev rule gives the instrument";
    } else {
        c.ok = false;
        c.finding = name + " is not in " + kDialout + " and is not the user at a seat";
        c.remedy = "sudo usermod -aG dialout \"$USER\", then log out and in again";
    }
    return c;
}

UsbCheck brlttyRuleCheck(const MachineSetup& m) {
    UsbCheck c{"brltty rule", true, {}, {}, false};
    if (!m.brlttyFtdiRule.empty()) {
        c.ok = false;
        c.finding = std::string(kBrltty) + " is installed and its udev rule " + m.brlttyFtdiRule +
                    " claims FTDI bridges for a Braille display";
        c.remedy = "sudo apt-get remove brltty";
    } else if (m.brlttyInstalled) {
        c.finding = "brltty is installed; no rule of it claims FTDI bridges";
    }
    return c;
}

UsbCheck modemManagerCheck(const UsbInventory& inventory) {
    UsbCheck c{kModemManager, true, {}, {}, false};
    const bool running = std::any_of(inventory.processes.begin(), inventory.processes.end(),
                                     [](const ProcessInfo& p) { return p.name == kModemManager; });
    if (!running) {
        c.finding = "not running";
    } else if (inventory.machine.ruleIgnoresModemManager) {
        c.finding = "running; the udev rule 70-vrncomm.rules keeps it off the instrument";
    } else {
        c.ok = false;
        c.finding = "running, and no udev rule keeps it off the instrument: it would probe it as a modem";
        c.remedy =
            "sudo apt-get install --reinstall vrncomm (its udev rule 70-vrncomm.rules tells "
            "ModemManager to leave the instrument alone), or sudo systemctl stop ModemManager";
    }
    return c;
}

UsbCheck packageRuleCheck(const MachineSetup& m) {
    UsbCheck c{"udev rule", true, {}, {}, false};
    if (!m.packageRule.empty()) {
        c.finding = m.packageRule;
        return c;
    }
    c.ok = false;
    c.finding =
        "70-vrncomm.rules is not among udev's rules: the user at the seat gets no access to the "
        "instrument, nor dialout to its raw bridge";
    c.remedy = "sudo apt-get install --reinstall vrncomm, then plug the instrument in again";
    return c;
}

UsbCheck driverCheck(const UsbDevice& d) {
    UsbCheck c{"driver", true, {}, {}};
    const UsbInterface* iface = d.mainInterface();
    const std::string driver = iface != nullptr ? iface->driver : std::string{};
    if (driver == kKernelDriver && d.ttyNode) {
        c.finding = driver + ", " + d.ttyNode->path;
    } else if (driver.empty()) {
        c.finding = "no kernel driver bound; VRNComm drives the bridge through libftdi on " + d.usbNode.path;
    } else if (driver == kUsbfs) {
        c.ok = false;
        c.finding = "a program has claimed the bridge (usbfs), so the kernel's ftdi_sio has no tty for it";
        const bool brltty = std::any_of(d.usbNode.holders.begin(), d.usbNode.holders.end(), isBrltty);
        if (brltty)
            c.remedy = "sudo apt-get remove brltty, then plug the instrument in again";
        else if (!d.usbNode.holders.empty())
            c.remedy = "close " + pidList(d.usbNode.holders) + ", then plug the instrument in again";
        else
            c.remedy = "close the program that uses the bridge, then plug the instrument in again";
    } else {
        c.ok = false;
        c.finding = "the bridge is bound to the driver " + driver + ", not to " + kKernelDriver;
        c.remedy = "sudo sh -c 'echo " + iface->name + " > /sys/bus/usb/drivers/" + driver +
                   "/unbind', then plug the instrument in again";
    }
    return c;
}

UsbCheck brlttyCheck(const UsbInventory& inventory, const UsbDevice& d) {
    UsbCheck c{kBrltty, true, {}, {}};
    const UsbInterface* iface = d.mainInterface();
    const bool claimed = iface != nullptr && iface->driver == kUsbfs;
    std::vector<ProcessInfo> holders;
    for (const DeviceNode* node : {&d.usbNode, d.ttyNode ? &*d.ttyNode : nullptr}) {
        if (node == nullptr) continue;
        for (const ProcessInfo& p : node->holders)
            if (isBrltty(p)) holders.push_back(p);
    }
    // brltty runs as root: an ordinary user may not see what it holds, only that it runs.
    if (holders.empty() && claimed && !inventory.holdersComplete)
        for (const ProcessInfo& p : inventory.processes)
            if (isBrltty(p)) holders.push_back(p);
    if (holders.empty()) return c;
    c.ok = false;
    c.finding = pidList(holders) + " has taken the bridge for a Braille display";
    c.remedy = "sudo apt-get remove brltty, then plug the instrument in again";
    return c;
}

UsbCheck accessCheck(const UsbDevice& d, const DoctorUser& user) {
    UsbCheck c{"access", true, {}, {}};
    const DeviceNode& node = nodeOf(d);
    if (!node.exists) {
        c.ok = false;
        c.finding = node.path + " is missing";
        c.remedy = "sudo udevadm trigger, or plug the instrument in again";
        return c;
    }
    const std::string owner = user.userName(node.uid) + ":" + user.groupName(node.gid);
    const std::string what = node.path + " is " + owner + " " + modeText(node.mode);
    if (mayReadWrite(node.uid, node.gid, node.mode, node.acl, user.credentials)) {
        c.finding = what;
        return c;
    }
    c.ok = false;
    const std::string group = user.groupName(node.gid);
    c.finding = what + " and " + user.userName(user.credentials.uid) + " is not in " + group;
    if (node.acl) c.finding += " nor named in its ACL";
    if (d.ttyNode && group != "root")
        c.remedy = "sudo usermod -aG " + group + " \"$USER\", then log out and in again";
    else
        c.remedy =
            "install the udev rule 70-vrncomm.rules (sudo apt-get install --reinstall vrncomm), then plug "
            "the "
            "instrument in again";
    return c;
}

UsbCheck holdersCheck(const UsbInventory& inventory, const UsbDevice& d, const DoctorUser& user) {
    UsbCheck c{"other programs", true, {}, {}};
    const DeviceNode& node = nodeOf(d);
    std::vector<ProcessInfo> others;
    for (const ProcessInfo& p : node.holders)
        if (p.pid != user.pid && !isBrltty(p)) others.push_back(p);
    if (others.empty()) {
        if (!inventory.holdersComplete) c.finding = "none seen; other users' programs are seen only by root";
        return c;
    }
    c.ok = false;
    c.finding = pidList(others) + (others.size() == 1 ? " has " : " have ") + node.path + " open";
    const bool modemManager = std::any_of(others.begin(), others.end(),
                                          [](const ProcessInfo& p) { return p.name == kModemManager; });
    if (modemManager)
        c.remedy =
            "sudo systemctl stop ModemManager; the udev rule 70-vrncomm.rules keeps it off the instrument "
            "from the next plug-in on";
    else
        c.remedy = "close " + others.front().name + ", or: kill " + std::to_string(others.front().pid);
    return c;
}

UsbCheck latencyCheck(const UsbDevice& d) {
    UsbCheck c{"latency timer", true, {}, {}};
    const UsbInterface* iface = d.mainInterface();
    if (!d.ttyNode) {
        c.finding = "set to " + std::to_string(FtdiPort::kLatencyMs) +
                    " ms through libftdi when VRNComm opens the bridge";
    } else if (iface != nullptr && iface->latencyTimerMs) {
        c.finding = std::to_string(*iface->latencyTimerMs) + " ms";
        if (*iface->latencyTimerMs > FtdiPort::kLatencyMs)
            c.finding +=
                " now; VRNComm sets " + std::to_string(FtdiPort::kLatencyMs) + " ms when it opens the port";
    }
    return c;
}

std::string idName(uint32_t id, bool group) {
    // Large enough for a group with many members; a name that does not fit is shown as its number.
    char buffer[16384];
    if (group) {
        struct group g {};
        struct group* found = nullptr;
        if (::getgrgid_r(id, &g, buffer, sizeof buffer, &found) == 0 && found != nullptr) return g.gr_name;
    } else {
        struct passwd p {};
        struct passwd* found = nullptr;
        if (::getpwuid_r(id, &p, buffer, sizeof buffer, &found) == 0 && found != nullptr) return p.pw_name;
    }
    return std::to_string(id);
}

}  // namespace

DoctorUser DoctorUser::current() {
    DoctorUser user;
    user.credentials.uid = ::getuid();
    user.credentials.gids.push_back(::getgid());
    const int count = ::getgroups(0, nullptr);
    if (count > 0) {
        std::vector<gid_t> groups(static_cast<size_t>(count));
        const int got = ::getgroups(count, groups.data());
        for (int i = 0; i < got; ++i)
            user.credentials.gids.push_back(groups[static_cast<size_t>(i)]);
    }
    user.pid = ::getpid();
    user.userName = [](uint32_t id) { return idName(id, false); };
    user.groupName = [](uint32_t id) { return idName(id, true); };
    return user;
}

const UsbDevice* findInstrument(const UsbInventory& inventory, std::string_view description) {
    for (const UsbDevice& d : inventory.devices)
        if (sameDescription(d.product, description)) return &d;
    return nullptr;
}

std::optional<std::string> findInstrumentTty(const UsbInventory& inventory, std::string_view description) {
    const UsbDevice* d = findInstrument(inventory, description);
    if (d == nullptr || !d->ttyNode) return std::nullopt;
    return d->ttyNode->path;
}

UsbDiagnosis diagnoseUsb(const UsbInventory& inventory, const DoctorUser& user,
                         std::string_view description) {
    UsbDiagnosis diagnosis;
    auto& checks = diagnosis.checks;
    const MachineSetup& machine = inventory.machine;
    if (!machine.usbBus) checks.push_back(usbBusCheck());
    checks.push_back(userCheck(machine, user));
    checks.push_back(brlttyRuleCheck(machine));
    checks.push_back(modemManagerCheck(inventory));
    checks.push_back(packageRuleCheck(machine));
    if (!machine.usbBus) return diagnosis;
    std::vector<const UsbDevice*> found;
    for (const UsbDevice& d : inventory.devices)
        if (sameDescription(d.product, description)) found.push_back(&d);
    checks.push_back(instrumentCheck(inventory, found, description));
    if (found.empty()) return diagnosis;
    const UsbDevice& d = *found.front();
    checks.push_back(oneInstrumentCheck(found));
    checks.push_back(driverCheck(d));
    checks.push_back(brlttyCheck(inventory, d));
    checks.push_back(accessCheck(d, user));
    checks.push_back(holdersCheck(inventory, d, user));
    checks.push_back(latencyCheck(d));
    diagnosis.canOpen =
        std::all_of(checks.begin(), checks.end(), [](const UsbCheck& c) { return c.ok || !c.blocks; });
    return diagnosis;
}

std::vector<std::string> doctorLines(const UsbDiagnosis& diagnosis) {
    std::vector<std::string> lines;
    for (const UsbCheck& c : diagnosis.checks) {
        std::string line = c.name + ": ";
        if (c.ok)
            line += c.finding.empty() ? "ok" : "ok (" + c.finding + ")";
        else
            line += c.finding + "; mend: " + c.remedy;
        lines.push_back(std::move(line));
    }
    return lines;
}

std::vector<std::string> doctorAdvice(const UsbDiagnosis& diagnosis) {
    for (const UsbCheck& c : diagnosis.checks) {
        if (c.ok || !c.blocks) continue;
        std::string name = c.name;
        std::transform(name.begin(), name.end(), name.begin(),
                       [](unsigned char ch) { return static_cast<char>(std::toupper(ch)); });
        return {name + ": " + c.finding, "MEND: " + c.remedy};
    }
    return {};
}

}  // namespace vrn

#include "ports/usb_inventory.h"

#include <sys/stat.h>
#include <sys/xattr.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>

namespace vrn {
namespace {

namespace fs = std::filesystem;

// sysfs attributes are short; anything longer is not what we look for.
constexpr size_t kMaxAttribute = 256;
// An ACL of this many bytes has 127 entries, far more than a device node ever carries.
constexpr size_t kMaxAclBytes = 1020;

std::string readAttribute(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return {};
    std::array<char, kMaxAttribute> buffer{};
    in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    std::string text(buffer.data(), static_cast<size_t>(std::max<std::streamsize>(in.gcount(), 0)));
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == '\0'))
        text.pop_back();
    return text;
}

std::optional<long> parseNumber(const std::string& text, int base) {
    if (text.empty() || text.size() > 10) return std::nullopt;
    long value = 0;
    for (const char c : text) {
        const int digit = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                          : base == 16 && std::isxdigit(static_cast<unsigned char>(c))
                              ? std::tolower(static_cast<unsigned char>(c)) - 'a' + 10
                              : -1;
        if (digit < 0) return std::nullopt;
        value = value * base + digit;
    }
    return value;
}

uint16_t hexId(const fs::path& file) {
    const auto value = parseNumber(readAttribute(file), 16);
    return value && *value <= 0xffff ? static_cast<uint16_t>(*value) : 0;
}

int decimal(const fs::path& file) {
    const auto value = parseNumber(readAttribute(file), 10);
    return value && *value <= 0xffff ? static_cast<int>(*value) : 0;
}

std::vector<std::string> entriesOf(const fs::path& dir) {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
        names.push_back(it->path().filename().string());
    std::sort(names.begin(), names.end(), busOrderLess);
    return names;
}

std::string linkName(const fs::path& link) {
    std::error_code ec;
    const fs::path target = fs::read_symlink(link, ec);
    return ec ? std::string{} : target.filename().string();
}

UsbInterface readInterface(const fs::path& dir, const std::string& name) {
    UsbInterface iface;
    iface.name = name;
    iface.driver = linkName(dir / "driver");
    for (const std::string& entry : entriesOf(dir)) {
        if (!entry.starts_with("tty")) continue;
        // ftdi_sio puts its port (ttyUSB0, with its latency timer) under the interface;
        // cdc_acm puts a "tty" folder there that holds the tty's name.
        if (entry == "tty") {
            const auto ttys = entriesOf(dir / entry);
            if (!ttys.empty()) iface.tty = ttys.front();
        } else {
            iface.tty = entry;
            const auto latency = parseNumber(readAttribute(dir / entry / "latency_timer"), 10);
            if (latency && *latency <= 255) iface.latencyTimerMs = static_cast<int>(*latency);
        }
        break;
    }
    return iface;
}

DeviceNode readNode(const SystemRoots& roots, const std::string& name) {
    DeviceNode node;
    node.path = "/dev/" + name;
    const std::string file = roots.dev + "/" + name;
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0) return node;
    node.exists = true;
    node.uid = st.st_uid;
    node.gid = st.st_gid;
    node.mode = st.st_mode & 07777;
    std::array<uint8_t, kMaxAclBytes> acl{};
    const ssize_t n = ::getxattr(file.c_str(), "system.posix_acl_access", acl.data(), acl.size());
    if (n > 0) node.acl = parsePosixAcl(std::span<const uint8_t>(acl.data(), static_cast<size_t>(n)));
    return node;
}

// Every process's open files, as the paths their descriptors point at.
struct OpenFiles {
    std::vector<ProcessInfo> processes;
    std::multimap<std::string, size_t> byPath;  // path -> index into processes
    bool complete = true;
};

OpenFiles readOpenFiles(const SystemRoots& roots) {
    OpenFiles files;
    std::error_code ec;
    for (fs::directory_iterator it(roots.proc, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        const auto pid = parseNumber(name, 10);
        if (!pid) continue;
        files.processes.push_back({static_cast<int>(*pid), readAttribute(it->path() / "comm")});
        std::error_code fdError;
        fs::directory_iterator fds(it->path() / "fd", fdError);
        if (fdError) {
            files.complete = files.complete && fdError != std::errc::permission_denied;
            continue;
        }
        for (fs::directory_iterator fdEnd; !fdError && fds != fdEnd; fds.increment(fdError)) {
            std::error_code linkError;
            const fs::path target = fs::read_symlink(fds->path(), linkError);
            if (!linkError && target.string().starts_with("/dev/"))
                files.byPath.emplace(target.string(), files.processes.size() - 1);
        }
    }
    return files;
}

void addHolders(DeviceNode& node, const OpenFiles& files) {
    const auto [first, last] = files.byPath.equal_range(node.path);
    for (auto it = first; it != last; ++it) {
        const ProcessInfo& p = files.processes[it->second];
        const bool seen = std::any_of(node.holders.begin(), node.holders.end(),
                                      [&](const ProcessInfo& h) { return h.pid == p.pid; });
        if (!seen) node.holders.push_back(p);
    }
}

std::string usbNodeName(int bus, int device) {
    char name[32];
    std::snprintf(name, sizeof name, "bus/usb/%03d/%03d", bus, device);
    return name;
}

}  // namespace

const UsbInterface* UsbDevice::mainInterface() const {
    for (const UsbInterface& iface : interfaces)
        if (!iface.tty.empty()) return &iface;
    return interfaces.empty() ? nullptr : &interfaces.front();
}

bool busOrderLess(const std::string& a, const std::string& b) {
    size_t i = 0;
    size_t j = 0;
    while (i < a.size() && j < b.size()) {
        const bool da = std::isdigit(static_cast<unsigned char>(a[i])) != 0;
        const bool db = std::isdigit(static_cast<unsigned char>(b[j])) != 0;
        if (da && db) {
            size_t ei = i;
            size_t ej = j;
            while (ei < a.size() && std::isdigit(static_cast<unsigned char>(a[ei])))
                ++ei;
            while (ej < b.size() && std::isdigit(static_cast<unsigned char>(b[ej])))
                ++ej;
            // Numbers compare by their digits without leading zeros: longer is larger.
            std::string_view na(a.data() + i, ei - i);
            std::string_view nb(b.data() + j, ej - j);
            while (na.size() > 1 && na.front() == '0')
                na.remove_prefix(1);
            while (nb.size() > 1 && nb.front() == '0')
                nb.remove_prefix(1);
            if (na.size() != nb.size()) return na.size() < nb.size();
            if (na != nb) return na < nb;
            i = ei;
            j = ej;
            continue;
        }
        if (a[i] != b[j]) return a[i] < b[j];
        ++i;
        ++j;
    }
    return a.size() - i < b.size() - j;
}

UsbInventory readUsbInventory(const SystemRoots& roots, bool holders) {
    UsbInventory inventory;
    const OpenFiles files = holders ? readOpenFiles(roots) : OpenFiles{};
    inventory.processes = files.processes;
    inventory.holdersComplete = files.complete;
    inventory.machine = readMachineSetup(roots);
    const fs::path devices = fs::path(roots.sys) / "bus/usb/devices";
    for (const std::string& name : entriesOf(devices)) {
        // Interfaces are listed beside the devices ("1-1:1.0"); each is read with its device.
        if (name.find(':') != std::string::npos) continue;
        const fs::path dir = devices / name;
        UsbDevice d;
        d.sysName = name;
        d.vendorId = hexId(dir / "idVendor");
        d.productId = hexId(dir / "idProduct");
        d.manufacturer = readAttribute(dir / "manufacturer");
        d.product = readAttribute(dir / "product");
        d.serial = readAttribute(dir / "serial");
        d.busNumber = decimal(dir / "busnum");
        d.deviceNumber = decimal(dir / "devnum");
        for (const std::string& entry : entriesOf(dir))
            if (entry.starts_with(name + ":")) d.interfaces.push_back(readInterface(dir / entry, entry));
        d.usbNode = readNode(roots, usbNodeName(d.busNumber, d.deviceNumber));
        addHolders(d.usbNode, files);
        const UsbInterface* main = d.mainInterface();
        if (main != nullptr && !main->tty.empty()) {
            d.ttyNode = readNode(roots, main->tty);
            addHolders(*d.ttyNode, files);
        }
        inventory.devices.push_back(std::move(d));
    }
    return inventory;
}

}  // namespace vrn

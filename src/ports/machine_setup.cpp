#include "ports/machine_setup.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <map>
#include <string_view>

#include "ports/usb_inventory.h"

namespace vrn {
namespace {

namespace fs = std::filesystem;

constexpr const char* kPackageRule = "70-vrncomm.rules";
// A rule file is a few kilobytes; brltty's, with every Braille display it knows, some tens.
constexpr std::streamsize kMaxRuleFile = 1 << 20;

std::string readText(const fs::path& file, std::streamsize limit) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return {};
    std::string text(static_cast<size_t>(limit), '\0');
    in.read(text.data(), limit);
    text.resize(static_cast<size_t>(std::max<std::streamsize>(in.gcount(), 0)));
    return text;
}

std::vector<std::string_view> linesOf(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        lines.push_back(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    }
    return lines;
}

bool isComment(std::string_view line) {
    const size_t first = line.find_first_not_of(" \t");
    return first == std::string_view::npos || line[first] == '#';
}

std::string lowered(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

// A rule line that matches FTDI's vendor id, by attribute or by the PRODUCT key ("403/6001/*").
bool claimsFtdi(std::string_view line) {
    const std::string l = lowered(line);
    return l.find("idvendor}==\"0403\"") != std::string::npos ||
           l.find("product}==\"403/") != std::string::npos ||
           l.find("product}==\"0403/") != std::string::npos;
}

// udev's rule files by name, each from the first folder that has it: the real path and the file.
std::map<std::string, std::pair<std::string, fs::path>> effectiveRules(const SystemRoots& roots) {
    struct Folder {
        const std::string& root;  // stands for the top folder of `path`
        std::string_view below;
        std::string_view path;
    };
    const Folder folders[] = {
        {roots.etc, "udev/rules.d", "/etc/udev/rules.d"},
        {roots.run, "udev/rules.d", "/run/udev/rules.d"},
        {roots.usr, "local/lib/udev/rules.d", "/usr/local/lib/udev/rules.d"},
        {roots.usr, "lib/udev/rules.d", "/usr/lib/udev/rules.d"},
    };
    std::map<std::string, std::pair<std::string, fs::path>> rules;
    for (const Folder& f : folders) {
        std::error_code ec;
        for (fs::directory_iterator it(fs::path(f.root) / f.below, ec), end; !ec && it != end;
             it.increment(ec)) {
            const std::string name = it->path().filename().string();
            if (name.ends_with(".rules"))
                rules.try_emplace(name, std::string(f.path) + "/" + name, it->path());
        }
    }
    return rules;
}

std::vector<uint32_t> activeSeatUsers(const SystemRoots& roots) {
    std::vector<uint32_t> users;
    std::error_code ec;
    for (fs::directory_iterator it(fs::path(roots.run) / "systemd/seats", ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string text = readText(it->path(), 4096);
        for (const std::string_view line : linesOf(text)) {
            constexpr std::string_view key = "ACTIVE_UID=";
            if (!line.starts_with(key)) continue;
            uint32_t uid = 0;
            const std::string_view value = line.substr(key.size());
            const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), uid);
            if (error == std::errc() && end == value.data() + value.size()) users.push_back(uid);
        }
    }
    return users;
}

}  // namespace

MachineSetup readMachineSetup(const SystemRoots& roots) {
    MachineSetup m;
    std::error_code ec;
    m.usbBus = fs::is_directory(fs::path(roots.sys) / "bus/usb", ec);
    m.seatUsers = activeSeatUsers(roots);
    for (const char* program : {"bin/brltty", "sbin/brltty"})
        m.brlttyInstalled = m.brlttyInstalled || fs::exists(fs::path(roots.usr) / program, ec);
    for (const auto& [name, where] : effectiveRules(roots)) {
        const std::string text = readText(where.second, kMaxRuleFile);
        const std::vector<std::string_view> lines = linesOf(text);
        if (name == kPackageRule && !text.empty()) {
            m.packageRule = where.first;
            m.ruleIgnoresModemManager = std::any_of(lines.begin(), lines.end(), [](std::string_view l) {
                return !isComment(l) && l.find("ENV{ID_MM_DEVICE_IGNORE}=\"1\"") != std::string_view::npos;
            });
        }
        if (name.find("brltty") != std::string::npos && m.brlttyFtdiRule.empty() &&
            std::any_of(lines.begin(), lines.end(),
                        [](std::string_view l) { return !isComment(l) && claimsFtdi(l); }))
            m.brlttyFtdiRule = where.first;
    }
    return m;
}

}  // namespace vrn

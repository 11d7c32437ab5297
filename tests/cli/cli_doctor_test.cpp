#include <gtest/gtest.h>
#include <sys/xattr.h>

#include <fstream>
#include <functional>
#include <optional>
#include <sstream>

#include "cli_rig.h"
#include "core/link/usb_port.h"
#include "fake_system.h"

namespace vrn::cli::test {
namespace {

using vrn::test::FakeSystem;

const std::string kNothing =
    "instrument: nothing is plugged in that calls itself \"VARNO 41700 USB\"; mend: plug the instrument in "
    "with a USB data cable and switch it on";
const std::string kInstrument = "instrument: ok (1-1 \"VARNO 41700 USB\")";
const std::string kOne = "one instrument: ok";
const std::string kDriver = "driver: ok (ftdi_sio, /dev/ttyUSB0)";
const std::string kBrltty = "brltty: ok";
const std::string kAccess = "access: ok (/dev/ttyUSB0 is root:dialout 0660)";
const std::string kOthers = "other programs: ok";
const std::string kLatency = "latency timer: ok (16 ms now; VRNComm sets 1 ms when it opens the port)";
// The machine's checks, with the package's udev rule installed and nothing else in the way.
const std::string kUserInDialout = "user: ok (tech is in dialout)";
const std::string kUserNowhere =
    "user: tech is not in dialout and is not the user at a seat; mend: sudo usermod -aG dialout \"$USER\", "
    "then log out and in again";
const std::string kBrlttyRule = "brltty rule: ok";
const std::string kNoModemManager = "ModemManager: ok (not running)";
const std::string kModemManagerKept =
    "ModemManager: ok (running; the udev rule 70-vrncomm.rules keeps it off the instrument)";
const std::string kRule = "udev rule: ok (/usr/lib/udev/rules.d/70-vrncomm.rules)";
const std::string kNoRule =
    "udev rule: 70-vrncomm.rules is not among udev's rules: the user at the seat gets no access to the "
    "instrument, nor dialout to its raw bridge; mend: sudo apt-get install --reinstall vrncomm, then plug "
    "the "
    "instrument in again";

// The package's own udev rule, as it is installed.
std::string packageRule() {
    std::ifstream in(VRN_UDEV_RULE);
    std::ostringstream text;
    text << in.rdbuf();
    EXPECT_NE(text.str(), "");
    return text.str();
}

// A "system.posix_acl_access" value: the owner and group rw, a named user rw, mask rw, others none.
std::vector<uint8_t> uaccessAcl(uint32_t uid) {
    std::vector<uint8_t> b = {2, 0, 0, 0};
    auto entry = [&b](uint16_t tag, uint16_t perm, uint32_t id) {
        for (int i = 0; i < 2; ++i)
            b.push_back(static_cast<uint8_t>(tag >> (8 * i)));
        for (int i = 0; i < 2; ++i)
            b.push_back(static_cast<uint8_t>(perm >> (8 * i)));
        for (int i = 0; i < 4; ++i)
            b.push_back(static_cast<uint8_t>(id >> (8 * i)));
    };
    entry(PosixAcl::UserObj, 6, 0xffffffff);
    entry(PosixAcl::User, 6, uid);
    entry(PosixAcl::GroupObj, 6, 0xffffffff);
    entry(PosixAcl::Mask, 6, 0xffffffff);
    entry(PosixAcl::Other, 0, 0xffffffff);
    return b;
}

// Each case lays out a machine in fake /sys, /proc and /dev trees; the doctor's lines and exit
// status, and the tty the search by description takes, must be these.
TEST(CliDoctor, OneLinePerCheckFromTheFakeSystem) {
    struct Row {
        const char* name;
        std::function<void(FakeSystem&)> lay;
        bool inDialout;
        std::vector<std::string> lines;
        int exit;
        std::optional<std::string> tty;  // the search's choice
    };
    const FakeSystem::Device instrument;
    const Row rows[] = {
        {"nothing plugged in",
         [](FakeSystem& s) {
             s.plug({"usb1", "1d6b", "0002", "xHCI Host Controller", "0000:00:14.0", 1, 1, "hub", "", 0});
         },
         true,
         {kNothing},
         kExitFailed,
         std::nullopt},
        {"a bridge with another description",
         [](FakeSystem& s) {
             FakeSystem::Device other;
             other.description = "FT232R USB UART";
             s.plug(other);
         },
         true,
         {"instrument: an FTDI bridge is plugged in at 1-1, but it calls itself \"FT232R USB UART\", not "
          "\"VARNO "
          "41700 USB\"; mend: if it is the instrument, open it by name: vrncomm --port /dev/ttyUSB0"},
         kExitFailed,
         std::nullopt},
        {"no driver bound: libftdi",
         [](FakeSystem& s) {
             FakeSystem::Device raw;
             raw.driver = "";
             raw.tty = "";
             s.plug(raw);
         },
         true,
         {kInstrument, kOne,
          "driver: ok (no kernel driver bound; VRNComm drives the bridge through libftdi on "
          "/dev/bus/usb/001/005)",
          kBrltty, "access: ok (/dev/bus/usb/001/005 is root:dialout 0660)", kOthers,
          "latency timer: ok (set to 1 ms through libftdi when VRNComm opens the bridge)"},
         kExitOk,
         std::nullopt},
        {"not in dialout",
         [&](FakeSystem& s) { s.plug(instrument); },
         false,
         {kInstrument, kOne, kDriver, kBrltty,
          "access: /dev/ttyUSB0 is root:dialout 0660 and tech is not in dialout; mend: sudo usermod -aG "
          "dialout "
          "\"$USER\", then log out and in again",
          kOthers, kLatency},
         kExitFailed,
         "/dev/ttyUSB0"},
        {"not in dialout, raw bridge in root's group",
         [](FakeSystem& s) {
             FakeSystem::Device raw;
             raw.driver = "";
             raw.tty = "";
             s.plug(raw);
             s.node("bus/usb/001/005", 0600);
         },
         false,
         {kInstrument, kOne,
          "driver: ok (no kernel driver bound; VRNComm drives the bridge through libftdi on "
          "/dev/bus/usb/001/005)",
          kBrltty,
          "access: /dev/bus/usb/001/005 is root:dialout 0600 and tech is not in dialout; mend: install the "
          "udev "
          "rule 70-vrncomm.rules (sudo apt-get install --reinstall vrncomm), then plug the instrument in "
          "again",
          kOthers, "latency timer: ok (set to 1 ms through libftdi when VRNComm opens the bridge)"},
         kExitFailed,
         std::nullopt},
        {"brltty took the bridge",
         [](FakeSystem& s) {
             FakeSystem::Device taken;
             taken.driver = "usbfs";
             taken.tty = "";
             s.plug(taken);
             s.process(612, "brltty", "/dev/bus/usb/001/005");
         },
         true,
         {kInstrument, kOne,
          "driver: a program has claimed the bridge (usbfs), so the kernel's ftdi_sio has no tty for it; "
          "mend: "
          "sudo apt-get remove brltty, then plug the instrument in again",
          "brltty: brltty (pid 612) has taken the bridge for a Braille display; mend: sudo apt-get remove "
          "brltty, "
          "then plug the instrument in again",
          "access: ok (/dev/bus/usb/001/005 is root:dialout 0660)", kOthers,
          "latency timer: ok (set to 1 ms through libftdi when VRNComm opens the bridge)"},
         kExitFailed,
         std::nullopt},
        {"ModemManager holds the tty",
         [&](FakeSystem& s) {
             s.plug(instrument);
             s.process(812, "ModemManager", "/dev/ttyUSB0");
         },
         true,
         {kInstrument, kOne, kDriver, kBrltty, kAccess,
          "other programs: ModemManager (pid 812) has /dev/ttyUSB0 open; mend: sudo systemctl stop "
          "ModemManager; "
          "the udev rule 70-vrncomm.rules keeps it off the instrument from the next plug-in on",
          kLatency},
         kExitFailed,
         "/dev/ttyUSB0"},
        {"another program holds the tty",
         [&](FakeSystem& s) {
             s.plug(instrument);
             s.process(4100, "minicom", "/dev/ttyUSB0");
             s.process(4101, "bash");
         },
         true,
         {kInstrument, kOne, kDriver, kBrltty, kAccess,
          "other programs: minicom (pid 4100) has /dev/ttyUSB0 open; mend: close minicom, or: kill 4100",
          kLatency},
         kExitFailed,
         "/dev/ttyUSB0"},
        {"two instruments: the first on the bus is taken",
         [](FakeSystem& s) {
             FakeSystem::Device a;
             a.sysName = "1-10";
             a.serial = "B2";
             a.address = 9;
             a.tty = "ttyUSB1";
             s.plug(a);
             FakeSystem::Device b;
             b.sysName = "1-2";
             b.serial = "A1";
             b.address = 6;
             s.plug(b);
         },
         true,
         {"instrument: ok (1-2 \"VARNO 41700 USB\")",
          "one instrument: 2 instruments are plugged in: 1-2 (serial A1, /dev/ttyUSB0), 1-10 (serial B2, "
          "/dev/ttyUSB1); VRNComm opens 1-2; mend: unplug the others, or name the one to open: vrncomm "
          "--port serial:B2",
          kDriver, kBrltty, kAccess, kOthers, kLatency},
         kExitOk,
         "/dev/ttyUSB0"},
        {"all well; the doctor's own process is no other program",
         [&](FakeSystem& s) {
             s.plug(instrument);
             s.process(999, "vrncomm", "/dev/ttyUSB0");
         },
         true,
         {kInstrument, kOne, kDriver, kBrltty, kAccess, kOthers, kLatency},
         kExitOk,
         "/dev/ttyUSB0"},
    };
    const std::string rule = packageRule();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        FakeSystem system;
        system.file("usr/lib/udev/rules.d/70-vrncomm.rules", rule);
        row.lay(system);
        const UsbInventory inventory = readUsbInventory(system.roots());
        const DoctorUser user = system.user(row.inDialout);
        CliRig rig;
        rig.diagnose = [&] { return diagnoseUsb(inventory, user, UsbPort::kDescription); };
        EXPECT_EQ(rig.run({"--quiet", "doctor"}), row.exit);
        const bool modemManager = std::string_view(row.name).starts_with("ModemManager");
        std::string expected = (row.inDialout ? kUserInDialout : kUserNowhere) + "\n" + kBrlttyRule + "\n" +
                               (modemManager ? kModemManagerKept : kNoModemManager) + "\n" + kRule + "\n";
        for (const std::string& line : row.lines)
            expected += line + "\n";
        EXPECT_EQ(rig.out.str(), expected);
        EXPECT_EQ(rig.err.str(), "");
        EXPECT_EQ(findInstrumentTty(inventory, UsbPort::kDescription), row.tty);
        EXPECT_TRUE(rig.choices.empty()) << "the doctor opens nothing";
    }
}

// With nothing plugged in, the machine's own checks still run, one line each, before the line that
// says no instrument is there; none of them alone keeps an instrument from opening.
TEST(CliDoctor, TheMachinesChecksRunWithoutAnInstrument) {
    const std::string rule = packageRule();
    const std::string brlttyRule =
        "# Device: 0403:6001\n"
        "ENV{PRODUCT}==\"403/6001/*\", ENV{BRLTTY_BRAILLE_DRIVER}=\"at,ce,hm\", GOTO=\"brltty_usb_run\"\n";
    const std::string brlttyOthers =
        "# 0403 only in a comment\nENV{PRODUCT}==\"1c71/c005/*\", GOTO=\"run\"\n";
    struct Row {
        const char* name;
        std::function<void(FakeSystem&)> lay;
        bool inDialout;
        std::vector<std::string> lines;
        int exit = kExitFailed;
    };
    const Row rows[] = {
        {"all set",
         [](FakeSystem&) {},
         true,
         {kUserInDialout, kBrlttyRule, kNoModemManager, kRule, kNothing}},
        {"the user at the seat, not in dialout",
         [](FakeSystem& s) { s.file("run/systemd/seats/seat0", "IS_SEAT0=1\nACTIVE_UID=4242\n"); },
         false,
         {"user: ok (tech is the user at a seat, whom the udev rule gives the instrument)", kBrlttyRule,
          kNoModemManager, kRule, kNothing}},
        {"another user at the seat",
         [](FakeSystem& s) { s.file("run/systemd/seats/seat0", "ACTIVE_UID=1000\n"); },
         false,
         {kUserNowhere, kBrlttyRule, kNoModemManager, kRule, kNothing}},
        {"brltty's rule claims FTDI bridges",
         [&](FakeSystem& s) {
             s.file("usr/bin/brltty", "");
             s.file("usr/lib/udev/rules.d/85-brltty.rules", brlttyRule);
         },
         true,
         {kUserInDialout,
          "brltty rule: brltty is installed and its udev rule /usr/lib/udev/rules.d/85-brltty.rules claims "
          "FTDI "
          "bridges for a Braille display; mend: sudo apt-get remove brltty",
          kNoModemManager, kRule, kNothing}},
        {"brltty's rule by attribute, from /etc",
         [](FakeSystem& s) {
             s.file("usr/sbin/brltty", "");
             s.file("etc/udev/rules.d/60-brltty-local.rules",
                    "SUBSYSTEM==\"usb\", ATTRS{idVendor}==\"0403\", RUN+=\"brltty\"\n");
         },
         true,
         {kUserInDialout,
          "brltty rule: brltty is installed and its udev rule /etc/udev/rules.d/60-brltty-local.rules claims "
          "FTDI bridges for a Braille display; mend: sudo apt-get remove brltty",
          kNoModemManager, kRule, kNothing}},
        {"brltty's rule masked in /etc",
         [&](FakeSystem& s) {
             s.file("usr/bin/brltty", "");
             s.file("usr/lib/udev/rules.d/85-brltty.rules", brlttyRule);
             s.file("etc/udev/rules.d/85-brltty.rules", "");
         },
         true,
         {kUserInDialout, "brltty rule: ok (brltty is installed; no rule of it claims FTDI bridges)",
          kNoModemManager, kRule, kNothing}},
        {"brltty for other displays",
         [&](FakeSystem& s) {
             s.file("usr/bin/brltty", "");
             s.file("usr/lib/udev/rules.d/85-brltty.rules", brlttyOthers);
         },
         true,
         {kUserInDialout, "brltty rule: ok (brltty is installed; no rule of it claims FTDI bridges)",
          kNoModemManager, kRule, kNothing}},
        {"ModemManager running with the package's rule",
         [](FakeSystem& s) { s.process(812, "ModemManager"); },
         true,
         {kUserInDialout, kBrlttyRule, kModemManagerKept, kRule, kNothing}},
        {"ModemManager running without the package's rule",
         [](FakeSystem& s) {
             s.process(812, "ModemManager");
             s.remove("usr/lib/udev/rules.d/70-vrncomm.rules");
         },
         true,
         {kUserInDialout, kBrlttyRule,
          "ModemManager: running, and no udev rule keeps it off the instrument: it would probe it as a "
          "modem; "
          "mend: sudo apt-get install --reinstall vrncomm (its udev rule 70-vrncomm.rules tells ModemManager "
          "to leave the instrument alone), or sudo systemctl stop ModemManager",
          kNoRule, kNothing}},
        {"the package's rule masked in /etc",
         [](FakeSystem& s) { s.file("etc/udev/rules.d/70-vrncomm.rules", ""); },
         true,
         {kUserInDialout, kBrlttyRule, kNoModemManager, kNoRule, kNothing}},
        {"the rule installed by cmake under /usr/local",
         [&](FakeSystem& s) {
             s.remove("usr/lib/udev/rules.d/70-vrncomm.rules");
             s.file("usr/local/lib/udev/rules.d/70-vrncomm.rules", rule);
         },
         true,
         {kUserInDialout, kBrlttyRule, kNoModemManager,
          "udev rule: ok (/usr/local/lib/udev/rules.d/70-vrncomm.rules)", kNothing}},
        {"no USB bus",
         [](FakeSystem& s) { s.remove("sys/bus/usb"); },
         true,
         {"usb bus: this machine has no USB bus; mend: run VRNComm on the machine the instrument is plugged "
          "into (a container or virtual machine needs the USB device passed through)",
          kUserInDialout, kBrlttyRule, kNoModemManager, kRule}},
        {"an instrument that opens whatever the machine's checks say",
         [](FakeSystem& s) {
             s.plug(FakeSystem::Device{});
             s.process(812, "ModemManager");
             s.remove("usr/lib/udev/rules.d/70-vrncomm.rules");
         },
         true,
         {kUserInDialout, kBrlttyRule,
          "ModemManager: running, and no udev rule keeps it off the instrument: it would probe it as a "
          "modem; "
          "mend: sudo apt-get install --reinstall vrncomm (its udev rule 70-vrncomm.rules tells ModemManager "
          "to leave the instrument alone), or sudo systemctl stop ModemManager",
          kNoRule, kInstrument, kOne, kDriver, kBrltty, kAccess, kOthers, kLatency},
         kExitOk},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        FakeSystem system;
        system.file("usr/lib/udev/rules.d/70-vrncomm.rules", rule);
        row.lay(system);
        const UsbInventory inventory = readUsbInventory(system.roots());
        const DoctorUser user = system.user(row.inDialout);
        CliRig rig;
        rig.diagnose = [&] { return diagnoseUsb(inventory, user, UsbPort::kDescription); };
        EXPECT_EQ(rig.run({"doctor"}), row.exit);
        std::string expected;
        for (const std::string& line : row.lines)
            expected += line + "\n";
        EXPECT_EQ(rig.out.str(), expected);
        EXPECT_EQ(rig.err.str(), "");
    }
    // Root needs neither the group nor the seat.
    FakeSystem system;
    DoctorUser root = system.user(false);
    root.credentials.uid = 0;
    root.userName = [](uint32_t) { return std::string("root"); };
    const UsbDiagnosis d = diagnoseUsb(readUsbInventory(system.roots()), root, UsbPort::kDescription);
    EXPECT_EQ(doctorLines(d).front(), "user: ok (root may open every device)");
}

// The seat's user is given the tty by an ACL (udev's uaccess): the doctor sees it through the
// node's ACL, and a user the ACL does not name is still refused.
TEST(CliDoctor, AnAclNamingTheUserGrantsAccess) {
    FakeSystem system;
    system.plug(FakeSystem::Device{});
    const std::vector<uint8_t> acl = uaccessAcl(FakeSystem::kUserId);
    if (::setxattr(system.nodePath("ttyUSB0").c_str(), "system.posix_acl_access", acl.data(), acl.size(),
                   0) != 0)
        GTEST_SKIP() << "this file system keeps no ACLs";
    const UsbInventory inventory = readUsbInventory(system.roots());
    struct Row {
        const char* name;
        uint32_t uid;
        std::string access;
        int exit;
    } rows[] = {
        {"named", FakeSystem::kUserId, kAccess, kExitOk},
        {"another user", FakeSystem::kUserId + 1,
         "access: /dev/ttyUSB0 is root:dialout 0660 and 4243 is not in dialout nor named in its ACL; mend: "
         "sudo "
         "usermod -aG dialout \"$USER\", then log out and in again",
         kExitFailed},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        DoctorUser user = system.user(false);
        user.credentials.uid = row.uid;
        CliRig rig;
        rig.diagnose = [&] { return diagnoseUsb(inventory, user, UsbPort::kDescription); };
        EXPECT_EQ(rig.run({"doctor"}), row.exit);
        EXPECT_NE(rig.out.str().find(row.access + "\n"), std::string::npos) << rig.out.str();
    }
}

}  // namespace
}  // namespace vrn::cli::test

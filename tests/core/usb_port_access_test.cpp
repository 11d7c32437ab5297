#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/link/usb_port.h"
#include "sim_link.h"

namespace vrn {
namespace {

// An instrument that is absent gets the warning alone; one that is there but may not be opened
// gets the same warning and one line on how to gain access; granting access lets a reconnect in.
TEST(UsbPort, PermissionDeniedAddsOneLineAfterTheSameWarning) {
    struct Row {
        const char* name;
        bool present;
        bool denied;
        std::vector<std::string> lines;
    } rows[] = {
        {"absent", false, false, {}},
        {"absent, and no access either", false, true, {}},
        {"there but denied", true, true, {UsbPort::kAccessDeniedText}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        test::SimLink link;
        link.driver.present = row.present;
        link.driver.denied = row.denied;
        link.usb.OpenUsbPort();
        EXPECT_FALSE(link.usb.isOpen());
        ASSERT_EQ(link.host.boxes.size(), 1u);
        EXPECT_EQ(link.host.boxes[0].text, "Cannot open VARNO 41700 USB port.");
        EXPECT_EQ(link.host.boxes[0].kind, MsgKind::Warning);
        EXPECT_EQ(link.host.status, "USB port closed");
        EXPECT_EQ(link.host.lines, row.lines);

        link.driver.present = true;
        link.driver.denied = false;
        link.usb.ReconnectUSB();
        EXPECT_TRUE(link.usb.isOpen());
        EXPECT_EQ(link.host.boxes.size(), 1u);
        EXPECT_EQ(link.host.lines, row.lines);
        EXPECT_EQ(link.host.status, "VARNO 41700 USB: Port Open");
    }
}

}  // namespace
}  // namespace vrn

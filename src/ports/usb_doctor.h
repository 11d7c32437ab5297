#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ports/posix_acl.h"
#include "ports/usb_inventory.h"

namespace vrn {

// One thing that must hold for the instrument to open. A failed check says what is wrong and
// how to mend it; a check that passed may still carry a note.
struct UsbCheck {
    std::string name;
    bool ok = true;
    std::string finding;
    std::string remedy;
    // Whether a failure stands in the way of opening the instrument; the rest warn of trouble to come.
    bool blocks = true;
};

struct UsbDiagnosis {
    std::vector<UsbCheck> checks;
    // Whether an instrument is there and nothing found stands in the way of opening it.
    bool canOpen = false;
};

// The user the doctor speaks for, and how ids are named.
struct DoctorUser {
    Credentials credentials;
    int pid = 0;  // this process, never counted among the holders
    std::function<std::string(uint32_t)> userName;
    std::function<std::string(uint32_t)> groupName;

    // The user running this process.
    static DoctorUser current();
};

// The checks, in the order a user would go through them: those of the machine, then, when an
// instrument is plugged in, those of the instrument.
UsbDiagnosis diagnoseUsb(const UsbInventory& inventory, const DoctorUser& user, std::string_view description);

// The device an open by description takes: the first with the description, in bus order.
const UsbDevice* findInstrument(const UsbInventory& inventory, std::string_view description);
// Its serial tty when the kernel's driver made one ("/dev/ttyUSB0").
std::optional<std::string> findInstrumentTty(const UsbInventory& inventory, std::string_view description);

// One line per check: "NAME: ok", "NAME: ok (NOTE)" or "NAME: FINDING; mend: REMEDY".
std::vector<std::string> doctorLines(const UsbDiagnosis& diagnosis);

// The first failed check in one or two lines for the window's message area; nothing when every
// check passed.
std::vector<std::string> doctorAdvice(const UsbDiagnosis& diagnosis);

}  // namespace vrn

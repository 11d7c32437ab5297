#include "cli/commands.h"

#include <array>

#include "cli/ports_command.h"
#include "cli/setup_commands.h"

namespace vrn::cli {
namespace {

const std::array kCommands{
    Command{"ports", "ports", "list the serial ports and FTDI bridges seen; mark the instrument's",
            "Lists every serial port and FTDI bridge this machine sees, one a line. The instrument's\n"
            "(USB description \"VARNO 41700 USB\") is marked with \"*\" and \"(41700)\".\n"
            "\n"
            "example:\n"
            "  vrncomm-cli ports\n",
            runPorts},
    Command{"get-setup", "get-setup FILE.set", "read the whole Setup from the instrument into a setup file",
            "Reads every Setup value from the instrument (its date and time too) into a setup file,\n"
            "printing the window's message lines and then \"INSTRUMENT TIME: MM-DD-YYYY HH:MM:SS\".\n"
            "The file is written only when the whole Setup was read, and replaces an old one only\n"
            "once it is complete.\n"
            "\n"
            "example, a nightly backup of a station's Setup:\n"
            "  vrncomm-cli get-setup station-12-$(date +%F).set\n",
            runGetSetup},
    Command{"send-setup", "send-setup FILE.set [--time \"MM-DD-YYYY HH:MM:SS\"]",
            "send a setup file's Setup, with the PC's date and time unless --time",
            "Sends the Setup held in a setup file to the instrument, and sets the instrument's clock\n"
            "to the PC's local date and time, or to the one given with --time. A date outside\n"
            "2000..2099 or an impossible date or time is refused before anything is sent.\n"
            "\n"
            "example:\n"
            "  vrncomm-cli --port /dev/ttyUSB0 send-setup station-12.set --time \"07-01-2026 00:00:00\"\n",
            runSendSetup},
};

}  // namespace

std::span<const Command> commands() {
    return kCommands;
}

const Command* findCommand(std::string_view name) {
    for (const Command& c : kCommands)
        if (name == c.name) return &c;
    return nullptr;
}

}  // namespace vrn::cli

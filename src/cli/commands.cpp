#include "cli/commands.h"

#include <array>

#include "cli/ports_command.h"
#include "cli/screen_commands.h"
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
    Command{"get-screens", "get-screens FILE.scr",
            "read the eight LCD screens from the instrument into a screen file",
            "Reads the instrument's eight user screens (1,920 bytes) into a screen file, the same file the\n"
            "window's File, Open Screen File reads. The file is written only when every byte arrived.\n"
            "\n"
            "example:\n"
            "  vrncomm-cli get-screens station-12.scr\n",
            runGetScreens},
    Command{"send-screens", "send-screens FILE.scr",
            "send a screen file's eight LCD screens to the instrument",
            "Sends the eight screens of a screen file to the instrument, replacing the ones it shows.\n"
            "A file that is not exactly 1,920 bytes long is refused before anything is sent.\n"
            "\n"
            "example:\n"
            "  vrncomm-cli --port /dev/ttyUSB0 send-screens station-12.scr\n",
            runSendScreens},
    Command{"render", "render FILE.scr OUTDIR", "draw a screen file's eight screens as PNG pictures, offline",
            "Draws each of the eight screens of a screen file twice, without the instrument:\n"
            "OUTDIR/screen-N-lcd.png as the LCD shows it (green on black, twice its size, 480 x 96) and\n"
            "OUTDIR/screen-N.png as the black-on-white picture of the printed report. OUTDIR is made if\n"
            "missing; the path of each picture is printed as it is written.\n"
            "\n"
            "example, to look over a station's screens before sending them:\n"
            "  vrncomm-cli render station-12.scr /tmp/station-12-screens\n",
            runRender},
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

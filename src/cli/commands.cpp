#include "cli/commands.h"

#include <array>

#include "cli/ports_command.h"
#include "cli/service_commands.h"
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
    Command{"cal-data", "cal-data", "print the instrument's calibration data",
            "Prints the calibration constants the instrument keeps: a header line, then the rows the\n"
            "instrument sends, as it sends them. Needs no password.\n"
            "\n"
            "example:\n"
            "  vrncomm-cli cal-data > cal-$(date +%F).txt\n",
            runCalData},
    Command{"calibrate", "calibrate STEP [--ref MV] [--password-file FILE]",
            "run one calibration step (password; --yes answers its question)",
            "Runs one calibration step and waits up to 60 s for the instrument to finish it. STEP is\n"
            "se-zero, se-fs, diff-zero, diff-fs, wd-zero, wd-fs (the WD excitation), vout or iout.\n"
            "The full-scale steps send the reference voltage applied, --ref in millivolts (0000.00 to\n"
            "9999.99, 5000.00 when not given). The calibration password is asked on the terminal, or\n"
            "read from the one line of --password-file. The input steps replace calibration settings\n"
            "and go on only with --yes. Exit 1 when the instrument did not finish the step.\n"
            "\n"
            "example, with 2500 mV applied to the SE inputs:\n"
            "  vrncomm-cli --yes calibrate se-fs --ref 2500.00 --password-file ~/.vrn-cal\n",
            runCalibrate},
    Command{"cal-check", "cal-check CHECK [--password-file FILE]",
            "print what the instrument measures on its calibrated channels (password)",
            "Prints the instrument's readings of its calibrated channels until it ends them, or after\n"
            "60 s of silence (exit 1). CHECK is se, diff, wd, or vout-zero, vout-fs, iout-zero,\n"
            "iout-fs, which first drive all four analog outputs to that level. The password is asked\n"
            "as for calibrate.\n"
            "\n"
            "example:\n"
            "  vrncomm-cli cal-check vout-fs --password-file ~/.vrn-cal\n",
            runCalCheck},
    Command{"test", "test input KIND CHAN | output CHAN LEVEL | switch CHAN on|off | ram|pgm|rom|display",
            "run one hardware test and print its result",
            "Runs one of the Tests page's tests and prints what its result box would show:\n"
            "  input se|diff|wd|lowfreq|ttl CHAN   reads one input (se 1..16, diff 1,3..15, wd and\n"
            "                                      lowfreq 1..4, ttl 1..16)\n"
            "  output CHAN 0mV|1000mV|2500mV|5000mV|0mA|4mA|12mA|20mA   drives one analog output\n"
            "  switch CHAN on|off                  switches a solid-state switch (1..4)\n"
            "  ram, pgm, rom                       RAM test, program and ROM signatures\n"
            "  display                             starts the display test (3 s)\n"
            "Exit 1 when the instrument gave no answer (\"No Response\").\n"
            "\n"
            "example:\n"
            "  vrncomm-cli test input diff 3\n",
            runTest},
    Command{"pulldown", "pulldown CHAN on|off", "switch the pull-down of input channel 1..4",
            "Switches the pull-down of one input channel (1 to 4) on or off. The instrument does not\n"
            "answer; nothing is printed.\n"
            "\n"
            "example:\n"
            "  vrncomm-cli pulldown 4 off\n",
            runPullDown},
    Command{"reset-all", "reset-all", "set all four analog outputs to 0 mV",
            "Sets the four analog outputs to 0 mV, one after another (about 1.2 s).\n"
            "\n"
            "example:\n"
            "  vrncomm-cli reset-all\n",
            runResetAll},
    Command{"firmware", "firmware FILE.glo", "replace the instrument's firmware (only with --yes)",
            "Replaces the instrument's firmware from a file of Motorola S-records. The whole file is\n"
            "checked first (S0 first, S9 at the end, every record's checksum, at most 398 characters\n"
            "a record); then the instrument is woken, its flash erased and the records sent, each after\n"
            "the instrument acknowledged the one before, within 90 s in all. This erases the\n"
            "instrument's program memory, so it runs only with --yes. Do not interrupt it.\n"
            "\n"
            "example:\n"
            "  vrncomm-cli --yes firmware 41700-v3.13.glo\n",
            runFirmware},
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

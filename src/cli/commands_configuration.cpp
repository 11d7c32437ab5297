#include <CLI/CLI.hpp>

#include "cli/command_definition.h"
#include "cli/configuration/check_command.h"
#include "cli/configuration/compare_commands.h"
#include "cli/configuration/program_commands.h"
#include "cli/configuration/screen_commands.h"
#include "cli/configuration/setup_commands.h"
#include "cli/configuration/workspace_commands.h"
#include "cli/machine/doctor_command.h"
#include "cli/machine/ports_command.h"

namespace vrn::cli {
namespace {

constexpr CommandText kPorts{
    "ports", "list the serial ports and FTDI bridges seen; mark the instrument's",
    "Lists every serial port and FTDI bridge this machine sees, one a line. The instrument's\n"
    "(USB description \"VARNO 41700 USB\") is marked with \"*\" and \"(41700)\".\n"
    "\n"
    "example:\n"
    "  vrncomm-cli ports\n"};

constexpr CommandText kDoctor{
    "doctor", "check, one line each, what stands between this PC and the instrument",
    "Looks at the USB devices (sysfs), their nodes (/dev) and the programs holding them\n"
    "(/proc) and prints one line per check: \"NAME: ok\", or what is wrong and, after\n"
    "\"mend:\", the command that mends it. The checks: instrument (a USB device that calls\n"
    "itself \"VARNO 41700 USB\" is plugged in), one instrument, driver (the kernel's ftdi_sio\n"
    "made a tty of it, or VRNComm drives it through libftdi), brltty (has not taken it),\n"
    "access (this user may open its node), other programs (none holds it open, such as\n"
    "ModemManager), latency timer. Exit status 0 when the instrument can be opened, 1 when not.\n"
    "\n"
    "example:\n"
    "  vrncomm-cli doctor\n"};

constexpr CommandText kGetSetup{
    "get-setup", "read the whole Setup from the instrument into a setup file",
    "Reads every Setup value from the instrument (its date and time too) into a setup file,\n"
    "printing the window's message lines and then \"INSTRUMENT TIME: MM-DD-YYYY HH:MM:SS\".\n"
    "The file is written only when the whole Setup was read, and replaces an old one only\n"
    "once it is complete.\n"
    "\n"
    "example, a nightly backup of a station's Setup:\n"
    "  vrncomm-cli get-setup station-12-$(date +%F).set\n"};

constexpr CommandText kSendSetup{
    "send-setup", "send a setup file's Setup, with the PC's date and time unless --time",
    "Sends the Setup held in a setup file to the instrument, and sets the instrument's clock\n"
    "to the PC's local date and time, or to the one given with --time. A date outside\n"
    "2000..2099 or an impossible date or time is refused before anything is sent.\n"
    "A value the file holds out of range (a baud code past the list, an interval over 99)\n"
    "is named in a warning with what it would be sent as, and the Setup is sent only\n"
    "with --yes.\n"
    "With --verify the Setup is read back afterwards and compared as diff-setup does; any\n"
    "difference is printed on stderr and the exit status is 3.\n"
    "\n"
    "example:\n"
    "  vrncomm-cli --port /dev/ttyUSB0 send-setup station-12.set --time \"07-01-2026 00:00:00\"\n"};

constexpr CommandText kGetProgram{
    "get-program", "read the instrument's user program into a program file",
    "Reads the user program from the instrument (66 blocks, each checked) into a program\n"
    "file: the program image, then the program's tree text. The file is written only when\n"
    "the whole program arrived, and replaces an old one only once it is complete.\n"
    "\n"
    "example, a station's program and its listing for version control:\n"
    "  vrncomm-cli get-program st12.pgm && vrncomm-cli listing st12.pgm > st12.txt\n"};

constexpr CommandText kSendProgram{
    "send-program", "send a program file's user program to the instrument",
    "Sends the user program held in a program file to the instrument, replacing its program.\n"
    "A file shorter than a program image, with a damaged tree text, or without PGM END is\n"
    "refused before anything is sent. The program is checked first, as check does: with\n"
    "errors its findings go to stderr and nothing is sent (exit 6) unless --yes.\n"
    "With --verify the program is read back afterwards and compared as diff-program does;\n"
    "any difference is printed on stderr and the exit status is 3.\n"
    "\n"
    "example:\n"
    "  vrncomm-cli --port /dev/ttyUSB0 send-program station-12.pgm --verify\n"};

constexpr CommandText kListing{
    "listing", "print a program file's program as text, one tab per level",
    "Prints the program tree of a program file to stdout as UTF-8, one node a line, one tab\n"
    "per level (an instruction, then its parameters), so programs can be read, diffed and\n"
    "reviewed. With --outline the instructions between an IF and its END IF are indented one\n"
    "tab more (ELSE and END IF stand level with their IF), to read the program's structure.\n"
    "Needs no instrument.\n"
    "\n"
    "example:\n"
    "  diff <(vrncomm-cli listing old.pgm) <(vrncomm-cli listing new.pgm)\n"};

constexpr CommandText kCheck{
    "check", "check a user program before it is sent (offline)",
    "Checks a program file's user program against the instrument's rules and prints one line\n"
    "per finding: its position, instruction, parameter, \"error\" or \"warning\" and what\n"
    "is wrong, e.g. \"012 AVERAGE sloc=: warning: location 17 is never written\". An error\n"
    "is something the instrument cannot run as written (an IF without END IF, text past the\n"
    "40th column, a choice outside its list); a warning runs, but likely not as meant (a\n"
    "location read that nothing writes). With --setup, or for a group with its own Setup,\n"
    "the values one pass records are checked against the record format's fields.\n"
    "Exit status: 0 no findings, 5 warnings only, 6 errors, 2 a file that cannot be read.\n"
    "Needs no instrument.\n"
    "\n"
    "example, a review that fails on errors but lets warnings pass:\n"
    "  vrncomm-cli check station-12/st12.ssp; test $? -lt 6\n"};

constexpr CommandText kGetScreens{
    "get-screens", "read the eight LCD screens from the instrument into a screen file",
    "Reads the instrument's eight user screens (1,920 bytes) into a screen file, the same file the\n"
    "window's File, Open Screen File reads. The file is written only when every byte arrived.\n"
    "\n"
    "example:\n"
    "  vrncomm-cli get-screens station-12.scr\n"};

constexpr CommandText kSendScreens{
    "send-screens", "send a screen file's eight LCD screens to the instrument",
    "Sends the eight screens of a screen file to the instrument, replacing the ones it shows.\n"
    "A file that is not exactly 1,920 bytes long is refused before anything is sent.\n"
    "With --verify the screens are read back afterwards and compared as diff-screens does;\n"
    "any difference is printed on stderr and the exit status is 3.\n"
    "\n"
    "example:\n"
    "  vrncomm-cli --port /dev/ttyUSB0 send-screens station-12.scr\n"};

constexpr CommandText kRender{
    "render", "draw a screen file's eight screens as PNG pictures, offline",
    "Draws each of the eight screens of a screen file twice, without the instrument:\n"
    "OUTDIR/screen-N-lcd.png as the LCD shows it (green on black, twice its size, 480 x 96) and\n"
    "OUTDIR/screen-N.png as the black-on-white picture of the printed report. OUTDIR is made if\n"
    "missing; the path of each picture is printed as it is written.\n"
    "\n"
    "example, to look over a station's screens before sending them:\n"
    "  vrncomm-cli render station-12.scr /tmp/station-12-screens\n"};

constexpr CommandText kGetAll{
    "get-all", "read the Setup, Screens and Program from the instrument into a group file",
    "Reads the whole Setup, the eight screens and the user program from the instrument, in\n"
    "that order, and saves them as the window's Save Setup/Screens/Pgm does: GROUP.ssp and,\n"
    "beside it, GROUP.set, GROUP.scr, GROUP.pgm, the listing GROUP.txt and the pictures\n"
    "\"GROUP Screen 1.bmp\" to \"GROUP Screen 8.bmp\". Nothing is written unless all three\n"
    "parts arrived. GROUP.ssp, GROUP.set, GROUP.scr and GROUP.pgm replace their old files\n"
    "together, once all four are complete: when one cannot be written, none is replaced and\n"
    "the error names it and the reason. A missing folder is refused before anything is asked of\n"
    "the instrument.\n"
    "\n"
    "example, a station's whole configuration before a visit:\n"
    "  vrncomm-cli get-all station-12/st12.ssp\n"};

constexpr CommandText kSendAll{
    "send-all", "send a group's Setup, Screens and Program to the instrument",
    "Sends the Setup (with the PC's date and time), the eight screens and the user program of\n"
    "a group (GROUP.ssp with GROUP.set, GROUP.scr and GROUP.pgm beside it) to the instrument,\n"
    "one second apart, stopping at the first failure. A group with a missing or damaged\n"
    "member is refused before anything is sent, and so is a program the check finds errors\n"
    "in (with the group's Setup; exit 6, the findings on stderr) unless --yes. A setup file\n"
    "with values out of range is sent only with --yes, as send-setup does.\n"
    "With --verify all three are read back afterwards and compared as diff-all does; any\n"
    "difference is printed on stderr and the exit status is 3.\n"
    "\n"
    "example:\n"
    "  vrncomm-cli --port /dev/ttyUSB0 send-all station-12/st12.ssp\n"};

constexpr CommandText kDiffSetup{
    "diff-setup", "compare the instrument's Setup with a setup file",
    "Reads the instrument's Setup and compares it with a setup file value by value, printing one\n"
    "line per difference with the value's name and both settings as the Setup page shows them,\n"
    "e.g. \"COM2 BAUD: file 9600, instrument 19.2K\". The clock is not compared, nor are values\n"
    "without effect on either side: record fields past both fields-per-record counts, the width\n"
    "and precision of a field that is not a Number on both sides, the scroll pause and end\n"
    "screen while auto scroll is off on both, and COM1 for a 982-byte file, which lacks it.\n"
    "Exit 0 when equal, 3 when they differ, 1 when the instrument did not answer.\n"
    "\n"
    "example, checking a station against the Setup kept in version control:\n"
    "  vrncomm-cli --quiet diff-setup station-12.set\n"};

constexpr CommandText kDiffScreens{
    "diff-screens", "compare the instrument's eight screens with a screen file",
    "Reads the instrument's eight screens and compares them with a screen file cell by cell,\n"
    "printing one line per run of differing columns of a row, numbered from 1, e.g.\n"
    "  screen 3 row 2 col 5..11: file \"TEMP   \", instrument \"TMP    \"\n"
    "with \"(large)\" after a side whose run is in the large font. Exit 0 when equal, 3 when\n"
    "they differ, 1 when the instrument did not answer.\n"
    "\n"
    "example:\n"
    "  vrncomm-cli diff-screens station-12.scr\n"};

constexpr CommandText kDiffProgram{
    "diff-program", "compare the instrument's user program with a program file",
    "Reads the instrument's user program and prints a unified diff from the program file's\n"
    "listing to the instrument's (as the listing command prints them). The file's listing is\n"
    "made from the program it would send, not from its stored tree text. Exit 0 when equal, 3\n"
    "when they differ, 1 when the instrument did not answer.\n"
    "\n"
    "example:\n"
    "  vrncomm-cli diff-program station-12.pgm\n"};

constexpr CommandText kDiffAll{
    "diff-all", "compare the instrument's Setup, Screens and Program with a group",
    "Reads the Setup, the screens and the program from the instrument, as get-all does, and\n"
    "compares them with the group's GROUP.set, GROUP.scr and GROUP.pgm as diff-setup,\n"
    "diff-screens and diff-program do. Exit 0 when all three are equal, 3 when any differs, 1\n"
    "when the instrument did not answer.\n"
    "\n"
    "example:\n"
    "  vrncomm-cli diff-all station-12/st12.ssp\n"};

constexpr CommandText kReport{
    "report", "print a group's report as a PDF file, offline",
    "Draws the window's printed report of a group (GROUP.ssp with GROUP.set, GROUP.scr and\n"
    "GROUP.pgm beside it) into a PDF file: the header with today's date and the group's\n"
    "name, the parameters and field table, the program listing in three columns a page, and\n"
    "the eight screens on two pages. Needs no instrument and no display.\n"
    "\n"
    "example:\n"
    "  vrncomm-cli report station-12/st12.ssp st12-report.pdf\n"};

// A send of one file, read back and compared afterwards with --verify.
void addSend(CLI::App& command, CommandRunner& chosen, const char* file,
             int (*run)(Session&, const SendArgs&)) {
    SendArgs& a = runs(command, chosen, run);
    positional(command, file, a.file);
    command.add_flag("--verify", a.verify);
}

}  // namespace

void addConfigurationCommands(CLI::App& app, CommandRunner& chosen) {
    runs(addCommand(app, kPorts), chosen, runPorts);
    runs(addCommand(app, kDoctor), chosen, runDoctor);

    runsWithWords(addCommand(app, kGetSetup), chosen, {"FILE.set"}, runGetSetup);
    CLI::App& sendSetup = addCommand(app, kSendSetup);
    SendSetupArgs& setup = runs(sendSetup, chosen, runSendSetup);
    positional(sendSetup, "FILE.set", setup.file);
    sendSetup.add_option("--time", setup.time)->type_name("'MM-DD-YYYY HH:MM:SS'");
    sendSetup.add_flag("--verify", setup.verify);

    runsWithWords(addCommand(app, kGetProgram), chosen, {"FILE.pgm"}, runGetProgram);
    addSend(addCommand(app, kSendProgram), chosen, "FILE.pgm", runSendProgram);
    CLI::App& listing = addCommand(app, kListing);
    ListingArgs& listed = runs(listing, chosen, runListing);
    positional(listing, "FILE.pgm", listed.file);
    listing.add_flag("--outline", listed.outline);
    CLI::App& check = addCommand(app, kCheck);
    CheckArgs& checked = runs(check, chosen, runCheck);
    positional(check, "FILE.pgm|GROUP.ssp", checked.file);
    check.add_option("--setup", checked.setup)->type_name("FILE.set");

    runsWithWords(addCommand(app, kGetScreens), chosen, {"FILE.scr"}, runGetScreens);
    addSend(addCommand(app, kSendScreens), chosen, "FILE.scr", runSendScreens);
    runsWithWords(addCommand(app, kRender), chosen, {"FILE.scr", "OUTDIR"}, runRender);

    runsWithWords(addCommand(app, kGetAll), chosen, {"GROUP.ssp"}, runGetAll);
    addSend(addCommand(app, kSendAll), chosen, "GROUP.ssp", runSendAll);
    runsWithWords(addCommand(app, kDiffSetup), chosen, {"FILE.set"}, runDiffSetup);
    runsWithWords(addCommand(app, kDiffScreens), chosen, {"FILE.scr"}, runDiffScreens);
    runsWithWords(addCommand(app, kDiffProgram), chosen, {"FILE.pgm"}, runDiffProgram);
    runsWithWords(addCommand(app, kDiffAll), chosen, {"GROUP.ssp"}, runDiffAll);
    runsWithWords(addCommand(app, kReport), chosen, {"GROUP.ssp", "OUT.pdf"}, runReport);
}

}  // namespace vrn::cli

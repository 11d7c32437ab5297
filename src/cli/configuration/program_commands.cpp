#include "cli/configuration/program_commands.h"

#include <ostream>

#include "cli/command_definition.h"
#include "cli/configuration/check_command.h"
#include "cli/configuration/compare_commands.h"
#include "cli/outcome_exit.h"
#include "cli/output_target.h"
#include "cli/session.h"
#include "core/io/file_store.h"
#include "core/program/program_actions.h"
#include "core/program/program_file.h"
#include "core/program/program_outline.h"
#include "core/program/program_transfer.h"

namespace vrn::cli {
// A script gets a refusal for a file that cannot hold a program or whose tree text is damaged.
bool loadProgram(Session& s, const std::string& path, ProgramModel& program) {
    std::string error;
    const auto bytes = s.env.files.readFile(path, program::kMaxProgramFileBytes, error);
    if (!bytes) {
        s.host.error("cannot read " + path + ": " + error);
        return false;
    }
    if (const auto invalid = readProgramFile(*bytes, program)) {
        s.host.error(path + ": " + *invalid);
        return false;
    }
    return true;
}

namespace {

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

struct ListingArgs {
    std::string file;
    bool outline = false;
};

int runGetProgram(Session& s, const Words& args) {
    if (!claimOutputFile(s, args[0])) return kExitUsage;
    if (!s.openLink()) return kExitFailed;
    ProgramModel program;
    program::ProgramTransfer transfer(*s.exchange, program);
    if (const Outcome got = transfer.GetUserProgram(); !got.ok()) {
        if (got.kind() != Outcome::Kind::ProgramAtFault) MyCommError(s.host);
        return exitStatusOf(got, s.result);
    }
    std::string error;
    if (!s.env.files.writeFile(args[0], writeProgramFile(program), error)) {
        s.host.error("cannot write " + args[0] + ": " + error);
        return kExitUsage;
    }
    return kExitOk;
}

int runSendProgram(Session& s, const SendArgs& args) {
    ProgramModel program;
    if (!loadProgram(s, args.file, program)) return kExitUsage;
    // Without it the instrument would run off the end of its program.
    if (!program.store.hasPgmEnd()) {
        s.host.error(args.file + " has no PGM END in its 512 instruction slots");
        return kExitUsage;
    }
    if (const auto refused = refuseProgramWithErrors(s, program.store, nullptr)) return *refused;
    if (!s.openLink()) return kExitFailed;
    program::ProgramTransfer transfer(*s.exchange, program);
    if (const Outcome sent = transfer.SendUserProgram(); !sent.ok()) {
        MyCommError(s.host);
        return exitStatusOf(sent, s.result);
    }
    return args.verify ? verifyProgram(s, program.store, args.file) : kExitOk;
}

// How deep each top-level node sits between IF and END IF, by the instruction its text names.
std::vector<size_t> outlineOf(const ProgramTree& tree) {
    std::vector<uint16_t> numbers;
    for (const ProgramNode& node : tree.topLevel())
        numbers.push_back(instructionNumberOf(node.text).value_or(kUnknownInstruction));
    return outlineLevels(numbers);
}

void listNode(const ProgramNode& node, size_t depth, std::vector<std::string>& lines) {
    lines.push_back(std::string(depth, '\t') + node.text);
    for (const ProgramNode& child : node.children)
        listNode(child, depth + 1, lines);
}

int runListing(Session& s, const ListingArgs& args) {
    ProgramModel program;
    if (!loadProgram(s, args.file, program)) return kExitUsage;
    const std::vector<size_t> levels =
        args.outline ? outlineOf(program.tree) : std::vector<size_t>(program.tree.topCount(), 0);
    std::vector<std::string> lines;
    for (size_t k = 0; k < program.tree.topCount(); ++k)
        listNode(program.tree.topLevel()[k], levels[k], lines);
    for (const std::string& line : lines)
        s.env.out << line << '\n';
    s.result.data["listing"] = jsonTexts(lines);
    return kExitOk;
}

}  // namespace

void addProgramCommands(CLI::App& app, CommandRunner& chosen) {
    runsWithWords(addCommand(app, kGetProgram), chosen, {"FILE.pgm"}, runGetProgram);
    addSend(addCommand(app, kSendProgram), chosen, "FILE.pgm", runSendProgram);
    CLI::App& listing = addCommand(app, kListing);
    ListingArgs& listed = runs(listing, chosen, runListing);
    positional(listing, "FILE.pgm", listed.file);
    listing.add_flag("--outline", listed.outline);
}

}  // namespace vrn::cli

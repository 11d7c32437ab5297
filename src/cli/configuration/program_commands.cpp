#include "cli/configuration/program_commands.h"

#include <ostream>

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

int runGetProgram(Session& s, const Words& args) {
    if (!claimOutputFile(s, args[0])) return kExitUsage;
    if (!s.openLink()) return kExitFailed;
    ProgramModel program;
    program::ProgramTransfer transfer(*s.exchange, program);
    if (const Outcome got = transfer.GetUserProgram(); !got.ok()) {
        if (!transfer.programAtFault()) MyCommError(s.host);
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

namespace {

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

}  // namespace

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

}  // namespace vrn::cli

#include "cli/program_commands.h"

#include <ostream>

#include "cli/compare_commands.h"
#include "cli/session.h"
#include "core/io/file_store.h"
#include "core/program/program_actions.h"
#include "core/program/program_file.h"
#include "core/program/program_transfer.h"

namespace vrn::cli {
namespace {

bool oneFile(Session& s, const std::vector<std::string>& args, const char* command) {
    if (args.size() == 1 && !args[0].starts_with("-")) return true;
    s.host.error(std::string(command) + " takes one FILE.pgm");
    return false;
}

}  // namespace

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

int runGetProgram(Session& s, const std::vector<std::string>& args) {
    if (!oneFile(s, args, "get-program")) return kExitUsage;
    if (!s.openLink()) return kExitFailed;
    ProgramModel program;
    program::ProgramTransfer transfer(*s.exchange, program);
    if (transfer.GetUserProgram()) {
        if (!transfer.programAtFault()) MyCommError(s.host);
        return kExitFailed;
    }
    std::string error;
    if (!s.env.files.writeFile(args[0], writeProgramFile(program), error)) {
        s.host.error("cannot write " + args[0] + ": " + error);
        return kExitUsage;
    }
    return kExitOk;
}

int runSendProgram(Session& s, const std::vector<std::string>& given) {
    std::vector<std::string> args = given;
    const bool verify = takeVerifyOption(args);
    if (!oneFile(s, args, "send-program")) return kExitUsage;
    ProgramModel program;
    if (!loadProgram(s, args[0], program)) return kExitUsage;
    // Without it the instrument would run off the end of its program.
    if (!program.store.hasPgmEnd()) {
        s.host.error(args[0] + " has no PGM END in its 512 instruction slots");
        return kExitUsage;
    }
    if (!s.openLink()) return kExitFailed;
    program::ProgramTransfer transfer(*s.exchange, program);
    if (transfer.SendUserProgram()) {
        MyCommError(s.host);
        return kExitFailed;
    }
    return verify ? verifyProgram(s, program.store, args[0]) : kExitOk;
}

int runListing(Session& s, const std::vector<std::string>& args) {
    if (!oneFile(s, args, "listing")) return kExitUsage;
    ProgramModel program;
    if (!loadProgram(s, args[0], program)) return kExitUsage;
    program.tree.forEach([&s](size_t depth, const std::string& text) {
        s.env.out << std::string(depth, '\t') << text << '\n';
    });
    return kExitOk;
}

}  // namespace vrn::cli

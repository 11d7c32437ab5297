#include "cli/configuration/compare_commands.h"

#include <QJsonArray>
#include <QJsonObject>
#include <algorithm>
#include <optional>
#include <ostream>

#include "cli/command_definition.h"
#include "cli/configuration/program_commands.h"
#include "cli/configuration/screen_commands.h"
#include "cli/configuration/setup_commands.h"
#include "cli/outcome_exit.h"
#include "cli/session.h"
#include "core/compare/program_compare.h"
#include "core/compare/screen_compare.h"
#include "core/compare/setup_compare.h"
#include "core/compare/text_diff.h"
#include "core/io/file_store.h"
#include "core/link/clock.h"
#include "core/program/program_model.h"
#include "core/program/program_transfer.h"
#include "core/screens/screen_transfer.h"
#include "core/setup/setup_model.h"
#include "core/setup/setup_transfer.h"
#include "core/workspace/group_file.h"
#include "core/workspace/whole_transfer.h"

namespace vrn::cli {
namespace {

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

// What the instrument holds, got over the session's link. The Setup keeps "Use PC System Time"
// on, so its clock, which is never compared, is not read.
struct Held {
    explicit Held(Host& host) : screens(host) {}
    setup::SetupModel setup;
    Screens screens;
    ProgramModel program;
};

// One part compared: its names, the lines that differ from the file at path, and the same
// differences as records.
struct PartDiff {
    const char* part;  // upper case, for the message line
    const char* noun;  // for the error line
    std::string path;
    std::vector<std::string> lines;
    QJsonArray differences;
};

QJsonArray differenceRecords(const std::vector<compare::Difference>& differences) {
    QJsonArray records;
    for (const compare::Difference& d : differences)
        records.append(QJsonObject{{"where", QString::fromStdString(d.where)},
                                   {"file", QString::fromStdString(d.file)},
                                   {"instrument", QString::fromStdString(d.instrument)}});
    return records;
}

// A unified diff's hunks as records: the hunk's header, the file's lines it removes and the
// instrument's it adds. The first two lines are the diff's own header.
QJsonArray hunkRecords(const std::vector<std::string>& diff) {
    QJsonArray records;
    QJsonObject hunk;
    QJsonArray removed, added;
    const auto flush = [&] {
        if (hunk.isEmpty()) return;
        hunk["file"] = removed;
        hunk["instrument"] = added;
        records.append(hunk);
        hunk = {};
        removed = {};
        added = {};
    };
    for (size_t k = 2; k < diff.size(); ++k) {
        const std::string& line = diff[k];
        if (line.starts_with("@@")) {
            flush();
            hunk["where"] = QString::fromStdString(line);
        } else if (line.starts_with('-')) {
            removed.append(QString::fromStdString(line.substr(1)));
        } else if (line.starts_with('+')) {
            added.append(QString::fromStdString(line.substr(1)));
        }
    }
    flush();
    return records;
}

// Each get fills held; kExitOk, or after its box the failure's exit status (kept in the result).
int getSetup(Session& s, Held& held) {
    setup::SetupTransfer transfer(*s.exchange, held.setup);
    const Outcome got = transfer.GetUserSettings();
    if (!got.ok()) MyCommError(s.host);
    return exitStatusOf(got, s.result);
}

int getScreens(Session& s, Held& held) {
    screens::ScreenTransfer transfer(*s.exchange, held.screens.display, held.screens.editor);
    const Outcome got = transfer.GetUserScreens();
    if (!got.ok()) MyCommError(s.host);
    return exitStatusOf(got, s.result);
}

int getProgram(Session& s, Held& held) {
    program::ProgramTransfer transfer(*s.exchange, held.program);
    const Outcome got = transfer.GetUserProgram();
    if (!got.ok() && got.kind() != Outcome::Kind::ProgramAtFault) MyCommError(s.host);
    return exitStatusOf(got, s.result);
}

// The three gets in a row, as get-all runs them; a failure has had its box.
int getWhole(Session& s, Held& held) {
    setup::SetupTransfer setupTransfer(*s.exchange, held.setup);
    screens::ScreenTransfer screenTransfer(*s.exchange, held.screens.display, held.screens.editor);
    program::ProgramTransfer programTransfer(*s.exchange, held.program);
    workspace::Transfers transfers{setupTransfer, screenTransfer, programTransfer};
    return exitStatusOf(workspace::getAll(transfers, {}), s.result);
}

// The program as the instrument would list it once received; nothing (after an error line) when
// the file's program holds an instruction the catalogue does not know.
std::optional<std::vector<std::string>> sentListing(Session& s, const ProgramStore& store,
                                                    const std::string& path) {
    std::string problem;
    auto listing = compare::sentProgramListing(store, problem);
    if (!listing) s.host.error(path + ": its program cannot be listed: " + problem);
    return listing;
}

PartDiff setupDiff(const setup::SetupModel& file, const Held& held, bool compareCom1,
                   const std::string& path) {
    const auto differences = compare::setupDifferences(file, held.setup, compareCom1);
    return {"SETUP", "Setup", path, compare::differenceLines(differences), differenceRecords(differences)};
}

PartDiff screensDiff(std::span<const uint8_t, screens::kStoreBytes> file, const Held& held,
                     const std::string& path) {
    const auto differences = compare::screenDifferences(file, held.screens.store.bytes());
    return {"SCREENS", "screens", path, compare::differenceLines(differences),
            differenceRecords(differences)};
}

PartDiff programDiff(const std::vector<std::string>& fileListing, const Held& held, const std::string& path) {
    auto diff =
        compare::unifiedDiff(fileListing, compare::treeListing(held.program.tree), path, "instrument");
    QJsonArray hunks = hunkRecords(diff);
    return {"PROGRAM", "program", path, std::move(diff), std::move(hunks)};
}

// A send's last bytes may still sit in the driver when it returns (the program's end packet is
// not answered); the get's purge would throw them away. Wait as a whole send does between parts.
void letTheSendFinish(Session& s) {
    s.env.clock.sleepMs(workspace::kSendStepPauseMs);
}

bool allEqual(const std::vector<PartDiff>& parts) {
    return std::all_of(parts.begin(), parts.end(), [](const PartDiff& o) { return o.lines.empty(); });
}

void summarise(Session& s, const PartDiff& o) {
    s.host.info(std::string(o.part) + (o.lines.empty() ? ": SAME AS " : ": DIFFERENT FROM ") + o.path + ".");
}

// The comparison as the result's data: whether all agree, and each part with its differences.
QJsonObject comparison(const std::vector<PartDiff>& parts) {
    QJsonArray records;
    for (const PartDiff& o : parts)
        records.append(QJsonObject{{"part", QString::fromUtf8(o.noun).toLower()},
                                   {"file", QString::fromStdString(o.path)},
                                   {"equal", o.lines.empty()},
                                   {"differences", o.differences}});
    return {{"equal", allEqual(parts)}, {"parts", records}};
}

// A diff's result: the differences on stdout (kept even by --quiet, they are what was asked for),
// then one message line a part.
int showDiff(Session& s, const std::vector<PartDiff>& parts) {
    s.result.data = comparison(parts);
    for (const PartDiff& o : parts) {
        for (const std::string& line : o.lines)
            s.env.out << line << '\n';
        summarise(s, o);
    }
    return allEqual(parts) ? kExitOk : kExitDiffers;
}

// A verify's result: a send that did not take is a failure, its differences on stderr.
int showVerify(Session& s, const std::vector<PartDiff>& parts) {
    s.result.data["verify"] = comparison(parts);
    for (const PartDiff& o : parts) {
        if (!o.lines.empty()) {
            s.host.error(std::string("the instrument's ") + o.noun + " differs from " + o.path +
                         " after the send:");
            for (const std::string& line : o.lines)
                s.env.err << "  " << line << '\n';
        }
        summarise(s, o);
    }
    return allEqual(parts) ? kExitOk : kExitDiffers;
}

int runDiffSetup(Session& s, const Words& args) {
    setup::SetupModel file;
    const auto loaded = loadSetupFile(s, args[0], file);
    if (!loaded) return kExitUsage;
    if (!s.openLink()) return kExitFailed;
    Held held(s.host);
    if (const int status = getSetup(s, held); status != kExitOk) return status;
    return showDiff(s, {setupDiff(file, held, loaded->holdsCom1, args[0])});
}

int runDiffScreens(Session& s, const Words& args) {
    const auto file = readScreenFile(s, args[0]);
    if (!file) return kExitUsage;
    if (!s.openLink()) return kExitFailed;
    Held held(s.host);
    if (const int status = getScreens(s, held); status != kExitOk) return status;
    return showDiff(s, {screensDiff(std::span(*file).first<screens::kStoreBytes>(), held, args[0])});
}

int runDiffProgram(Session& s, const Words& args) {
    ProgramModel file;
    if (!loadProgram(s, args[0], file)) return kExitUsage;
    const auto listing = sentListing(s, file.store, args[0]);
    if (!listing) return kExitUsage;
    if (!s.openLink()) return kExitFailed;
    Held held(s.host);
    if (const int status = getProgram(s, held); status != kExitOk) return status;
    return showDiff(s, {programDiff(*listing, held, args[0])});
}

int runDiffAll(Session& s, const Words& args) {
    std::string error;
    const auto mark = s.env.files.readFile(args[0], workspace::kGroupMark.size(), error);
    if (!mark || !workspace::isGroupFile(*mark)) {
        s.host.error(args[0] + " is not a group file" + (mark ? std::string() : ": " + error));
        return kExitUsage;
    }
    const workspace::GroupMembers members = workspace::groupMembers(args[0]);
    setup::SetupModel setupFile;
    const auto loaded = loadSetupFile(s, members.setup, setupFile);
    const auto screenFile = readScreenFile(s, members.screens);
    ProgramModel programFile;
    if (!loaded || !screenFile || !loadProgram(s, members.program, programFile)) return kExitUsage;
    const auto listing = sentListing(s, programFile.store, members.program);
    if (!listing) return kExitUsage;
    if (!s.openLink()) return kExitFailed;
    Held held(s.host);
    if (const int status = getWhole(s, held); status != kExitOk) return status;
    return showDiff(s,
                    {setupDiff(setupFile, held, loaded->holdsCom1, members.setup),
                     screensDiff(std::span(*screenFile).first<screens::kStoreBytes>(), held, members.screens),
                     programDiff(*listing, held, members.program)});
}

}  // namespace

int verifySetup(Session& s, const setup::SetupModel& sent, const std::string& path) {
    letTheSendFinish(s);
    Held held(s.host);
    if (const int status = getSetup(s, held); status != kExitOk) return status;
    return showVerify(s, {setupDiff(sent, held, true, path)});
}

int verifyScreens(Session& s, std::span<const uint8_t, screens::kStoreBytes> sent, const std::string& path) {
    letTheSendFinish(s);
    Held held(s.host);
    if (const int status = getScreens(s, held); status != kExitOk) return status;
    return showVerify(s, {screensDiff(sent, held, path)});
}

int verifyProgram(Session& s, const ProgramStore& sent, const std::string& path) {
    const auto listing = sentListing(s, sent, path);
    if (!listing) return kExitFailed;
    letTheSendFinish(s);
    Held held(s.host);
    if (const int status = getProgram(s, held); status != kExitOk) return status;
    return showVerify(s, {programDiff(*listing, held, path)});
}

int verifyAll(Session& s, const setup::SetupModel& setup,
              std::span<const uint8_t, screens::kStoreBytes> screens, const ProgramStore& program,
              const std::string& path) {
    const auto listing = sentListing(s, program, path);
    if (!listing) return kExitFailed;
    letTheSendFinish(s);
    Held held(s.host);
    if (const int status = getWhole(s, held); status != kExitOk) return status;
    const workspace::GroupMembers members = workspace::groupMembers(path);
    return showVerify(
        s, {setupDiff(setup, held, true, members.setup), screensDiff(screens, held, members.screens),
            programDiff(*listing, held, members.program)});
}

void addDiffCommands(CLI::App& app, CommandRunner& chosen) {
    runsWithWords(addCommand(app, kDiffSetup), chosen, {"FILE.set"}, runDiffSetup);
    runsWithWords(addCommand(app, kDiffScreens), chosen, {"FILE.scr"}, runDiffScreens);
    runsWithWords(addCommand(app, kDiffProgram), chosen, {"FILE.pgm"}, runDiffProgram);
    runsWithWords(addCommand(app, kDiffAll), chosen, {"GROUP.ssp"}, runDiffAll);
}

}  // namespace vrn::cli

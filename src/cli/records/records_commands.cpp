#include "cli/command_definition.h"
#include "cli/outcome_exit.h"
#include "cli/output_target.h"
#include "cli/record_arguments.h"
#include "cli/record_options.h"
#include "cli/result_outcomes.h"
#include "cli/session.h"
#include "cli/value_checks.h"
#include "core/io/file_store.h"
#include "core/records/record_erase.h"
#include "core/records/record_retrieval.h"
#include "core/setup/setup_model.h"
#include "core/setup/setup_transfer.h"

namespace vrn::cli {
namespace {

constexpr CommandText kGetRecords{
    "get-records", "download COUNT records, or all the instrument holds, into a record text file",
    "Reads the record format (fields per record and the fields' settings) from the instrument,\n"
    "then downloads COUNT records (1..999999999) and writes them to a text file,\n"
    "byte for byte as the window does: \"N RECORDS\", the date and time, the field labels,\n"
    "one line per record, fields separated by the delimiter (comma unless --delimiter),\n"
    "CR LF line ends. Prints \"TOTAL BYTES: n\" with the bytes received. The file replaces\n"
    "an old one only once the download is complete; on any failure the old file is untouched.\n"
    "With COUNT times the fields per record at 2162688 or more nothing is downloaded (exit 2).\n"
    "FILE must be a file that can be created before anything is downloaded (exit 2).\n"
    "When the instrument falls silent with fewer records than COUNT, or the port is lost, the\n"
    "complete records that came are written with the warning \"Only n of COUNT records\n"
    "arrived.\" (exit 4). With all, the most the record format allows (2162687 values) is\n"
    "asked for and the instrument's silence ends the download; its newest records are then\n"
    "asked for: when they reach back to the last record that came, the download is complete\n"
    "(exit 0, with the records logged meanwhile), else it was cut and the records that came\n"
    "are written with the warning \"The download was cut short after n records.\" (exit 4).\n"
    "\n"
    "example, the last day's records of a station logging every minute:\n"
    "  vrncomm-cli --quiet get-records 1440 station-12-$(date +%F).txt --delimiter tab\n"};

constexpr CommandText kEraseRecords{
    "erase-records", "erase ALL recorded data in the instrument (needs --yes)",
    "Erases the whole record memory of the instrument, following its progress to the end.\n"
    "The window asks \"Erase ALL Recorded Data in 41700?\" first; here the answer is Yes only\n"
    "with --yes, and without it nothing is sent and the exit status is 2.\n"
    "\n"
    "example, after the records were safely downloaded:\n"
    "  vrncomm-cli get-records 100000 all.txt && vrncomm-cli --yes erase-records\n"};

struct GetRecordsArgs {
    std::string count;  // "all" or 1..999999999
    std::string file;
    std::string delimiter = "comma";
};

int runGetRecords(Session& s, const GetRecordsArgs& args) {
    records::RetrievalOptions options;
    options.formatNotice = false;
    // Both were checked when the command line was read.
    parseDelimiter(args.delimiter, options.delimiter);
    options.allRecords = args.count == "all";
    if (!options.allRecords) parseCount(args.count, options.count);
    options.path = args.file;
    options.askBeforeShortSave = false;

    if (!claimStandardOutput(s, args.file)) return kExitUsage;
    // Found out before the port is opened, in the words the retrieval has for it.
    if (std::string error; !s.env.files.canCreate(args.file, error)) {
        s.host.MyMessage(records::recordFileProblem(args.file, error), MsgButtons::Ok, MsgKind::Warning);
        return kExitUsage;
    }
    if (!s.openLink()) return kExitFailed;
    setup::SetupModel model;
    setup::SetupTransfer transfer(*s.exchange, model);
    records::RecordRetrieval retrieval(transfer, s.env.files);
    const LogMark mark = markOf(s.result.log);
    const records::RetrievalResult result = retrieval.ButtonGetRecordsClick(options);
    s.result.data = {{"totalBytes", static_cast<qint64>(result->totalBytes)},
                     {"records", static_cast<qint64>(result->recordsWritten)}};
    keepFailure(outcomeOf(result, reasonSince(s.result.log, mark)), s.result);
    return retrievalExitStatus(result);
}

int runEraseRecords(Session& s) {
    if (!s.openLink()) return kExitFailed;
    return exitStatusOf(records::RecordErase(*s.exchange).EraseRecords1Click(), s.result);
}

}  // namespace

void addRecordMemoryCommands(CLI::App& app, CommandRunner& chosen) {
    CLI::App& getRecords = addCommand(app, kGetRecords);
    GetRecordsArgs& get = runs(getRecords, chosen, runGetRecords);
    positional(getRecords, "COUNT", get.count).option_text("COUNT|all")->check(recordCount());
    positional(getRecords, "FILE.txt", get.file);
    delimiterOption(getRecords, get.delimiter);

    runs(addCommand(app, kEraseRecords), chosen, runEraseRecords);
}

}  // namespace vrn::cli

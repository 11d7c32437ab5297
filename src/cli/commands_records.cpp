#include <CLI/CLI.hpp>

#include "cli/archive/status_command.h"
#include "cli/archive/sync_command.h"
#include "cli/archive_commands.h"
#include "cli/command_definition.h"
#include "cli/plot_command.h"
#include "cli/records_commands.h"
#include "cli/value_checks.h"

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

constexpr CommandText kCollect{
    "collect", "download records into a record archive (SQLite file or PostgreSQL), adding only new ones",
    "Reads the record format, downloads the newest N records (1440 unless --count; all, every\n"
    "record the instrument holds, ended at its silence) and stores\n"
    "them in ARCHIVE: a file path is a SQLite database, made on first use; a postgresql:// URL\n"
    "(postgresql://USER@HOST:PORT/DB, the password in ~/.pgpass or PGPASSFILE, or\n"
    "postgresql:///DB?host=/run/postgresql for a socket) a PostgreSQL database; a password\n"
    "in the URL is shown as *** wherever the archive is named. Each record is keyed by the station and its "
    "time, from the\n"
    "format's Date and Time fields (a format without both is refused before downloading); the\n"
    "instrument's clock minus --utc-offset is UTC. The offset is remembered with the station and\n"
    "used when --utc-offset is not given (+00:00 at first); another one is refused (exit 2)\n"
    "before anything is asked of the instrument. When the station's clock was set to another\n"
    "offset (daylight saving), give it once as --new-utc-offset: the records up to the newest one\n"
    "held keep the former offset, those after it take the new one, none is keyed twice.\n"
    "Records the archive holds already\n"
    "are left as they are, so collecting again adds only what is new. Missing readings are\n"
    "stored as NULL; a record whose date or time is missing is kept once per station (known by\n"
    "its values and its nearest keyed records) and counted. Each collection also stores the record format it "
    "was read with. Everything one\n"
    "collection stores is one transaction: a failed download or an interrupted run leaves the\n"
    "archive as it was. A download cut short (silence, the port lost) stores the whole records\n"
    "that came and exits 4. The station's name is remembered with the instrument's USB serial\n"
    "number where it has one, so --station may be left out afterwards. Prints\n"
    "\"RECORDS: n, NEW: n, WITHOUT DATE OR TIME: n\" and \"NEWEST: YYYY-MM-DD HH:MM:SS UTC\".\n"
    "Prints \"STORING RECORDS IN ARCHIVE...\" before storing. A PostgreSQL server restarted\n"
    "during the download is connected to again for the store. Exit 7 when the archive cannot\n"
    "be opened or written.\n"
    "\n"
    "example, station 12 logging every ten minutes on UTC+1, collected every hour by a timer:\n"
    "  vrncomm-cli --quiet collect /var/lib/vrncomm/archive.db --station st12 --count 144 \\\n"
    "      --utc-offset +01:00\n"};

constexpr CommandText kExport{
    "export", "write a station's records from a record archive as a record text file",
    "Writes the records of one station held in ARCHIVE (a SQLite file or a postgresql:// URL)\n"
    "to a record text file, byte for byte as get-records and the window write it, so the chart\n"
    "and every tool that reads those files read it. --from and --to (UTC, both included) are\n"
    "YYYY-MM-DD, YYYY-MM-DD HH:MM or YYYY-MM-DD HH:MM:SS; a --to date alone takes in its whole\n"
    "day. Records without a date or time are not exported. A range whose records were\n"
    "collected with different record formats is refused, naming the time the format changed.\n"
    "Prints \"RECORDS: n, FROM ... UTC TO ... UTC\". An unknown station or an empty range is\n"
    "exit 2, an archive that cannot be read exit 7.\n"
    "\n"
    "example, station 12's March:\n"
    "  vrncomm-cli export /var/lib/vrncomm/archive.db --station st12 --from 2026-03-01 \\\n"
    "      --to 2026-03-31 st12-march.txt\n"};

constexpr CommandText kPlot{
    "plot", "draw a record text file's (or an archived station's) Number fields as a chart (PNG), offline",
    "Draws the records of a record text file (as get-records or the window writes it) as the\n"
    "window's records chart: a line per Number field against the records' date and time (or\n"
    "their numbers when the file has no Date and Time fields), missing readings (-99999) as\n"
    "gaps, into a PNG picture of 960 x 560. --fields draws only the fields with these labels.\n"
    "A file that is not a record file, or a label no Number field has, is refused (exit 2).\n"
    "With --station the records are a station's in a record archive (a SQLite file or a\n"
    "postgresql:// URL, as collect fills it), from --from to --to (UTC, as export takes them).\n"
    "Needs no instrument and no display.\n"
    "\n"
    "example, the day's wind and temperature of a station:\n"
    "  vrncomm-cli plot records-2026-07-01.txt day.png --fields \"WIND SPEED,AIR TEMP\"\n"
    "  vrncomm-cli plot archive.db day.png --station st12 --from 2026-07-01 --to 2026-07-01\n"};

CLI::Option& delimiterOption(CLI::App& command, std::string& delimiter) {
    return *command.add_option("--delimiter", delimiter)
                ->type_name("space|comma|tab")
                ->check(oneOf({"space", "comma", "tab"}));
}

// --station NAME, --from T, --to T: a station's records in an archive; from and to go with a station.
void rangeOptions(CLI::App& command, ArchiveRangeArgs& range, bool stationNeeded) {
    CLI::Option* station =
        command.add_option("--station", range.station)->type_name("NAME")->check(notEmpty());
    if (stationNeeded) station->required();
    command.add_option("--from", range.from)->type_name("T")->check(utcTime())->needs(station);
    command.add_option("--to", range.to)->type_name("T")->check(utcTime())->needs(station);
}

}  // namespace

void addRecordCommands(CLI::App& app, CommandRunner& chosen) {
    CLI::App& getRecords = addCommand(app, kGetRecords);
    GetRecordsArgs& get = runs(getRecords, chosen, runGetRecords);
    positional(getRecords, "COUNT", get.count).option_text("COUNT|all")->check(recordCount());
    positional(getRecords, "FILE.txt", get.file);
    delimiterOption(getRecords, get.delimiter);

    runs(addCommand(app, kEraseRecords), chosen, runEraseRecords);

    CLI::App& collect = addCommand(app, kCollect);
    CollectArgs& collected = runs(collect, chosen, runCollect);
    positional(collect, "ARCHIVE", collected.archive);
    collect.add_option("--station", collected.station)->type_name("NAME")->check(notEmpty());
    collect.add_option("--count", collected.count)->type_name("N|all")->check(recordCount());
    CLI::Option* offset =
        collect.add_option("--utc-offset", collected.utcOffset)->type_name("+HH:MM")->check(utcOffset());
    collect.add_option("--new-utc-offset", collected.newUtcOffset)
        ->type_name("+HH:MM")
        ->check(utcOffset())
        ->excludes(offset);

    CLI::App& exportCommand = addCommand(app, kExport);
    ExportArgs& exported = runs(exportCommand, chosen, runExport);
    positional(exportCommand, "ARCHIVE", exported.archive);
    rangeOptions(exportCommand, exported.range, true);
    delimiterOption(exportCommand, exported.delimiter);
    positional(exportCommand, "OUT.txt", exported.out);

    addSyncCommand(app, chosen);

    CLI::App& plot = addCommand(app, kPlot);
    PlotArgs& plotted = runs(plot, chosen, runPlot);
    positional(plot, "FILE.txt|ARCHIVE", plotted.in);
    positional(plot, "OUT.png", plotted.out);
    rangeOptions(plot, plotted.range, false);
    plot.add_option("--fields", plotted.fields)->type_name("LABEL,...")->check(notEmpty());

    addStatusCommand(app, chosen);
}

}  // namespace vrn::cli

#include <CLI/CLI.hpp>

#include "cli/archive/status_command.h"
#include "cli/archive/sync_command.h"
#include "cli/archive_commands.h"
#include "cli/command_definition.h"
#include "cli/record_options.h"
#include "cli/value_checks.h"

namespace vrn::cli {
namespace {

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

}  // namespace

void addRecordCommands(CLI::App& app, CommandRunner& chosen) {
    addRecordMemoryCommands(app, chosen);

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

    addPlotCommand(app, chosen);

    addStatusCommand(app, chosen);
}

}  // namespace vrn::cli

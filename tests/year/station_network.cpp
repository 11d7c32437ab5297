#include "station_network.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <iterator>
#include <sstream>
#include <streambuf>

#include "cli/cli.h"
#include "core/link/trace.h"
#include "core/link/virtual_clock.h"
#include "core/records/record_keys.h"
#include "memory_file_store.h"
#include "record_ledger.h"
#include "sim/instrument.h"
#include "sim/record_memory.h"
#include "sim/setup_clock.h"
#include "sim/station.h"
#include "station_port.h"
#include "store/record_archive.h"

namespace vrn::test {
namespace {

constexpr int64_t kSecondUs = 1000000;
constexpr int64_t kDaySeconds = 86400;
constexpr uint32_t kIntervalSeconds = 600;  // a record every ten minutes: 144 a night
constexpr uint32_t kRecordsPerDay = kDaySeconds / kIntervalSeconds;
constexpr int64_t kCollectAtSeconds = 3600;  // the nightly round starts at 01:00 UTC
constexpr int64_t kEraseAtSeconds = 5 * 3600;
// A port lost halfway through a night's records; the power comes back twenty minutes later.
constexpr uint32_t kRecordsBeforeTrouble = kRecordsPerDay / 2;
constexpr int64_t kPowerCutUs = 20 * 60 * kSecondUs;
// A clock is set only when no record falls due for this long: the collection before and the
// setting must see no record in between, or it would be keyed with the offset it was not logged at.
constexpr int64_t kClockSettingRoomSeconds = 300;
constexpr int kClockBackOffset = 60;  // the ClockBack stations start at UTC+01:00

// The tool's standard output, kept, each line shown to a watcher as it is written.
class WatchedText final : public std::streambuf {
public:
    std::string text;
    std::function<void(std::string_view)> onLine;

protected:
    int_type overflow(int_type c) override {
        if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
        text.push_back(traits_type::to_char_type(c));
        if (c == '\n' && onLine) {
            const size_t start = text.rfind('\n', text.size() - 2);
            onLine(std::string_view(text).substr(start == std::string::npos ? 0 : start + 1));
        }
        return c;
    }
};

struct Station {
    Station(Clock& clock, int n) : number(n), instrument(clock) {
        char text[16];
        std::snprintf(text, sizeof text, "st-%03d", n);
        name = text;
        role = roleOf(n);
    }
    int number;
    std::string name;
    Role role;
    sim::Instrument instrument;
    RecordLedger ledger;
    int utcOffsetMinutes = 0;
    // Given with the next collection: the offset of the first one, or a new one after a change.
    std::vector<std::string> offsetArgs;
};

std::string clockText(int64_t seconds) {
    const LocalDateTime t = civilFromEpochSeconds(seconds);
    char text[32];
    std::snprintf(text, sizeof text, "%02d-%02d-%04d %02d:%02d:%02d", t.month, t.day, t.year, t.hour,
                  t.minute, t.second);
    return text;
}

class Network {
public:
    explicit Network(const NetworkOptions& options);
    NetworkResult run();

private:
    void night(int n);
    void collect(Station& st, const NightPlan& plan, int night);
    void expectOutcome(const Station& st, const NightPlan& plan, int night, int status);
    void setClock(Station& st, int minutes, int night);
    void waitForClockRoom(Station& st);
    void look(Station& st) { st.ledger.look(memory(st), st.utcOffsetMinutes); }
    // The records sent for a download are those held when it was asked for.
    void recordsAsked(Station& st) {
        look(st);
        askedBelow_ = st.ledger.nextSerial(memory(st));
    }
    static sim::SimRecords& memory(Station& st) {
        st.instrument.keepTime();
        return st.instrument.state.records;
    }
    int runTool(Station& st, std::vector<std::string> args);
    void problem(const Station& st, int night, const std::string& what);
    void compare();
    void compareStation(store::RecordArchive& archive, Station& st);
    void compareStatus();

    const NetworkOptions& options_;
    VirtualClock clock_;
    MemoryFileStore files_;
    WatchedText outText_;
    std::ostream out_{&outText_};
    std::ostringstream err_;
    std::vector<std::unique_ptr<Station>> stations_;
    Station* current_ = nullptr;
    std::optional<size_t> loseAfter_;
    std::optional<uint64_t> askedBelow_;  // the records held at the last download's question
    cli::Environment env_;
    NetworkResult result_;
};

Network::Network(const NetworkOptions& options)
    : options_(options),
      env_{out_,
           err_,
           false,
           clock_,
           files_,
           [this](const cli::PortChoice&, Clock& clock) -> std::unique_ptr<Port> {
               return std::make_unique<StationPort>(
                   current_->instrument, clock, [this] { recordsAsked(*current_); }, loseAfter_, kPowerCutUs);
           },
           [] { return std::vector<cli::PortListing>{}; },
           [](const std::string&, std::string& error) -> std::unique_ptr<TraceSink> {
               error = "no traces are kept";
               return nullptr;
           },
           {}} {
    const int64_t start = clock_.wallSeconds();
    for (int k = 0; k < options.stations; ++k) {
        auto st = std::make_unique<Station>(clock_, k);
        sim::registerAllCommands(st->instrument);
        sim::configureStation(st->instrument);
        sim::SimSetup& setup = st->instrument.state.setup;
        if (st->role == Role::ClockBack) {
            st->utcOffsetMinutes = kClockBackOffset;
            sim::setClockSeconds(setup, start + kClockBackOffset * 60);
            st->offsetArgs = {"--utc-offset", records::utcOffsetText(kClockBackOffset)};
        }
        // Each instrument has logged for a few days before the network takes it in, its newest
        // record now.
        sim::SimRecords& m = st->instrument.state.records;
        const int64_t now = *sim::clockSeconds(setup);
        m = sim::SimRecords{};
        m.logged = kRecordsPerDay * static_cast<uint32_t>(1 + k % 7);
        m.intervalSeconds = kIntervalSeconds;
        m.firstSeconds = now - int64_t{m.logged - 1} * kIntervalSeconds;
        m.nextSeconds = now + kIntervalSeconds;
        m.sendsOldest = st->role == Role::SendsOldest;
        if (st->role == Role::MemoryFills) {
            // Nothing is overwritten before the first collection: no archive could tell of it.
            m.capacityValues =
                kSmallMemoryDays * kRecordsPerDay * static_cast<uint32_t>(setup.fieldsPerRecord);
            m.logged = std::min(m.logged, (kSmallMemoryDays - 1) * kRecordsPerDay);
            m.firstSeconds = now - int64_t{m.logged - 1} * kIntervalSeconds;
        }
        stations_.push_back(std::move(st));
    }
}

NetworkResult Network::run() {
    const auto wallStart = std::chrono::steady_clock::now();
    const int64_t startUs = clock_.nowUs();
    result_.stations = options_.stations;
    result_.nights = options_.nights;
    for (int n = 0; n < options_.nights; ++n) {
        night(n);
        if (options_.nightDone) options_.nightDone(n + 1);
    }
    result_.spanSeconds = static_cast<double>(clock_.nowUs() - startUs) / kSecondUs;
    compare();
    result_.wallSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    return std::move(result_);
}

void Network::night(int n) {
    const int64_t dayUs = (int64_t{n} * kDaySeconds) * kSecondUs;
    clock_.sleepUntilUs(dayUs + kCollectAtSeconds * kSecondUs);
    std::vector<Station*> erased;
    for (size_t k = 0; k < stations_.size(); ++k) {
        Station& st = *stations_[k];
        const NightPlan plan = planOf(static_cast<int>(k), n, options_.nights);
        if (!plan.collect) {
            look(st);
            continue;
        }
        if (plan.clockChangeMinutes != 0) waitForClockRoom(st);
        collect(st, plan, n);
        if (plan.clockChangeMinutes != 0) setClock(st, plan.clockChangeMinutes, n);
        if (plan.eraseAfter) erased.push_back(&st);
    }
    // Some hours after the round, the records logged since are erased with the rest.
    clock_.sleepUntilUs(dayUs + kEraseAtSeconds * kSecondUs);
    for (Station* st : erased) {
        look(*st);
        if (runTool(*st, {"--yes", "erase-records"}) != cli::kExitOk)
            problem(*st, n, "the erase failed: " + err_.str());
        look(*st);
    }
}

void Network::collect(Station& st, const NightPlan& plan, int night) {
    sim::Faults& faults = st.instrument.faults;
    const size_t recordBytes = static_cast<size_t>(st.instrument.state.setup.fieldsPerRecord) * 4;
    if (plan.silent) faults.all = sim::Fault::silent();
    if (plan.stallMs) {
        faults.records.stallAfterBytes = kRecordsBeforeTrouble * recordBytes;
        faults.records.stallUs = *plan.stallMs * 1000;
    }
    if (plan.portLost) loseAfter_ = kRecordsBeforeTrouble * recordBytes;
    look(st);
    askedBelow_.reset();
    std::vector<std::string> args = {"collect", options_.archive, "--station", st.name};
    args.insert(args.end(), st.offsetArgs.begin(), st.offsetArgs.end());
    const bool interrupted = options_.interrupted && options_.interrupted->night == night &&
                             options_.interrupted->station == st.number;
    if (interrupted)
        outText_.onLine = [this](std::string_view line) {
            if (line.starts_with("STORING RECORDS IN")) options_.interrupted->interruption->storeBegins();
        };
    const int64_t startUs = clock_.nowUs();
    const uint64_t sentBefore = st.instrument.bytesSent();
    const int status = runTool(st, args);
    result_.collectSeconds += static_cast<double>(clock_.nowUs() - startUs) / kSecondUs;
    result_.wireBytes += st.instrument.bytesSent() - sentBefore;
    ++result_.collections;
    outText_.onLine = nullptr;
    loseAfter_.reset();
    faults.all.reset();
    faults.records = {};
    if (status == cli::kExitOk) {
        if (askedBelow_) st.ledger.collected(*askedBelow_);
        st.offsetArgs.clear();
    } else {
        ++result_.failed;
    }
    if (interrupted) {
        std::string what;
        result_.interrupted = options_.interrupted->interruption->finish(what) && status == cli::kExitArchive;
        if (!result_.interrupted) problem(st, night, "the store was not interrupted: " + what + err_.str());
    } else {
        expectOutcome(st, plan, night, status);
    }
    look(st);
}

// A collection fails on the nights its trouble says it must, and goes well on all others.
void Network::expectOutcome(const Station& st, const NightPlan& plan, int night, int status) {
    int expected = cli::kExitOk;
    if (plan.silent) expected = cli::kExitFailed;
    // The whole records that came before the port went, or before the stall, are kept.
    if (plan.portLost || plan.stallMs == kLongStallMs) expected = cli::kExitShortDownload;
    if (status != expected)
        problem(st, night,
                "collect ended with " + std::to_string(status) + ", not " + std::to_string(expected) + ": " +
                    err_.str());
}

void Network::waitForClockRoom(Station& st) {
    const sim::SimRecords& m = memory(st);
    const auto now = sim::clockSeconds(st.instrument.state.setup);
    if (now && m.nextSeconds && *m.nextSeconds - *now < kClockSettingRoomSeconds)
        clock_.advanceUs((*m.nextSeconds - *now + 1) * kSecondUs);
}

// The clock set to another UTC offset right after a collection, the way a technician does it:
// the Setup read, and sent back with the new time.
void Network::setClock(Station& st, int minutes, int night) {
    look(st);
    const std::string file = "/stations/" + st.name + ".set";
    const int64_t now = *sim::clockSeconds(st.instrument.state.setup);
    if (runTool(st, {"get-setup", file}) != cli::kExitOk ||
        runTool(st, {"send-setup", file, "--time", clockText(now + int64_t{minutes} * 60)}) != cli::kExitOk)
        problem(st, night, "the clock could not be set: " + err_.str());
    if (st.ledger.nextSerial(memory(st)) != askedBelow_)
        problem(st, night, "a record was logged between the download and the setting of the clock");
    st.utcOffsetMinutes += minutes;
    st.offsetArgs = {"--new-utc-offset", records::utcOffsetText(st.utcOffsetMinutes)};
    look(st);
}

int Network::runTool(Station& st, std::vector<std::string> args) {
    current_ = &st;
    outText_.text.clear();
    err_.str({});
    args.insert(args.begin(), "--simulate");
    return cli::run(args, env_);
}

void Network::problem(const Station& st, int night, const std::string& what) {
    result_.problems.push_back(st.name + " (" + std::string(roleName(st.role)) + "), night " +
                               std::to_string(night) + ": " + what);
}

void Network::compare() {
    std::string error;
    const auto archive =
        store::RecordArchive::open(options_.archive, error, store::RecordArchive::Access::MustExist);
    if (!archive) {
        result_.problems.push_back("the archive cannot be opened: " + error);
        return;
    }
    for (const auto& st : stations_)
        compareStation(*archive, *st);
    compareStatus();
}

// What `status` reports as lost for good, station by station, against what was.
void Network::compareStatus() {
    const int exit = runTool(*stations_.front(), {"--json", "status", options_.archive});
    const QJsonArray reported = QJsonDocument::fromJson(QByteArray::fromStdString(outText_.text))
                                    .object()[QStringLiteral("result")]
                                    .toObject()[QStringLiteral("stations")]
                                    .toArray();
    for (StationFigures& f : result_.perStation) {
        for (const QJsonValue& station : reported)
            if (station[QStringLiteral("station")].toString().toStdString() == f.name)
                f.lostReported = static_cast<uint64_t>(station[QStringLiteral("lost")].toInteger());
        if (f.lostReported) result_.lostReported += *f.lostReported;
        if (f.lostReported != f.lost)
            result_.problems.push_back(f.name + " (" + std::string(roleName(f.role)) + "): status reports " +
                                       (f.lostReported ? std::to_string(*f.lostReported) : "nothing") +
                                       " lost, not " + std::to_string(f.lost) + " (exit " +
                                       std::to_string(exit) + ")");
    }
}

void Network::compareStation(store::RecordArchive& archive, Station& st) {
    StationFigures f;
    f.name = st.name;
    f.role = st.role;
    f.logged = st.ledger.logged();
    f.lost = st.ledger.lost();
    std::string error;
    store::StoredRecords stored;
    if (!archive.read(st.name, 0, int64_t{1} << 40, stored, error))
        result_.problems.push_back(st.name + ": its records cannot be read: " + error);
    for (const store::Attempt& a : archive.attempts(st.name, error))
        ++f.attempts[a.outcome];
    const std::vector<int64_t> expected = st.ledger.expectedTimes();
    std::vector<int64_t> missing;
    std::vector<int64_t> extra;
    std::ranges::set_difference(expected, stored.utc, std::back_inserter(missing));
    std::ranges::set_difference(stored.utc, expected, std::back_inserter(extra));
    f.archived = stored.utc.size();
    f.missing = missing.size();
    f.extra = extra.size();
    if (!missing.empty() || !extra.empty())
        result_.problems.push_back(st.name + " (" + std::string(roleName(st.role)) +
                                   "): " + std::to_string(f.missing) + " records missing (first at " +
                                   (missing.empty() ? "-" : records::utcTimeText(missing.front())) + "), " +
                                   std::to_string(f.extra) + " not logged (first at " +
                                   (extra.empty() ? "-" : records::utcTimeText(extra.front())) + ")");
    result_.logged += f.logged;
    result_.archived += f.archived;
    result_.lost += f.lost;
    result_.missing += f.missing;
    result_.extra += f.extra;
    result_.perStation.push_back(std::move(f));
}

std::string thousands(uint64_t n) {
    const std::string digits = std::to_string(n);
    std::string text;
    for (size_t k = 0; k < digits.size(); ++k) {
        if (k > 0 && (digits.size() - k) % 3 == 0) text += ',';
        text += digits[k];
    }
    return text;
}

}  // namespace

std::string scratchFolder() {
    std::error_code error;
    return std::filesystem::is_directory("/dev/shm", error)
               ? "/dev/shm"
               : std::filesystem::temp_directory_path(error).string();
}

NetworkResult runNetwork(const NetworkOptions& options) {
    Network network(options);
    return network.run();
}

std::string networkTable(const NetworkResult& r, const std::string& title) {
    char line[160];
    std::string table =
        title + ": " + std::to_string(r.stations) + " stations x " + std::to_string(r.nights) + " nights\n";
    auto add = [&](const char* what, const std::string& value) {
        std::snprintf(line, sizeof line, "  %-34s %s\n", what, value.c_str());
        table += line;
    };
    add("station-nights", thousands(static_cast<uint64_t>(r.stations) * static_cast<uint64_t>(r.nights)));
    add("collections (failed)", thousands(r.collections) + " (" + thousands(r.failed) + ")");
    add("records logged", thousands(r.logged));
    add("records archived", thousands(r.archived));
    add("records lost, expected", thousands(r.lost));
    add("records lost, reported by status", thousands(r.lostReported));
    add("records missing / not logged", thousands(r.missing) + " / " + thousands(r.extra));
    std::snprintf(line, sizeof line, "%.1f s in collections, %s bytes (%.1f s at 8 us a byte)",
                  r.collectSeconds, thousands(r.wireBytes).c_str(), static_cast<double>(r.wireBytes) * 8e-6);
    add("wire time (virtual)", line);
    std::snprintf(line, sizeof line, "%.1f days", r.spanSeconds / kDaySeconds);
    add("span (virtual)", line);
    std::snprintf(line, sizeof line, "%.1f s", r.wallSeconds);
    add("wall time", line);
    return table;
}

}  // namespace vrn::test

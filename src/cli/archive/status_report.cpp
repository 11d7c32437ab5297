#include "cli/archive/status_report.h"

#include <QJsonArray>
#include <QJsonValue>
#include <cstdio>
#include <functional>
#include <optional>

#include "core/records/record_keys.h"

namespace vrn::cli {
namespace {

constexpr int64_t kHour = 3600;
constexpr int64_t kDay = 86400;

std::string timeText(int64_t utc) {
    return records::utcTimeText(utc) + " UTC";
}

// A span as hours up to two days, else as days, with one decimal.
std::string spanText(int64_t seconds) {
    char text[48];
    if (seconds < 2 * kDay)
        std::snprintf(text, sizeof text, "%.1f HOURS", static_cast<double>(seconds) / kHour);
    else
        std::snprintf(text, sizeof text, "%.1f DAYS", static_cast<double>(seconds) / kDay);
    return text;
}

std::string upper(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

uint64_t heldInGaps(const records::StationHealth& h) {
    uint64_t held = 0;
    for (const records::RecordGap& g : h.gaps)
        held += g.missing - g.lost;
    return held;
}

QJsonValue timeOrNull(const std::optional<int64_t>& utc) {
    return utc ? QJsonValue(QString::fromStdString(records::utcTimeText(*utc))) : QJsonValue();
}

QJsonValue numberOrNull(const std::optional<int64_t>& n) {
    return n ? QJsonValue(static_cast<qint64>(*n)) : QJsonValue();
}

}  // namespace

std::string statusLine(const records::StationHealth& h, int64_t now) {
    std::string line = "STATION " + h.name + ": ";
    line += h.well() ? "WELL" : h.stale && h.failing ? "STALE, FAILING" : h.stale ? "STALE" : "FAILING";
    line += ", LAST ATTEMPT " +
            (h.lastAttempt ? timeText(h.lastAttempt->at) + " " + upper(h.lastAttempt->outcome) : "NONE");
    line += ", LAST SUCCESS " + (h.lastSuccess ? timeText(*h.lastSuccess) : std::string("NONE"));
    line += ", NEWEST " + (h.newest ? timeText(*h.newest) + " (" + spanText(now - *h.newest) + " OLD)"
                                    : std::string("NONE"));
    line += ", RECORDS " + std::to_string(h.recordsHeld);
    line += ", GAPS " + std::to_string(h.gaps.size()) + " (HELD " + std::to_string(heldInGaps(h)) + ")";
    line += ", LOST " + std::to_string(h.lost);
    line += ", UNCOLLECTED " + std::to_string(h.uncollected);
    if (h.memorySeconds) line += ", MEMORY " + spanText(*h.memorySeconds);
    if (h.overwriteSeconds) line += ", OVERWRITES UNCOLLECTED IN " + spanText(*h.overwriteSeconds);
    return line;
}

std::vector<std::string> unwellReasons(const records::StationHealth& h, int64_t now, int64_t staleSeconds) {
    std::vector<std::string> reasons;
    const std::string station = "station " + h.name + " ";
    if (h.failing) {
        const records::AttemptFacts& a = *h.lastAttempt;
        reasons.push_back(station + "is failing: its last collection attempt, at " + timeText(a.at) +
                          ", ended " + a.outcome + (a.reason.empty() ? std::string() : ": " + a.reason));
    }
    if (h.stale && h.newest)
        reasons.push_back(station + "is stale: its newest record, of " + timeText(*h.newest) + ", is " +
                          spanText(now - *h.newest) + " old (--stale " +
                          std::to_string(staleSeconds / kHour) + ")");
    else if (h.stale)
        reasons.push_back(station + "is stale: the archive holds no record of it");
    return reasons;
}

QJsonObject statusJson(const records::StationHealth& h, int64_t now) {
    QJsonArray gaps;
    for (const records::RecordGap& g : h.gaps)
        gaps.append(QJsonObject{{"after", timeOrNull(g.after)},
                                {"before", timeOrNull(g.before)},
                                {"missing", static_cast<qint64>(g.missing)},
                                {"held", static_cast<qint64>(g.missing - g.lost)},
                                {"lost", static_cast<qint64>(g.lost)}});
    QJsonValue attempt;
    if (h.lastAttempt)
        attempt = QJsonObject{{"at", timeOrNull(h.lastAttempt->at)},
                              {"outcome", QString::fromStdString(h.lastAttempt->outcome)},
                              {"reason", h.lastAttempt->reason.empty()
                                             ? QJsonValue()
                                             : QJsonValue(QString::fromStdString(h.lastAttempt->reason))}};
    return {
        {"station", QString::fromStdString(h.name)},
        {"well", h.well()},
        {"stale", h.stale},
        {"failing", h.failing},
        {"lastAttempt", attempt},
        {"lastSuccess", timeOrNull(h.lastSuccess)},
        {"newest", timeOrNull(h.newest)},
        {"newestAgeSeconds", numberOrNull(h.newest ? std::optional<int64_t>(now - *h.newest) : std::nullopt)},
        {"records", static_cast<qint64>(h.recordsHeld)},
        {"intervalSeconds", static_cast<qint64>(h.interval)},
        {"gaps", gaps},
        {"lost", static_cast<qint64>(h.lost)},
        {"uncollected", static_cast<qint64>(h.uncollected)},
        {"memorySeconds", numberOrNull(h.memorySeconds)},
        {"overwriteSeconds", numberOrNull(h.overwriteSeconds)}};
}

namespace {

// A label value as the format writes it: a backslash, a double quote and a line break escaped.
std::string labelValue(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (c == '\\' || c == '"') out += '\\';
        if (c == '\n') {
            out += "\\n";
            continue;
        }
        out += c;
    }
    return out;
}

struct Metric {
    const char* name;
    const char* help;
    std::function<std::optional<int64_t>(const records::StationHealth&)> value;
};

std::optional<int64_t> flag(bool on) {
    return on ? 1 : 0;
}

}  // namespace

std::string prometheusText(const std::vector<records::StationHealth>& stations, int64_t now) {
    using H = records::StationHealth;
    const Metric metrics[] = {
        {"vrncomm_station_well", "1 when the station is neither stale nor failing.",
         [](const H& h) { return flag(h.well()); }},
        {"vrncomm_station_stale", "1 when the station has no record newer than the status check's limit.",
         [](const H& h) { return flag(h.stale); }},
        {"vrncomm_station_failing", "1 when the station's last collection attempt failed.",
         [](const H& h) { return flag(h.failing); }},
        {"vrncomm_station_last_attempt_timestamp_seconds", "Time of the station's last collection attempt.",
         [](const H& h) { return h.lastAttempt ? std::optional<int64_t>(h.lastAttempt->at) : std::nullopt; }},
        {"vrncomm_station_last_success_timestamp_seconds",
         "Time of the station's last successful collection.", [](const H& h) { return h.lastSuccess; }},
        {"vrncomm_station_newest_record_timestamp_seconds", "Time of the newest record the archive holds.",
         [](const H& h) { return h.newest; }},
        {"vrncomm_station_records", "Records the archive holds.",
         [](const H& h) { return static_cast<int64_t>(h.recordsHeld); }},
        {"vrncomm_station_gaps", "Spans of several record intervals the archive holds no record of.",
         [](const H& h) { return static_cast<int64_t>(h.gaps.size()); }},
        {"vrncomm_station_gap_records_held", "Records of the gaps the instrument still holds.",
         [](const H& h) { return static_cast<int64_t>(heldInGaps(h)); }},
        {"vrncomm_station_records_lost", "Records overwritten or erased before any collection took them.",
         [](const H& h) { return static_cast<int64_t>(h.lost); }},
        {"vrncomm_station_records_uncollected",
         "Records logged after the newest held, still in the instrument.",
         [](const H& h) { return static_cast<int64_t>(h.uncollected); }},
        {"vrncomm_station_memory_seconds", "How long the instrument's memory holds records at its interval.",
         [](const H& h) { return h.memorySeconds; }},
        {"vrncomm_station_overwrite_seconds",
         "Time until the instrument overwrites the oldest record not collected yet.",
         [](const H& h) { return h.overwriteSeconds; }},
    };
    std::string text;
    for (const Metric& m : metrics) {
        text += std::string("# HELP ") + m.name + " " + m.help + "\n# TYPE " + m.name + " gauge\n";
        for (const H& h : stations)
            if (const std::optional<int64_t> v = m.value(h))
                text += std::string(m.name) + "{station=\"" + labelValue(h.name) + "\"} " +
                        std::to_string(*v) + "\n";
    }
    text +=
        "# HELP vrncomm_status_timestamp_seconds Time the status check ran.\n"
        "# TYPE vrncomm_status_timestamp_seconds gauge\n"
        "vrncomm_status_timestamp_seconds " +
        std::to_string(now) + "\n";
    return text;
}

}  // namespace vrn::cli

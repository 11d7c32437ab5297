#include "sim/state_dir.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "sim/instrument.h"
#include "sim/records_file.h"
#include "sim/setup_clock.h"

namespace vrn::sim {
namespace {

constexpr const char* kSetupFile = "setup.txt";

// Labels are single-byte text that may hold anything; blanks, controls, '%' and bytes above 0x7E
// are written as %XX so that a label stays one word of its line.
std::string escaped(const std::string& label) {
    std::string out;
    for (unsigned char c : label) {
        if (c <= ' ' || c == '%' || c >= 0x7F) {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", c);
            out += hex;
        } else {
            out.push_back(static_cast<char>(c));
        }
    }
    return out;
}

bool unescaped(const std::string& word, std::string& label) {
    label.clear();
    for (size_t i = 0; i < word.size(); ++i) {
        if (word[i] != '%') {
            label.push_back(word[i]);
            continue;
        }
        unsigned value = 0;
        if (i + 2 >= word.size() || std::sscanf(word.substr(i + 1, 2).c_str(), "%2x", &value) != 1)
            return false;
        label.push_back(static_cast<char>(value));
        i += 2;
    }
    return label.size() <= 25;
}

int64_t pcSeconds(const LocalDateTime& t) {
    SimSetup s;
    s.year = t.year - 2000;
    s.month = t.month;
    s.day = t.day;
    s.hour = t.hour;
    s.minute = t.minute;
    s.second = t.second;
    return clockSeconds(s).value_or(0);
}

struct Number {
    const char* key;
    int SimSetup::*member;
    int lo, hi;
};
constexpr Number kNumbers[] = {
    {"com1", &SimSetup::com1Code, -230, 230},        {"com2", &SimSetup::com2Code, 0, 230},
    {"stop-on-error", &SimSetup::stopOnError, 0, 1}, {"key-lock", &SimSetup::keyLock, 0, 1},
    {"interval", &SimSetup::interval, 0, 99},        {"fields-per-record", &SimSetup::fieldsPerRecord, 1, 25},
    {"auto-scroll", &SimSetup::autoScroll, 0, 1},    {"scroll-pause", &SimSetup::scrollPause, 1, 99},
    {"scroll-end", &SimSetup::scrollEnd, 1, 8},
};

}  // namespace

std::string setupText(const SimSetup& setup, int64_t nowUs, const LocalDateTime& pcNow) {
    SimSetup s = setup;
    keepClock(s, nowUs);
    std::ostringstream out;
    out << "# The simulated 41700's Setup, kept by vrncomm-sim --state\n";
    for (const Number& n : kNumbers)
        out << n.key << ' ' << s.*n.member << '\n';
    char line[96];
    std::snprintf(line, sizeof line, "clock %02d-%02d-%02d %02d:%02d:%02d %s\n", s.month, s.day, s.year,
                  s.hour, s.minute, s.second, s.clockRuns ? "running" : "stopped");
    out << line;
    std::snprintf(line, sizeof line, "pc-time %lld\n", static_cast<long long>(pcSeconds(pcNow)));
    out << line;
    for (size_t i = 0; i < s.fields.size(); ++i) {
        const SimField& f = s.fields[i];
        out << "field " << i + 1 << ' ' << int{f.type} << ' ' << int{f.width} << ' ' << int{f.precision}
            << ' ' << escaped(f.label) << '\n';
    }
    return out.str();
}

bool readSetupText(const std::string& text, SimSetup& setup, int64_t nowUs, const LocalDateTime& pcNow,
                   std::string& error) {
    SimSetup s = setup;
    std::istringstream in(text);
    std::string line;
    long long savedPc = -1;
    int lineNo = 0;
    auto bad = [&](const char* why) {
        error = std::string(kSetupFile) + " line " + std::to_string(lineNo) + ": " + why;
        return false;
    };
    while (std::getline(in, line)) {
        ++lineNo;
        if (line.empty() || line[0] == '#') continue;
        std::istringstream words(line);
        std::string key;
        words >> key;
        bool known = false;
        for (const Number& n : kNumbers) {
            if (key != n.key) continue;
            known = true;
            int v = 0;
            if (!(words >> v) || v < n.lo || v > n.hi) return bad("value out of range");
            s.*n.member = v;
        }
        if (known) continue;
        if (key == "clock") {
            std::string date, time, state;
            words >> date >> time >> state;
            if (std::sscanf(date.c_str(), "%2d-%2d-%2d", &s.month, &s.day, &s.year) != 3 ||
                std::sscanf(time.c_str(), "%2d:%2d:%2d", &s.hour, &s.minute, &s.second) != 3 ||
                (state != "running" && state != "stopped") || !clockSeconds(s))
                return bad("expected clock MM-DD-YY HH:MM:SS running|stopped");
            s.clockRuns = state == "running";
        } else if (key == "pc-time") {
            if (!(words >> savedPc)) return bad("expected pc-time SECONDS");
        } else if (key == "field") {
            int n = 0, type = 0, width = 0, precision = 0;
            std::string label;
            words >> n >> type >> width >> precision;
            if (!words || n < 1 || n > 25 || type < 0 || type > 2 || width < 0 || width > 9 ||
                precision < 0 || precision > 7)
                return bad("expected field N TYPE WIDTH PRECISION LABEL");
            std::string word;
            words >> word;
            if (!unescaped(word, label)) return bad("label longer than 25 characters or badly escaped");
            s.fields[static_cast<size_t>(n - 1)] = {label, static_cast<uint8_t>(type),
                                                    static_cast<uint8_t>(width),
                                                    static_cast<uint8_t>(precision)};
        } else {
            return bad("unknown key");
        }
    }
    // A running clock has run on by as long as the PC's while the simulator was stopped.
    if (s.clockRuns) {
        if (savedPc >= 0)
            if (const auto at = clockSeconds(s)) setClockSeconds(s, *at + pcSeconds(pcNow) - savedPc);
        s.clockSetUs = nowUs;
    }
    setup = s;
    return true;
}

namespace {

// One file of the folder: how the instrument's part becomes its contents, and back.
struct Part {
    const char* name;
    std::string (*save)(Instrument&);
    bool (*load)(Instrument&, const std::string&, std::string&);
};

template <class Bytes>
std::string rawBytes(const Bytes& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

template <class Bytes>
bool exactBytes(const std::string& contents, Bytes& bytes, const char* name, std::string& error) {
    if (contents.size() != bytes.size()) {
        error = std::string(name) + " holds " + std::to_string(contents.size()) + " bytes, not " +
                std::to_string(bytes.size());
        return false;
    }
    std::copy(contents.begin(), contents.end(), bytes.begin());
    return true;
}

const Part kPartsOfState[] = {
    {kSetupFile,
     [](Instrument& in) { return setupText(in.state.setup, in.clock().nowUs(), in.clock().localNow()); },
     [](Instrument& in, const std::string& text, std::string& error) {
         return readSetupText(text, in.state.setup, in.clock().nowUs(), in.clock().localNow(), error);
     }},
    {"screens.bin", [](Instrument& in) { return rawBytes(in.state.screens); },
     [](Instrument& in, const std::string& contents, std::string& error) {
         return exactBytes(contents, in.state.screens, "screens.bin", error);
     }},
    {"program.bin", [](Instrument& in) { return rawBytes(in.state.program); },
     [](Instrument& in, const std::string& contents, std::string& error) {
         return exactBytes(contents, in.state.program, "program.bin", error);
     }},
    // A memory written by hand (one run of records); records.bin, read after it, takes its place.
    {"records.txt", nullptr,
     [](Instrument& in, const std::string& text, std::string& error) {
         SimRecords r = in.state.records;
         r.breaks.clear();
         r.dropped = 0;
         std::istringstream words(text);
         std::string a, b, c;
         long long logged = -1, first = 0, interval = 0;
         words >> a >> logged >> b >> first >> c >> interval;
         if (!words || a != "logged" || b != "first" || c != "interval" || logged < 0 || logged > 100000000 ||
             interval < 1 || interval > 86400) {
             error = "records.txt: expected logged N, first SECONDS, interval SECONDS";
             return false;
         }
         r.logged = static_cast<uint32_t>(logged);
         r.firstSeconds = first;
         r.intervalSeconds = static_cast<uint32_t>(interval);
         in.state.records = r;
         return true;
     }},
    {"records.bin", [](Instrument& in) { return recordsFileBytes(in.state.records); },
     [](Instrument& in, const std::string& bytes, std::string& error) {
         return readRecordsFile(bytes, in.state.records, error);
     }},
};
static_assert(std::size(kPartsOfState) == 5);

}  // namespace

bool StateDir::load(Instrument& instrument, std::string& error) {
    std::error_code ec;
    std::filesystem::create_directories(dir_, ec);
    if (ec) {
        error = "cannot create " + dir_ + ": " + ec.message();
        return false;
    }
    for (size_t k = 0; k < kParts; ++k) {
        const Part& part = kPartsOfState[k];
        std::ifstream in(std::filesystem::path(dir_) / part.name, std::ios::binary);
        if (!in) continue;
        std::ostringstream contents;
        contents << in.rdbuf();
        if (!part.load(instrument, contents.str(), error)) return false;
        last_[k] = contents.str();
    }
    return true;
}

// A running clock makes setup.txt differ every second: it is rewritten whenever the line went
// quiet after a command, which is rare enough.
bool StateDir::save(Instrument& instrument, std::string& error) {
    for (size_t k = 0; k < kParts; ++k) {
        if (kPartsOfState[k].save == nullptr) continue;
        std::string contents = kPartsOfState[k].save(instrument);
        if (contents == last_[k]) continue;
        if (!savePart(kPartsOfState[k].name, contents, error)) return false;
        last_[k] = std::move(contents);
    }
    return true;
}

bool StateDir::savePart(const std::string& name, const std::string& contents, std::string& error) {
    const std::filesystem::path target = std::filesystem::path(dir_) / name;
    const std::filesystem::path temporary = target.string() + ".new";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << contents;
        out.flush();
        if (!out) {
            error = "cannot write " + temporary.string() + ": " + std::strerror(errno);
            return false;
        }
    }
    std::error_code ec;
    std::filesystem::rename(temporary, target, ec);
    if (ec) {
        error = "cannot replace " + target.string() + ": " + ec.message();
        return false;
    }
    return true;
}

}  // namespace vrn::sim

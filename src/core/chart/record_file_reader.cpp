#include "core/chart/record_file_reader.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <vector>

#include "core/records/record_retrieval.h"
#include "core/setup/setup_model.h"
#include "core/text/cp1252.h"

namespace vrn::chart {
namespace {

constexpr std::string_view kMissing = "-99999";
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

enum class Kind : uint8_t { Unknown, Empty, Number, Date, Time };

struct Column {
    Kind kind = Kind::Unknown;
    std::vector<double> values;  // numbers, days as seconds, seconds of the day; NaN when missing
};

// Splits off the next line; its CR LF (or LF) is not part of it.
std::string_view nextLine(std::string_view& rest) {
    const size_t end = rest.find('\n');
    std::string_view line = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
}

void split(std::string_view line, char delimiter, std::vector<std::string_view>& cells) {
    cells.clear();
    for (size_t start = 0;;) {
        const size_t end = line.find(delimiter, start);
        cells.push_back(line.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos) return;
        start = end + 1;
    }
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// "a/b/c" or "a:b:c", each part digits with an optional minus, as "%02i" prints any int; none
// when the text has another shape.
std::optional<std::array<int64_t, 3>> threeParts(std::string_view s, char separator) {
    std::array<int64_t, 3> parts{};
    size_t p = 0;
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) {
            if (p >= s.size() || s[p] != separator) return std::nullopt;
            ++p;
        }
        const auto [end, ec] = std::from_chars(s.data() + p, s.data() + s.size(), parts[i]);
        if (ec != std::errc{}) return std::nullopt;
        p = static_cast<size_t>(end - s.data());
    }
    if (p != s.size()) return std::nullopt;
    return parts;
}

// "%0*.*f" output: an optional minus, digits, an optional point and digits; nothing else (no
// exponent, "inf" or "nan").
std::optional<double> numberOf(std::string_view s) {
    static constexpr double kPowersOf10[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                             1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    const bool negative = !s.empty() && s[0] == '-';
    uint64_t mantissa = 0;
    size_t digits = 0;
    size_t points = 0;
    size_t decimals = 0;
    for (size_t i = negative ? 1 : 0; i < s.size(); ++i) {
        if (isDigit(s[i])) {
            mantissa = mantissa * 10 + static_cast<uint64_t>(s[i] - '0');
            ++digits;
            decimals += points;
        } else if (s[i] == '.') {
            ++points;
        } else {
            return std::nullopt;
        }
    }
    if (digits == 0 || points > 1) return std::nullopt;
    // Up to 15 digits the quotient of two exact doubles is the correctly rounded value; longer
    // numbers (huge readings) take the library's conversion.
    if (digits <= 15) {
        const double v = static_cast<double>(mantissa) / kPowersOf10[decimals];
        return negative ? -v : v;
    }
    double v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc{} || end != s.data() + s.size() || !std::isfinite(v)) return std::nullopt;
    return v;
}

std::string fieldError(size_t line, size_t field, std::string_view cell, const char* what) {
    char text[160];
    std::snprintf(text, sizeof text, "line %zu, field %zu: \"%.32s\" %s", line, field,
                  std::string(cell).c_str(), what);
    return text;
}

// Reads one cell into its column, whose kind the first cell that is not missing settles.
bool readCell(Column& column, std::string_view cell, size_t line, size_t field, std::string& error) {
    if (cell == kMissing) {
        if (column.kind == Kind::Empty) {
            error = fieldError(line, field, cell, "is a value in a field without a type");
            return false;
        }
        column.values.push_back(kNaN);
        return true;
    }
    Kind kind = Kind::Empty;
    double value = kNaN;
    if (!cell.empty()) {
        // A date or time the instrument's clock could not have meant is a missing reading.
        const size_t separator = cell.find_first_of("/:");
        const char kindMark = separator == std::string_view::npos ? '\0' : cell[separator];
        if (const auto d = kindMark == '/' ? threeParts(cell, '/') : std::nullopt) {
            kind = Kind::Date;
            const auto [month, day, year] = *d;
            if (const auto seconds = dateSeconds(year, month, day)) value = static_cast<double>(*seconds);
        } else if (const auto t = kindMark == ':' ? threeParts(cell, ':') : std::nullopt) {
            kind = Kind::Time;
            const auto [hour, minute, second] = *t;
            if (const auto seconds = timeSeconds(hour, minute, second)) value = static_cast<double>(*seconds);
        } else if (const auto n = kindMark == '\0' ? numberOf(cell) : std::nullopt) {
            kind = Kind::Number;
            value = *n;
        } else {
            error = fieldError(line, field, cell, "is not a number, date or time");
            return false;
        }
    }
    if (column.kind == Kind::Unknown && (kind != Kind::Empty || column.values.empty())) column.kind = kind;
    if (kind != column.kind) {
        error = fieldError(line, field, cell, "does not match the field's other values");
        return false;
    }
    column.values.push_back(value);
    return true;
}

// The Labels line cut into F labels. A label may hold the delimiter itself ("FIELD 01" with
// blanks between fields): when the pieces divide evenly, each label is that many pieces.
std::vector<std::string> labelsOf(std::string_view line, char delimiter, size_t fields) {
    std::vector<std::string_view> pieces;
    split(line, delimiter, pieces);
    std::vector<std::string> labels;
    if (pieces.size() % fields == 0) {
        const size_t per = pieces.size() / fields;
        for (size_t k = 0; k < fields; ++k) {
            std::string label;
            for (size_t p = 0; p < per; ++p) {
                if (p > 0) label.push_back(delimiter);
                label += pieces[k * per + p];
            }
            labels.push_back(text::cp1252ToUtf8(label));
        }
        return labels;
    }
    for (size_t k = 0; k < fields; ++k) {
        char label[32];
        std::snprintf(label, sizeof label, "FIELD %02zu", k + 1);
        labels.emplace_back(label);
    }
    return labels;
}

bool isCountLine(std::string_view line) {
    constexpr std::string_view kSuffix = " RECORDS";
    if (!line.ends_with(kSuffix) || line.size() == kSuffix.size()) return false;
    for (const char c : line.substr(0, line.size() - kSuffix.size()))
        if (!isDigit(c)) return false;
    return true;
}

char delimiterOf(std::string_view line) {
    if (line.find('\t') != std::string_view::npos) return '\t';
    if (line.find(',') != std::string_view::npos) return ',';
    return ' ';
}

// The lines before the records: "N RECORDS", the time of writing and the Labels line, which is
// kept in labels. False, with the reason in error, when the text is not a record file's.
bool readHead(std::string_view& rest, std::string_view& labels, std::string& error) {
    if (!isCountLine(nextLine(rest))) {
        error = "it does not begin with \"N RECORDS\"";
        return false;
    }
    nextLine(rest);
    labels = nextLine(rest);
    if (rest.empty()) {
        error = "it holds no records";
        return false;
    }
    return true;
}

// The first record's fields make the columns: no more than a record has. A retrieval of that many
// fields holds maxRecords records; the columns make room for them, or for the lines left if fewer.
bool makeColumns(size_t fields, size_t lines, std::vector<Column>& columns, size_t& maxRecords,
                 std::string& error) {
    if (fields > static_cast<size_t>(setup::kFieldCount)) {
        char text[112];
        std::snprintf(text, sizeof text, "the first record has %zu fields, more than the %d a record has",
                      fields, setup::kFieldCount);
        error = text;
        return false;
    }
    columns.resize(fields);
    maxRecords = records::RecordRetrieval::maxRecords(static_cast<int>(fields));
    for (Column& c : columns)
        c.values.reserve(std::min(lines, maxRecords));
    return true;
}

// Reads the record lines into columns, one a field; false, with the reason in error, at the first
// line that does not fit. Values hold no blank, comma or tab, so the first record shows the delimiter.
bool readRecords(std::string_view rest, std::vector<Column>& columns, char& delimiter, std::string& error) {
    std::string_view peek = rest;
    delimiter = delimiterOf(nextLine(peek));
    const auto lines = static_cast<size_t>(std::count(rest.begin(), rest.end(), '\n')) + 1;
    std::vector<std::string_view> cells;
    size_t maxRecords = 0;
    size_t lineNumber = 3;
    while (!rest.empty()) {
        const std::string_view line = nextLine(rest);
        ++lineNumber;
        if (line.empty() && rest.empty() && !columns.empty()) break;
        split(line, delimiter, cells);
        if (columns.empty() && !makeColumns(cells.size(), lines, columns, maxRecords, error)) return false;
        if (lineNumber - 3 > maxRecords) {
            char text[128];
            std::snprintf(text, sizeof text,
                          "line %zu: more than the %zu records a retrieval of %zu fields holds", lineNumber,
                          maxRecords, columns.size());
            error = text;
            return false;
        }
        if (cells.size() != columns.size()) {
            char text[96];
            std::snprintf(text, sizeof text, "line %zu has %zu fields where the first record has %zu",
                          lineNumber, cells.size(), columns.size());
            error = text;
            return false;
        }
        for (size_t k = 0; k < cells.size(); ++k)
            if (!readCell(columns[k], cells[k], lineNumber, k + 1, error)) return false;
    }
    return true;
}

// The chart's table: a series for each Number field (and each field whose readings are all
// missing), against the first Date and Time columns when the file has both.
RecordTable tableOf(const std::vector<Column>& columns, const std::vector<std::string>& labels) {
    const size_t n = columns.front().values.size();
    RecordTable table;
    const Column* date = nullptr;
    const Column* time = nullptr;
    for (size_t k = 0; k < columns.size(); ++k) {
        const Column& c = columns[k];
        if (c.kind == Kind::Date && !date) date = &c;
        if (c.kind == Kind::Time && !time) time = &c;
        // A field whose readings are all missing is a Number field as far as anyone can tell.
        if (c.kind != Kind::Number && c.kind != Kind::Unknown) continue;
        table.labels.push_back(labels[k]);
        std::vector<float>& series = table.values.emplace_back(n);
        for (size_t r = 0; r < n; ++r) {
            const double v = c.values[r];
            series[r] = std::isfinite(v) && std::abs(v) <= std::numeric_limits<float>::max()
                            ? static_cast<float>(v)
                            : std::numeric_limits<float>::quiet_NaN();
        }
    }
    table.dated = date && time;
    table.x.resize(n);
    for (size_t r = 0; r < n; ++r)
        table.x[r] = table.dated ? date->values[r] + time->values[r] : static_cast<double>(r + 1);
    return table;
}

}  // namespace

RecordFileRead readRecordFile(std::string_view text) {
    RecordFileRead result;
    if (text.size() > kMaxRecordFileBytes) {
        result.error = "the file is too large for a record file";
        return result;
    }
    std::string_view rest = text;
    std::string_view labelLine;
    if (!readHead(rest, labelLine, result.error)) return result;
    std::vector<Column> columns;
    char delimiter = ' ';
    if (!readRecords(rest, columns, delimiter, result.error)) return result;
    result.table = tableOf(columns, labelsOf(labelLine, delimiter, columns.size()));
    return result;
}

}  // namespace vrn::chart

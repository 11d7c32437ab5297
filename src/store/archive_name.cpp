#include "store/archive_name.h"

#include <QByteArray>
#include <algorithm>

namespace vrn::store {
namespace {

constexpr std::string_view kMask = "***";

bool isPasswordOption(std::string_view item) {
    const size_t equals = item.find('=');
    if (equals == std::string_view::npos) return false;
    const QByteArray key =
        QByteArray::fromPercentEncoding(QByteArray(item.data(), static_cast<qsizetype>(equals))).toLower();
    return key == "password";
}

}  // namespace

std::string redactedArchive(std::string_view where) {
    std::string_view scheme;
    for (std::string_view s : {std::string_view("postgresql://"), std::string_view("postgres://")})
        if (where.starts_with(s)) scheme = s;
    if (scheme.empty()) return std::string(where);

    const size_t queryAt = std::min(where.find('?'), where.size());
    std::string_view head = where.substr(0, queryAt);
    std::string out(scheme);
    // The user part ends at the last @ before the options: a password may hold / or @ unencoded,
    // and showing less than the user wrote is better than showing a password.
    const size_t at = head.rfind('@');
    if (at != std::string_view::npos && at >= scheme.size()) {
        const std::string_view user = head.substr(scheme.size(), at - scheme.size());
        const size_t colon = user.find(':');
        out += colon == std::string_view::npos ? user
                                               : std::string(user.substr(0, colon + 1)) + std::string(kMask);
        out += head.substr(at);
    } else {
        out += head.substr(scheme.size());
    }
    if (queryAt == where.size()) return out;

    out += '?';
    std::string_view query = where.substr(queryAt + 1);
    bool first = true;
    while (true) {
        const size_t amp = std::min(query.find('&'), query.size());
        const std::string_view item = query.substr(0, amp);
        if (!first) out += '&';
        first = false;
        if (isPasswordOption(item))
            out += std::string(item.substr(0, item.find('=') + 1)) + std::string(kMask);
        else
            out += item;
        if (amp == query.size()) break;
        query = query.substr(amp + 1);
    }
    return out;
}

}  // namespace vrn::store

#pragma once

#include <QJsonObject>
#include <cstdint>
#include <string>
#include <vector>

#include "core/records/station_health.h"

namespace vrn::cli {

// A station's health as status shows it: one message line, the errors of a station that is not
// well, its part of --json's result, and the metrics of --prometheus.

std::string statusLine(const records::StationHealth& h, int64_t now);
// Why the station is not well, a line each; none when it is.
std::vector<std::string> unwellReasons(const records::StationHealth& h, int64_t now, int64_t staleSeconds);
QJsonObject statusJson(const records::StationHealth& h, int64_t now);
// node_exporter's text format, for its textfile collector: every station's metrics at `now`.
std::string prometheusText(const std::vector<records::StationHealth>& stations, int64_t now);

}  // namespace vrn::cli

#pragma once

#include <QTemporaryDir>
#include <cstdint>
#include <string>

#include "cli_rig.h"
#include "sim/station.h"

namespace vrn::cli::test {

// A simulated station logging a record a minute on the virtual clock, `held` of them logged by
// now, oldest-first when asked, and a SQLite archive file to collect it into.
struct StationRig : CliRig {
    QTemporaryDir dir;
    std::string archive = dir.filePath(QStringLiteral("archive.db")).toStdString();

    StationRig(uint32_t held, bool sendsOldest) {
        sim::configureStation(instrument);
        const int64_t now = clock.wallSeconds();
        instrument.state.records = {held, now - int64_t{held - 1} * 60, 60};
        instrument.state.records.sendsOldest = sendsOldest;
    }
};

}  // namespace vrn::cli::test

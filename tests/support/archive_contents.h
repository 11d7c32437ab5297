#pragma once
// What an archive holds, without its own numbering: every row of every table, with each row's
// collection named by its station, time and count, and every REAL as the single it holds, so that
// archives of either kind compare equal when they hold the same.
#include <gtest/gtest.h>

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>
#include <QVariant>

#include "store/archive_tables.h"

namespace vrn::test {

inline QStringList archiveContents(store::RecordArchive& archive) {
    QString values;
    for (int k = 1; k <= store::RecordArchive::kMaxFields; ++k)
        values += QStringLiteral(", t.v%1").arg(k);
    const QString collection = QStringLiteral(" JOIN vrn_collections c ON c.id = t.collection_id");
    const QStringList queries = {
        QStringLiteral(
            "SELECT name, usb_serial, utc_offset_minutes, sends_oldest FROM vrn_stations t ORDER BY 1"),
        QStringLiteral("SELECT station, since_utc, utc_offset_minutes FROM vrn_offsets t ORDER BY 1, 2"),
        // What each collection tells of the instrument's memory, which the station's health is read from.
        QStringLiteral(
            "SELECT station, collected_at, records, oldest_utc, newest_utc, whole_memory, clock_ahead "
            "FROM vrn_collections t ORDER BY 1, 2, 3"),
        QStringLiteral(
            "SELECT c.station, c.collected_at, c.records, c.new_records, c.unkeyed, t.position, t.label, "
            "t.type, t.width, t.prec FROM vrn_fields t") +
            collection + QStringLiteral(" ORDER BY 1, 2, 3, 4, 5, 7, 6"),
        QStringLiteral("SELECT t.station, t.utc, c.collected_at, c.records%1 FROM vrn_records t")
                .arg(values) +
            collection + QStringLiteral(" ORDER BY 1, 2"),
        QStringLiteral("SELECT t.station, c.collected_at, c.records, t.position, t.prev_utc, t.prev_step, "
                       "t.next_utc, t.next_step%1 FROM vrn_unkeyed t")
                .arg(values) +
            collection + QStringLiteral(" ORDER BY 1, 2, 3, 4"),
        QStringLiteral(
            "SELECT station, attempted_at, outcome, reason, records, new_records, wire_seconds FROM "
            "vrn_attempts t ORDER BY 1, 2, 3, 4, 5, 6"),
    };
    QStringList rows;
    QSqlQuery q(store::databaseOf(archive));
    for (const QString& sql : queries) {
        EXPECT_TRUE(q.exec(sql)) << sql.toStdString() << q.lastError().text().toStdString();
        while (q.next()) {
            QStringList cells;
            for (int k = 0; k < q.record().count(); ++k) {
                const QVariant v = q.value(k);
                cells << (v.isNull() ? QStringLiteral("NULL")
                          : v.typeId() == QMetaType::Double
                              ? QString::number(static_cast<float>(v.toDouble()), 'g', 9)
                              : v.toString());
            }
            rows << cells.join(QLatin1Char('|'));
        }
        q.finish();
    }
    return rows;
}

}  // namespace vrn::test

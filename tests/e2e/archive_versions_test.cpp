// Archives of either kind as their tables were and are: one made by version 4 in PostgreSQL read
// back by this program, and the same references declared and checked in both databases.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QSqlQuery>
#include <QTemporaryDir>

#include "archive_fixture.h"
#include "pg_cluster.h"
#include "store/archive_tables.h"

namespace vrn::test {
namespace {

TEST(ArchiveVersions, APostgresArchiveOfVersionFourReadsBackExactly) {
    if (PgCluster::binDir().empty()) GTEST_SKIP() << "PostgreSQL's server programs are not installed";
    PgCluster pg;
    ASSERT_TRUE(pg.running()) << pg.error();
    QFile dump(QString::fromStdString(versionFourFile("archive.sql")));
    ASSERT_TRUE(dump.open(QIODevice::ReadOnly));
    QByteArray sql;
    // pg_dump's guard lines need a psql as new as the one that wrote them; the rest is plain SQL.
    for (const QByteArray& line : dump.readAll().split('\n'))
        if (!line.startsWith("\\restrict") && !line.startsWith("\\unrestrict")) sql += line + '\n';
    QProcess psql;
    psql.start(QString::fromStdString(PgCluster::binDir() + "/psql"),
               {QStringLiteral("-q"), QStringLiteral("-v"), QStringLiteral("ON_ERROR_STOP=1"),
                QStringLiteral("-d"), QString::fromStdString(pg.url())});
    ASSERT_TRUE(psql.waitForStarted(5000));
    psql.write(sql);
    psql.closeWriteChannel();
    ASSERT_TRUE(psql.waitForFinished(30000));
    ASSERT_EQ(psql.exitCode(), 0) << psql.readAllStandardError().toStdString();
    std::string error;
    const auto archive = store::RecordArchive::open(pg.url(), error);
    ASSERT_TRUE(archive) << error;
    expectWhatVersionFourHeld(*archive);
    QSqlQuery q(store::databaseOf(*archive));
    ASSERT_TRUE(q.exec(QStringLiteral("SELECT version FROM vrn_schema")) && q.next());
    EXPECT_EQ(q.value(0).toInt(), store::RecordArchive::kSchemaVersion);
}

// Every reference an archive declares is checked on its connection, and a new archive declares
// the same ones in both databases; one made by version 4 keeps the record's reference to its
// collection, checked too.
TEST(ArchiveVersions, BothKindsDeclareAndCheckTheSameReferences) {
    if (PgCluster::binDir().empty()) GTEST_SKIP() << "PostgreSQL's server programs are not installed";
    PgCluster pg;
    ASSERT_TRUE(pg.running()) << pg.error();
    QTemporaryDir dir;
    const QString old = dir.filePath(QStringLiteral("v4.db"));
    ASSERT_TRUE(QFile::copy(QString::fromStdString(versionFourFile("archive.db")), old));
    QFile::setPermissions(old, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    const std::pair<const char*, QString> breaking[] = {
        {"vrn_collections.station",
         "INSERT INTO vrn_collections (station, collected_at, field_count, records, new_records, unkeyed) "
         "VALUES "
         "('nobody', 0, 1, 0, 0, 0)"},
        {"vrn_fields.collection_id", "INSERT INTO vrn_fields VALUES (424242, 1, 'X', 0, 1, 0)"},
        {"vrn_offsets.station", "INSERT INTO vrn_offsets VALUES ('nobody', 0, 0)"},
        {"vrn_records.collection_id",
         "INSERT INTO vrn_records (station, utc, collection_id) VALUES ('n', 0, 424242)"},
        {"vrn_unkeyed.collection_id", "INSERT INTO vrn_unkeyed (collection_id, position) VALUES (424242, 1)"},
    };
    QStringList declaredByNew;
    for (const std::string& where :
         {pg.url(), dir.filePath(QStringLiteral("new.db")).toStdString(), old.toStdString()}) {
        SCOPED_TRACE(where);
        std::string error;
        const auto archive = store::RecordArchive::open(where, error);
        ASSERT_TRUE(archive) << error;
        QSqlDatabase db = store::databaseOf(*archive);
        QSqlQuery q(db);
        ASSERT_TRUE(q.exec(
            archive->isPostgres()
                ? QStringLiteral("SELECT conrelid::regclass::text || '.' || a.attname FROM pg_constraint "
                                 "c JOIN pg_attribute a ON a.attrelid = c.conrelid AND a.attnum = "
                                 "c.conkey[1] WHERE c.contype = 'f' ORDER BY 1")
                : QStringLiteral("SELECT m.name || '.' || p.\"from\" FROM sqlite_master m, "
                                 "pragma_foreign_key_list(m.name) p WHERE m.type = 'table' ORDER BY 1")));
        QStringList declared;
        while (q.next())
            declared << q.value(0).toString();
        q.finish();
        declared.sort();
        if (declaredByNew.isEmpty()) declaredByNew = declared;
        QStringList expected = declaredByNew;
        if (where == old.toStdString()) expected << QStringLiteral("vrn_records.collection_id");
        expected.sort();
        EXPECT_EQ(declared, expected);
        for (const auto& [reference, sql] : breaking) {
            ASSERT_TRUE(db.transaction());
            EXPECT_EQ(!QSqlQuery(db).exec(sql), declared.contains(QString::fromLatin1(reference)))
                << reference;
            db.rollback();
        }
    }
    EXPECT_EQ(declaredByNew.size(), 4) << declaredByNew.join(' ').toStdString();
}

}  // namespace
}  // namespace vrn::test

// Commands that only read an archive never make one: a mistyped path is "no archive at PATH".
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QTemporaryDir>

#include "cli_rig.h"
#include "store/record_archive.h"

namespace vrn::cli::test {
namespace {

TEST(ArchiveReadOnly, ExportAndPlotOfAMissingArchiveMakeNothing) {
    QTemporaryDir dir;
    const std::string missing = dir.filePath(QStringLiteral("archvie.db")).toStdString();
    const std::string inMissingFolder = dir.filePath(QStringLiteral("no/archive.db")).toStdString();
    const std::vector<std::vector<std::string>> runs = {
        {"export", missing, "--station", "north", "out.txt"},
        {"plot", missing, "out.png", "--station", "north"},
        {"export", inMissingFolder, "--station", "north", "out.txt"},
    };
    for (const auto& args : runs) {
        SCOPED_TRACE(args[0] + " " + args[1]);
        CliRig rig;
        EXPECT_EQ(rig.run(args), kExitArchive);
        EXPECT_EQ(rig.err.str(), "error: no archive at " + args[1] + "\n");
        EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(args[1])));
        EXPECT_TRUE(rig.files.files.empty());
    }
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("no"))));
}

// The store's own guard, whatever a caller looked at first: a file that is not there is not made,
// and one that is opens whatever its name holds.
TEST(ArchiveReadOnly, MustExistOpensOnlyWhatIsThere) {
    QTemporaryDir dir;
    std::string error;
    const std::string missing = dir.filePath(QStringLiteral("missing.db")).toStdString();
    EXPECT_TRUE(store::RecordArchive::isMissing(missing));
    EXPECT_FALSE(store::RecordArchive::open(missing, error, store::RecordArchive::Access::MustExist));
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(missing)));

    for (const char* name : {"plain.db", "a b%20?x=1#y.db"}) {
        SCOPED_TRACE(name);
        const std::string path = dir.filePath(QString::fromUtf8(name)).toStdString();
        ASSERT_TRUE(store::RecordArchive::open(path, error)) << error;
        EXPECT_FALSE(store::RecordArchive::isMissing(path));
        const auto archive = store::RecordArchive::open(path, error, store::RecordArchive::Access::MustExist);
        ASSERT_TRUE(archive) << error;
        error.clear();
        EXPECT_TRUE(archive->stationNames(error).empty());
        EXPECT_EQ(error, "");
    }
    EXPECT_FALSE(store::RecordArchive::isMissing("postgresql://nowhere/db"));
}

}  // namespace
}  // namespace vrn::cli::test

// vrncomm-cli plot on a record file that get-records fetched from vrncomm-sim over a pty.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "cli_process.h"
#include "sim_process.h"

namespace vrn::test {
namespace {

uint32_t bigEndian32(const QByteArray& bytes, int at) {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
        v = v << 8 | static_cast<uint8_t>(bytes.at(at + i));
    return v;
}

// A PNG's width and height from its header; 0 x 0 when it is not a PNG.
std::pair<uint32_t, uint32_t> pngSize(const QByteArray& png) {
    if (png.size() < 24 || !png.startsWith("\x89PNG\r\n\x1a\n") || png.mid(12, 4) != "IHDR") return {0, 0};
    return {bigEndian32(png, 16), bigEndian32(png, 20)};
}

TEST(PlotEndToEnd, DrawsRetrievedRecordsAndRefusesWhatItCannotDraw) {
    SimProcess sim;
    ASSERT_FALSE(sim.path().empty()) << sim.errorText();
    QTemporaryDir dir;
    const QString records = dir.filePath(QStringLiteral("day.txt"));
    const CliRun got = runCliOn(sim.path(), {"get-records", "300", records, "--delimiter", "tab"});
    ASSERT_EQ(got.exitCode, 0) << got.err;

    const QString all = dir.filePath(QStringLiteral("all.png"));
    const CliRun r = runCli({"plot", records, all});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, all.toStdString() + "\n");
    const QByteArray allPng = readAll(all);
    EXPECT_EQ(pngSize(allPng), (std::pair<uint32_t, uint32_t>{960, 560}));

    const QString two = dir.filePath(QStringLiteral("two.png"));
    const CliRun chosen = runCli({"plot", records, two, "--fields", "WIND DIR,RH"});
    ASSERT_EQ(chosen.exitCode, 0) << chosen.err;
    const QByteArray twoPng = readAll(two);
    EXPECT_EQ(pngSize(twoPng), (std::pair<uint32_t, uint32_t>{960, 560}));
    EXPECT_NE(twoPng, allPng) << "the chosen fields drew the same picture as all of them";

    struct Row {
        const char* name;
        QStringList args;
        const char* error;
    };
    const QString setup = dir.filePath(QStringLiteral("station.set"));
    {
        QFile f(setup);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(700, '\x01'));
    }
    // A crafted file: more fields than a record has, on a million lines.
    const QString crafted = dir.filePath(QStringLiteral("crafted.txt"));
    {
        QFile f(crafted);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("2 RECORDS\r\n\r\nA\r\n" + QByteArray(1000000, ',') + QByteArray(1000000, '\n'));
    }
    const QString out = dir.filePath(QStringLiteral("refused.png"));
    const std::vector<Row> rows = {
        {"a million fields", {"plot", crafted, out}, "the first record has 1000001 fields, more than the 25"},
        {"a label no Number field has",
         {"plot", records, out, "--fields", "WIND DIR,DATE"},
         "no Number field \"DATE\""},
        {"not a record file", {"plot", setup, out}, "is not a record text file"},
        {"a missing file", {"plot", dir.filePath(QStringLiteral("none.txt")), out}, "cannot read"},
        {"no picture named", {"plot", records}, "error: plot: OUT.png is missing"},
        {"--fields without labels",
         {"plot", records, out, "--fields"},
         "error: plot: --fields needs one LABEL,..."},
    };
    for (const Row& row : rows) {
        const CliRun refused = runCli(row.args);
        EXPECT_EQ(refused.exitCode, 2) << row.name;
        EXPECT_NE(refused.err.find("error: "), std::string::npos) << row.name;
        EXPECT_NE(refused.err.find(row.error), std::string::npos) << row.name << ": " << refused.err;
        EXPECT_FALSE(QFile::exists(out)) << row.name;
    }
}

}  // namespace
}  // namespace vrn::test

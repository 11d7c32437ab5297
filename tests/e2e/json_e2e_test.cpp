// Three instruments checked at once with --json, as a station network's script runs them: each
// vrncomm-cli a process of its own on its own pseudo-terminal, at the same time.
#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <array>
#include <memory>

#include "cli_process.h"
#include "sim_process.h"

namespace vrn::test {
namespace {

struct Station {
    const char* name;
    std::vector<std::string> simOptions;
    int exit;
    const char* meaningStart;  // the exit meaning begins so
};

TEST(JsonEndToEnd, ThreeInstrumentsDiffedInParallelGiveThreeDocumentsAndThreeStatuses) {
    QTemporaryDir dir;
    const QString file = dir.filePath("station.set");
    // An instrument whose kept Setup has another interval than a fresh simulator's.
    const QString state = dir.filePath("drifted");
    ASSERT_TRUE(QDir().mkpath(state));
    QFile setup(state + "/setup.txt");
    ASSERT_TRUE(setup.open(QIODevice::WriteOnly) && setup.write("interval 42\n") == 12);
    setup.close();

    const std::array<Station, 3> stations{{
        {"equal", {}, 0, "success"},
        {"drifted", {"--state", state.toStdString()}, 3, "the instrument answered and differs"},
        {"silent", {"--silent"}, 1, "the instrument did not answer"},
    }};
    std::array<std::unique_ptr<SimProcess>, 3> sims;
    for (size_t k = 0; k < sims.size(); ++k) {
        sims[k] = std::make_unique<SimProcess>(stations[k].simOptions);
        ASSERT_FALSE(sims[k]->path().empty()) << sims[k]->errorText();
    }
    const CliRun got = runCliOn(sims[0]->path(), {"--quiet", "get-setup", file});
    ASSERT_EQ(got.exitCode, 0) << got.err;

    std::array<QProcess, 3> runs;
    for (size_t k = 0; k < runs.size(); ++k)
        runs[k].start(QStringLiteral(VRN_CLI_PROGRAM),
                      {"--port", QString::fromStdString(sims[k]->path()), "diff-setup", file, "--json"});
    const QDeadlineTimer deadline(kCliRunLimitMs / 2);
    for (size_t k = 0; k < runs.size(); ++k) {
        SCOPED_TRACE(stations[k].name);
        QProcess& p = runs[k];
        if (!p.waitForFinished(static_cast<int>(deadline.remainingTime()))) p.kill();
        ASSERT_EQ(p.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p.exitCode(), stations[k].exit);
        const QByteArray err = p.readAllStandardError();
        QJsonParseError error;
        const QJsonDocument parsed = QJsonDocument::fromJson(p.readAllStandardOutput(), &error);
        ASSERT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
        const QJsonObject doc = parsed.object();
        EXPECT_EQ(doc["schema"].toString(), "vrncomm-cli/1");
        EXPECT_EQ(doc["command"].toString(), "diff-setup");
        EXPECT_EQ(doc["arguments"].toArray(), QJsonArray{file});
        EXPECT_EQ(doc["port"]["device"].toString().toStdString(), sims[k]->path());
        // A pseudo-terminal has no USB serial number.
        EXPECT_TRUE(doc["port"]["usbSerial"].isNull());
        EXPECT_EQ(doc["exitStatus"].toInt(-1), stations[k].exit);
        EXPECT_TRUE(doc["exitMeaning"].toString().startsWith(stations[k].meaningStart))
            << doc["exitMeaning"].toString().toStdString();
        EXPECT_TRUE(doc["files"].toArray().isEmpty());
        EXPECT_EQ(doc["outcome"].isNull(), stations[k].exit != 1);
        const QJsonArray messages = doc["messages"].toArray();
        ASSERT_FALSE(messages.isEmpty());
        EXPECT_EQ(messages.first().toString(), "GET SETUP...");
        const QJsonObject result = doc["result"].toObject();
        switch (stations[k].exit) {
        case 0:
            EXPECT_TRUE(result["equal"].toBool(false));
            EXPECT_EQ(result["parts"][0]["differences"].toArray(), QJsonArray{});
            EXPECT_EQ(messages.last().toString(), "SETUP: SAME AS " + file + ".");
            EXPECT_EQ(err, "");
            break;
        case 3:
            EXPECT_FALSE(result["equal"].toBool(true));
            EXPECT_EQ(result["parts"][0]["part"].toString(), "setup");
            ASSERT_EQ(result["parts"][0]["differences"].toArray().size(), 1);
            EXPECT_EQ(result["parts"][0]["differences"][0]["where"].toString(), "INTERVAL");
            EXPECT_EQ(result["parts"][0]["differences"][0]["instrument"].toString(), "42");
            EXPECT_NE(result["parts"][0]["differences"][0]["file"].toString(), "42");
            EXPECT_EQ(messages.last().toString(), "SETUP: DIFFERENT FROM " + file + ".");
            EXPECT_EQ(err, "");
            break;
        default:
            // No comparison without an answer; the box is a warning, on stderr as without --json.
            EXPECT_TRUE(result.isEmpty());
            ASSERT_EQ(doc["warnings"].toArray().size(), 1);
            EXPECT_TRUE(doc["warnings"][0].toString().startsWith("Cannot communicate with 41700."));
            // The failure's own line follows as an error.
            ASSERT_EQ(doc["errors"].toArray().size(), 1);
            EXPECT_EQ(err, "warning: " + doc["warnings"][0].toString().toUtf8() +
                               "\nerror: " + doc["errors"][0].toString().toUtf8() + "\n");
            // The transfer's own outcome says what failed, in the message line that said it.
            EXPECT_EQ(doc["outcome"]["kind"].toString(), "failed");
            EXPECT_TRUE(messages.contains(doc["outcome"]["reason"]))
                << doc["outcome"]["reason"].toString().toStdString();
            break;
        }
    }
}

}  // namespace
}  // namespace vrn::test

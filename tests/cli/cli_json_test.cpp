// --json: one document on stdout for every run, read back with a JSON parser.
#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "cli/cli.h"
#include "cli/terminal_host.h"
#include "cli_rig.h"
#include "core/link/exchange.h"
#include "sim/faults.h"
#include "sim/station.h"

namespace vrn::cli::test {
namespace {

// Stdout parsed as one JSON document; a parse error (trailing text too) fails the test.
QJsonValue document(const CliRig& rig) {
    const QByteArray out = QByteArray::fromStdString(rig.out.str());
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(out, &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString() << "\n"
                                                     << rig.out.str();
    EXPECT_TRUE(doc.isObject());
    return doc.object();
}

QString sha256(const std::vector<uint8_t>& bytes) {
    return QString::fromLatin1(
        QCryptographicHash::hash(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())),
                                 QCryptographicHash::Sha256)
            .toHex());
}

QStringList texts(const QJsonValue& array) {
    QStringList list;
    for (const QJsonValue& v : array.toArray())
        list << v.toString();
    return list;
}

TEST(CliJson, EveryRunPrintsOneDocumentWithItsStatusItsMeaningAndItsLines) {
    struct Row {
        const char* name;
        std::vector<std::string> args;
        void (*prepare)(CliRig&);
        int exit;
        QJsonValue command;
        QStringList arguments;
        QJsonValue device;  // of "port", or null for no port at all
        const char* error;  // the first of "errors", or "" for none
    };
    const auto nothing = [](CliRig&) {};
    const auto silent = [](CliRig& r) { r.instrument.faults.all = sim::Fault::silent(); };
    const Row rows[] = {
        {"a get",
         {"--simulate", "--json", "get-setup", "s.set"},
         nothing,
         kExitOk,
         "get-setup",
         {"s.set"},
         QJsonValue::Null,
         ""},
        {"--json after the command",
         {"--port", "/dev/ttyUSB7", "get-setup", "s.set", "--json"},
         nothing,
         kExitOk,
         "get-setup",
         {"s.set"},
         "/dev/ttyUSB7",
         ""},
        {"the program's options among the command's words",
         {"get-setup", "--port", "/dev/ttyUSB7", "s.set", "--quiet", "--json"},
         nothing,
         kExitOk,
         "get-setup",
         {"s.set"},
         "/dev/ttyUSB7",
         ""},
        {"no answer: the failure's line as an error",
         {"--simulate", "--json", "get-setup", "s.set"},
         silent,
         kExitFailed,
         "get-setup",
         {"s.set"},
         QJsonValue::Null,
         "get-setup: CANNOT GET DATE"},
        {"a command's usage error",
         {"--json", "diff-setup"},
         nothing,
         kExitUsage,
         "diff-setup",
         {},
         QJsonValue::Undefined,
         "diff-setup: FILE.set is missing"},
        {"an unknown command",
         {"--json", "frobnicate", "x"},
         nothing,
         kExitUsage,
         QJsonValue::Null,
         {},
         QJsonValue::Undefined,
         "unknown command frobnicate"},
        // Options stand anywhere: one the program does not know is the command's mistake.
        {"an unknown option",
         {"--fast", "--json", "ports"},
         nothing,
         kExitUsage,
         "ports",
         {"--fast"},
         QJsonValue::Undefined,
         "ports: unknown option --fast"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        CliRig rig;
        r.prepare(rig);
        EXPECT_EQ(rig.run(r.args), r.exit) << rig.err.str();
        const QJsonObject doc = document(rig).toObject();
        EXPECT_EQ(doc["schema"].toString(), "vrncomm-cli/1");
        EXPECT_EQ(doc["command"], r.command);
        EXPECT_EQ(texts(doc["arguments"]), r.arguments);
        EXPECT_EQ(doc["exitStatus"].toInt(-1), r.exit);
        EXPECT_EQ(doc["exitMeaning"].toString().toStdString(), exitMeaning(r.exit));
        if (r.device.isUndefined()) {
            EXPECT_TRUE(doc["port"].isNull());
        } else {
            EXPECT_EQ(doc["port"].toObject()["device"], r.device);
            EXPECT_TRUE(doc["port"].toObject()["usbSerial"].isNull());
        }
        const QStringList errors = texts(doc["errors"]);
        EXPECT_EQ(errors.isEmpty() ? QString() : errors.front(), QString(r.error));
        // Stderr keeps its lines: every error of the document is there too.
        for (const QString& e : errors)
            EXPECT_NE(rig.err.str().find("error: " + e.toStdString()), std::string::npos) << e.toStdString();
        EXPECT_EQ(doc["outcome"].isNull(), r.exit != kExitFailed);
        if (r.exit == kExitFailed) {
            EXPECT_EQ(doc["outcome"]["kind"].toString(), "failed");
            EXPECT_TRUE(texts(doc["messages"]).contains(doc["outcome"]["reason"].toString()));
            EXPECT_EQ(texts(doc["warnings"]), QStringList{QString::fromStdString(oneLine(kCommErrorText))});
            EXPECT_TRUE(doc["files"].toArray().isEmpty());
            EXPECT_TRUE(rig.files.files.empty());
        }
    }
}

// "exitMeaning" and the README's table say the same, word for word (the table's code marks aside).
TEST(CliJson, ExitMeaningsAreTheReadmeTablesLines) {
    QFile readme(VRN_README);
    ASSERT_TRUE(readme.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(readme.readAll()).remove('`');
    for (int status = kExitOk; status <= kExitStationUnwell; ++status) {
        const QString row =
            "\n| " + QString::number(status) + " | " + QString::fromUtf8(exitMeaning(status)) + " |\n";
        EXPECT_TRUE(text.contains(row)) << row.toStdString();
    }
    EXPECT_EQ(exitMeaning(kExitStationUnwell + 1), "unknown");
}

TEST(CliJson, FilesWrittenAreListedWithTheirSizeAndDigest) {
    CliRig rig;
    ASSERT_EQ(rig.run({"--simulate", "--json", "get-all", "g/st.ssp"}), kExitOk) << rig.err.str();
    const QJsonObject doc = document(rig).toObject();
    const QJsonArray files = doc["files"].toArray();
    // The group file, its three members, the listing and eight pictures.
    ASSERT_EQ(files.size(), 13);
    for (const QJsonValue& v : files) {
        const QJsonObject f = v.toObject();
        SCOPED_TRACE(f["path"].toString().toStdString());
        const auto written = rig.files.files.find(f["path"].toString().toStdString());
        ASSERT_NE(written, rig.files.files.end());
        EXPECT_EQ(f["size"].toInteger(), static_cast<qint64>(written->second.size()));
        EXPECT_EQ(f["sha256"].toString(), sha256(written->second));
    }

    // A group that could not be written wrote none of its files: none is listed.
    ASSERT_EQ(rig.run({"--simulate", "--json", "get-all", "/full/st.ssp"}), kExitUsage);
    EXPECT_TRUE(document(rig)["files"].toArray().isEmpty());
    EXPECT_EQ(document(rig)["warnings"][0].toString().left(20), "Cannot create file \"");

    ASSERT_EQ(rig.run({"--simulate", "--json", "--quiet", "get-records", "5", "day.txt"}), kExitOk);
    const QJsonObject records = document(rig).toObject();
    const std::vector<uint8_t>& day = rig.files.files.at("day.txt");
    ASSERT_EQ(records["files"].toArray().size(), 1);
    EXPECT_EQ(records["files"][0]["sha256"].toString(), sha256(day));
    EXPECT_EQ(records["files"][0]["size"].toInteger(), static_cast<qint64>(day.size()));
    EXPECT_EQ(records["result"]["records"].toInt(), 5);
    const int fields = rig.instrument.state.setup.fieldsPerRecord;
    EXPECT_EQ(records["result"]["totalBytes"].toInt(), 5 * fields * 4);
    // --quiet leaves the message lines out of the terminal, not out of the document.
    EXPECT_TRUE(texts(records["messages"]).contains("TOTAL BYTES: " + QString::number(5 * fields * 4)));
}

TEST(CliJson, CommandsGiveTheirOwnResultsAsData) {
    CliRig rig;
    ASSERT_EQ(rig.run({"--simulate", "get-all", "g.ssp"}), kExitOk) << rig.err.str();
    rig.instrument.state.setup.interval = 42;
    rig.instrument.state.screens[0] = 'X';
    ASSERT_EQ(rig.run({"--simulate", "--json", "diff-all", "g.ssp"}), kExitDiffers) << rig.err.str();
    const QJsonObject diff = document(rig)["result"].toObject();
    EXPECT_FALSE(diff["equal"].toBool(true));
    const QJsonArray parts = diff["parts"].toArray();
    ASSERT_EQ(parts.size(), 3);
    EXPECT_EQ(parts[0]["part"].toString(), "setup");
    EXPECT_EQ(parts[0]["file"].toString(), "g.set");
    EXPECT_EQ(parts[0]["differences"].toArray(),
              (QJsonArray{QJsonObject{{"where", "INTERVAL"}, {"file", "1"}, {"instrument", "42"}}}));
    EXPECT_EQ(parts[1]["part"].toString(), "screens");
    EXPECT_EQ(parts[1]["differences"][0]["where"].toString(), "screen 1 row 1 col 1");
    EXPECT_EQ(parts[1]["differences"][0]["instrument"].toString(), "\"X\"");
    EXPECT_EQ(parts[2]["part"].toString(), "program");
    EXPECT_TRUE(parts[2]["equal"].toBool(false));
    EXPECT_TRUE(parts[2]["differences"].toArray().isEmpty());

    rig.listing = {{"/dev/ttyS0", "", false, ""}, {"/dev/ttyUSB0", "VARNO 41700 USB", true, "FT1"}};
    ASSERT_EQ(rig.run({"--json", "ports"}), kExitOk);
    EXPECT_EQ(document(rig)["result"]["ports"].toArray(),
              (QJsonArray{QJsonObject{{"name", "/dev/ttyS0"},
                                      {"description", ""},
                                      {"instrument", false},
                                      {"usbSerial", QJsonValue()}},
                          QJsonObject{{"name", "/dev/ttyUSB0"},
                                      {"description", "VARNO 41700 USB"},
                                      {"instrument", true},
                                      {"usbSerial", "FT1"}}}));

    ASSERT_EQ(rig.run({"--simulate", "--json", "test", "ram"}), kExitOk);
    EXPECT_FALSE(document(rig)["result"]["reading"].toString().isEmpty());

    ASSERT_EQ(rig.run({"--simulate", "--json", "cal-data"}), kExitOk);
    const QJsonObject cal = document(rig)["result"].toObject();
    EXPECT_FALSE(cal["header"].toString().isEmpty());
    EXPECT_FALSE(cal["rows"].toArray().isEmpty());

    ASSERT_EQ(rig.run({"--json", "listing", "g.pgm"}), kExitOk);
    const QJsonArray listing = document(rig)["result"]["listing"].toArray();
    ASSERT_FALSE(listing.isEmpty());
    EXPECT_EQ(listing.last().toString(), "PGM END");
}

TEST(CliJson, CheckFindingsAndDoctorChecksAreRecords) {
    CliRig rig;
    sim::configureStation(rig.instrument);  // as --simulate starts it, with one record field more
    rig.instrument.state.setup.fieldsPerRecord = 8;
    ASSERT_EQ(rig.run({"--simulate", "get-all", "g.ssp"}), kExitOk) << rig.err.str();
    ASSERT_EQ(rig.run({"--json", "check", "g.ssp"}), kExitCheckErrors) << rig.err.str();
    const QJsonObject check = document(rig)["result"].toObject();
    EXPECT_EQ(check["program"].toString(), "g.pgm");
    EXPECT_EQ(check["setup"].toString(), "g.set");
    EXPECT_EQ(check["errors"].toInt(-1), 1);
    EXPECT_EQ(check["warnings"].toInt(-1), 0);
    const QJsonArray findings = check["findings"].toArray();
    ASSERT_EQ(findings.size(), 1);
    EXPECT_EQ(findings[0].toObject(),
              (QJsonObject{{"position", 17},
                           {"instruction", "RECORD TIME"},
                           {"parameter", QJsonValue::Null},
                           {"severity", "error"},
                           {"text", "a pass records 7 values; the record format has 8 fields per record"}}));

    rig.diagnose = [] {
        return UsbDiagnosis{{{"instrument", true, "", ""}, {"access", false, "no access", "add the rule"}},
                            false};
    };
    ASSERT_EQ(rig.run({"--json", "doctor"}), kExitFailed);
    const QJsonObject doctor = document(rig)["result"].toObject();
    EXPECT_FALSE(doctor["canOpen"].toBool(true));
    EXPECT_EQ(
        doctor["checks"].toArray(),
        (QJsonArray{
            QJsonObject{{"name", "instrument"}, {"ok", true}, {"finding", ""}, {"mend", QJsonValue::Null}},
            QJsonObject{
                {"name", "access"}, {"ok", false}, {"finding", "no access"}, {"mend", "add the rule"}}}));
}

}  // namespace
}  // namespace vrn::cli::test

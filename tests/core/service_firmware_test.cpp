#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "core/service/firmware_update.h"
#include "core/service/srecord_file.h"
#include "memory_file_store.h"
#include "sim_link.h"

namespace vrn::service {
namespace {

using sim::Fault;

// The firmware files objcopy made from the test program at build time.
std::string firmwareFile(const char* name) {
    std::ifstream in(std::string(VRN_FIRMWARE_DIR) + "/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::string withoutCr(std::string text) {
    std::erase(text, '\r');
    return text;
}

struct Rig : test::SimLink {
    test::MemoryFileStore files;
    Rig() {
        usb.OpenUsbPort();
        driver.written.clear();
    }
    void put(const std::string& text) { files.files["/fw/new.glo"].assign(text.begin(), text.end()); }
    Outcome update(bool answerYes = true) {
        host.setNextAnswer(answerYes ? MsgResult::Yes : MsgResult::No);
        FirmwareRequest request;
        request.path = "/fw/new.glo";
        request.statusText = "station12";
        return updateFirmware(ex, files, request);
    }
    std::string wire() const {
        std::string s;
        for (const auto& w : driver.written)
            s.push_back(static_cast<char>(w.byte));
        return s;
    }
    int64_t cmd980AtMs() const {
        const std::string w = wire();
        const size_t at = w.find("CMD980\r");
        return at == std::string::npos ? -1 : driver.written[at].atUs / 1000;
    }
};

TEST(FirmwareFiles, ObjcopyOutputIsWhatTheTestsNeed) {
    const auto lines = linesOf(firmwareFile("demo.glo"));
    ASSERT_GE(lines.size(), 10U) << "demo.glo missing or too small";
    EXPECT_TRUE(lines.front().starts_with("S0"));
    EXPECT_TRUE(lines.back().starts_with("S9"));
    EXPECT_NE(firmwareFile("demo.glo").find("\r\n"), std::string::npos) << "objcopy writes CR LF";
}

TEST(FirmwareUpdate, RecordsGoOutWithOneLineFeedAndProgressByFileShare) {
    struct Row {
        const char* name;
        std::string file;
    };
    const std::string crlf = firmwareFile("demo.glo");
    const Row rows[] = {{"CR LF file", crlf}, {"LF file", withoutCr(crlf)}};
    for (const Row& r : rows) {
        Rig rig;
        rig.put(r.file);
        EXPECT_TRUE(rig.update().ok()) << r.name;

        const auto records = linesOf(r.file);
        std::string expected = " \rCMD980\rFLS";
        for (const auto& rec : records)
            expected += rec + "\n";
        EXPECT_EQ(rig.wire(), expected) << r.name;

        // One value after each acknowledged record (all but S9): the file's share up to its end.
        std::vector<int> progress{0};
        size_t offset = 0;
        for (size_t i = 0; i + 1 < records.size(); ++i) {
            offset = r.file.find(records[i], offset) + records[i].size();
            progress.push_back(static_cast<int>(std::lround(100.0 * offset / r.file.size())));
        }
        progress.push_back(0);
        EXPECT_EQ(rig.host.progress, progress) << r.name;
        EXPECT_EQ(rig.host.progressMax, 100);

        // The instrument's final text names the S0 header (objcopy's output path) and the count.
        const std::string count = ", " + std::to_string(records.size() - 2) + " RECORDS\r";
        ASSERT_EQ(rig.host.lines.size(), 6U) << r.name;
        EXPECT_EQ(std::vector<std::string>(rig.host.lines.begin(), rig.host.lines.begin() + 4),
                  (std::vector<std::string>{"DO NOT REMOVE POWER FROM 41700!",
                                            "DO NOT STOP OR INTERRUPT THIS PROCESS!",
                                            "ERASING flash memory...", "PROGRAMMING flash memory..."}));
        EXPECT_TRUE(rig.host.lines[4].starts_with("FLASH PROGRAMMED: ")) << rig.host.lines[4];
        EXPECT_TRUE(rig.host.lines[4].ends_with(count)) << rig.host.lines[4];
        EXPECT_EQ(rig.host.lines[5], "FINISHED FIRMWARE UPDATE.");
        EXPECT_EQ(rig.host.status, "station12");
        EXPECT_EQ(rig.instrument.state.service.firmwareRecords, records.size() - 2) << r.name;
        EXPECT_FALSE(rig.instrument.state.service.flashErased);
        EXPECT_EQ(rig.host.waitCursorDepth, 0);
        ASSERT_EQ(rig.host.boxes.size(), 1U);
        EXPECT_EQ(rig.host.boxes[0].text, kFwConfirmText);
    }
}

TEST(FirmwareUpdate, WholeFileCheckedBeforeAnythingIsSent) {
    const std::string good = firmwareFile("demo.glo");
    const auto lines = linesOf(good);
    auto join = [](const std::vector<std::string>& ls) {
        std::string t;
        for (const auto& l : ls)
            t += l + "\r\n";
        return t;
    };
    std::vector<std::string> s1First(lines.begin() + 1, lines.end());
    std::vector<std::string> noEnd(lines.begin(), lines.end() - 1);
    std::vector<std::string> badSum = lines;
    badSum[4][10] = badSum[4][10] == '0' ? '1' : '0';
    std::vector<std::string> notHex = lines;
    notHex[2][9] = 'G';
    std::vector<std::string> shortened = lines;
    shortened[3].erase(8, 2);
    std::vector<std::string> countOff = lines;
    countOff[3][3] = countOff[3][3] == '0' ? '2' : '0';
    std::vector<std::string> notRecord = lines;
    notRecord.insert(notRecord.begin() + 3, "X1130000");
    struct Row {
        const char* name;
        std::string file;
        std::string box;
    };
    const Row rows[] = {
        {"S1 record first", join(s1First), "Incorrect file type.\nFlash Update cancelled."},
        {"empty file", "", "Incorrect file type.\nFlash Update cancelled."},
        {"record too long", firmwareFile("demo_long.glo"),
         "The record on line 2 is longer than 398 characters.\nFlash Update cancelled."},
        {"bad checksum", join(badSum),
         "The record on line 5 is damaged (its checksum is wrong).\nFlash Update cancelled."},
        {"no S9 record", join(noEnd), "The file has no S9 end record.\nFlash Update cancelled."},
        // Each fault of a record by its own name, and its line.
        {"not hexadecimal", join(notHex),
         "The record on line 3 holds a character that is not a hexadecimal digit.\nFlash Update cancelled."},
        {"two digits missing", join(shortened),
         "The record on line 4 does not have the length its byte count says.\nFlash Update cancelled."},
        {"count changed", join(countOff),
         "The record on line 4 does not have the length its byte count says.\nFlash Update cancelled."},
        {"not an S-record", join(notRecord),
         "The record on line 4 is not an S-record (it must begin with S and a digit).\nFlash Update "
         "cancelled."},
    };
    for (const Row& r : rows) {
        Rig rig;
        rig.put(r.file);
        FirmwareRequest request{"/fw/new.glo", false, {}};
        EXPECT_EQ(updateFirmware(rig.ex, rig.files, request).kind(), Outcome::Kind::Refused) << r.name;
        ASSERT_EQ(rig.host.boxes.size(), 1U) << r.name;
        EXPECT_EQ(rig.host.boxes[0].text, r.box) << r.name;
        EXPECT_TRUE(rig.driver.written.empty()) << r.name;
    }
}

TEST(FirmwareUpdate, LoaderAndRecordFaults) {
    struct Row {
        const char* name;
        std::function<void(sim::Faults&)> fault;
        bool answerYes;
        Outcome::Kind outcome;
        const char* box;       // after the confirmation; nullptr for none
        int64_t minMs, maxMs;  // from CMD980 to the end; -1: CMD980 never sent
    };
    const Row rows[] = {
        {"single star then silence", [](sim::Faults& f) { f.perCommand[980] = Fault::cutShort(2); }, true,
         Outcome::Kind::Done, nullptr, 0, 2000},
        {"stray bytes ignored", [](sim::Faults& f) { f.loaderStray = "ab!C\r"; }, true, Outcome::Kind::Done,
         nullptr, 0, 2000},
        {"records stop being acknowledged", [](sim::Faults& f) { f.loaderAcks = 3; }, true,
         Outcome::Kind::Failed, kFwTimeoutText, 90000, 92000},
        {"loader silent", [](sim::Faults& f) { f.perCommand[980] = Fault::silent(); }, true,
         Outcome::Kind::Failed, kFwNoLoaderText, 5000, 7000},
        {"No at the confirmation", [](sim::Faults&) {}, false, Outcome::Kind::Refused, nullptr, -1, -1},
    };
    for (const Row& r : rows) {
        Rig rig;
        rig.put(firmwareFile("demo.glo"));
        r.fault(rig.instrument.faults);
        const Outcome outcome = rig.update(r.answerYes);
        EXPECT_EQ(outcome.kind(), r.outcome) << r.name;
        if (r.box) {
            EXPECT_EQ(outcome.reason(), r.box) << r.name;
        }
        ASSERT_GE(rig.host.boxes.size(), 1U) << r.name;
        EXPECT_EQ(rig.host.boxes[0].text, kFwConfirmText) << r.name;
        EXPECT_EQ(rig.host.boxes.size(), r.box ? 2U : 1U) << r.name;
        if (r.box && rig.host.boxes.size() == 2) {
            EXPECT_EQ(rig.host.boxes[1].text, r.box) << r.name;
        }
        const int64_t sent = rig.cmd980AtMs();
        if (r.minMs < 0) {
            EXPECT_EQ(rig.wire(), " \r") << r.name;
            continue;
        }
        EXPECT_GE(rig.host.clock_.nowMs() - sent, r.minMs) << r.name;
        EXPECT_LE(rig.host.clock_.nowMs() - sent, r.maxMs) << r.name;
        EXPECT_EQ(rig.host.progress.back(), 0) << r.name;
        EXPECT_EQ(rig.host.waitCursorDepth, 0) << r.name;
    }
}

TEST(FirmwareUpdate, RefusalsBeforeTheLoader) {
    struct Row {
        const char* name;
        bool portOpen;
        bool silent;
        bool backupFirst;
        int backupResult;  // -1: no backup step wired
        Outcome::Kind outcome;
        const char* box;
        const char* sent;
    };
    const Row rows[] = {
        {"port closed", false, false, false, -1, Outcome::Kind::PortGone, kFwPortClosedText, ""},
        {"no wake answer", true, true, false, -1, Outcome::Kind::Failed, kFwNoWakeText, " \r"},
        {"backup fails", true, false, true, 0, Outcome::Kind::Failed, kFwBackupFailedText, ""},
        {"backup not wired", true, false, true, -1, Outcome::Kind::Failed, kFwBackupFailedText, ""},
        {"backup done first", true, false, true, 1, Outcome::Kind::Refused, kFwConfirmText, " \r"},
        {"backup not chosen", true, false, false, 0, Outcome::Kind::Refused, kFwConfirmText, " \r"},
    };
    for (const Row& r : rows) {
        Rig rig;
        rig.put(firmwareFile("demo.glo"));
        if (!r.portOpen) rig.usb.closeAtExit();
        if (r.silent) rig.instrument.faults.all = Fault::silent();
        std::vector<std::string> backedUp;
        size_t sentBeforeBackup = 99;
        FirmwareBackup backup;
        if (r.backupResult >= 0)
            backup = [&](const std::string& path) -> Result<std::string> {
                backedUp.push_back(path);
                sentBeforeBackup = rig.driver.written.size();
                if (r.backupResult != 1) return Outcome::failed();
                return {Outcome::done(), "/fw/41700 backup.ssp"};
            };
        rig.host.setNextFileName("/fw/new.glo");
        rig.host.checkBoxAnswers.push_back(r.backupFirst);
        rig.host.setNextAnswer(MsgResult::No);
        const Outcome outcome = FirmwareUpdate1(rig.ex, rig.files, backup, "");
        EXPECT_EQ(outcome.kind(), r.outcome) << r.name;
        // What ended it is the box that said so, or the No to the confirmation.
        EXPECT_EQ(outcome.reason(), r.box == kFwConfirmText ? kFwCancelledLine : r.box) << r.name;
        ASSERT_FALSE(rig.host.boxes.empty()) << r.name;
        EXPECT_EQ(rig.host.boxes.back().text, r.box) << r.name;
        EXPECT_EQ(rig.wire(), r.sent) << r.name;
        if (r.backupFirst && r.backupResult >= 0) {
            EXPECT_EQ(backedUp, std::vector<std::string>{"/fw/new.glo"}) << r.name;
            EXPECT_EQ(sentBeforeBackup, 0U) << r.name;
        } else {
            EXPECT_TRUE(backedUp.empty()) << r.name;
        }
        if (r.portOpen) {
            ASSERT_EQ(rig.host.checkBoxes.size(), 1U) << r.name;
            EXPECT_EQ(rig.host.checkBoxes[0], std::make_pair(std::string(kBackupBoxText), true)) << r.name;
            EXPECT_EQ(rig.host.dialogs.back().filter, kFirmwareFilter);
            EXPECT_EQ(rig.host.dialogs.back().defaultExt, "glo");
        }
    }
}

TEST(FirmwareUpdate, MessageAreaTellsWhereTheBackupWentAndThatAnUpdateWasCancelled) {
    const std::string backupLine = std::string(kFwBackupLine) + "/fw/41700 backup.ssp";
    struct Row {
        const char* name;
        bool backupFirst;
        MsgResult answer;
        std::vector<std::string> firstLines;  // the message area from its start
        Outcome::Kind outcome;
    };
    const Row rows[] = {
        {"backup, answered No", true, MsgResult::No, {backupLine, kFwCancelledLine}, Outcome::Kind::Refused},
        {"no backup, answered No", false, MsgResult::No, {kFwCancelledLine}, Outcome::Kind::Refused},
        {"backup, answered Yes",
         true,
         MsgResult::Yes,
         {backupLine, "DO NOT REMOVE POWER FROM 41700!"},
         Outcome::Kind::Done},
        {"no backup, answered Yes",
         false,
         MsgResult::Yes,
         {"DO NOT REMOVE POWER FROM 41700!"},
         Outcome::Kind::Done},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        Rig rig;
        rig.put(firmwareFile("demo.glo"));
        rig.host.setNextAnswer(r.answer);
        FirmwareRequest request;
        request.path = "/fw/new.glo";
        request.backupFirst = r.backupFirst;
        const FirmwareBackup backup = [](const std::string&) -> Result<std::string> {
            return {Outcome::done(), "/fw/41700 backup.ssp"};
        };
        EXPECT_EQ(updateFirmware(rig.ex, rig.files, request, backup).kind(), r.outcome);
        ASSERT_GE(rig.host.lines.size(), r.firstLines.size());
        EXPECT_EQ(std::vector<std::string>(
                      rig.host.lines.begin(),
                      rig.host.lines.begin() + static_cast<std::ptrdiff_t>(r.firstLines.size())),
                  r.firstLines);
        if (r.answer == MsgResult::No) {
            EXPECT_EQ(rig.host.lines.size(), r.firstLines.size());
        }
        // The question that lets the flash be erased has No as its default button.
        ASSERT_FALSE(rig.host.boxes.empty());
        EXPECT_EQ(rig.host.boxes.back().buttons, MsgButtons::YesNoDefaultNo);
    }
}

TEST(FirmwareProgress, RoundsToNearestWholePercent) {
    struct Row {
        size_t offset, length;
        int percent;
    };
    const Row rows[] = {{0, 100, 0}, {1, 200, 1},     {1, 201, 0}, {2, 3, 67},
                        {1, 3, 33},  {100, 100, 100}, {5, 0, 0}};
    for (const Row& r : rows)
        EXPECT_EQ(firmwareProgress(r.offset, r.length), r.percent) << r.offset << "/" << r.length;
}

}  // namespace
}  // namespace vrn::service

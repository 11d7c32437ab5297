#include "core/setup/setup_transfer.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "core/link/exchange.h"
#include "core/link/usb_port.h"
#include "core/setup/field_block.h"
#include "core/setup/setup_model.h"
#include "recording_host.h"
#include "sim/instrument.h"
#include "sim/sim_port.h"
#include "sim_link.h"

namespace vrn::setup {
namespace {

using sim::Fault;
using Lines = std::vector<std::string>;
using namespace std::string_literals;

struct Rig : test::SimLink {
    SetupModel model;
    SetupTransfer transfer{ex, model};
    Rig() {
        usb.OpenUsbPort();
        driver.written.clear();
    }
    std::string wire() const {
        std::string s;
        for (const auto& w : driver.written)
            s.push_back(static_cast<char>(w.byte));
        return s;
    }
    sim::SimSetup& device() { return instrument.state.setup; }
};

// An instrument whose Setup differs from the defaults in every value.
void fillDevice(sim::SimSetup& d) {
    d.month = 7;
    d.day = 14;
    d.year = 26;
    d.hour = 9;
    d.minute = 5;
    d.second = 33;
    d.com1Code = 38;
    d.com2Code = 230;
    d.stopOnError = 1;
    d.keyLock = 1;
    d.interval = 42;
    d.fieldsPerRecord = 4;
    d.autoScroll = 1;
    d.scrollPause = 17;
    d.scrollEnd = 5;
    d.fields[0] = {
        "TEMP \xB0"
        "C",
        0, 6, 2};
    d.fields[1] = {"", 1, 9, 0};
    d.fields[2] = {"ABCDEFGHIJKLMNOPQRSTUVWXY", 2, 1, 6};
}

const std::vector<int> kFullGetProgress = {0, 8, 16, 24, 33, 41, 49, 58, 66, 74, 83, 91, 99, 0};

TEST(SetupGet, FullGetReadsEveryValueInOrder) {
    Rig rig;
    fillDevice(rig.device());
    rig.model.setUsePcTime(false);
    EXPECT_TRUE(rig.transfer.GetUserSettings().ok());

    EXPECT_EQ(
        rig.wire(),
        "CMD275\rCMD285\rCMD225\rCMD235\rCMD245\rCMD265\rCMD255\rCMD315\rCMD325\rCMD331\rCMD333\rCMD335\r");
    EXPECT_EQ(rig.host.lines, (Lines{"GET SETUP...", "FINISHED GETTING SETUP."}));
    EXPECT_EQ(rig.host.progress, kFullGetProgress);
    EXPECT_EQ(rig.host.progressMax, 100);

    const SetupModel& m = rig.model;
    EXPECT_EQ(m.date(), "07-14-2026");
    EXPECT_EQ(m.time(), "09:05:33");
    EXPECT_EQ(m.com1Baud(), 5);
    EXPECT_EQ(m.com1Type(), 0);
    EXPECT_EQ(m.com2Baud(), 7);
    EXPECT_TRUE(m.stopOnError());
    EXPECT_TRUE(m.keyLock());
    EXPECT_EQ(m.interval(), 42);
    EXPECT_EQ(m.fieldsPerRecord(), 4);
    EXPECT_TRUE(m.autoScroll());
    EXPECT_EQ(m.scrollPause(), 17);
    EXPECT_EQ(m.scrollEnd(), 5);
    EXPECT_EQ(m.field(0).label, "TEMP \u00B0C");
    EXPECT_EQ(m.field(0).width, 6);
    EXPECT_EQ(m.field(0).precision, 2);
    EXPECT_EQ(m.field(1).label, "");
    EXPECT_EQ(m.field(1).type, 1);
    EXPECT_EQ(m.field(2).label, "ABCDEFGHIJKLMNOPQRSTUVWXY");
    EXPECT_EQ(m.field(2).type, 2);
    EXPECT_EQ(m.field(2).width, 1);
    EXPECT_EQ(m.field(2).precision, 6);
    EXPECT_EQ(m.field(24).label, "FIELD 25");
}

TEST(SetupGet, WithPcTimeSkipsDateAndTimeAndStartsAt24) {
    Rig rig;
    EXPECT_TRUE(rig.transfer.GetUserSettings().ok());
    EXPECT_EQ(rig.instrument.commandCounts.count(275), 0u);
    EXPECT_EQ(rig.instrument.commandCounts.count(285), 0u);
    EXPECT_EQ(rig.host.progress, (std::vector<int>{0, 24, 33, 41, 49, 58, 66, 74, 83, 91, 99, 0}));
    EXPECT_EQ(rig.model.date(), "");
}

TEST(SetupGet, QueryRepliesAndTheirEffect) {
    struct Row {
        const char* name;
        int command;
        const char* reply;
        bool failed;
        void (*check)(const SetupModel&);
    } rows[] = {
        {"COM1 -115 is RS-485 at 115.2K", 225, " -115", false,
         [](const SetupModel& m) {
             EXPECT_EQ(m.com1Baud(), 6);
             EXPECT_EQ(m.com1Type(), 1);
         }},
        {"scroll end 0 shows as 1", 335, " 0", false,
         [](const SetupModel& m) { EXPECT_EQ(m.scrollEnd(), 1); }},
        {"scroll pause 0 shows as 1", 333, " 0", false,
         [](const SetupModel& m) { EXPECT_EQ(m.scrollPause(), 1); }},
        {"scroll end 9 fails", 335, " 9", true, [](const SetupModel& m) { EXPECT_EQ(m.scrollEnd(), 8); }},
        {"interval -1 fails", 255, "-1", true, [](const SetupModel& m) { EXPECT_EQ(m.interval(), 1); }},
        {"fields per record 0 fails", 315, " 0", true,
         [](const SetupModel& m) { EXPECT_EQ(m.fieldsPerRecord(), 1); }},
        {"keypad lock 2 fails", 265, " 2", true, [](const SetupModel& m) { EXPECT_FALSE(m.keyLock()); }},
        {"garbage reads as 0", 255, "x7", false, [](const SetupModel& m) { EXPECT_EQ(m.interval(), 0); }},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        Rig rig;
        rig.instrument.faults.perCommand[r.command] = Fault::replace(r.reply);
        EXPECT_EQ(!rig.transfer.GetUserSettings().ok(), r.failed);
        r.check(rig.model);
        // An out-of-range value fails the step without a line of its own.
        EXPECT_EQ(rig.host.lines.back(), r.failed ? "GET SETUP FAILED." : "FINISHED GETTING SETUP.");
        EXPECT_EQ(rig.host.lines.size(), 2u);
    }
}

TEST(SetupGet, DateAndTimePartsAtTheEdgesOfTheirRanges) {
    struct Row {
        int command;
        const char* reply;
        bool failed;
        const char* shown;  // the date or time box afterwards ("" when it was never set)
    } rows[] = {
        {275, "12-31-99 ", false, "12-31-2099"},
        {275, "01-01-00 ", false, "01-01-2000"},
        {275, "00-01-26 ", true, ""},
        {275, "01-32-26 ", true, ""},
        {275, "01-00-26 ", true, ""},
        {285, "23:59:59 ", false, "23:59:59"},
        {285, "00:00:00 ", false, "00:00:00"},
        {285, "24:00:00 ", true, ""},
        {285, "00:60:00 ", true, ""},
        {285, "00:00:60 ", true, ""},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.reply);
        Rig rig;
        rig.model.setUsePcTime(false);
        rig.instrument.faults.perCommand[r.command] = Fault::replace(r.reply);
        EXPECT_EQ(!rig.transfer.GetUserSettings().ok(), r.failed);
        EXPECT_EQ(r.command == 275 ? rig.model.date() : rig.model.time(), r.shown);
    }
}

TEST(SetupGet, MonthThirteenFailsAtTheFirstStep) {
    Rig rig;
    rig.model.setUsePcTime(false);
    rig.instrument.faults.perCommand[275] = Fault::replace("13-01-26 ");
    EXPECT_FALSE(rig.transfer.GetUserSettings().ok());
    EXPECT_EQ(rig.instrument.commandLog, (Lines{"CMD275"}));
    EXPECT_EQ(rig.host.lines, (Lines{"GET SETUP...", "GET SETUP FAILED."}));
    EXPECT_EQ(rig.host.progress, (std::vector<int>{0, 0}));
    EXPECT_EQ(rig.model.date(), "");
}

TEST(SetupGet, FailedStepLeavesTheValuesReadSoFar) {
    Rig rig;
    fillDevice(rig.device());
    rig.instrument.faults.perCommand[255] = Fault::silent();
    const int64_t start = rig.host.clock_.nowMs();
    EXPECT_FALSE(rig.transfer.GetUserSettings().ok());
    EXPECT_EQ(rig.host.lines, (Lines{"GET SETUP...", "CANNOT GET INTERVAL", "GET SETUP FAILED."}));
    EXPECT_EQ(rig.host.progress, (std::vector<int>{0, 24, 33, 41, 49, 0}));
    EXPECT_EQ(rig.instrument.commandCounts[255], Exchange::kQueryTries);
    EXPECT_EQ(rig.instrument.commandCounts.count(315), 0u);
    // Ten silent tries of about 300 ms each.
    EXPECT_GE(rig.host.clock_.nowMs() - start, 3000);
    EXPECT_EQ(rig.model.com1Baud(), 5);
    EXPECT_EQ(rig.model.com2Baud(), 7);
    EXPECT_TRUE(rig.model.stopOnError());
    EXPECT_TRUE(rig.model.keyLock());
    EXPECT_EQ(rig.model.interval(), 1);
    EXPECT_EQ(rig.model.fieldsPerRecord(), 1);
    EXPECT_EQ(rig.model.field(0).label, "FIELD 01");
    EXPECT_EQ(rig.model.scrollEnd(), 8);
}

TEST(SetupGet, WrongBaudCodesAreQueriedAgainWithAFreshCount) {
    struct Row {
        const char* name;
        int command;
        std::deque<Fault> faults;
        bool failed;
        int queries;
        Lines lines;
    } rows[] = {
        {"five wrong COM2 codes are tolerated",
         235,
         {Fault::replace("  50", 5)},
         false,
         6,
         {"GET SETUP...", "FINISHED GETTING SETUP."}},
        {"the sixth wrong COM2 code fails",
         235,
         {Fault::replace("  50", 6)},
         true,
         6,
         {"GET SETUP...", "CANNOT GET COM2 BAUD RATE. WRONG INDEX.", "GET SETUP FAILED."}},
        {"a negative COM2 code is wrong",
         235,
         {Fault::replace(" -96")},
         true,
         6,
         {"GET SETUP...", "CANNOT GET COM2 BAUD RATE. WRONG INDEX.", "GET SETUP FAILED."}},
        {"the sixth wrong COM1 code fails",
         225,
         {Fault::replace("  -50")},
         true,
         6,
         {"GET SETUP...", "CANNOT GET COM1 BAUD RATE. WRONG INDEX.", "GET SETUP FAILED."}},
        {"each re-query has ten tries of its own",
         235,
         {Fault::cutShort(1, 9), Fault::replace("  50", 1), Fault::cutShort(1, 9)},
         false,
         20,
         {"GET SETUP...", "FINISHED GETTING SETUP."}},
        {"ten short replies after a wrong code fail with the step's line",
         235,
         {Fault::replace("  50", 1), Fault::cutShort(1, 10)},
         true,
         11,
         {"GET SETUP...", "CANNOT GET COM2 INFO", "GET SETUP FAILED."}},
    };
    for (Row& r : rows) {
        SCOPED_TRACE(r.name);
        Rig rig;
        rig.device().com2Code = 19;
        rig.instrument.faults.sequence[r.command] = r.faults;
        EXPECT_EQ(!rig.transfer.GetUserSettings().ok(), r.failed);
        EXPECT_EQ(rig.instrument.commandCounts[r.command], r.queries);
        EXPECT_EQ(rig.host.lines, r.lines);
        if (!r.failed) {
            EXPECT_EQ(rig.model.com2Baud(), 4);
        }
    }
}

TEST(SetupGet, Rs485MarkStaysForTheRestOfTheStep) {
    Rig rig;
    rig.device().com1Code = 12;
    rig.instrument.faults.perCommand[225] = Fault::replace(" -999", 1);
    EXPECT_TRUE(rig.transfer.GetUserSettings().ok());
    EXPECT_EQ(rig.model.com1Type(), 1);
    EXPECT_EQ(rig.model.com1Baud(), 0);
}

TEST(SetupGet, FiveShortRecordFormatReadsFailWithTheCount) {
    Rig rig;
    rig.instrument.faults.perCommand[325] = Fault::cutShort(1);
    EXPECT_FALSE(rig.transfer.GetUserSettings().ok());
    EXPECT_EQ(rig.instrument.commandCounts[325], SetupTransfer::kRecordFormatTries);
    EXPECT_EQ(rig.host.lines,
              (Lines{"GET SETUP...", "CANNOT GET RECORD FORMATS. BYTES READ: 799", "GET SETUP FAILED."}));
    EXPECT_EQ(rig.host.progress, (std::vector<int>{0, 24, 33, 41, 49, 58, 66, 0}));
}

TEST(SetupGet, RecordFormatTriesPauseAfterTheirPurge) {
    Rig rig;
    const int purges = rig.driver.purges;
    const int64_t start = rig.host.clock_.nowUs();
    EXPECT_TRUE(rig.transfer.GetRecordFormats().ok());
    // Its own purge, the pause, then the send routine's purge and 8 paced bytes.
    EXPECT_EQ(rig.driver.purges, purges + 2);
    ASSERT_FALSE(rig.driver.written.empty());
    EXPECT_EQ(rig.driver.written.front().atUs - start, SetupTransfer::kRecordFormatPauseMs * 1000 + kPaceUs);
}

// 800 bytes of record format with one block replaced.
std::string formatsWith(size_t block, const std::string& bytes) {
    std::string out;
    for (int i = 0; i < kFieldCount; ++i) {
        RecordField f;
        f.label = std::string("R").append(std::to_string(i));
        const FieldBlock b = encodeFieldBlock(f);
        out.append(b.begin(), b.end());
    }
    out.replace(block * kFieldBlockSize, bytes.size(), bytes);
    return out;
}

std::string blockBytes(const std::string& label, uint8_t type, uint8_t width, uint8_t precision) {
    std::string b(kFieldBlockSize, '\0');
    b.replace(0, label.size(), label);
    b[28] = static_cast<char>(type);
    b[29] = static_cast<char>(width);
    b[30] = static_cast<char>(precision);
    return b;
}

TEST(SetupGet, BadRecordFormatBlockLeavesEarlierRows) {
    struct Row {
        const char* name;
        std::string block;
        bool failed;
        const char* label3;
        int width3;
        int precision3;
    } rows[] = {
        {"precision 7 shows as 6, width 0 as 1", blockBytes("P", 0, 0, 7), false, "P", 1, 6},
        {"width 10 fails after the label", blockBytes("W", 0, 10, 1), true, "W", 7, 1},
        {"type 3 fails after the label", blockBytes("T", 3, 5, 1), true, "T", 7, 1},
        {"precision 8 fails", blockBytes("Q", 0, 5, 8), true, "Q", 7, 1},
        {"26 characters fail before the label", blockBytes(std::string(26, 'L'), 0, 5, 1), true, "FIELD 04",
         7, 1},
        {"byte 27 ends a 27-character label, which fails", std::string(32, 'M'), true, "FIELD 04", 7, 1},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        Rig rig;
        rig.instrument.faults.perCommand[325] = Fault::replace(formatsWith(3, r.block));
        EXPECT_EQ(!rig.transfer.GetRecordFormats().ok(), r.failed);
        EXPECT_EQ(rig.model.field(2).label, "R2");
        EXPECT_EQ(rig.model.field(3).label, r.label3);
        EXPECT_EQ(rig.model.field(3).width, r.width3);
        EXPECT_EQ(rig.model.field(3).precision, r.precision3);
        EXPECT_EQ(rig.model.field(4).label, r.failed ? "FIELD 05" : "R4");
        EXPECT_TRUE(rig.host.lines.empty());
    }
}

void fillModel(SetupModel& m) {
    m.setUsePcTime(false);
    m.setDate("12-31-2031");
    m.setTime("23:59:58");
    m.setCom1Type(1);
    m.setCom1Baud(6);
    m.setCom2Baud(0);
    m.setKeyLock(true);
    m.setInterval(99);
    m.setFieldsPerRecord(3);
    m.setAutoScroll(true);
    m.setScrollPause(12);
    m.setScrollEnd(3);
    m.setLabel(0, "Wind \u00B0");
    m.setType(0, 2);
    m.setWidth(0, 9);
    m.setPrecision(0, 0);
    m.setLabel(1, "");
    m.setLabel(24, "LAST FIELD OF TWENTY-FIVE");
    m.setType(24, 1);
}

TEST(SetupSend, FullSendPutsEverySettingOnTheWireInOrder) {
    Rig rig;
    fillModel(rig.model);
    EXPECT_TRUE(rig.transfer.SendUserSettings().ok());

    std::string blocks;
    for (int i = 0; i < kFieldCount; ++i) {
        const FieldBlock b = encodeFieldBlock(rig.model.field(i));
        blocks.append(b.begin(), b.end());
    }
    EXPECT_EQ(
        rig.wire(),
        "CMD270 12 31 31\rCMD280 23 59 58\rCMD260 1\rCMD250 99\rCMD310 3\rCMD330 1\rCMD332 12\rCMD334 3\r"
        "CMD220 -115\rCMD230 12\rCMD320\r" +
            blocks);
    EXPECT_EQ(blocks.substr(0, 8), "Wind \xB0\0\0"s);
    EXPECT_EQ(rig.host.lines, (Lines{"SEND SETTINGS...", "FINISHED SENDING SETTINGS."}));
    EXPECT_EQ(rig.host.progress,
              (std::vector<int>{0,  9,  18, 27, 36, 45, 54, 63, 72, 81, 90, 91, 92, 92, 92, 93, 93, 93, 94,
                                94, 94, 95, 95, 95, 96, 96, 96, 97, 97, 97, 98, 98, 98, 99, 99, 99, 99, 0}));
    // Fields per record 3 still sends all 25 blocks.
    EXPECT_EQ(rig.instrument.blocksReceived, kFieldCount);
    EXPECT_EQ(rig.device().fields[24].label, "LAST FIELD OF TWENTY-FIVE");
    EXPECT_EQ(rig.device().com1Code, -115);
    EXPECT_TRUE(rig.host.beepTimesUs.empty());
}

TEST(SetupSend, WhatIsSentIsReadBack) {
    Rig rig;
    fillModel(rig.model);
    ASSERT_TRUE(rig.transfer.SendUserSettings().ok());
    SetupModel back;
    back.setUsePcTime(false);
    SetupTransfer get{rig.ex, back};
    ASSERT_TRUE(get.GetUserSettings().ok());
    const SetupModel& m = rig.model;
    EXPECT_EQ(back.date(), m.date());
    EXPECT_EQ(back.time(), m.time());
    EXPECT_EQ(back.com1Type(), m.com1Type());
    EXPECT_EQ(back.com1Baud(), m.com1Baud());
    EXPECT_EQ(back.com2Baud(), m.com2Baud());
    EXPECT_EQ(back.keyLock(), m.keyLock());
    EXPECT_EQ(back.interval(), m.interval());
    EXPECT_EQ(back.fieldsPerRecord(), m.fieldsPerRecord());
    EXPECT_EQ(back.autoScroll(), m.autoScroll());
    EXPECT_EQ(back.scrollPause(), m.scrollPause());
    EXPECT_EQ(back.scrollEnd(), m.scrollEnd());
    for (int i = 0; i < kFieldCount; ++i) {
        EXPECT_EQ(back.field(i).label, m.field(i).label) << i;
        EXPECT_EQ(back.field(i).type, m.field(i).type) << i;
        EXPECT_EQ(back.field(i).width, m.field(i).width) << i;
        EXPECT_EQ(back.field(i).precision, m.field(i).precision) << i;
    }
}

TEST(SetupSend, WithPcTimeSendsThePcClockOfTheMomentOfSending) {
    Rig rig;
    rig.model.setDate("01-01-2001");  // a stale tick
    rig.host.clock_.sleepMs(3723 * 1000);
    EXPECT_TRUE(rig.transfer.SendUserSettings().ok());
    EXPECT_EQ(rig.instrument.commandLog[0], "CMD270 01 01 26");
    EXPECT_EQ(rig.instrument.commandLog[1], "CMD280 01 02 03");
    EXPECT_EQ(rig.model.date(), "01-01-2026");
}

TEST(SetupSend, ADateOrTimeTheInstrumentCannotHoldIsRefusedBeforeSending) {
    struct Row {
        const char* date;
        const char* time;
        const char* box;
    } rows[] = {
        {"", "12:00:00",
         "Cannot Send Setup.\nThe date box is empty.\nEnter a date from 01-01-2000 to 12-31-2099 as "
         "MM-DD-YYYY."},
        {"  -  -    ", "12:00:00",
         "Cannot Send Setup.\nThe date box is empty.\nEnter a date from 01-01-2000 to 12-31-2099 as "
         "MM-DD-YYYY."},
        {"05-06-1999", "12:00:00",
         "Cannot Send Setup.\nThe date \"05-06-1999\" is not a real date.\n"
         "Enter a date from 01-01-2000 to 12-31-2099 as MM-DD-YYYY."},
        {"02-29-2027", "12:00:00",
         "Cannot Send Setup.\nThe date \"02-29-2027\" is not a real date.\n"
         "Enter a date from 01-01-2000 to 12-31-2099 as MM-DD-YYYY."},
        {"01-01-2100", "12:00:00",
         "Cannot Send Setup.\nThe date \"01-01-2100\" is not a real date.\n"
         "Enter a date from 01-01-2000 to 12-31-2099 as MM-DD-YYYY."},
        {"01-01-2026", "",
         "Cannot Send Setup.\nThe time box is empty.\nEnter a time from 00:00:00 to 23:59:59 as HH:MM:SS."},
        {"01-01-2026", "24:00:00",
         "Cannot Send Setup.\nThe time \"24:00:00\" is not a real time.\n"
         "Enter a time from 00:00:00 to 23:59:59 as HH:MM:SS."},
        {"01-01-2026", "1_:00:00",
         "Cannot Send Setup.\nThe time \"1_:00:00\" is not a real time.\n"
         "Enter a time from 00:00:00 to 23:59:59 as HH:MM:SS."},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(r.date) + " " + r.time);
        Rig rig;
        rig.model.setUsePcTime(false);
        rig.model.setDate(r.date);
        rig.model.setTime(r.time);
        const Outcome sent = rig.transfer.SendUserSettings();
        EXPECT_EQ(sent.kind(), Outcome::Kind::Refused);
        EXPECT_EQ(sent.reason(), r.box);
        ASSERT_EQ(rig.host.boxes.size(), 1u);
        EXPECT_EQ(rig.host.boxes[0].text, r.box);
        EXPECT_EQ(rig.wire(), "");
        EXPECT_TRUE(rig.host.lines.empty());
        EXPECT_TRUE(rig.host.progress.empty());
    }
}

TEST(SetupSend, AFailedSettingStopsTheSequence) {
    Rig rig;
    fillModel(rig.model);
    rig.instrument.faults.perCommand[250] = Fault::silent();
    const Outcome sent = rig.transfer.SendUserSettings();
    EXPECT_EQ(sent.kind(), Outcome::Kind::Failed);
    EXPECT_EQ(sent.reason(), "SEND SETTINGS FAILED.") << "the setting's wait has no line of its own";
    EXPECT_EQ(rig.host.lines, (Lines{"SEND SETTINGS...", "SEND SETTINGS FAILED."}));
    EXPECT_EQ(rig.host.progress, (std::vector<int>{0, 9, 18, 27, 0}));
    EXPECT_EQ(rig.host.beepTimesUs.size(), static_cast<size_t>(Exchange::kSettingSends));
    EXPECT_EQ(rig.instrument.commandCounts.count(310), 0u);
    EXPECT_EQ(rig.device().keyLock, 1);
}

TEST(SetupSend, ALateAcknowledgementAfterQuickOnesIsNotResent) {
    Rig rig;
    fillModel(rig.model);
    // The first five settings are answered on the first read but take over a second in all, so
    // the timer is not pumped; then the auto-scroll setting is acknowledged only after 1.5 s.
    for (int command : {270, 280, 260, 250, 310})
        rig.instrument.faults.perCommand[command] = Fault::late(230000);
    rig.instrument.faults.perCommand[330] = Fault::late(1500000);
    EXPECT_TRUE(rig.transfer.SendUserSettings().ok());
    EXPECT_EQ(rig.instrument.commandCounts[330], 1);
    EXPECT_TRUE(rig.host.beepTimesUs.empty());
    EXPECT_EQ(rig.host.lines, (Lines{"SEND SETTINGS...", "FINISHED SENDING SETTINGS."}));
}

TEST(SetupSend, RecordFormatUploadFailsAtOnceWhenABlockIsNotAnswered) {
    Rig rig;
    // The CMD320 "!" and the answers to blocks 0..4 get through, then the line drops.
    rig.instrument.faults.dropAfterBytes = 1 + 5;
    EXPECT_FALSE(rig.transfer.SendRecordFormats().ok());
    EXPECT_EQ(rig.instrument.commandCounts[320], 1);
    EXPECT_EQ(rig.instrument.blocksReceived, 6);
    EXPECT_EQ(rig.host.beepTimesUs.size(), 1u);
    EXPECT_EQ(rig.host.progress.back(), 93);
}

TEST(SetupSend, RecordFormatUploadResendsItsCommandUntilAsked) {
    Rig rig;
    rig.instrument.faults.perCommand[320] = Fault::silent(3);
    EXPECT_TRUE(rig.transfer.SendRecordFormats().ok());
    EXPECT_EQ(rig.instrument.commandCounts[320], 4);
    EXPECT_EQ(rig.host.beepTimesUs.size(), 3u);
    EXPECT_EQ(rig.instrument.blocksReceived, kFieldCount);
}

}  // namespace
}  // namespace vrn::setup

namespace vrn::setup {
namespace {

TEST(SetupTiming, RunsTakeTheMandatedPausesAndPacingPlusTheReplies) {
    // Twelve 7-byte queries paced 8 steps each, ten 50 ms pauses and one 100 ms pause.
    EXPECT_EQ(mandatedGetUs(false), 12 * 8 * kPaceUs + 10 * 50000 + 100000);
    EXPECT_EQ(mandatedGetUs(true), 10 * 8 * kPaceUs + 8 * 50000 + 100000);

    Rig rig;
    fillModel(rig.model);
    EXPECT_EQ(settingCommands(rig.model).front(), "CMD270 12 31 31\r");
    int64_t start = rig.host.clock_.nowUs();
    ASSERT_TRUE(rig.transfer.SendUserSettings().ok());
    const int64_t send = rig.host.clock_.nowUs() - start;
    // The simulated instrument answers each of the 36 waits within a millisecond.
    EXPECT_GE(send, mandatedSendUs(rig.model));
    EXPECT_LE(send, mandatedSendUs(rig.model) + 36 * 1000);

    start = rig.host.clock_.nowUs();
    ASSERT_TRUE(rig.transfer.GetUserSettings().ok());
    const int64_t get = rig.host.clock_.nowUs() - start;
    EXPECT_GE(get, mandatedGetUs(false));
    EXPECT_LE(get, mandatedGetUs(false) + 12 * 1000 + 800 * sim::Instrument::kByteTimeUs);
}

}  // namespace
}  // namespace vrn::setup

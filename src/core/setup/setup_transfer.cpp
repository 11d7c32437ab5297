#include "core/setup/setup_transfer.h"

#include <array>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/link/clock.h"
#include "core/link/decimal.h"
#include "core/link/exchange.h"
#include "core/link/host.h"
#include "core/link/usb_port.h"
#include "core/setup/baud_codes.h"
#include "core/setup/field_block.h"
#include "core/setup/pc_time.h"
#include "core/setup/send_check.h"

namespace vrn::setup {
namespace {

// Progress after the k-th step of each sequence, as the window has always shown it.
constexpr std::array<int, 12> kGetProgress = {8, 16, 24, 33, 41, 49, 58, 66, 74, 83, 91, 99};
constexpr std::array<int, 11> kSendProgress = {9, 18, 27, 36, 45, 54, 63, 72, 81, 90, 99};

// The record-format upload moves the bar from 91 to 99 over its 25 blocks.
int blockProgress(int block) {
    return static_cast<int>(91.666667 + block / 3.0);
}

}  // namespace

// One query of a Get: what goes out, the reply's length, the pause before the read (after the
// purge of each try for the record formats), the step's failure line and how the reply is taken.
struct SetupQuery {
    enum class Reply : uint8_t {
        Number,         // a value in [min, max]
        DateOrTime,     // three two-digit parts, each in its range
        Com1,           // a baud code, negative for RS-485
        Com2,           // a baud code
        RecordFormats,  // the 25 field blocks
    };
    const char* command;
    size_t replyLength;
    int64_t pauseMs;
    const char* failLine;
    Reply reply;
    int32_t min = 0;
    int32_t max = 0;
    void (*applyNumber)(SetupModel&, int32_t) = nullptr;
    // A date or time: each part's range, the separator of the text shown, and what the last part
    // adds to the value read (the century of a two-digit year).
    std::array<SpinRange, 3> parts{};
    char separator = 0;
    int32_t lastBase = 0;
    void (SetupModel::*applyText)(std::string_view) = nullptr;
};

namespace {

constexpr int64_t kPause = Exchange::kQueryPauseMs;

constexpr SetupQuery kFieldsPerRecordQuery{
    .command = "CMD315\r",
    .replyLength = 2,
    .pauseMs = 0,
    .failLine = "CANNOT GET FIELDS PER RECORD",
    .reply = SetupQuery::Reply::Number,
    .min = static_cast<int32_t>(kFieldsPerRecordRange.min),
    .max = static_cast<int32_t>(kFieldsPerRecordRange.max),
    .applyNumber = [](SetupModel& m, int32_t v) { m.setFieldsPerRecord(v); }};

constexpr SetupQuery kRecordFormatsQuery{.command = "CMD325\r",
                                         .replyLength = kRecordFormatsSize,
                                         .pauseMs = SetupTransfer::kRecordFormatPauseMs,
                                         .failLine = "CANNOT GET RECORD FORMATS. BYTES READ: ",
                                         .reply = SetupQuery::Reply::RecordFormats};

// The twelve steps of a Get, in their order; the first two (date and time) are left out while the
// PC's clock is chosen.
constexpr std::array<SetupQuery, 12> kGetQueries = {{
    {.command = "CMD275\r",
     .replyLength = 9,
     .pauseMs = kPause,
     .failLine = "CANNOT GET DATE",
     .reply = SetupQuery::Reply::DateOrTime,
     .parts = {{{1, 12}, {1, 31}, {0, 99}}},
     .separator = '-',
     .lastBase = 2000,
     .applyText = &SetupModel::setDate},
    {.command = "CMD285\r",
     .replyLength = 9,
     .pauseMs = kPause,
     .failLine = "CANNOT GET TIME",
     .reply = SetupQuery::Reply::DateOrTime,
     .parts = {{{0, 23}, {0, 59}, {0, 59}}},
     .separator = ':',
     .applyText = &SetupModel::setTime},
    {.command = "CMD225\r",
     .replyLength = 5,
     .pauseMs = kPause,
     .failLine = "CANNOT GET COM1 INFO",
     .reply = SetupQuery::Reply::Com1},
    {.command = "CMD235\r",
     .replyLength = 4,
     .pauseMs = kPause,
     .failLine = "CANNOT GET COM2 INFO",
     .reply = SetupQuery::Reply::Com2},
    {.command = "CMD245\r",
     .replyLength = 2,
     .pauseMs = kPause,
     .failLine = "CANNOT GET STOP-ON-ERR",
     .reply = SetupQuery::Reply::Number,
     .min = 0,
     .max = 1,
     .applyNumber = [](SetupModel& m, int32_t v) { m.setStopOnError(v == 1); }},
    {.command = "CMD265\r",
     .replyLength = 2,
     .pauseMs = kPause,
     .failLine = "CANNOT GET KEYLOCK",
     .reply = SetupQuery::Reply::Number,
     .min = 0,
     .max = 1,
     .applyNumber = [](SetupModel& m, int32_t v) { m.setKeyLock(v == 1); }},
    {.command = "CMD255\r",
     .replyLength = 2,
     .pauseMs = kPause,
     .failLine = "CANNOT GET INTERVAL",
     .reply = SetupQuery::Reply::Number,
     .min = 0,
     .max = 99,
     .applyNumber = [](SetupModel& m, int32_t v) { m.setInterval(v); }},
    kFieldsPerRecordQuery,
    kRecordFormatsQuery,
    {.command = "CMD331\r",
     .replyLength = 2,
     .pauseMs = kPause,
     .failLine = "CANNOT GET AUTO SCROLL",
     .reply = SetupQuery::Reply::Number,
     .min = 0,
     .max = 1,
     .applyNumber = [](SetupModel& m, int32_t v) { m.setAutoScroll(v == 1); }},
    {.command = "CMD333\r",
     .replyLength = 2,
     .pauseMs = kPause,
     .failLine = "CANNOT GET AUTO SCROLL PAUSE",
     .reply = SetupQuery::Reply::Number,
     .min = 0,
     .max = 99,
     .applyNumber = [](SetupModel& m, int32_t v) { m.setScrollPause(v); }},
    {.command = "CMD335\r",
     .replyLength = 2,
     .pauseMs = kPause,
     .failLine = "CANNOT GET AUTO SCROLL END",
     .reply = SetupQuery::Reply::Number,
     .min = 0,
     .max = 8,
     .applyNumber = [](SetupModel& m, int32_t v) { m.setScrollEnd(v); }},
}};

// The queries go through Exchange::query, whose only pause is kQueryPauseMs.
constexpr bool pausesFitTheExchange() {
    for (const SetupQuery& q : kGetQueries)
        if (q.reply != SetupQuery::Reply::RecordFormats && q.pauseMs != 0 && q.pauseMs != kPause)
            return false;
    return true;
}
static_assert(pausesFitTheExchange());
static_assert(kGetProgress.size() == kGetQueries.size());

constexpr size_t kPcTimeSkips = 2;

}  // namespace

Host& SetupTransfer::host() {
    return ex_.host();
}

Outcome SetupTransfer::ask(const SetupQuery& q, std::string& reply) {
    return ex_.query({q.command, q.replyLength, q.pauseMs != 0, q.failLine}, reply);
}

Outcome SetupTransfer::getStep(const SetupQuery& q) {
    switch (q.reply) {
    case SetupQuery::Reply::Number:
        return getNumber(q);
    case SetupQuery::Reply::DateOrTime:
        return getDateOrTime(q);
    case SetupQuery::Reply::Com1:
        return getCom1(q);
    case SetupQuery::Reply::Com2:
        return getCom2(q);
    case SetupQuery::Reply::RecordFormats:
        return getRecordFormats(q);
    }
    return Outcome::failed();
}

Outcome SetupTransfer::getNumber(const SetupQuery& q) {
    std::string reply;
    if (Outcome asked = ask(q, reply); !asked.ok()) return asked;
    const int32_t v = readDecimal(reply);
    if (v < q.min || v > q.max) return Outcome::failed();
    q.applyNumber(model_, v);
    return Outcome::done();
}

Outcome SetupTransfer::getDateOrTime(const SetupQuery& q) {
    std::string reply;
    if (Outcome asked = ask(q, reply); !asked.ok()) return asked;
    std::array<int32_t, 3> v{};
    for (size_t k = 0; k < v.size(); ++k) {
        v[k] = readDecimal(reply, 3 * k);
        if (v[k] < q.parts[k].min || v[k] > q.parts[k].max) return Outcome::failed();
    }
    char text[32];
    std::snprintf(text, sizeof text, "%02d%c%02d%c%02d", v[0], q.separator, v[1], q.separator,
                  q.lastBase + v[2]);
    (model_.*q.applyText)(text);
    return Outcome::done();
}

Outcome SetupTransfer::getCom1(const SetupQuery& q) {
    bool rs485 = false;
    for (int wrong = 0;;) {
        std::string reply;
        if (Outcome asked = ask(q, reply); !asked.ok()) return asked;
        int64_t code = readDecimal(reply);
        if (code < 0) {
            rs485 = true;
            code = -code;
        }
        if (const auto index = baudIndexOfCode(static_cast<int>(code))) {
            model_.setCom1Baud(*index);
            model_.setCom1Type(rs485 ? 1 : 0);
            return Outcome::done();
        }
        if (++wrong > kWrongBaudCodesTolerated) {
            constexpr const char* kWrongIndex = "CANNOT GET COM1 BAUD RATE. WRONG INDEX.";
            host().appendLine(kWrongIndex);
            return Outcome::failed(kWrongIndex);
        }
    }
}

Outcome SetupTransfer::getCom2(const SetupQuery& q) {
    for (int wrong = 0;;) {
        std::string reply;
        if (Outcome asked = ask(q, reply); !asked.ok()) return asked;
        if (const auto index = baudIndexOfCode(readDecimal(reply))) {
            model_.setCom2Baud(*index);
            return Outcome::done();
        }
        if (++wrong > kWrongBaudCodesTolerated) {
            constexpr const char* kWrongIndex = "CANNOT GET COM2 BAUD RATE. WRONG INDEX.";
            host().appendLine(kWrongIndex);
            return Outcome::failed(kWrongIndex);
        }
    }
}

Outcome SetupTransfer::GetFieldsPerRecord() {
    return getNumber(kFieldsPerRecordQuery);
}

Outcome SetupTransfer::GetRecordFormats() {
    return getRecordFormats(kRecordFormatsQuery);
}

Outcome SetupTransfer::getRecordFormats(const SetupQuery& q) {
    UsbPort& port = ex_.port();
    std::vector<uint8_t> buffer(q.replyLength);
    size_t got = 0;
    for (int attempt = 0; attempt < kRecordFormatTries; ++attempt) {
        port.purge();
        host().clock().sleepMs(q.pauseMs);
        ex_.SendCommand(q.command);
        got = port.read(buffer).count;
        if (got == buffer.size()) break;
    }
    if (got != buffer.size()) {
        const std::string line = q.failLine + std::to_string(got);
        host().appendLine(line);
        return ex_.failure(line);
    }
    for (int i = 0; i < kFieldCount; ++i) {
        const DecodedField d =
            decodeFieldBlock(std::span<const uint8_t>(buffer).subspan(i * kFieldBlockSize));
        if (d.status == DecodedField::Status::LabelTooLong) return Outcome::failed();
        model_.setLabel(i, d.label);
        if (d.status != DecodedField::Status::Ok) return Outcome::failed();
        model_.setType(i, d.type);
        model_.setWidth(i, d.width);
        model_.setPrecision(i, d.precision);
        host().pump();
    }
    return Outcome::done();
}

Outcome SetupTransfer::SendRecordFormats() {
    Outcome asked = ex_.failure();
    for (int send = 0; send < Exchange::kSettingSends && !asked.ok() && ex_.port().isOpen(); ++send) {
        ex_.SendCommand("CMD320\r");
        asked = ex_.WaitForByte(Exchange::kNext, Exchange::kSettingWaitSeconds);
    }
    if (!asked.ok()) return asked;
    for (int i = 0; i < kFieldCount; ++i) {
        const FieldBlock block = encodeFieldBlock(model_.field(i));
        for (uint8_t byte : block)
            ex_.port().write({&byte, 1});
        host().setProgress(blockProgress(i));
        host().pump();
        const bool last = i + 1 == kFieldCount;
        if (Outcome answered = ex_.WaitForByte(last ? Exchange::kAck : Exchange::kNext,
                                               last ? kLastBlockWaitSeconds : kBlockWaitSeconds);
            !answered.ok())
            return answered;
    }
    return Outcome::done();
}

Outcome SetupTransfer::GetUserSettings() {
    Host& h = host();
    h.setProgressMax(100);
    h.setProgress(0);
    h.appendLine("GET SETUP...");
    // With the PC's clock chosen, the date and time boxes keep showing it.
    const size_t first = model_.usePcTime() ? kPcTimeSkips : 0;
    Outcome outcome = Outcome::done();
    for (size_t k = first; k < kGetQueries.size() && outcome.ok(); ++k) {
        outcome = getStep(kGetQueries[k]);
        if (outcome.ok()) h.setProgress(kGetProgress[k]);
    }
    h.setProgress(0);
    constexpr const char* kFailed = "GET SETUP FAILED.";
    h.appendLine(outcome.ok() ? "FINISHED GETTING SETUP." : kFailed);
    return std::move(outcome).orReason(kFailed);
}

Outcome SetupTransfer::GetClock() {
    Outcome outcome = Outcome::done();
    for (size_t k = 0; k < kPcTimeSkips && outcome.ok(); ++k)
        outcome = getStep(kGetQueries[k]);
    return outcome;
}

Outcome SetupTransfer::SendUserSettings() {
    Host& h = host();
    if (model_.usePcTime()) showPcTime(model_, h.clock().localNow());
    if (const auto problem = checkSetupForSend(model_)) {
        warn(h, *problem);
        return Outcome::refused(*problem);
    }
    const std::vector<std::string> settings = settingCommands(model_);
    std::vector<std::function<Outcome()>> steps;
    steps.reserve(settings.size() + 1);
    for (const std::string& text : settings)
        steps.emplace_back([this, &text] { return ex_.setting(text); });
    steps.emplace_back([this] { return SendRecordFormats(); });
    h.setProgressMax(100);
    h.setProgress(0);
    h.appendLine("SEND SETTINGS...");
    Outcome outcome = Outcome::done();
    for (size_t k = 0; k < steps.size() && outcome.ok(); ++k) {
        outcome = steps[k]();
        if (outcome.ok()) h.setProgress(kSendProgress[k]);
    }
    h.pump();
    h.setProgress(0);
    constexpr const char* kFailed = "SEND SETTINGS FAILED.";
    h.appendLine(outcome.ok() ? "FINISHED SENDING SETTINGS." : kFailed);
    return std::move(outcome).orReason(kFailed);
}

std::vector<std::string> settingCommands(const SetupModel& m) {
    const auto date = parseDateText(m.date());
    const auto time = parseTimeText(m.time());
    if (!date || !time) return {};
    const int com1Code = baudCodeOfIndex(m.com1Baud()) * (m.com1Type() == 1 ? -1 : 1);
    return {
        commandText("CMD270 %02u %02u %02u", date->month, date->day, date->year - 2000),
        commandText("CMD280 %02u %02u %02u", time->hour, time->minute, time->second),
        commandText("CMD260 %u", m.keyLock() ? 1u : 0u),
        commandText("CMD250 %u", static_cast<unsigned>(m.interval())),
        commandText("CMD310 %u", static_cast<unsigned>(m.fieldsPerRecord())),
        commandText("CMD330 %u", m.autoScroll() ? 1u : 0u),
        commandText("CMD332 %u", static_cast<unsigned>(m.scrollPause())),
        commandText("CMD334 %u", static_cast<unsigned>(m.scrollEnd())),
        commandText("CMD220 %d", com1Code),
        commandText("CMD230 %u", static_cast<unsigned>(baudCodeOfIndex(m.com2Baud()))),
    };
}

namespace {

int64_t pacingUs(std::string_view command) {
    return static_cast<int64_t>(command.size() + 1) * kPaceUs;
}

}  // namespace

int64_t mandatedGetUs(bool usePcTime) {
    int64_t us = 0;
    for (size_t k = usePcTime ? kPcTimeSkips : 0; k < kGetQueries.size(); ++k)
        us += pacingUs(kGetQueries[k].command) + kGetQueries[k].pauseMs * 1000;
    return us;
}

int64_t mandatedSendUs(const SetupModel& model) {
    int64_t us = pacingUs("CMD320\r");
    for (const std::string& text : settingCommands(model))
        us += pacingUs(text);
    return us;
}

}  // namespace vrn::setup

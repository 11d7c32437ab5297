#include "core/setup/setup_transfer.h"

#include <array>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
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

std::string printed(const char* format, unsigned value) {
    char text[96];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

}  // namespace

struct SetupTransfer::NumberQuery {
    const char* command;
    size_t replyLength;
    const char* failLine;
    int min;
    int max;
    void (SetupModel::*apply)(int64_t);
};

Host& SetupTransfer::host() {
    return ex_.host();
}

bool SetupTransfer::getNumber(const NumberQuery& q) {
    std::string reply;
    if (ex_.query({q.command, q.replyLength, true, q.failLine}, reply)) return true;
    const int32_t v = readDecimal(reply);
    if (v < q.min || v > q.max) return true;
    (model_.*q.apply)(v);
    return false;
}

bool SetupTransfer::getDate() {
    std::string reply;
    if (ex_.query({"CMD275\r", 9, true, "CANNOT GET DATE"}, reply)) return true;
    const int32_t month = readDecimal(reply, 0), day = readDecimal(reply, 3), year = readDecimal(reply, 6);
    if (month < 1 || month > 12 || day < 1 || day > 31 || year < 0 || year > 99) return true;
    char text[32];
    std::snprintf(text, sizeof text, "%02d-%02d-%04d", month, day, 2000 + year);
    model_.setDate(text);
    return false;
}

bool SetupTransfer::getTime() {
    std::string reply;
    if (ex_.query({"CMD285\r", 9, true, "CANNOT GET TIME"}, reply)) return true;
    const int32_t hour = readDecimal(reply, 0), minute = readDecimal(reply, 3),
                  second = readDecimal(reply, 6);
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59) return true;
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", hour, minute, second);
    model_.setTime(text);
    return false;
}

bool SetupTransfer::getCom1() {
    bool rs485 = false;
    for (int wrong = 0;;) {
        std::string reply;
        if (ex_.query({"CMD225\r", 5, true, "CANNOT GET COM1 INFO"}, reply)) return true;
        int64_t code = readDecimal(reply);
        if (code < 0) {
            rs485 = true;
            code = -code;
        }
        if (const auto index = baudIndexOfCode(static_cast<int>(code))) {
            model_.setCom1Baud(*index);
            model_.setCom1Type(rs485 ? 1 : 0);
            return false;
        }
        if (++wrong > kWrongBaudCodesTolerated) {
            host().appendLine("CANNOT GET COM1 BAUD RATE. WRONG INDEX.");
            return true;
        }
    }
}

bool SetupTransfer::getCom2() {
    for (int wrong = 0;;) {
        std::string reply;
        if (ex_.query({"CMD235\r", 4, true, "CANNOT GET COM2 INFO"}, reply)) return true;
        if (const auto index = baudIndexOfCode(readDecimal(reply))) {
            model_.setCom2Baud(*index);
            return false;
        }
        if (++wrong > kWrongBaudCodesTolerated) {
            host().appendLine("CANNOT GET COM2 BAUD RATE. WRONG INDEX.");
            return true;
        }
    }
}

bool SetupTransfer::getStopOnError() {
    std::string reply;
    if (ex_.query({"CMD245\r", 2, true, "CANNOT GET STOP-ON-ERR"}, reply)) return true;
    const int32_t v = readDecimal(reply);
    if (v < 0 || v > 1) return true;
    model_.setStopOnError(v == 1);
    return false;
}

bool SetupTransfer::getKeyLock() {
    std::string reply;
    if (ex_.query({"CMD265\r", 2, true, "CANNOT GET KEYLOCK"}, reply)) return true;
    const int32_t v = readDecimal(reply);
    if (v < 0 || v > 1) return true;
    model_.setKeyLock(v == 1);
    return false;
}

bool SetupTransfer::getAutoScroll() {
    std::string reply;
    if (ex_.query({"CMD331\r", 2, true, "CANNOT GET AUTO SCROLL"}, reply)) return true;
    const int32_t v = readDecimal(reply);
    if (v < 0 || v > 1) return true;
    model_.setAutoScroll(v == 1);
    return false;
}

bool SetupTransfer::getInterval() {
    return getNumber({"CMD255\r", 2, "CANNOT GET INTERVAL", 0, 99, &SetupModel::setInterval});
}

bool SetupTransfer::getScrollPause() {
    return getNumber({"CMD333\r", 2, "CANNOT GET AUTO SCROLL PAUSE", 0, 99, &SetupModel::setScrollPause});
}

bool SetupTransfer::getScrollEnd() {
    return getNumber({"CMD335\r", 2, "CANNOT GET AUTO SCROLL END", 0, 8, &SetupModel::setScrollEnd});
}

bool SetupTransfer::GetFieldsPerRecord() {
    std::string reply;
    if (ex_.query({"CMD315\r", 2, false, "CANNOT GET FIELDS PER RECORD"}, reply)) return true;
    const int32_t v = readDecimal(reply);
    if (v < kFieldsPerRecordRange.min || v > kFieldsPerRecordRange.max) return true;
    model_.setFieldsPerRecord(v);
    return false;
}

bool SetupTransfer::GetRecordFormats() {
    UsbPort& port = ex_.port();
    std::vector<uint8_t> buffer(kRecordFormatsSize);
    size_t got = 0;
    for (int attempt = 0; attempt < kRecordFormatTries; ++attempt) {
        port.purge();
        host().clock().sleepMs(kRecordFormatPauseMs);
        ex_.SendCommand("CMD325\r");
        got = port.read(buffer).count;
        if (got == buffer.size()) break;
    }
    if (got != buffer.size()) {
        host().appendLine(printed("CANNOT GET RECORD FORMATS. BYTES READ: %u", static_cast<unsigned>(got)));
        return true;
    }
    for (int i = 0; i < kFieldCount; ++i) {
        const DecodedField d =
            decodeFieldBlock(std::span<const uint8_t>(buffer).subspan(i * kFieldBlockSize));
        if (d.status == DecodedField::Status::LabelTooLong) return true;
        model_.setLabel(i, d.label);
        if (d.status != DecodedField::Status::Ok) return true;
        model_.setType(i, d.type);
        model_.setWidth(i, d.width);
        model_.setPrecision(i, d.precision);
        host().pump();
    }
    return false;
}

bool SetupTransfer::SendRecordFormats() {
    bool asked = false;
    for (int send = 0; send < Exchange::kSettingSends && !asked && ex_.port().isOpen(); ++send) {
        ex_.SendCommand("CMD320\r");
        asked = !ex_.WaitForByte(Exchange::kNext, Exchange::kSettingWaitSeconds);
    }
    if (!asked) return true;
    for (int i = 0; i < kFieldCount; ++i) {
        const FieldBlock block = encodeFieldBlock(model_.field(i));
        for (uint8_t byte : block)
            ex_.port().write({&byte, 1});
        host().setProgress(blockProgress(i));
        host().pump();
        const bool last = i + 1 == kFieldCount;
        if (ex_.WaitForByte(last ? Exchange::kAck : Exchange::kNext,
                            last ? kLastBlockWaitSeconds : kBlockWaitSeconds))
            return true;
    }
    return false;
}

bool SetupTransfer::GetUserSettings() {
    const std::array<std::function<bool()>, 12> steps = {
        [this] { return getDate(); },          [this] { return getTime(); },
        [this] { return getCom1(); },          [this] { return getCom2(); },
        [this] { return getStopOnError(); },   [this] { return getKeyLock(); },
        [this] { return getInterval(); },      [this] { return GetFieldsPerRecord(); },
        [this] { return GetRecordFormats(); }, [this] { return getAutoScroll(); },
        [this] { return getScrollPause(); },   [this] { return getScrollEnd(); },
    };
    Host& h = host();
    h.setProgressMax(100);
    h.setProgress(0);
    h.appendLine("GET SETUP...");
    // With the PC's clock chosen, the date and time boxes keep showing it.
    const size_t first = model_.usePcTime() ? 2 : 0;
    bool failed = false;
    for (size_t k = first; k < steps.size() && !failed; ++k) {
        failed = steps[k]();
        if (!failed) h.setProgress(kGetProgress[k]);
    }
    h.setProgress(0);
    h.appendLine(failed ? "GET SETUP FAILED." : "FINISHED GETTING SETUP.");
    return failed;
}

bool SetupTransfer::SendUserSettings() {
    Host& h = host();
    refused_ = false;
    if (model_.usePcTime()) showPcTime(model_, h.clock().localNow());
    if (const auto problem = checkSetupForSend(model_)) {
        refused_ = true;
        warn(h, *problem);
        return true;
    }
    const std::vector<std::string> settings = settingCommands(model_);
    std::vector<std::function<bool()>> steps;
    steps.reserve(settings.size() + 1);
    for (const std::string& text : settings)
        steps.emplace_back([this, &text] { return ex_.setting(text); });
    steps.emplace_back([this] { return SendRecordFormats(); });
    h.setProgressMax(100);
    h.setProgress(0);
    h.appendLine("SEND SETTINGS...");
    bool failed = false;
    for (size_t k = 0; k < steps.size() && !failed; ++k) {
        failed = steps[k]();
        if (!failed) h.setProgress(kSendProgress[k]);
    }
    h.pump();
    h.setProgress(0);
    h.appendLine(failed ? "SEND SETTINGS FAILED." : "FINISHED SENDING SETTINGS.");
    return failed;
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
    static constexpr std::array<std::string_view, 12> kQueries = {
        "CMD275\r", "CMD285\r", "CMD225\r", "CMD235\r", "CMD245\r", "CMD265\r",
        "CMD255\r", "CMD315\r", "CMD325\r", "CMD331\r", "CMD333\r", "CMD335\r"};
    int64_t us = 0;
    for (size_t k = usePcTime ? 2 : 0; k < kQueries.size(); ++k) {
        us += pacingUs(kQueries[k]);
        if (kQueries[k] == "CMD325\r")
            us += SetupTransfer::kRecordFormatPauseMs * 1000;
        else if (kQueries[k] != "CMD315\r")
            us += Exchange::kQueryPauseMs * 1000;
    }
    return us;
}

int64_t mandatedSendUs(const SetupModel& model) {
    int64_t us = pacingUs("CMD320\r");
    for (const std::string& text : settingCommands(model))
        us += pacingUs(text);
    return us;
}

}  // namespace vrn::setup

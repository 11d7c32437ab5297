#include "sim/firmware_loader.h"

#include <memory>
#include <string>

#include "core/link/clock.h"
#include "core/service/srecord_file.h"
#include "sim/instrument.h"

namespace vrn::sim {
namespace {

// Programming one record takes the flash a moment before its "*".
constexpr int64_t kRecordProgramUs = 400;
// A loader that hears nothing this long goes back to the operating mode.
constexpr int64_t kLoaderIdleUs = 120000000;
// Longer than any record the loader's buffer holds.
constexpr size_t kLoaderLineMax = 512;

int hexByte(const std::string& text, size_t at) {
    auto digit = [](char c) {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        return 0;
    };
    return at + 1 < text.size() ? digit(text[at]) * 16 + digit(text[at + 1]) : 0;
}

// The data bytes of a record whose checksum was found right, and the S0 record's text.
struct RecordData {
    uint32_t sum = 0;
    std::string text;
};

RecordData recordData(const std::string& record) {
    RecordData data;
    size_t addressBytes = 2;
    if (record[1] == '2' || record[1] == '8') addressBytes = 3;
    if (record[1] == '3' || record[1] == '7') addressBytes = 4;
    const size_t count = static_cast<size_t>(hexByte(record, 2));
    for (size_t i = 1 + addressBytes; i < count; ++i) {
        const int b = hexByte(record, 2 + 2 * i);
        data.sum += static_cast<uint32_t>(b);
        if (b >= 0x20 && b < 0x7F) data.text.push_back(static_cast<char>(b));
    }
    return data;
}

struct Loader {
    enum class Phase : uint8_t { AwaitErase, Records };
    Phase phase = Phase::AwaitErase;
    std::string buffer;
    int64_t lastByteUs = 0;
    int acks = 0;
    uint32_t records = 0;
    uint32_t sum = 0;
    std::string header;
};

void acknowledge(Instrument& in, Loader& loader) {
    const Faults& f = in.faults;
    if (f.loaderAcks && loader.acks >= *f.loaderAcks) return;
    ++loader.acks;
    in.reply(f.loaderStray + "*", kRecordProgramUs);
}

// One record line; false when the loader is done.
bool onRecord(Instrument& in, Loader& loader, const std::string& record) {
    if (!service::srecordValid(record)) {
        in.reply("?", kRecordProgramUs);
        return true;
    }
    const RecordData data = recordData(record);
    if (record[1] == '0') loader.header = data.text;
    if (record[1] >= '1' && record[1] <= '3') {
        ++loader.records;
        loader.sum += data.sum;
    }
    if (record[1] != '9') {
        acknowledge(in, loader);
        return true;
    }
    SimService& s = in.state.service;
    s.flashErased = false;
    s.firmwareRecords = loader.records;
    s.firmwareSum = loader.sum;
    if (!loader.header.empty()) s.firmwareVersion = loader.header;
    in.reply("FLASH PROGRAMMED: " + s.firmwareVersion + ", " + std::to_string(loader.records) + " RECORDS\r",
             kRecordProgramUs);
    return false;
}

void startLoader(Instrument& in) {
    auto loader = std::make_shared<Loader>();
    loader->lastByteUs = in.nowUs();
    in.setRawReader([loader](Instrument& i, uint8_t byte) {
        const int64_t now = i.nowUs();
        if (now - loader->lastByteUs > kLoaderIdleUs) {
            i.setRawReader(nullptr);
            return false;
        }
        loader->lastByteUs = now;
        if (loader->phase == Loader::Phase::AwaitErase) {
            loader->buffer.push_back(static_cast<char>(byte));
            if (loader->buffer.size() > kLoaderLineMax) loader->buffer.erase(0, kLoaderLineMax / 2);
            if (loader->buffer.ends_with("FLS")) {
                i.state.service.flashErased = true;
                i.state.service.firmwareRecords = 0;
                loader->phase = Loader::Phase::Records;
                loader->buffer.clear();
            }
            return true;
        }
        if (byte == '\r') return true;
        if (byte != '\n') {
            // A line too long for the loader's buffer is refused when it ends.
            if (loader->buffer.size() <= kLoaderLineMax) loader->buffer.push_back(static_cast<char>(byte));
            return true;
        }
        std::string record;
        record.swap(loader->buffer);
        if (!onRecord(i, *loader, record)) i.setRawReader(nullptr);
        return true;
    });
}

}  // namespace

void registerFirmwareLoader(Instrument& in) {
    in.setOtherLineHandler([](Instrument& i, const std::string& line) {
        if (line.find_first_not_of(' ') == std::string::npos && !line.empty()) i.reply("C");
    });
    in.registerCommand(980, [](Instrument& i, const CommandLine&) {
        i.reply("***");
        startLoader(i);
    });
}

}  // namespace vrn::sim

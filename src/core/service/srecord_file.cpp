#include "core/service/srecord_file.h"

namespace vrn::service {
namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

bool isBlank(uint8_t b) {
    return b == ' ' || b == '\t' || b == '\r' || b == '\n' || b == '\v' || b == '\f';
}

const char* recordFaultText(SRecordFault fault) {
    switch (fault) {
    case SRecordFault::NotSRecord:
        return "is not an S-record (it must begin with S and a digit)";
    case SRecordFault::NotHex:
        return "holds a character that is not a hexadecimal digit";
    case SRecordFault::WrongCount:
        return "does not have the length its byte count says";
    case SRecordFault::WrongChecksum:
    case SRecordFault::None:
        break;
    }
    return "is damaged (its checksum is wrong)";
}

}  // namespace

SRecordFault srecordFault(std::string_view record) {
    if (record.size() < 2 || record[0] != 'S' || record[1] < '0' || record[1] > '9')
        return SRecordFault::NotSRecord;
    const std::string_view hex = record.substr(2);
    for (const char c : hex)
        if (hexValue(c) < 0) return SRecordFault::NotHex;
    if (hex.size() < 4 || hex.size() % 2 != 0) return SRecordFault::WrongCount;
    unsigned sum = 0;
    for (size_t i = 0; i < hex.size(); i += 2)
        sum += static_cast<unsigned>(hexValue(hex[i]) * 16 + hexValue(hex[i + 1]));
    const auto count = static_cast<size_t>(hexValue(hex[0])) * 16 + static_cast<size_t>(hexValue(hex[1]));
    // The count covers address, data and checksum: the bytes after it.
    if (count * 2 + 2 != hex.size()) return SRecordFault::WrongCount;
    return (sum & 0xFFU) == 0xFFU ? SRecordFault::None : SRecordFault::WrongChecksum;
}

FirmwareFileCheck readFirmwareFile(std::span<const uint8_t> bytes, FirmwareImage& image) {
    FirmwareImage read;
    read.fileLength = bytes.size();
    size_t line = 1;
    size_t i = 0;
    while (i < bytes.size()) {
        if (isBlank(bytes[i])) {
            if (bytes[i] == '\n') ++line;
            ++i;
            continue;
        }
        const size_t start = i;
        while (i < bytes.size() && !isBlank(bytes[i]))
            ++i;
        const std::string_view record(reinterpret_cast<const char*>(bytes.data()) + start, i - start);
        if (read.records.empty() && !record.starts_with("S0")) return {FirmwareFileProblem::NotS0, line};
        if (record.size() > kMaxRecordLength) return {FirmwareFileProblem::TooLong, line};
        if (const SRecordFault fault = srecordFault(record); fault != SRecordFault::None)
            return {FirmwareFileProblem::BadRecord, line, fault};
        read.records.emplace_back(record);
        read.endOffsets.push_back(i);
        if (record.starts_with("S9")) {
            image = std::move(read);
            return {};
        }
    }
    if (read.records.empty()) return {FirmwareFileProblem::NotS0, line};
    return {FirmwareFileProblem::NoEnd, line};
}

std::string firmwareFileMessage(const FirmwareFileCheck& check) {
    const std::string at = std::to_string(check.line);
    switch (check.problem) {
    case FirmwareFileProblem::None:
        return {};
    case FirmwareFileProblem::NotS0:
        return "Incorrect file type.\nFlash Update cancelled.";
    case FirmwareFileProblem::TooLong:
        return "The record on line " + at + " is longer than 398 characters.\nFlash Update cancelled.";
    case FirmwareFileProblem::BadRecord:
        return "The record on line " + at + " " + recordFaultText(check.fault) + ".\nFlash Update cancelled.";
    case FirmwareFileProblem::NoEnd:
        return "The file has no S9 end record.\nFlash Update cancelled.";
    }
    return {};
}

int firmwareProgress(size_t offset, size_t fileLength) {
    if (fileLength == 0) return 0;
    const uint64_t share = (uint64_t{offset} * 100 + fileLength / 2) / fileLength;
    return static_cast<int>(share);
}

}  // namespace vrn::service

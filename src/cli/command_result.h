#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vrn::cli {

// The lines a run showed the user: the message area's, and the boxes as warnings and errors.
struct MessageLog {
    std::vector<std::string> messages;
    std::vector<std::string> warnings;
    std::vector<std::string> errors;
};

// A file a command wrote, as it was written.
struct WrittenFile {
    std::string path;
    uint64_t size = 0;
    std::string sha256;  // lower-case hexadecimal
};

// The link a command opened: the device, and the USB serial number of its bridge where there is one.
struct PortInfo {
    std::optional<std::string> device;
    std::optional<std::string> usbSerial;
};

// How the transfer that ended a command failed: the outcome's kind ("failed", "aborted",
// "portGone", "refused") and the line that said why, where one did.
struct FailedOutcome {
    std::string kind;
    std::string reason;
};

// One run's result as data. The terminal prints it as the command goes; --json prints the whole
// of it as one document when the command ends.
struct CommandResult {
    std::optional<std::string> command;  // none when the command line named none (a usage error)
    std::vector<std::string> arguments;  // the command's own, after its name
    std::optional<PortInfo> port;        // none when the command opened no link
    int exitStatus = 0;
    std::optional<FailedOutcome> failure;  // none when no transfer failed
    MessageLog log;
    std::vector<WrittenFile> files;
    QJsonObject data;  // the command's own figures: "result" of the document
};

// The name of the document's layout; a change that breaks a reader gets a new number.
inline constexpr const char* kJsonSchema = "vrncomm-cli/1";

// Lines as a JSON array of strings.
QJsonArray jsonTexts(const std::vector<std::string>& lines);

// The result as the one JSON document --json prints: compact, on one line that ends with a line break.
std::string jsonDocument(const CommandResult& result);

}  // namespace vrn::cli

#include "cli/command_result.h"

#include <QJsonDocument>

#include "cli/cli.h"

namespace vrn::cli {
namespace {

QJsonValue text(const std::optional<std::string>& value) {
    return value ? QJsonValue(QString::fromStdString(*value)) : QJsonValue(QJsonValue::Null);
}

}  // namespace

QJsonArray jsonTexts(const std::vector<std::string>& lines) {
    QJsonArray array;
    for (const std::string& line : lines)
        array.append(QString::fromStdString(line));
    return array;
}

std::string jsonDocument(const CommandResult& r) {
    QJsonObject doc;
    doc["schema"] = kJsonSchema;
    doc["command"] = text(r.command);
    doc["arguments"] = jsonTexts(r.arguments);
    if (r.port)
        doc["port"] = QJsonObject{{"device", text(r.port->device)}, {"usbSerial", text(r.port->usbSerial)}};
    else
        doc["port"] = QJsonValue(QJsonValue::Null);
    doc["exitStatus"] = r.exitStatus;
    doc["exitMeaning"] = QString::fromUtf8(exitMeaning(r.exitStatus));
    if (r.failure)
        doc["outcome"] = QJsonObject{
            {"kind", QString::fromStdString(r.failure->kind)},
            {"reason", r.failure->reason.empty() ? QJsonValue(QJsonValue::Null)
                                                 : QJsonValue(QString::fromStdString(r.failure->reason))}};
    else
        doc["outcome"] = QJsonValue(QJsonValue::Null);
    doc["messages"] = jsonTexts(r.log.messages);
    doc["warnings"] = jsonTexts(r.log.warnings);
    doc["errors"] = jsonTexts(r.log.errors);
    QJsonArray files;
    for (const WrittenFile& f : r.files)
        files.append(QJsonObject{{"path", QString::fromStdString(f.path)},
                                 {"size", static_cast<qint64>(f.size)},
                                 {"sha256", QString::fromStdString(f.sha256)}});
    doc["files"] = files;
    doc["result"] = r.data;
    // One line a run: a log that runs append to reads as JSON Lines.
    return QJsonDocument(doc).toJson(QJsonDocument::Compact).toStdString() + "\n";
}

}  // namespace vrn::cli

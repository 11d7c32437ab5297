#include "gui/app/file_names.h"

#include <QFile>
#include <QStringList>
#include <filesystem>
#include <system_error>

namespace vrn::gui {
namespace {

namespace fs = std::filesystem;

// The entry of folder that reads as `part`, when exactly one does.
std::optional<std::string> entryReadingAs(const fs::path& folder, const QString& part) {
    std::error_code ec;
    std::optional<std::string> found;
    for (fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (QFile::decodeName(QByteArray::fromStdString(name)) != part) continue;
        if (found) return std::nullopt;
        found = name;
    }
    return found;
}

}  // namespace

std::string localFileName(const QString& path) {
    const QStringList parts = path.split(u'/');
    fs::path built;
    std::error_code ec;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QString& part = parts[i];
        if (i == 0 && part.isEmpty()) {
            built = "/";
            continue;
        }
        if (part.isEmpty()) continue;
        std::string bytes = QFile::encodeName(part).toStdString();
        if (!fs::exists(fs::symlink_status(built / bytes, ec)))
            if (auto real = entryReadingAs(built, part)) bytes = std::move(*real);
        built /= bytes;
    }
    return built.string();
}

std::optional<std::string> rawOptionValue(int argc, char* const* argv, std::string_view name) {
    const std::string option = "--" + std::string(name);
    for (int i = 1; i < argc; ++i) {
        const std::string_view a(argv[i]);
        if (a == option) return i + 1 < argc ? std::optional<std::string>(argv[i + 1]) : std::nullopt;
        if (a.starts_with(option + "=")) return std::string(a.substr(option.size() + 1));
    }
    return std::nullopt;
}

}  // namespace vrn::gui

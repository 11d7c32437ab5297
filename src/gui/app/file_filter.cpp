#include "gui/app/file_filter.h"

#include <QRegularExpression>
#include <QString>

namespace vrn::gui {

QStringList qtNameFilters(std::string_view pairs) {
    const QStringList parts =
        QString::fromUtf8(pairs.data(), static_cast<qsizetype>(pairs.size())).split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i].trimmed();
        // The description usually repeats its patterns in brackets; the pattern half is what counts.
        static const QRegularExpression trailingPatterns(QStringLiteral("\\s*\\([^()]*\\)$"));
        description.remove(trailingPatterns);
        QStringList patterns;
        for (const QString& p : parts[i + 1].split(u';', Qt::SkipEmptyParts)) {
            const QString pattern = p.trimmed();
            // "*.*" means every file, also those without an extension.
            patterns << (pattern == QStringLiteral("*.*") ? QStringLiteral("*") : pattern);
        }
        if (patterns.isEmpty()) continue;
        if (description.isEmpty()) description = patterns.join(u' ');
        filters << QStringLiteral("%1 (%2)").arg(description, patterns.join(u' '));
    }
    return filters;
}

}  // namespace vrn::gui

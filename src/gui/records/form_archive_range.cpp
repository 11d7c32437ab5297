#include "gui/records/form_archive_range.h"

#include <QComboBox>
#include <QDateTimeEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QTimeZone>
#include <QVBoxLayout>

#include "core/records/record_keys.h"
#include "store/record_archive.h"

namespace vrn::gui {
namespace {

constexpr int64_t kDaySeconds = 86400;

QDateTimeEdit* utcEdit(QWidget* parent, const char* name) {
    auto* edit = new QDateTimeEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setTimeSpec(Qt::UTC);
    edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    edit->setCalendarPopup(true);
    return edit;
}

}  // namespace

TFormArchiveRange::TFormArchiveRange(store::RecordArchive& archive, const QString& source,
                                     const std::vector<std::string>& stations, QWidget* parent)
    : QDialog(parent), archive_(archive) {
    setObjectName(QStringLiteral("FormArchiveRange"));
    setWindowTitle(QString::fromLatin1(kCaption));
    ComboBoxStation = new QComboBox(this);
    ComboBoxStation->setObjectName(QStringLiteral("ComboBoxStation"));
    for (const std::string& name : stations)
        ComboBoxStation->addItem(QString::fromStdString(name));
    DateTimeEditFrom = utcEdit(this, "DateTimeEditFrom");
    DateTimeEditTo = utcEdit(this, "DateTimeEditTo");
    LabelSpan = new QLabel(this);
    LabelSpan->setObjectName(QStringLiteral("LabelSpan"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("ButtonBoxArchiveRange"));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Archive:"), new QLabel(source, this));
    form->addRow(QStringLiteral("&Station:"), ComboBoxStation);
    form->addRow(QString(), LabelSpan);
    form->addRow(QStringLiteral("&From (UTC):"), DateTimeEditFrom);
    form->addRow(QStringLiteral("&To (UTC):"), DateTimeEditTo);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(ComboBoxStation, &QComboBox::currentIndexChanged, this, &TFormArchiveRange::stationChanged);
    // From never comes after To: each bounds the other.
    connect(DateTimeEditFrom, &QDateTimeEdit::dateTimeChanged, DateTimeEditTo,
            &QDateTimeEdit::setMinimumDateTime);
    connect(DateTimeEditTo, &QDateTimeEdit::dateTimeChanged, DateTimeEditFrom,
            &QDateTimeEdit::setMaximumDateTime);
    stationChanged();
}

void TFormArchiveRange::stationChanged() {
    std::string error;
    const auto span = archive_.timeSpan(station(), error);
    if (!span) {
        LabelSpan->setText(error.empty() ? QStringLiteral("No records with a time.")
                                         : QString::fromStdString(error));
        return;
    }
    LabelSpan->setText(QStringLiteral("Records from %1 to %2 UTC")
                           .arg(QString::fromStdString(records::utcTimeText(span->first)),
                                QString::fromStdString(records::utcTimeText(span->second))));
    DateTimeEditFrom->clearMaximumDateTime();
    DateTimeEditTo->clearMinimumDateTime();
    DateTimeEditFrom->setDateTime(
        QDateTime::fromSecsSinceEpoch(std::max(span->first, span->second - kDaySeconds), QTimeZone::utc()));
    DateTimeEditTo->setDateTime(QDateTime::fromSecsSinceEpoch(span->second, QTimeZone::utc()));
    // Values that did not change signal nothing: the bounds are set here too.
    DateTimeEditFrom->setMaximumDateTime(DateTimeEditTo->dateTime());
    DateTimeEditTo->setMinimumDateTime(DateTimeEditFrom->dateTime());
}

std::string TFormArchiveRange::station() const {
    return ComboBoxStation->currentText().toStdString();
}

int64_t TFormArchiveRange::from() const {
    return DateTimeEditFrom->dateTime().toSecsSinceEpoch();
}

int64_t TFormArchiveRange::to() const {
    return DateTimeEditTo->dateTime().toSecsSinceEpoch();
}

}  // namespace vrn::gui

#include "gui/records/records_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFont>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QVBoxLayout>

#include "core/app/preferences.h"
#include "core/records/record_text.h"
#include "gui/app/change_tracker.h"
#include "gui/widgets/c_spin_edit.h"

namespace vrn::gui {

namespace {

constexpr int kOptionsWidth = 118;

}  // namespace

RecordsPage::RecordsPage(Preferences& prefs, ChangeTracker* changes, QWidget* parent)
    : QWidget(parent), prefs_(prefs), changes_(changes) {
    setObjectName(QStringLiteral("RecordsPage"));

    MemoRecs = new QPlainTextEdit(this);
    MemoRecs->setObjectName(QStringLiteral("MemoRecs"));
    MemoRecs->setReadOnly(true);
    // A read-only view of up to millions of lines: an undo history of every insert would only cost
    // time and memory.
    MemoRecs->setUndoRedoEnabled(false);
    MemoRecs->setLineWrapMode(QPlainTextEdit::NoWrap);
    MemoRecs->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    MemoRecs->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Record text is ASCII digits, signs and delimiters, which need no shaping; skipping it takes a
    // good part of the time laying out and painting the long lines of a large retrieval costs.
    QFont font(QStringLiteral("Monospace"));
    font.setStyleStrategy(QFont::PreferNoShaping);
    MemoRecs->setFont(font);

    ButtonGetRecords = new QPushButton(QStringLiteral("&Get Records"), this);
    ButtonGetRecords->setObjectName(QStringLiteral("ButtonGetRecords"));
    ButtonStopRecords = new QPushButton(QStringLiteral("&Stop"), this);
    ButtonStopRecords->setObjectName(QStringLiteral("ButtonStopRecords"));
    ButtonStopRecords->setToolTip(QStringLiteral("Stop the download (Esc)."));
    ButtonStopRecords->setEnabled(false);
    // The count of an All records download, whose end the bar cannot show.
    LabelRecordsSoFar = new QLabel(this);
    LabelRecordsSoFar->setObjectName(QStringLiteral("LabelRecordsSoFar"));

    auto* numberLabel = new QLabel(QStringLiteral("Number of Records\nTo Retrieve"), this);
    CSpinEditNumOfRecs = new CSpinEdit(Preferences::kMinNumOfRecords, Preferences::kMaxNumOfRecords,
                                       prefs_.NumOfRecords, this);
    CSpinEditNumOfRecs->setObjectName(QStringLiteral("CSpinEditNumOfRecs"));
    numberLabel->setBuddy(CSpinEditNumOfRecs);
    CSpinEditNumOfRecs->installEventFilter(this);

    CheckBoxAllRecs = new QCheckBox(QStringLiteral("All records"), this);
    CheckBoxAllRecs->setObjectName(QStringLiteral("CheckBoxAllRecs"));
    CheckBoxAllRecs->setToolTip(QString::fromLatin1(kAllRecsHint));

    auto* delimiterLabel = new QLabel(QStringLiteral("Field Delimiter"), this);
    ComboBoxDelimiter = new QComboBox(this);
    ComboBoxDelimiter->setObjectName(QStringLiteral("ComboBoxDelimiter"));
    for (const char* item : records::kDelimiterItems)
        ComboBoxDelimiter->addItem(QString::fromLatin1(item));
    ComboBoxDelimiter->setCurrentIndex(records::kDefaultDelimiterIndex);
    delimiterLabel->setBuddy(ComboBoxDelimiter);

    CheckBoxShowRecs = new QCheckBox(QStringLiteral("Show Records"), this);
    CheckBoxShowRecs->setObjectName(QStringLiteral("CheckBoxShowRecs"));
    CheckBoxShowRecs->setToolTip(QString::fromLatin1(kShowRecsHint));
    CheckBoxShowRecs->setChecked(prefs_.ShowRecords);

    ButtonPlot = new QPushButton(QStringLiteral("&Plot..."), this);
    ButtonPlot->setObjectName(QStringLiteral("ButtonPlot"));
    ButtonPlot->setToolTip(QStringLiteral("Chart the retrieved records or a record text file."));

    ButtonClearRecText = new QPushButton(QStringLiteral("&Clear Text"), this);
    ButtonClearRecText->setObjectName(QStringLiteral("ButtonClearRecText"));

    placeControls(numberLabel, delimiterLabel);
    connectControls();
}

void RecordsPage::placeControls(QWidget* numberLabel, QWidget* delimiterLabel) {
    // The text window takes the room the column of options, sized to its font, leaves.
    auto* options = new QVBoxLayout;
    auto* getAndStop = new QHBoxLayout;
    getAndStop->addWidget(ButtonGetRecords);
    getAndStop->addWidget(ButtonStopRecords);
    options->addLayout(getAndStop);
    options->addWidget(LabelRecordsSoFar);
    options->addSpacing(8);
    options->addWidget(numberLabel);
    options->addWidget(CSpinEditNumOfRecs);
    options->addWidget(CheckBoxAllRecs);
    options->addSpacing(8);
    options->addWidget(delimiterLabel);
    options->addWidget(ComboBoxDelimiter);
    options->addSpacing(8);
    options->addWidget(CheckBoxShowRecs);
    options->addWidget(ButtonPlot);
    options->addStretch();
    options->addWidget(ButtonClearRecText);
    auto* page = new QHBoxLayout(this);
    page->setContentsMargins(8, 8, 8, 8);
    page->setSpacing(12);
    page->addWidget(MemoRecs, 1);
    page->addLayout(options);
    // At least as wide as the column has always been.
    ButtonGetRecords->setMinimumWidth(kOptionsWidth);
}

void RecordsPage::connectControls() {
    connect(ButtonClearRecText, &QPushButton::clicked, MemoRecs, &QPlainTextEdit::clear);
    connect(ButtonGetRecords, &QPushButton::clicked, this, &RecordsPage::getRecordsClicked);
    connect(ButtonPlot, &QPushButton::clicked, this, &RecordsPage::plotClicked);
    connect(ButtonStopRecords, &QPushButton::clicked, this, [this] {
        if (downloading_) emit stopClicked();
    });
    connect(CheckBoxShowRecs, &QCheckBox::toggled, this, [this](bool on) { prefs_.ShowRecords = on; });
    connect(CheckBoxAllRecs, &QCheckBox::toggled, CSpinEditNumOfRecs, &QWidget::setDisabled);
    connect(CSpinEditNumOfRecs, &QSpinBox::valueChanged, this, [this](int v) { prefs_.NumOfRecords = v; });
}

records::RetrievalOptions RecordsPage::options() const {
    records::RetrievalOptions o;
    o.count = static_cast<uint32_t>(CSpinEditNumOfRecs->value());
    o.delimiter = records::delimiterOf(ComboBoxDelimiter->currentIndex());
    o.showRecords = CheckBoxShowRecs->isChecked();
    o.allRecords = CheckBoxAllRecs->isChecked();
    return o;
}

// The retrieval reads the record format into the Setup: a changed one is asked about first.
bool RecordsPage::mayReplaceRecordFormat() {
    return !changes_ || changes_->maySaveFirst({Part::Setup});
}

void RecordsPage::downloadRunning(bool running) {
    downloading_ = running;
    soFar_ = 0;
    ButtonStopRecords->setEnabled(running);
    LabelRecordsSoFar->clear();
    emit downloadRunningChanged(running);
}

void RecordsPage::downloadGoesOn() {
    emit downloadLetGoOn();
}

void RecordsPage::recordsSoFar(uint32_t count) {
    if (count == soFar_ && !LabelRecordsSoFar->text().isEmpty()) return;
    soFar_ = count;
    LabelRecordsSoFar->setText(QStringLiteral("%1 records so far").arg(count));
}

void RecordsPage::stopDownload() {
    ButtonStopRecords->click();
}

QWidget* RecordsPage::stopButton() const {
    return ButtonStopRecords;
}

void RecordsPage::uncheckShowRecords() {
    CheckBoxShowRecs->setChecked(false);
}

void RecordsPage::setGetRecordsEnabled(bool enabled) {
    ButtonGetRecords->setEnabled(enabled);
}

void RecordsPage::recordsRetrieved(const records::RecordBlock& block) {
    lastRecords_ = std::make_shared<const chart::RecordTable>(chart::tableFromBlock(block));
}

// At the caret, which stays after the new text, so records follow one another unless the user
// moved it. The text is ASCII, which Latin-1 reads the same and faster.
void RecordsPage::insertRecordText(std::string_view text) {
    QTextCursor caret = MemoRecs->textCursor();
    caret.insertText(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
    MemoRecs->setTextCursor(caret);
}

// Enter in the number box is not typed: it clicks Get Records. The box itself already keeps
// everything but digits and Backspace out.
bool RecordsPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == CSpinEditNumOfRecs && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            CSpinEditNumOfRecs->interpretText();
            ButtonGetRecords->click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace vrn::gui

#include "gui/setup/setup_page.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>
#include <tuple>

#include "core/link/clock.h"
#include "core/setup/pc_time.h"
#include "gui/widgets/c_spin_edit.h"

namespace vrn::gui {
namespace {

using setup::kFieldCount;

// A line edit's frame and margins around its text, at least.
constexpr int kEditFrameRoom = 10;
// A label box shows a label like this one whole.
constexpr const char* kLabelSample = "WIND SPEED";

QString fieldNumber(int index) {
    return QStringLiteral("%1").arg(index + 1, 2, 10, QLatin1Char('0'));
}

template <size_t N>
QGroupBox* radioGroup(const char* name, const char* caption, const std::array<const char*, N>& items,
                      QButtonGroup*& buttons) {
    auto* box = new QGroupBox(QString::fromLatin1(caption));
    box->setObjectName(QString::fromLatin1(name));
    buttons = new QButtonGroup(box);
    auto* column = new QVBoxLayout(box);
    column->setContentsMargins(4, 2, 4, 2);
    column->setSpacing(0);
    for (size_t i = 0; i < N; ++i) {
        auto* button = new QRadioButton(QString::fromLatin1(items[i]), box);
        // As close as the text and the indicator allow.
        button->setFixedHeight(std::max(QFontMetrics(button->font()).height(),
                                        button->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorHeight)) +
                               4);
        column->addWidget(button);
        buttons->addButton(button, static_cast<int>(i));
    }
    column->addStretch();
    // Qt asks more room for a title than it takes: the box is as wide as its title or its items
    // need, whichever is more.
    const QFontMetrics fm(box->font());
    box->setMinimumWidth(
        std::max(column->minimumSize().width() + 2,
                 fm.horizontalAdvance(box->title()) + 2 * fm.horizontalAdvance(QLatin1Char(' '))));
    return box;
}

// Checks the button of the index, or none for -1.
void showIndex(QButtonGroup* buttons, int index) {
    if (index >= 0) {
        buttons->button(index)->setChecked(true);
        return;
    }
    buttons->setExclusive(false);
    for (QAbstractButton* b : buttons->buttons())
        b->setChecked(false);
    buttons->setExclusive(true);
}

// A caption of one or two lines above a spin box, in a column of the grid.
CSpinEdit* spinWithCaption(QGridLayout* grid, int column, const char* name, const char* caption,
                           setup::SpinRange range, int value) {
    auto* label = new QLabel(QString::fromLatin1(caption));
    label->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
    auto* spin = new CSpinEdit(range.min, range.max, value);
    spin->setObjectName(QString::fromLatin1(name));
    grid->addWidget(label, 0, column);
    grid->addWidget(spin, 1, column, Qt::AlignLeft);
    return spin;
}

// Leaves a box alone when it already holds the value, so text being typed is not rewritten.
void showValue(QSpinBox* spin, int value) {
    if (spin->value() != value) spin->setValue(value);
}

void setTextIfOther(QLineEdit* edit, const QString& text) {
    if (edit->displayText() != text && edit->text() != text) edit->setText(text);
}

}  // namespace

SetupPage::SetupPage(setup::SetupModel& model, Clock& clock, QWidget* parent)
    : QWidget(parent), model_(model), clock_(clock) {
    setObjectName(QStringLiteral("SetupPage"));
    auto* page = new QHBoxLayout(this);
    page->setContentsMargins(0, 2, 0, 0);
    page->setSpacing(2);
    page->addLayout(buildControls());
    page->addLayout(buildGrid());
    showModel();
    connectEdits();
    giveTips();
    model_.onChanged = [this] {
        showModel();
        emit modelChanged();
    };
}

namespace {

// "what it is, from 1 to 99": a value's meaning with its unit, and its range.
QString rangeTip(const char* what, setup::SpinRange range) {
    return QStringLiteral("%1, from %2 to %3.").arg(QLatin1String(what)).arg(range.min).arg(range.max);
}

}  // namespace

// What each value means for the instrument, in its unit and range; the captions stay short.
void SetupPage::giveTips() {
    const QString baud = QStringLiteral("%1's speed in bits per second (19.2K is 19,200).");
    const std::initializer_list<std::pair<QWidget*, QString>> tips = {
        {RadioGroupCom1Type, QStringLiteral("The electrical standard of the instrument's COM1 port.")},
        {RadioGroupCom1Baud, baud.arg(QLatin1String("COM1"))},
        {RadioGroupCom2Baud, baud.arg(QLatin1String("COM2"))},
        {CheckBoxKeyLock, QStringLiteral("Ticked, the instrument's keypad is locked.")},
        {CheckBoxAutoScroll,
         QStringLiteral("Ticked, the LCD shows its screens one after the other by itself.")},
        {CSpinEditInterval, rangeTip("Seconds between two runs of the user program", setup::kIntervalRange)},
        {CSpinEditNumOfFields,
         rangeTip("Values in each logged record, one grid row each", setup::kFieldsPerRecordRange)},
        {CSpinEditScrollPause,
         rangeTip("Seconds each screen is shown while the LCD scrolls", setup::kScrollPauseRange)},
        {CSpinEditScrollEnd,
         rangeTip("The last screen the LCD scrolls to, from screen 1", setup::kScrollEndRange)},
        {CheckBoxPCTime,
         QStringLiteral("Ticked, Send Setup sets the instrument's clock to the PC's date and time; "
                        "unticked, to the time and date typed here.")},
        {MaskEditTime, QStringLiteral("The instrument's time of day, 24-hour: HH:MM:SS.")},
        {MaskEditDate, QStringLiteral("The instrument's date, month first: MM-DD-YYYY.")},
    };
    for (const auto& [control, tip] : tips)
        control->setToolTip(tip);
    const QString label =
        QStringLiteral("The field's label in record files, up to %1 characters.").arg(setup::kLabelMaxChars);
    const QString type = QStringLiteral("Whether the field holds a number, the record's date or its time.");
    const QString width = rangeTip("Characters a Number field takes in record files", setup::kWidthRange);
    const QString precision = rangeTip("Digits after a Number field's decimal point", setup::kPrecisionRange);
    for (size_t at = 0; at < labels_.size(); ++at) {
        labels_[at]->setToolTip(label);
        types_[at]->setToolTip(type);
        widths_[at]->setToolTip(width);
        precisions_[at]->setToolTip(precision);
    }
}

SetupPage::~SetupPage() {
    model_.onChanged = nullptr;
}

QLayout* SetupPage::buildControls() {
    RadioGroupCom1Type = radioGroup("RadioGroupCom1Type", "COM1 Type", setup::kCom1TypeItems, com1Type_);
    RadioGroupCom1Baud = radioGroup("RadioGroupCom1Baud", "COM1 Baud", setup::kBaudItems, com1Baud_);
    RadioGroupCom2Baud = radioGroup("RadioGroupCom2Baud", "COM2 Baud", setup::kBaudItems, com2Baud_);
    auto* ports = new QHBoxLayout;
    ports->addWidget(RadioGroupCom1Type, 0, Qt::AlignTop);
    ports->addWidget(RadioGroupCom1Baud);
    ports->addWidget(RadioGroupCom2Baud);
    ports->setSpacing(4);

    CheckBoxStopOnErr = new QCheckBox(QStringLiteral("Stop On Error"));
    CheckBoxStopOnErr->setObjectName(QStringLiteral("CheckBoxStopOnErr"));
    // Only the instrument's keypad sets it; the box shows what was last read.
    CheckBoxStopOnErr->setEnabled(false);
    CheckBoxStopOnErr->setToolTip(QString::fromLatin1(kStopOnErrHint));
    CheckBoxKeyLock = new QCheckBox(QStringLiteral("Keypad Lock"));
    CheckBoxKeyLock->setObjectName(QStringLiteral("CheckBoxKeyLock"));
    CheckBoxAutoScroll = new QCheckBox(QStringLiteral("Auto Screen Scroll"));
    CheckBoxAutoScroll->setObjectName(QStringLiteral("CheckBoxAutoScroll"));
    auto* checks = new QGridLayout;
    checks->setVerticalSpacing(0);
    checks->addWidget(CheckBoxStopOnErr, 0, 0);
    checks->addWidget(CheckBoxKeyLock, 0, 1);
    checks->addWidget(CheckBoxAutoScroll, 1, 0, 1, 2);

    auto* spins = new QGridLayout;
    spins->setSpacing(4);
    spins->setVerticalSpacing(0);
    CSpinEditInterval = spinWithCaption(spins, 0, "CSpinEditInterval", "Execution\nInterval",
                                        setup::kIntervalRange, model_.interval());
    CSpinEditNumOfFields = spinWithCaption(spins, 1, "CSpinEditNumOfFields", "Fields Per\nRecord",
                                           setup::kFieldsPerRecordRange, model_.fieldsPerRecord());
    CSpinEditScrollPause = spinWithCaption(spins, 2, "CSpinEditScrollPause", "Scroll\nPause",
                                           setup::kScrollPauseRange, model_.scrollPause());
    CSpinEditScrollEnd = spinWithCaption(spins, 3, "CSpinEditScrollEnd", "Scroll\nEnd Screen",
                                         setup::kScrollEndRange, model_.scrollEnd());

    // The doubled ampersand shows as one.
    auto* timeBox = new QGroupBox(QStringLiteral("Time && Date"));
    CheckBoxPCTime = new QCheckBox(QStringLiteral("Use PC System Time"), timeBox);
    CheckBoxPCTime->setObjectName(QStringLiteral("CheckBoxPCTime"));
    MaskEditTime = new QLineEdit(timeBox);
    MaskEditTime->setObjectName(QStringLiteral("MaskEditTime"));
    MaskEditTime->setInputMask(QStringLiteral("99:99:99;_"));
    MaskEditDate = new QLineEdit(timeBox);
    MaskEditDate->setObjectName(QStringLiteral("MaskEditDate"));
    MaskEditDate->setInputMask(QStringLiteral("99-99-9999;_"));
    auto* time = new QGridLayout(timeBox);
    time->setContentsMargins(6, 0, 6, 2);
    time->setVerticalSpacing(1);
    time->addWidget(CheckBoxPCTime, 0, 0, 1, 3);
    int column = 0;
    for (const auto& [edit, caption, sample] : {std::tuple{MaskEditTime, "HH:MM:SS", "00:00:00"},
                                                std::tuple{MaskEditDate, "MM-DD-YYYY", "00-00-0000"}}) {
        const QFontMetrics fm(edit->font());
        // Room for the whole text and the caption over it.
        edit->setFixedWidth(std::max(fm.horizontalAdvance(QLatin1String(sample)) + kEditFrameRoom,
                                     fm.horizontalAdvance(QLatin1String(caption))));
        time->addWidget(new QLabel(QString::fromLatin1(caption), timeBox), 1, column);
        time->addWidget(edit, 2, column++);
    }
    time->setColumnStretch(2, 1);

    auto* left = new QVBoxLayout;
    left->setSpacing(2);
    left->addLayout(ports);
    left->addLayout(checks);
    left->addLayout(spins);
    left->addWidget(timeBox);
    left->addStretch();
    return left;
}

QLayout* SetupPage::buildGrid() {
    auto* rows = new QWidget;
    rows->setObjectName(QStringLiteral("ScrollBoxFieldsRows"));
    auto* grid = new QGridLayout(rows);
    grid->setContentsMargins(1, 3, 1, 3);
    grid->setHorizontalSpacing(2);
    for (int i = 0; i < kFieldCount; ++i) {
        const size_t at = static_cast<size_t>(i);
        rowNumbers_[at] = new QLabel(fieldNumber(i), rows);

        auto* label = new QLineEdit(QString::fromStdString(model_.field(i).label), rows);
        label->setObjectName(QStringLiteral("EditLabel") + fieldNumber(i));
        label->setMaxLength(static_cast<int>(setup::kLabelMaxChars));
        label->setFixedWidth(QFontMetrics(label->font()).horizontalAdvance(QLatin1String(kLabelSample)) +
                             kEditFrameRoom);
        labels_[at] = label;

        auto* type = new QComboBox(rows);
        type->setObjectName(QStringLiteral("ComboBoxType") + fieldNumber(i));
        for (const char* item : setup::kFieldTypeItems)
            type->addItem(QString::fromLatin1(item));
        types_[at] = type;

        widths_[at] = new CSpinEdit(setup::kWidthRange.min, setup::kWidthRange.max, 7, rows);
        widths_[at]->setObjectName(QStringLiteral("SpinEditWidth") + fieldNumber(i));
        precisions_[at] = new CSpinEdit(setup::kPrecisionRange.min, setup::kPrecisionRange.max, 1, rows);
        precisions_[at]->setObjectName(QStringLiteral("SpinEditPrec") + fieldNumber(i));

        const std::array<QWidget*, 5> cells{rowNumbers_[at], label, type, widths_[at], precisions_[at]};
        for (int c = 0; c < static_cast<int>(cells.size()); ++c)
            grid->addWidget(cells[static_cast<size_t>(c)], i, c);
    }
    // Every row as tall as its tallest control, at least the row pitch apart.
    int height = 0;
    for (QWidget* w : std::initializer_list<QWidget*>{labels_[0], types_[0], widths_[0]})
        height = std::max(height, w->sizeHint().height());
    height = std::min(height, kRowPitch - 1);
    grid->setVerticalSpacing(kRowPitch - height);
    for (int i = 0; i < kFieldCount; ++i) {
        const size_t at = static_cast<size_t>(i);
        for (QWidget* w :
             std::initializer_list<QWidget*>{labels_[at], types_[at], widths_[at], precisions_[at]})
            w->setFixedHeight(height);
    }

    // The captions stand over their columns, each column at least as wide as its caption.
    const char* captions[] = {"Field", "Label", "Type", "Width", "Prec"};
    const QFontMetrics fm(font());
    for (int c = 0; c < 5; ++c)
        grid->setColumnMinimumWidth(c, fm.horizontalAdvance(QLatin1String(captions[c])));
    rows->setFixedSize(rows->sizeHint());
    grid->activate();

    ScrollBoxFields = new QScrollArea;
    ScrollBoxFields->setObjectName(QStringLiteral("ScrollBoxFields"));
    ScrollBoxFields->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ScrollBoxFields->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    ScrollBoxFields->verticalScrollBar()->setTracking(true);
    ScrollBoxFields->verticalScrollBar()->setSingleStep(kRowPitch);
    ScrollBoxFields->setWidget(rows);
    ScrollBoxFields->setFixedWidth(rows->width() + 2 * ScrollBoxFields->frameWidth() +
                                   ScrollBoxFields->verticalScrollBar()->sizeHint().width());

    auto* header = new QWidget;
    header->setFixedHeight(fm.height() + 2);
    for (int c = 0; c < 5; ++c) {
        const QRect cell = grid->cellRect(0, c);
        auto* caption = new QLabel(QString::fromLatin1(captions[c]), header);
        caption->setGeometry(ScrollBoxFields->frameWidth() + cell.x(), 0, cell.width(), fm.height() + 2);
    }

    auto* column = new QVBoxLayout;
    column->setSpacing(2);
    column->addWidget(header);
    column->addWidget(ScrollBoxFields, 1);
    return column;
}

void SetupPage::connectEdits() {
    setup::SetupModel& m = model_;
    connect(com1Type_, &QButtonGroup::idClicked, this, [&m](int id) { m.setCom1Type(id); });
    connect(com1Baud_, &QButtonGroup::idClicked, this, [&m](int id) { m.setCom1Baud(id); });
    connect(com2Baud_, &QButtonGroup::idClicked, this, [&m](int id) { m.setCom2Baud(id); });
    connect(CheckBoxKeyLock, &QCheckBox::toggled, this, [&m](bool on) { m.setKeyLock(on); });
    connect(CheckBoxAutoScroll, &QCheckBox::toggled, this, [&m](bool on) { m.setAutoScroll(on); });
    connect(CheckBoxPCTime, &QCheckBox::toggled, this, [&m](bool on) { m.setUsePcTime(on); });
    connect(CSpinEditInterval, &QSpinBox::valueChanged, this, [&m](int v) { m.setInterval(v); });
    connect(CSpinEditNumOfFields, &QSpinBox::valueChanged, this, [&m](int v) { m.setFieldsPerRecord(v); });
    connect(CSpinEditScrollPause, &QSpinBox::valueChanged, this, [&m](int v) { m.setScrollPause(v); });
    connect(CSpinEditScrollEnd, &QSpinBox::valueChanged, this, [&m](int v) { m.setScrollEnd(v); });
    connect(MaskEditTime, &QLineEdit::textEdited, this,
            [this] { model_.setTime(MaskEditTime->displayText().toStdString()); });
    connect(MaskEditDate, &QLineEdit::textEdited, this,
            [this] { model_.setDate(MaskEditDate->displayText().toStdString()); });
    for (int i = 0; i < kFieldCount; ++i) {
        const size_t at = static_cast<size_t>(i);
        connect(labels_[at], &QLineEdit::textEdited, this,
                [&m, i](const QString& text) { m.setLabel(i, text.toStdString()); });
        connect(types_[at], &QComboBox::currentIndexChanged, this,
                [&m, i](int index) { m.setType(i, index); });
        connect(widths_[at], &QSpinBox::valueChanged, this, [&m, i](int v) { m.setWidth(i, v); });
        connect(precisions_[at], &QSpinBox::valueChanged, this, [&m, i](int v) { m.setPrecision(i, v); });
    }
}

// Puts every model value into its control without echoing the change back.
void SetupPage::showModel() {
    if (showing_) return;
    showing_ = true;
    const setup::SetupModel& m = model_;
    const QSignalBlocker blockers[] = {
        QSignalBlocker(com1Type_),
        QSignalBlocker(com1Baud_),
        QSignalBlocker(com2Baud_),
        QSignalBlocker(CheckBoxStopOnErr),
        QSignalBlocker(CheckBoxKeyLock),
        QSignalBlocker(CheckBoxAutoScroll),
        QSignalBlocker(CheckBoxPCTime),
        QSignalBlocker(CSpinEditInterval),
        QSignalBlocker(CSpinEditNumOfFields),
        QSignalBlocker(CSpinEditScrollPause),
        QSignalBlocker(CSpinEditScrollEnd),
        QSignalBlocker(MaskEditTime),
        QSignalBlocker(MaskEditDate),
    };
    showIndex(com1Type_, m.com1Type());
    showIndex(com1Baud_, m.com1Baud());
    showIndex(com2Baud_, m.com2Baud());
    CheckBoxStopOnErr->setChecked(m.stopOnError());
    CheckBoxKeyLock->setChecked(m.keyLock());
    CheckBoxAutoScroll->setChecked(m.autoScroll());
    showValue(CSpinEditInterval, m.interval());
    showValue(CSpinEditNumOfFields, m.fieldsPerRecord());
    showValue(CSpinEditScrollPause, m.scrollPause());
    showValue(CSpinEditScrollEnd, m.scrollEnd());
    CheckBoxPCTime->setChecked(m.usePcTime());
    MaskEditTime->setEnabled(!m.usePcTime());
    MaskEditDate->setEnabled(!m.usePcTime());
    setTextIfOther(MaskEditTime, QString::fromStdString(m.time()));
    setTextIfOther(MaskEditDate, QString::fromStdString(m.date()));
    for (int i = 0; i < kFieldCount; ++i) {
        const size_t at = static_cast<size_t>(i);
        const setup::RecordField& f = m.field(i);
        const QSignalBlocker b1(labels_[at]), b2(types_[at]), b3(widths_[at]), b4(precisions_[at]);
        if (labels_[at]->text().toStdString() != f.label)
            labels_[at]->setText(QString::fromStdString(f.label));
        // A type read from a file outside the list shows no selection.
        types_[at]->setCurrentIndex(f.hasValidType() ? f.type : -1);
        showValue(widths_[at], f.width);
        showValue(precisions_[at], f.precision);
        const bool inUse = m.rowEnabled(i);
        labels_[at]->setEnabled(inUse);
        types_[at]->setEnabled(inUse);
        widths_[at]->setEnabled(inUse);
        precisions_[at]->setEnabled(inUse);
    }
    showing_ = false;
}

void SetupPage::timerTick() {
    if (model_.usePcTime()) setup::showPcTime(model_, clock_.localNow());
}

}  // namespace vrn::gui

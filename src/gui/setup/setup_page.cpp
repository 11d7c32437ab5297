#include "gui/setup/setup_page.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>

#include "core/link/clock.h"
#include "core/setup/pc_time.h"
#include "gui/widgets/c_spin_edit.h"

namespace vrn::gui {
namespace {

using setup::kFieldCount;

QString fieldNumber(int index) {
    return QStringLiteral("%1").arg(index + 1, 2, 10, QLatin1Char('0'));
}

template <size_t N>
QGroupBox* radioGroup(QWidget* parent, const char* name, const char* caption,
                      const std::array<const char*, N>& items, QButtonGroup*& buttons, QRect geometry) {
    auto* box = new QGroupBox(QString::fromLatin1(caption), parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setGeometry(geometry);
    buttons = new QButtonGroup(box);
    for (size_t i = 0; i < N; ++i) {
        auto* button = new QRadioButton(QString::fromLatin1(items[i]), box);
        button->setGeometry(8, 18 + static_cast<int>(i) * 18, geometry.width() - 12, 18);
        buttons->addButton(button, static_cast<int>(i));
    }
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

// A caption of one or two lines above a spin box.
CSpinEdit* spinWithCaption(QWidget* parent, const char* name, const char* caption, setup::SpinRange range,
                           int value, int left, int top) {
    auto* label = new QLabel(QString::fromLatin1(caption), parent);
    label->setGeometry(left, top, 66, 28);
    label->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
    auto* spin = new CSpinEdit(range.min, range.max, value, parent);
    spin->setObjectName(QString::fromLatin1(name));
    spin->setGeometry(left, top + 30, 52, 22);
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
    isShown = [this] { return isVisible(); };
    buildControls();
    buildGrid();
    showModel();
    connectEdits();
    model_.onChanged = [this] { showModel(); };
}

SetupPage::~SetupPage() {
    model_.onChanged = nullptr;
}

void SetupPage::buildControls() {
    RadioGroupCom1Type =
        radioGroup(this, "RadioGroupCom1Type", "COM1 Type", setup::kCom1TypeItems, com1Type_, {4, 4, 82, 62});
    RadioGroupCom1Baud =
        radioGroup(this, "RadioGroupCom1Baud", "COM1 Baud", setup::kBaudItems, com1Baud_, {90, 4, 76, 166});
    RadioGroupCom2Baud =
        radioGroup(this, "RadioGroupCom2Baud", "COM2 Baud", setup::kBaudItems, com2Baud_, {170, 4, 76, 166});

    CheckBoxStopOnErr = new QCheckBox(QStringLiteral("Stop On Error"), this);
    CheckBoxStopOnErr->setObjectName(QStringLiteral("CheckBoxStopOnErr"));
    CheckBoxStopOnErr->setGeometry(4, 174, 120, 20);
    // Only the instrument's keypad sets it; the box shows what was last read.
    CheckBoxStopOnErr->setEnabled(false);
    CheckBoxStopOnErr->setToolTip(QString::fromLatin1(kStopOnErrHint));

    CheckBoxKeyLock = new QCheckBox(QStringLiteral("Keypad Lock"), this);
    CheckBoxKeyLock->setObjectName(QStringLiteral("CheckBoxKeyLock"));
    CheckBoxKeyLock->setGeometry(130, 174, 120, 20);

    CSpinEditInterval = spinWithCaption(this, "CSpinEditInterval", "Execution\nInterval",
                                        setup::kIntervalRange, model_.interval(), 4, 216);
    CSpinEditNumOfFields = spinWithCaption(this, "CSpinEditNumOfFields", "Fields Per\nRecord",
                                           setup::kFieldsPerRecordRange, model_.fieldsPerRecord(), 64, 216);
    CSpinEditScrollPause = spinWithCaption(this, "CSpinEditScrollPause", "Scroll\nPause",
                                           setup::kScrollPauseRange, model_.scrollPause(), 124, 216);
    CSpinEditScrollEnd = spinWithCaption(this, "CSpinEditScrollEnd", "Scroll\nEnd Screen",
                                         setup::kScrollEndRange, model_.scrollEnd(), 184, 216);

    CheckBoxAutoScroll = new QCheckBox(QStringLiteral("Auto Screen Scroll"), this);
    CheckBoxAutoScroll->setObjectName(QStringLiteral("CheckBoxAutoScroll"));
    CheckBoxAutoScroll->setGeometry(4, 194, 150, 20);

    // The doubled ampersand shows as one.
    auto* timeBox = new QGroupBox(QStringLiteral("Time && Date"), this);
    timeBox->setGeometry(4, 272, 244, 74);
    CheckBoxPCTime = new QCheckBox(QStringLiteral("Use PC System Time"), timeBox);
    CheckBoxPCTime->setObjectName(QStringLiteral("CheckBoxPCTime"));
    CheckBoxPCTime->setGeometry(8, 16, 200, 20);
    auto* timeCaption = new QLabel(QStringLiteral("HH:MM:SS"), timeBox);
    timeCaption->setGeometry(8, 34, 80, 14);
    MaskEditTime = new QLineEdit(timeBox);
    MaskEditTime->setObjectName(QStringLiteral("MaskEditTime"));
    MaskEditTime->setInputMask(QStringLiteral("99:99:99;_"));
    MaskEditTime->setGeometry(8, 48, 80, 22);
    auto* dateCaption = new QLabel(QStringLiteral("MM-DD-YYYY"), timeBox);
    dateCaption->setGeometry(110, 34, 100, 14);
    MaskEditDate = new QLineEdit(timeBox);
    MaskEditDate->setObjectName(QStringLiteral("MaskEditDate"));
    MaskEditDate->setInputMask(QStringLiteral("99-99-9999;_"));
    MaskEditDate->setGeometry(110, 48, 100, 22);
}

void SetupPage::buildGrid() {
    const int left = 252;
    const struct {
        const char* text;
        int x;
    } captions[] = {{"Field", 0}, {"Label", 30}, {"Type", 108}, {"Width", 185}, {"Prec", 224}};
    for (const auto& c : captions) {
        auto* label = new QLabel(QString::fromLatin1(c.text), this);
        label->setGeometry(left + 2 + c.x, 4, 40, 16);
    }

    ScrollBoxFields = new QScrollArea(this);
    ScrollBoxFields->setObjectName(QStringLiteral("ScrollBoxFields"));
    ScrollBoxFields->setGeometry(left, 22, 280, 324);
    ScrollBoxFields->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ScrollBoxFields->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    ScrollBoxFields->verticalScrollBar()->setTracking(true);
    ScrollBoxFields->verticalScrollBar()->setSingleStep(kRowPitch);

    auto* rows = new QWidget;
    rows->setObjectName(QStringLiteral("ScrollBoxFieldsRows"));
    rows->setFixedSize(262, kFieldCount * kRowPitch + 8);
    for (int i = 0; i < kFieldCount; ++i) {
        const size_t at = static_cast<size_t>(i);
        const int top = i * kRowPitch + 6;
        rowNumbers_[at] = new QLabel(fieldNumber(i), rows);
        rowNumbers_[at]->setGeometry(6, top + 4, 18, 14);

        auto* label = new QLineEdit(QString::fromStdString(model_.field(i).label), rows);
        label->setObjectName(QStringLiteral("EditLabel") + fieldNumber(i));
        label->setGeometry(25, top, 80, 22);
        label->setMaxLength(static_cast<int>(setup::kLabelMaxChars));
        labels_[at] = label;

        auto* type = new QComboBox(rows);
        type->setObjectName(QStringLiteral("ComboBoxType") + fieldNumber(i));
        for (const char* item : setup::kFieldTypeItems)
            type->addItem(QString::fromLatin1(item));
        type->setGeometry(108, top, 74, 22);
        types_[at] = type;

        widths_[at] = new CSpinEdit(setup::kWidthRange.min, setup::kWidthRange.max, 7, rows);
        widths_[at]->setObjectName(QStringLiteral("SpinEditWidth") + fieldNumber(i));
        widths_[at]->setGeometry(185, top, 36, 22);
        precisions_[at] = new CSpinEdit(setup::kPrecisionRange.min, setup::kPrecisionRange.max, 1, rows);
        precisions_[at]->setObjectName(QStringLiteral("SpinEditPrec") + fieldNumber(i));
        precisions_[at]->setGeometry(224, top, 36, 22);
    }
    ScrollBoxFields->setWidget(rows);
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
    if (model_.usePcTime() && isShown && isShown()) setup::showPcTime(model_, clock_.localNow());
}

}  // namespace vrn::gui

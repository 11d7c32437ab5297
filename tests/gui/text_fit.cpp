#include "text_fit.h"

#include <QAbstractScrollArea>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOption>
#include <QTabBar>
#include <QTabWidget>
#include <algorithm>

namespace vrn::test {
namespace {

// QLineEdit keeps this many pixels free on either side of its text.
constexpr int kLineEditMargin = 2;

QString nameOf(const QWidget* w) {
    QString path;
    for (const QWidget* p = w; p != nullptr; p = p->parentWidget())
        if (!p->objectName().isEmpty() && !p->objectName().startsWith(QLatin1String("qt_"))) {
            path = p->objectName();
            break;
        }
    QString shown;
    if (auto* l = qobject_cast<const QLabel*>(w)) shown = QStringLiteral(" \"%1\"").arg(l->text());
    if (auto* b = qobject_cast<const QAbstractButton*>(w)) shown = QStringLiteral(" \"%1\"").arg(b->text());
    return QStringLiteral("%1 (%2%3)")
        .arg(path.isEmpty() ? QStringLiteral("?") : path, QString::fromLatin1(w->metaObject()->className()),
             shown);
}

struct Checker {
    QStringList misfits;

    void report(const QWidget* w, const QString& text, QSize need, QSize have) {
        if (need.width() <= have.width() && need.height() <= have.height()) return;
        misfits << QStringLiteral("%1 \"%2\": needs %3x%4 px, has %5x%6")
                       .arg(nameOf(w), text)
                       .arg(need.width())
                       .arg(need.height())
                       .arg(have.width())
                       .arg(have.height());
    }

    void label(const QLabel* l) {
        if (l->text().trimmed().isEmpty() || l->wordWrap()) return;
        const QFontMetrics fm(l->font());
        const int flags = Qt::TextExpandTabs | (l->buddy() != nullptr ? Qt::TextShowMnemonic : 0);
        const QRect text = fm.boundingRect(QRect(0, 0, 100000, 100000), flags, l->text());
        const int m = l->margin();
        report(l, l->text(), text.size(), l->contentsRect().adjusted(m, m, -m, -m).size());
    }

    void button(const QAbstractButton* b) {
        if (b->text().isEmpty()) return;
        QStyleOptionButton opt;
        opt.initFrom(b);
        opt.text = b->text();
        opt.rect = b->rect();
        QStyle::SubElement contents = QStyle::SE_PushButtonContents;
        if (qobject_cast<const QCheckBox*>(b) != nullptr) contents = QStyle::SE_CheckBoxContents;
        if (qobject_cast<const QRadioButton*>(b) != nullptr) contents = QStyle::SE_RadioButtonContents;
        if (auto* push = qobject_cast<const QPushButton*>(b); push != nullptr && push->isDefault())
            opt.features |= QStyleOptionButton::DefaultButton;
        const QRect have = b->style()->subElementRect(contents, &opt, b);
        const QFontMetrics fm(b->font());
        report(b, b->text(), fm.size(Qt::TextShowMnemonic, b->text()), have.size());
    }

    void groupBox(const QGroupBox* g) {
        if (g->title().isEmpty()) return;
        const QFontMetrics fm(g->font());
        // The title starts a few pixels in from the frame's left edge and must end inside it.
        const int indent = fm.horizontalAdvance(QLatin1Char(' '));
        report(g, g->title(), {indent + fm.size(Qt::TextShowMnemonic, g->title()).width(), 0},
               {g->width() - indent, 0});
    }

    void comboBox(const QComboBox* c) {
        QStyleOptionComboBox opt;
        opt.initFrom(c);
        opt.rect = c->rect();
        opt.editable = c->isEditable();
        opt.frame = c->hasFrame();
        const QRect field =
            c->style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, c);
        const QFontMetrics fm(c->font());
        for (int i = 0; i < c->count(); ++i) {
            const QString item = c->itemText(i);
            report(c, item, {fm.horizontalAdvance(item), fm.height()}, {field.width() - 2, field.height()});
        }
    }

    int lineEditRoom(const QLineEdit* e) const {
        QStyleOptionFrame opt;
        opt.initFrom(e);
        opt.rect = e->rect();
        opt.lineWidth = e->hasFrame() ? e->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, e) : 0;
        const QRect r = e->style()->subElementRect(QStyle::SE_LineEditContents, &opt, e) - e->textMargins();
        return r.width() - 2 * kLineEditMargin;
    }

    void lineEdit(const QLineEdit* e) {
        // A spin box's own edit is checked with the spin box's widest value.
        if (qobject_cast<const QAbstractSpinBox*>(e->parentWidget()) != nullptr) return;
        const QString text = e->displayText();
        if (text.isEmpty()) return;
        const QFontMetrics fm(e->font());
        report(e, text, {fm.horizontalAdvance(text) + 1, 0}, {lineEditRoom(e), 0});
    }

    void spinBox(const QSpinBox* s) {
        const QFontMetrics fm(s->font());
        const QLineEdit* edit = s->findChild<QLineEdit*>();
        if (edit == nullptr) return;
        for (const int v : {s->minimum(), s->maximum()}) {
            const QString text = s->prefix() + QString::number(v) + s->suffix();
            report(s, text, {fm.horizontalAdvance(text) + 1, 0}, {lineEditRoom(edit), 0});
        }
    }

    void tabBar(const QTabBar* t) {
        const QWidget* room = t->parentWidget();
        if (room == nullptr) return;
        for (int i = 0; i < t->count(); ++i)
            if (t->tabRect(i).right() > room->width())
                report(t, t->tabText(i), {t->tabRect(i).right(), 0}, {room->width(), 0});
        report(t, QStringLiteral("every tab"), {t->sizeHint().width(), 0}, {room->width(), 0});
    }
};

bool holdsText(const QWidget* w) {
    return qobject_cast<const QLabel*>(w) != nullptr || qobject_cast<const QAbstractButton*>(w) != nullptr ||
           qobject_cast<const QComboBox*>(w) != nullptr || qobject_cast<const QGroupBox*>(w) != nullptr ||
           qobject_cast<const QAbstractSpinBox*>(w) != nullptr ||
           (qobject_cast<const QLineEdit*>(w) != nullptr &&
            qobject_cast<const QAbstractSpinBox*>(w->parentWidget()) == nullptr);
}

// Inside a scrolled area the content is meant to run past the view.
bool scrolls(const QWidget* w) {
    for (const QWidget* p = w->parentWidget(); p != nullptr; p = p->parentWidget())
        if (auto* area = qobject_cast<const QAbstractScrollArea*>(p->parentWidget());
            area != nullptr && area->viewport() == p)
            return true;
    return false;
}

// Text widgets that share a parent may not cover one another, nor run out of their parent.
void checkPlaces(const QList<QWidget*>& widgets, QStringList& misfits) {
    for (qsizetype i = 0; i < widgets.size(); ++i) {
        const QWidget* w = widgets[i];
        const QWidget* parent = w->parentWidget();
        if (parent == nullptr || scrolls(w)) continue;
        if (!parent->rect().contains(w->geometry()))
            misfits << QStringLiteral("%1 runs out of %2").arg(nameOf(w), nameOf(parent));
        for (qsizetype j = i + 1; j < widgets.size(); ++j) {
            const QWidget* other = widgets[j];
            if (other->parentWidget() != parent) continue;
            if (w->geometry().intersects(other->geometry()))
                misfits << QStringLiteral("%1 and %2 cover each other").arg(nameOf(w), nameOf(other));
        }
    }
}

}  // namespace

QStringList unfitTexts(QWidget* root) {
    Checker check;
    QList<QWidget*> all = root->findChildren<QWidget*>();
    all.prepend(root);
    QList<QWidget*> texts;
    for (QWidget* w : all) {
        if (!w->isVisible()) continue;
        if (holdsText(w)) texts << w;
        if (auto* l = qobject_cast<QLabel*>(w))
            check.label(l);
        else if (auto* b = qobject_cast<QAbstractButton*>(w))
            check.button(b);
        else if (auto* g = qobject_cast<QGroupBox*>(w))
            check.groupBox(g);
        else if (auto* c = qobject_cast<QComboBox*>(w))
            check.comboBox(c);
        else if (auto* s = qobject_cast<QSpinBox*>(w))
            check.spinBox(s);
        else if (auto* e = qobject_cast<QLineEdit*>(w))
            check.lineEdit(e);
        else if (auto* t = qobject_cast<QTabBar*>(w))
            check.tabBar(t);
    }
    checkPlaces(texts, check.misfits);
    return check.misfits;
}

}  // namespace vrn::test

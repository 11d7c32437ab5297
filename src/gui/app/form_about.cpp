#include "gui/app/form_about.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>

#include "gui/app/link_label.h"
#include "gui/app/logo.h"

namespace vrn::gui {

QString TFormAbout::documentationPath(const QString& programDir) {
    const QString installed = QDir::cleanPath(programDir + QStringLiteral("/../share/doc/vrncomm/README.md"));
    return QFileInfo::exists(installed) ? installed : QString::fromLatin1(kPackageReadme);
}

TFormAbout::TFormAbout(const QString& programDir, QWidget* parent)
    : QDialog(parent), address_(documentationPath(programDir)) {
    setObjectName(QStringLiteral("TFormAbout"));
    setWindowTitle(QStringLiteral("About VRNComm"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(328, 125);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::Base, Qt::white);
    setPalette(white);
    setAutoFillBackground(true);
    // Small type, so the five lines of text fit their box.
    QFont small = font();
    small.setPointSize(7);
    setFont(small);

    ImageLogo = new QLabel(this);
    ImageLogo->setObjectName(QStringLiteral("ImageLogo"));
    ImageLogo->setPixmap(drawLogo());
    ImageLogo->setGeometry(16, 16, 80, 95);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->setFrameShape(QFrame::NoFrame);
    Memo1->setFocusPolicy(Qt::NoFocus);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->document()->setDocumentMargin(0);
    Memo1->setPlainText(
        QStringLiteral("Varno Part Number 41752\n"
                       "\n"
                       "VRNComm v" VRN_VERSION " for \n"
                       "Model 41700 Meteorological Display. \n"
                       "(c) 2026 the VRNComm project."));
    Memo1->setGeometry(112, 16, 201, 73);

    // A long address is shortened in its middle to fit the box; the tip shows it whole.
    const int room = width() - 112 - 8;
    Label1 = new LinkLabel(QString(), this);
    Label1->setText(Label1->fontMetrics().elidedText(address_, Qt::ElideMiddle, room));
    Label1->setToolTip(address_);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->move(112, 95);
    Label1->adjustSize();
    connect(Label1, &LinkLabel::clicked, this, &TFormAbout::Label1Click);
}

// The box closes whether or not a browser could be started.
void TFormAbout::Label1Click() {
    QDesktopServices::openUrl(QUrl::fromLocalFile(address_));
    accept();
}

}  // namespace vrn::gui

#include "gui/app/form_about.h"

#include <QDesktopServices>
#include <QLabel>
#include <QPlainTextEdit>

#include "gui/app/link_label.h"
#include "gui/app/logo.h"

namespace vrn::gui {

TFormAbout::TFormAbout(QWidget* parent) : QDialog(parent) {
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

    Label1 = new LinkLabel(QUrl(QString::fromLatin1(kAddress)).host(), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->move(112, 95);
    Label1->adjustSize();
    connect(Label1, &LinkLabel::clicked, this, &TFormAbout::Label1Click);
}

// The box closes whether or not a browser could be started.
void TFormAbout::Label1Click() {
    QDesktopServices::openUrl(QUrl(QString::fromLatin1(kAddress)));
    accept();
}

}  // namespace vrn::gui

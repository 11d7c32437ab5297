#include "gui/app/form_about.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>

#include "core/link/host.h"
#include "gui/app/link_label.h"
#include "gui/app/logo.h"

namespace vrn::gui {

QString TFormAbout::documentationPath(const QString& programDir, const QString& buildProgramDir,
                                      const QString& sourceReadme) {
    const QString installed = QDir::cleanPath(programDir + QStringLiteral("/../share/doc/vrncomm/README.md"));
    if (QFileInfo::exists(installed)) return installed;
    const QFileInfo program(programDir);
    if (!buildProgramDir.isEmpty() && program.exists() &&
        program.canonicalFilePath() == QFileInfo(buildProgramDir).canonicalFilePath() &&
        QFileInfo::exists(sourceReadme))
        return QDir::cleanPath(sourceReadme);
    return QString::fromLatin1(kPackageReadme);
}

QString TFormAbout::documentationPath(const QString& programDir) {
    return documentationPath(programDir, QStringLiteral(VRN_BUILD_PROGRAM_DIR),
                             QStringLiteral(VRN_SOURCE_README));
}

TFormAbout::TFormAbout(const QString& programDir, Host& host, QWidget* parent)
    : QDialog(parent), host_(host), address_(documentationPath(programDir)) {
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

// The box closes whether or not a browser could be started; when none could, a box says so.
void TFormAbout::Label1Click() {
    accept();
    const std::string where = address_.toStdString();
    if (!QFileInfo::exists(address_))
        warn(host_, "The documentation is not installed:\n" + where + " does not exist.");
    else if (!QDesktopServices::openUrl(QUrl::fromLocalFile(address_)))
        warn(host_, "No program could be started to show the documentation:\n" + where);
}

}  // namespace vrn::gui

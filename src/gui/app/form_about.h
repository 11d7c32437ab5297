#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QPlainTextEdit;

namespace vrn {
class Host;
}

namespace vrn::gui {

class LinkLabel;

// The About box: who we are, the version, and a link to the installed documentation. Created
// once at start-up and shown modally each time.
class TFormAbout : public QDialog {
    Q_OBJECT
public:
    // Where the package puts the README.
    static constexpr const char* kPackageReadme = "/usr/share/doc/vrncomm/README.md";

    // The README installed with the program in programDir: <prefix>/share/doc/vrncomm/README.md
    // beside <prefix>/bin, so a build installed under /usr/local finds its own; the source tree's
    // README for the program in its build folder (buildProgramDir); the package's place otherwise.
    static QString documentationPath(const QString& programDir, const QString& buildProgramDir,
                                     const QString& sourceReadme);
    // The same for the build that made this program.
    static QString documentationPath(const QString& programDir);

    // programDir: the folder the running program is in. A README that cannot be opened is said in
    // a box through host.
    TFormAbout(const QString& programDir, Host& host, QWidget* parent = nullptr);

    const QString& address() const { return address_; }

private:
    void Label1Click();

    Host& host_;
    QString address_;

    QLabel* ImageLogo = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    LinkLabel* Label1 = nullptr;
};

}  // namespace vrn::gui

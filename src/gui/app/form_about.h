#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QPlainTextEdit;

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
    // beside <prefix>/bin, so a build installed under /usr/local finds its own; the package's
    // place when there is none there (a program run from its build folder).
    static QString documentationPath(const QString& programDir);

    // programDir: the folder the running program is in.
    explicit TFormAbout(const QString& programDir, QWidget* parent = nullptr);

    const QString& address() const { return address_; }

private:
    void Label1Click();

    QString address_;

    QLabel* ImageLogo = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    LinkLabel* Label1 = nullptr;
};

}  // namespace vrn::gui

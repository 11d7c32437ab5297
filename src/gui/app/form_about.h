#pragma once

#include <QDialog>
#include <QUrl>

class QLabel;
class QPlainTextEdit;

namespace vrn::gui {

class LinkLabel;

// The About box: who we are, the version, and a link to the project's web page. Created once at
// start-up and shown modally each time.
class TFormAbout : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kAddress = "https://example.com/vrncomm/";

    explicit TFormAbout(QWidget* parent = nullptr);

private:
    void Label1Click();

    QLabel* ImageLogo = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    LinkLabel* Label1 = nullptr;
};

}  // namespace vrn::gui

#include <gtest/gtest.h>

#include <QFileDialog>
#include <QLineEdit>

#include "gui/app/qt_host.h"
#include "gui_rig.h"

namespace vrn::test {
namespace {

// Runs inspect on the next file dialog once it is up, then types name into it and accepts, or
// cancels it when name is empty.
void onNextFileDialog(std::function<void(QFileDialog&)> inspect, QString name) {
    whenModal<QFileDialog>(QStringLiteral("file"), [inspect, name](QFileDialog& dialog) {
        inspect(dialog);
        if (name.isEmpty()) {
            dialog.reject();
            return;
        }
        dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(name);
        static_cast<QDialog&>(dialog).accept();  // QFileDialog::accept, which checks the name
    });
}

TEST(FileDialogs, UseTheFilterTheDefaultExtensionAndTheOptions) {
    GuiRig rig;
    rig.start();
    QTemporaryDir dir;
    const QString base = dir.path() + QStringLiteral("/station");
    QStringList filters;
    QString suffix;
    QFileDialog::AcceptMode mode = QFileDialog::AcceptOpen;
    bool confirmOverwrite = false;
    onNextFileDialog(
        [&](QFileDialog& d) {
            filters = d.nameFilters();
            suffix = d.defaultSuffix();
            mode = d.acceptMode();
            confirmOverwrite = !d.testOption(QFileDialog::DontConfirmOverwrite);
        },
        base);
    FileDialogSpec spec{"Save Setup File", "Setup File (*.set)|*.set|All Files (*.*)|*.*", "set", false,
                        true};
    const std::optional<std::string> saved = rig.form->host().saveFileName(spec);
    ASSERT_TRUE(saved.has_value());
    EXPECT_EQ(*saved, (base + QStringLiteral(".set")).toStdString()) << "the default extension is added";
    EXPECT_EQ(filters, (QStringList{"Setup File (*.set)", "All Files (*)"}));
    EXPECT_EQ(suffix, "set");
    EXPECT_EQ(mode, QFileDialog::AcceptSave);
    EXPECT_TRUE(confirmOverwrite);

    QFileDialog::FileMode fileMode = QFileDialog::AnyFile;
    onNextFileDialog([&](QFileDialog& d) { fileMode = d.fileMode(); }, QString());
    spec = {"Open Setup File", "Setup File (*.set)|*.set", "set", true, false};
    EXPECT_FALSE(rig.form->host().openFileName(spec).has_value()) << "cancel gives nothing";
    EXPECT_EQ(fileMode, QFileDialog::ExistingFile);
}

}  // namespace
}  // namespace vrn::test

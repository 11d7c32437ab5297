#pragma once

#include <QUndoStack>
#include <QWidget>
#include <functional>
#include <memory>

#include "core/link/host.h"
#include "core/program/program_editor.h"
#include "core/program/program_model.h"
#include "gui/app/main_menu.h"
#include "gui/program/parameter_dialog_set.h"
#include "gui/program/tree_view_mirror.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTreeWidget;

namespace vrn::gui {

class ChangeTracker;

// The controls of the User Program page: the program tree `TreeViewPgm` with its context menu
// `PopupMenu1`, the instruction chooser and the editing buttons, over the program editor.
class UserProgramPage : public QWidget {
    Q_OBJECT
public:
    // tabSheet is the page the controls go into. New Program asks changes about a changed program
    // first.
    UserProgramPage(ProgramModel& program, Host& host, ChangeTracker& changes, QWidget* tabSheet);
    ~UserProgramPage() override;

    // The tree's context menu, whose items the page handles.
    const PopupMenuItems& popupMenu() const { return popup_; }

    // The parameter dialogs, created after the page in the window's start-up order.
    void setParameterDialogs(const ParameterDialogSet::Forms& forms) { dialogs_.setForms(forms); }

    void ButtonInsPgmClick();
    void ButtonDelPgmClick();
    void ButtonNewPgmClick();
    void ButtonEditPgmClick();
    void Cut1Click();
    void Copy1Click();
    void Paste1Click();
    void Delete1Click();
    void CheckBoxEditPgmClick();

    // Selects a node as a click would, and gives the tree the focus; for a parameter node its
    // instruction is selected first, so the label shows the instruction's position.
    void selectNode(const NodePath& path);
    void focusTree();

    // Insert, delete, cut, paste, a parameter edit and New Program, each one step.
    QUndoStack& undoStack() { return undo_; }
    bool editingEnabled() const;

    // Older steps than these are forgotten (each keeps two copies of the program).
    static constexpr int kUndoLimit = 100;

    // Where a parameter dialog opens: the main window's, the tab control's and ButtonEditPgm's
    // positions added up, 80 pixels lower.
    QPoint editDialogPosition() const;

signals:
    // After every operation of the page, and when Enable Edit is switched.
    void changed();

private:
    void placeControls(QWidget* tabSheet);
    void connectControls();
    // The context menu's items and their shortcuts act on the tree.
    void connectPopup();
    void refresh();
    // Runs an editor operation; one that changed the program becomes an undo step named text.
    void recordEdit(const char* text, const std::function<void()>& operation);

    ProgramModel& program_;
    ChangeTracker& changes_;
    ParameterDialogSet dialogs_;
    ProgramEditor editor_;
    PopupMenuItems popup_;

    QLabel* LabelInstrNum;
    QTreeWidget* TreeViewPgm;
    QPushButton* ButtonEditPgm;
    QCheckBox* CheckBoxEditPgm;
    QComboBox* ComboBoxInstr;
    QPushButton* ButtonInsPgm;
    QPushButton* ButtonDelPgm;
    QCheckBox* CheckBoxConfirmDelete;
    QPushButton* ButtonNewPgm;
    QPushButton* ButtonExpand;
    QPushButton* ButtonCollapse;

    std::unique_ptr<TreeViewMirror> mirror_;
    QUndoStack undo_;
};

}  // namespace vrn::gui

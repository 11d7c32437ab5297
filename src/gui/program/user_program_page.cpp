#include "gui/program/user_program_page.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "core/program/catalogue.h"
#include "gui/app/change_tracker.h"
#include "gui/program/program_undo.h"

namespace vrn::gui {

namespace {

template <typename W>
W* named(W* widget, const char* name) {
    widget->setObjectName(name);
    return widget;
}

}  // namespace

UserProgramPage::UserProgramPage(ProgramModel& program, Host& host, ChangeTracker& changes, QWidget* tabSheet)
    : QWidget(tabSheet),
      program_(program),
      changes_(changes),
      dialogs_([this] { return editDialogPosition(); }),
      editor_(program, host, dialogs_),
      popup_(buildPopupMenu(this, *tabSheet->window())),
      LabelInstrNum(named(new QLabel("Instruction 1", this), "LabelInstrNum")),
      TreeViewPgm(named(new QTreeWidget(this), "TreeViewPgm")),
      ButtonEditPgm(named(new QPushButton("&Edit Parameter", this), "ButtonEditPgm")),
      CheckBoxEditPgm(named(new QCheckBox("Enable Edit", this), "CheckBoxEditPgm")),
      ComboBoxInstr(named(new QComboBox(this), "ComboBoxInstr")),
      ButtonInsPgm(named(new QPushButton("&Insert  Instruction", this), "ButtonInsPgm")),
      ButtonDelPgm(named(new QPushButton("&Delete Instruction", this), "ButtonDelPgm")),
      CheckBoxConfirmDelete(named(new QCheckBox("Confirm", this), "CheckBoxConfirmDelete")),
      ButtonNewPgm(named(new QPushButton("&New Program", this), "ButtonNewPgm")),
      ButtonExpand(named(new QPushButton("E&xpand All", this), "ButtonExpand")),
      ButtonCollapse(named(new QPushButton("&Collapse All", this), "ButtonCollapse")) {
    setObjectName("UserProgramPage");

    TreeViewPgm->setHeaderHidden(true);
    TreeViewPgm->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TreeViewPgm->setSelectionMode(QAbstractItemView::SingleSelection);
    TreeViewPgm->setContextMenuPolicy(Qt::CustomContextMenu);
    mirror_ = std::make_unique<TreeViewMirror>(program_.tree, *TreeViewPgm);
    // Nothing is selected at start, and focusing the tree must not select its first node.
    TreeViewPgm->setCurrentItem(nullptr);

    for (std::string_view name : chooserNames())
        ComboBoxInstr->addItem(QString::fromUtf8(name.data(), static_cast<int>(name.size())));
    ComboBoxInstr->setEditable(false);
    ComboBoxInstr->setMaxVisibleItems(16);
    ComboBoxInstr->setCurrentIndex(0);
    CheckBoxConfirmDelete->setChecked(true);
    for (QWidget* w : std::initializer_list<QWidget*>{ButtonEditPgm, ButtonInsPgm, ButtonDelPgm, ButtonNewPgm,
                                                      CheckBoxConfirmDelete, ComboBoxInstr})
        w->setEnabled(false);

    placeControls(tabSheet);
    connectControls();
    connectPopup();
    undo_.setUndoLimit(kUndoLimit);
    refresh();
}

void UserProgramPage::placeControls(QWidget* tabSheet) {
    auto* controls = new QVBoxLayout;
    for (QWidget* w : std::initializer_list<QWidget*>{ButtonEditPgm, CheckBoxEditPgm, ComboBoxInstr,
                                                      ButtonInsPgm, ButtonDelPgm, CheckBoxConfirmDelete,
                                                      ButtonNewPgm, ButtonExpand, ButtonCollapse})
        controls->addWidget(w);
    controls->addStretch();
    auto* treeColumn = new QVBoxLayout;
    treeColumn->addWidget(LabelInstrNum);
    treeColumn->addWidget(TreeViewPgm);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(treeColumn, 1);
    layout->addLayout(controls);
    if (tabSheet->layout() == nullptr) {
        auto* sheetLayout = new QVBoxLayout(tabSheet);
        sheetLayout->addWidget(this);
    } else {
        tabSheet->layout()->addWidget(this);
    }
}

void UserProgramPage::connectControls() {
    connect(TreeViewPgm, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current) {
        if (mirror_->applying()) return;
        editor_.selectionChanged(current != nullptr ? std::optional(TreeViewMirror::pathOf(current))
                                                    : std::nullopt);
        refresh();
    });
    connect(TreeViewPgm, &QTreeWidget::itemDoubleClicked, this, [this] {
        recordEdit("Edit Parameter", [this] { editor_.doubleClick(CheckBoxEditPgm->isChecked()); });
    });
    connect(TreeViewPgm, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        if (CheckBoxEditPgm->isChecked()) popup_.PopupMenu1->popup(TreeViewPgm->viewport()->mapToGlobal(pos));
    });
    connect(ButtonInsPgm, &QPushButton::clicked, this, &UserProgramPage::ButtonInsPgmClick);
    connect(ButtonDelPgm, &QPushButton::clicked, this, &UserProgramPage::ButtonDelPgmClick);
    connect(ButtonNewPgm, &QPushButton::clicked, this, &UserProgramPage::ButtonNewPgmClick);
    connect(ButtonEditPgm, &QPushButton::clicked, this, &UserProgramPage::ButtonEditPgmClick);
    connect(CheckBoxEditPgm, &QCheckBox::clicked, this, &UserProgramPage::CheckBoxEditPgmClick);
    connect(ButtonExpand, &QPushButton::clicked, TreeViewPgm, &QTreeWidget::expandAll);
    connect(ButtonCollapse, &QPushButton::clicked, TreeViewPgm, &QTreeWidget::collapseAll);
}

// The menu's shortcuts act while the tree has the focus, and like the menu itself only while
// editing is enabled: with editing off the program cannot change by a stray key.
void UserProgramPage::connectPopup() {
    const std::pair<QAction*, void (UserProgramPage::*)()> actions[] = {
        {popup_.Cut1, &UserProgramPage::Cut1Click},
        {popup_.Copy1, &UserProgramPage::Copy1Click},
        {popup_.Paste1, &UserProgramPage::Paste1Click},
        {popup_.Delete1, &UserProgramPage::Delete1Click}};
    for (const auto& [action, handler] : actions) {
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        TreeViewPgm->addAction(action);
        connect(action, &QAction::triggered, this, [this, handler] {
            if (CheckBoxEditPgm->isChecked()) (this->*handler)();
        });
    }
}

UserProgramPage::~UserProgramPage() = default;

void UserProgramPage::refresh() {
    LabelInstrNum->setText(QString::fromStdString(editor_.labelText()));
    popup_.Paste1->setEnabled(editor_.pasteEnabled());
    emit changed();
}

bool UserProgramPage::editingEnabled() const {
    return CheckBoxEditPgm->isChecked();
}

void UserProgramPage::recordEdit(const char* text, const std::function<void()>& operation) {
    ProgramSnapshot before = ProgramSnapshot::of(program_);
    operation();
    ProgramSnapshot after = ProgramSnapshot::of(program_);
    if (!before.sameProgram(after)) {
        undo_.push(new ProgramEditCommand(QString::fromLatin1(text), program_, std::move(before),
                                          std::move(after), [this] {
                                              editor_.selectionChanged(program_.tree.selected());
                                              refresh();
                                          }));
    }
    refresh();
}

void UserProgramPage::selectNode(const NodePath& path) {
    if (isParameterNode(path)) editor_.selectionChanged(NodePath{path.front()});
    editor_.selectionChanged(path);
    refresh();
    if (QTreeWidgetItem* item = TreeViewPgm->currentItem()) {
        // A parameter of a collapsed instruction is shown by opening it.
        if (QTreeWidgetItem* parent = item->parent()) parent->setExpanded(true);
        TreeViewPgm->scrollToItem(item);
    }
    TreeViewPgm->setFocus();
}

void UserProgramPage::focusTree() {
    TreeViewPgm->setFocus();
}

QPoint UserProgramPage::editDialogPosition() const {
    QWidget* mainWindow = window();
    QPoint tabControl;
    for (QWidget* w = parentWidget(); w != nullptr && w != mainWindow; w = w->parentWidget())
        if (qobject_cast<QTabWidget*>(w)) {
            tabControl = w->mapTo(mainWindow, QPoint(0, 0));
            break;
        }
    const QPoint button = ButtonEditPgm->mapTo(parentWidget(), QPoint(0, 0));
    return mainWindow->pos() + tabControl + button + QPoint(0, 80);
}

void UserProgramPage::ButtonInsPgmClick() {
    recordEdit("Insert Instruction", [this] { editor_.insertInstruction(ComboBoxInstr->currentIndex()); });
}

void UserProgramPage::ButtonDelPgmClick() {
    recordEdit("Delete Instruction", [this] {
        editor_.deleteInstruction(ProgramEditor::DeleteBy::Button, CheckBoxConfirmDelete->isChecked());
    });
}

void UserProgramPage::Delete1Click() {
    recordEdit("Delete Instruction", [this] {
        editor_.deleteInstruction(ProgramEditor::DeleteBy::Menu, CheckBoxConfirmDelete->isChecked());
    });
}

void UserProgramPage::Cut1Click() {
    recordEdit("Cut", [this] { editor_.cutInstruction(); });
}

void UserProgramPage::Copy1Click() {
    editor_.copyInstruction();
    refresh();
}

void UserProgramPage::Paste1Click() {
    recordEdit("Paste", [this] { editor_.pasteInstruction(); });
}

void UserProgramPage::ButtonNewPgmClick() {
    if (!changes_.maySaveFirst({Part::Program})) return;
    recordEdit("New Program", [this] {
        if (editor_.newProgram()) TreeViewPgm->setFocus();
    });
}

void UserProgramPage::ButtonEditPgmClick() {
    recordEdit("Edit Parameter", [this] { editor_.editSelectedParameter(); });
}

void UserProgramPage::CheckBoxEditPgmClick() {
    const bool on = CheckBoxEditPgm->isChecked();
    for (QWidget* w : std::initializer_list<QWidget*>{ButtonEditPgm, ButtonInsPgm, ButtonDelPgm, ButtonNewPgm,
                                                      CheckBoxConfirmDelete, ComboBoxInstr})
        w->setEnabled(on);
    if (on) TreeViewPgm->setFocus();
    emit changed();
}

}  // namespace vrn::gui

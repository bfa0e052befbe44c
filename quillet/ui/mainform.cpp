// SPDX-License-Identifier: GPL-3.0-or-later
#include "quillet/ui/mainform.h"

#include <algorithm>

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QResizeEvent>
#include <QScopeGuard>
#include <QSet>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QStyle>
#include <QThread>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include <Qsci/qsciscintilla.h>

#include "platform/registrystore.h"
#include "quillet/core/buildcommand.h"
#include "quillet/core/compilermessage.h"
#include "quillet/core/scriptfile.h"
#include "quillet/ui/buildprocess.h"
#include "quillet/ui/findbar.h"
#include "quillet/ui/findinfilesdialog.h"
#include "quillet/ui/outputpane.h"
#include "quillet/ui/taboutbox.h"
#include "quillet/ui/tdlgbuildform.h"
#include "quillet/ui/textsearch.h"
#include "quillet/ui/tfrmeitoroptions.h"
#include "quillet/ui/tmdichild.h"
#include "quillet/ui/userprompts.h"

Q_LOGGING_CATEGORY(lcQuilletUi, "quillet.ui")

namespace quillet::ui {

namespace {

const QString kOpenFilter = QStringLiteral("Unreal Script Files (*.uc);;All files (*)");
const QString kSaveFilter = QStringLiteral("Unreal Script Files (*.uc)");
// Set on a document window placed to fill the whole area.
constexpr char kFillsAreaProperty[] = "fillsArea";

// An icon of the program's resources (":/icons/<name>.svg"), else the desktop theme's;
// empty when neither has it, and the button then shows its caption.
QIcon programIcon(const QString &name)
{
    const QString resource = QStringLiteral(":/icons/%1.svg").arg(name);
    if (QFile::exists(resource))
        return QIcon(resource);
    return QIcon::fromTheme(name);
}

} // namespace

TMainForm::TMainForm(platform::RegistryStore &store, UserPrompts &prompts, QWidget *parent)
    : QMainWindow(parent)
    , m_store(store)
    , m_registry(store)
    , m_prompts(prompts)
{
    setWindowTitle(QStringLiteral("Quillet"));
    setObjectName(QStringLiteral("MainForm"));
    m_mdiArea = new QMdiArea(this);
    m_mdiArea->setBackground(QApplication::palette().brush(QPalette::Dark));
    // The find bar sits under the document windows, above the output pane.
    auto *centre = new QWidget(this);
    auto *centreLayout = new QVBoxLayout(centre);
    centreLayout->setContentsMargins(0, 0, 0, 0);
    centreLayout->setSpacing(0);
    centreLayout->addWidget(m_mdiArea, 1);
    m_findBar = new FindBar(centre);
    m_findBar->hide();
    centreLayout->addWidget(m_findBar);
    setCentralWidget(centre);
    m_hintPanel = new QLabel(this);
    statusBar()->addWidget(m_hintPanel, 1);

    createActions();
    createMenusAndToolBar();
    connect(m_mdiArea, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow *window) {
        if (window) {
            if (auto *child = qobject_cast<TMDIChild *>(window->widget())) {
                child->UpdateCaretPanel();
                checkDiskChange(child);
            }
        }
        updateActions();
    });
    m_mdiArea->viewport()->installEventFilter(this);
    m_watcher = new QFileSystemWatcher(this);
    connect(m_watcher, &QFileSystemWatcher::fileChanged, this, &TMainForm::onFileChanged);
    updateActions();

    m_output = new OutputPane(this);
    addDockWidget(Qt::BottomDockWidgetArea, m_output);
    m_output->hide();
    OutputPane1->setChecked(false);
    // Connected to the action alone: the pane also reports its hiding while the main window
    // is being destroyed.
    connect(m_output, &QDockWidget::visibilityChanged, OutputPane1, &QAction::setChecked);
    connect(m_output, &OutputPane::locationActivated, this, &TMainForm::gotoLocation);
    connect(m_output, &OutputPane::stopRequested, this, &TMainForm::stopRunning);
    m_build = new BuildProcess(this);
    connect(m_build, &BuildProcess::lineRead, this, &TMainForm::onBuildLine);
    connect(m_build, &BuildProcess::finished, this, &TMainForm::onBuildFinished);
    connect(m_build, &BuildProcess::failedToStart, this, &TMainForm::onBuildFailedToStart);

    m_aboutBox = new TAboutBox(this);
    LoadEditorOptions();
}

TMainForm::~TMainForm()
{
    // The document windows outlive this part of the object while QWidget tears down its
    // children; their signals must not reach a half-destroyed main window.
    // Closed windows waiting for deletion are no longer listed, so look at every child.
    for (QMdiSubWindow *window : m_mdiArea->findChildren<QMdiSubWindow *>())
        window->disconnect(this);
    for (TMDIChild *child : m_mdiArea->findChildren<TMDIChild *>()) {
        child->disconnect(this);
        child->setCloseQuery({});
    }
    m_mdiArea->disconnect(this);
    // A search still reading files is told to stop and waited for.
    if (m_search)
        m_search->cancel = true;
    if (m_searchThread) {
        m_searchThread->disconnect(this);
        m_searchThread->wait();
        delete m_searchThread;
    }
}

QAction *TMainForm::makeAction(const QString &caption, const QString &hint, const QKeySequence &shortcut)
{
    auto *action = new QAction(caption, this);
    // The part before the bar is the button's tip, the part after it the status line's text.
    const qsizetype bar = hint.indexOf(u'|');
    action->setToolTip(bar < 0 ? hint : hint.left(bar));
    action->setStatusTip(bar < 0 ? hint : hint.mid(bar + 1));
    if (!shortcut.isEmpty())
        action->setShortcut(shortcut);
    return action;
}

void TMainForm::createActions()
{
    QStyle *style = QApplication::style();
    FileNew1 = makeAction(tr("&New"), tr("New|Create a new file"), QKeySequence(Qt::CTRL | Qt::Key_N));
    FileNew1->setIcon(style->standardIcon(QStyle::SP_FileIcon));
    FileOpen1 = makeAction(tr("&Open"), tr("Open|Open a file"), QKeySequence(Qt::CTRL | Qt::Key_O));
    FileOpen1->setIcon(style->standardIcon(QStyle::SP_DialogOpenButton));
    FileClose1 = makeAction(tr("&Close"), tr("Close|Close current file"));
    FileSave1 = makeAction(tr("&Save"), tr("Save|Save current file"), QKeySequence(Qt::CTRL | Qt::Key_S));
    FileSave1->setIcon(style->standardIcon(QStyle::SP_DialogSaveButton));
    FileSaveAs1 = makeAction(tr("Save &As..."), tr("Save As|Save current file with different name"));
    FileExit1 = makeAction(tr("E&xit"), tr("Exit|Exit application"));
    EditCut1 = makeAction(tr("Cu&t"), tr("Cut|Cuts the selection and puts it on the Clipboard"),
                          QKeySequence(Qt::CTRL | Qt::Key_X));
    EditCut1->setIcon(programIcon(QStringLiteral("edit-cut")));
    EditCopy1 = makeAction(tr("&Copy"), tr("Copy|Copies the selection and puts it on the Clipboard"),
                           QKeySequence(Qt::CTRL | Qt::Key_C));
    EditCopy1->setIcon(programIcon(QStringLiteral("edit-copy")));
    EditPaste1 = makeAction(tr("&Paste"), tr("Paste|Inserts Clipboard contents"), QKeySequence(Qt::CTRL | Qt::Key_V));
    EditPaste1->setIcon(programIcon(QStringLiteral("edit-paste")));
    mniBuild = makeAction(tr("&Build"), tr("Build"), QKeySequence(Qt::Key_F7));
    mniBuildCommand = makeAction(tr("Build &Command..."), tr("Build Command"));
    mniEditoOptions = makeAction(tr("&Editor Options"), QString());
    WindowCascade1 = makeAction(tr("&Cascade"), tr("Cascade"));
    WindowTileHorizontal1 = makeAction(tr("Tile &Horizontally"), tr("Tile Horizontally"));
    WindowTileVertical1 = makeAction(tr("Tile &Vertically"), tr("Tile Vertically"));
    WindowMinimizeAll1 = makeAction(tr("&Minimize All"), tr("Minimize All"));
    WindowArrangeAll1 = makeAction(tr("&Arrange All"), tr("Arrange All"));
    HelpAbout1 = makeAction(tr("&About..."), tr("About|Displays program information, version number, and copyright"));
    btnBuild = makeAction(tr("Build"), tr("Build"));
    btnBuild->setIcon(style->standardIcon(QStyle::SP_MediaPlay));
    btnBuildCommand = makeAction(tr("Build Command Line..."), tr("Build Command Line..."));
    btnBuildCommand->setIcon(style->standardIcon(QStyle::SP_FileDialogDetailedView));
    Find1 = makeAction(tr("&Find..."), tr("Find|Find text in the current file"), QKeySequence(Qt::CTRL | Qt::Key_F));
    Replace1 = makeAction(tr("&Replace..."), tr("Replace|Replace text in the current file"),
                          QKeySequence(Qt::CTRL | Qt::Key_H));
    Replace1->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_H), QKeySequence(Qt::CTRL | Qt::Key_R)});
    FindNext1 = makeAction(tr("Find &Next"), tr("Find next|Find the next match"), QKeySequence(Qt::Key_F3));
    FindPrevious1 = makeAction(tr("Find &Previous"), tr("Find previous|Find the previous match"),
                               QKeySequence(Qt::SHIFT | Qt::Key_F3));
    GotoLine1 =
        makeAction(tr("&Go to Line..."), tr("Go to line|Move the caret to a line"), QKeySequence(Qt::CTRL | Qt::Key_G));
    FindInFiles1 = makeAction(tr("Find in F&iles..."), tr("Find in files|Find text in every script of a folder"),
                              QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F));
    OutputPane1 = makeAction(tr("&Output Pane"), tr("Output|Show or hide the build output and search results"));
    OutputPane1->setCheckable(true);
    NextMessage1 = makeAction(tr("&Next Message"), tr("Next message|Go to the next error, warning or hit"),
                              QKeySequence(Qt::Key_F4));
    PreviousMessage1 =
        makeAction(tr("Pre&vious Message"), tr("Previous message|Go to the previous error, warning or hit"),
                   QKeySequence(Qt::SHIFT | Qt::Key_F4));
    StopBuild1 = makeAction(tr("&Stop"), tr("Stop|Stop the running build or search"));
    StopBuild1->setIcon(style->standardIcon(QStyle::SP_BrowserStop));
    WindowCascade1->setIcon(programIcon(QStringLiteral("window-cascade")));
    WindowTileHorizontal1->setIcon(programIcon(QStringLiteral("window-tile-horizontal")));
    WindowTileVertical1->setIcon(programIcon(QStringLiteral("window-tile-vertical")));

    connect(FileNew1, &QAction::triggered, this, [this] { FileNew1Execute(); });
    connect(FileOpen1, &QAction::triggered, this, &TMainForm::FileOpen1Execute);
    connect(FileClose1, &QAction::triggered, this, [this] {
        if (QMdiSubWindow *window = m_mdiArea->activeSubWindow())
            window->close();
    });
    connect(FileSave1, &QAction::triggered, this, &TMainForm::FileSave1Execute);
    connect(FileSaveAs1, &QAction::triggered, this, &TMainForm::FileSaveAs1Execute);
    connect(FileExit1, &QAction::triggered, this, &TMainForm::FileExit1Execute);
    connect(EditCut1, &QAction::triggered, this, [this] {
        if (TMDIChild *child = activeEditor())
            child->mwCustomEdit1->cut();
    });
    connect(EditCopy1, &QAction::triggered, this, [this] {
        if (TMDIChild *child = activeEditor())
            child->mwCustomEdit1->copy();
    });
    connect(EditPaste1, &QAction::triggered, this, [this] {
        if (TMDIChild *child = activeEditor())
            child->mwCustomEdit1->paste();
    });
    connect(mniBuild, &QAction::triggered, this, &TMainForm::mniBuildClick);
    connect(btnBuild, &QAction::triggered, this, &TMainForm::mniBuildClick);
    connect(mniBuildCommand, &QAction::triggered, this, &TMainForm::mniBuildCommandClick);
    connect(btnBuildCommand, &QAction::triggered, this, &TMainForm::mniBuildCommandClick);
    connect(mniEditoOptions, &QAction::triggered, this, &TMainForm::mniEditoOptionsClick);
    connect(WindowCascade1, &QAction::triggered, this, &TMainForm::cascade);
    connect(WindowTileHorizontal1, &QAction::triggered, this, &TMainForm::tileHorizontally);
    connect(WindowTileVertical1, &QAction::triggered, this, &TMainForm::tileVertically);
    connect(WindowMinimizeAll1, &QAction::triggered, this, &TMainForm::minimizeAll);
    connect(WindowArrangeAll1, &QAction::triggered, this, &TMainForm::arrangeAll);
    connect(HelpAbout1, &QAction::triggered, this, &TMainForm::HelpAbout1Execute);
    connect(OutputPane1, &QAction::triggered, this, [this](bool shown) {
        if (shown)
            showOutputPane();
        else
            m_output->hide();
    });
    connect(NextMessage1, &QAction::triggered, this, [this] {
        showOutputPane();
        m_output->gotoNext();
    });
    connect(PreviousMessage1, &QAction::triggered, this, [this] {
        showOutputPane();
        m_output->gotoPrevious();
    });
    connect(StopBuild1, &QAction::triggered, this, &TMainForm::stopRunning);
    connect(Find1, &QAction::triggered, this, [this] { openFindBar(false); });
    connect(Replace1, &QAction::triggered, this, [this] { openFindBar(true); });
    connect(FindNext1, &QAction::triggered, this, [this] { findNext(true); });
    connect(FindPrevious1, &QAction::triggered, this, [this] { findNext(false); });
    connect(GotoLine1, &QAction::triggered, this, &TMainForm::gotoLine);
    connect(FindInFiles1, &QAction::triggered, this, &TMainForm::findInFiles);
}

void TMainForm::createMenusAndToolBar()
{
    QMenu *file = menuBar()->addMenu(tr("&File"));
    file->addActions({FileNew1, FileOpen1, FileClose1, FileSave1, FileSaveAs1});
    file->addSeparator();
    file->addAction(FileExit1);
    QMenu *edit = menuBar()->addMenu(tr("&Edit"));
    edit->addActions({EditCut1, EditCopy1, EditPaste1});
    menuBar()->addMenu(tr("&Classes"));
    QMenu *options = menuBar()->addMenu(tr("&Options"));
    options->addActions({mniBuild, mniBuildCommand});
    options->addSeparator();
    options->addAction(mniEditoOptions);
    Tools1 = menuBar()->addMenu(tr("&Tools"));
    Tools1->addActions({Find1, Replace1, FindNext1, FindPrevious1, GotoLine1});
    Tools1->addSeparator();
    Tools1->addAction(FindInFiles1);
    Tools1->addSeparator();
    Tools1->addActions({OutputPane1, NextMessage1, PreviousMessage1, StopBuild1});
    connect(m_findBar, &FindBar::findRequested, this, &TMainForm::findNext);
    connect(m_findBar, &FindBar::replaceRequested, this, &TMainForm::replaceNext);
    connect(m_findBar, &FindBar::replaceAllRequested, this, &TMainForm::replaceAll);
    connect(m_findBar, &FindBar::closed, this, [this] {
        if (TMDIChild *child = activeEditor())
            child->mwCustomEdit1->setFocus();
    });
    Window1 = menuBar()->addMenu(tr("&Window"));
    connect(Window1, &QMenu::aboutToShow, this, &TMainForm::updateWindowMenu);
    updateWindowMenu();
    QMenu *help = menuBar()->addMenu(tr("&Help"));
    help->addAction(HelpAbout1);
    // A menu closed by a click or a key leaves no hint behind.
    for (QMenu *menu : menuBar()->findChildren<QMenu *>())
        connect(menu, &QMenu::aboutToHide, m_hintPanel, &QLabel::clear);

    ToolBar2 = addToolBar(tr("Tools"));
    ToolBar2->setObjectName(QStringLiteral("ToolBar2"));
    ToolBar2->setMovable(false);
    ToolBar2->addActions({FileNew1, FileOpen1, FileSave1});
    ToolBar2->addSeparator();
    ToolBar2->addActions({EditCut1, EditCopy1, EditPaste1});
    ToolBar2->addSeparator();
    ToolBar2->addActions({WindowCascade1, WindowTileHorizontal1, WindowTileVertical1});
    ToolBar2->addSeparator();
    ToolBar2->addActions({btnBuild, btnBuildCommand});
}

void TMainForm::updateWindowMenu()
{
    Window1->clear();
    Window1->addActions(
        {WindowCascade1, WindowTileHorizontal1, WindowTileVertical1, WindowMinimizeAll1, WindowArrangeAll1});
    const QList<QMdiSubWindow *> windows = m_mdiArea->subWindowList();
    if (!windows.isEmpty())
        Window1->addSeparator();
    int number = 1;
    for (QMdiSubWindow *window : windows) {
        QAction *item = Window1->addAction(QStringLiteral("&%1 %2").arg(number++).arg(window->windowTitle()));
        item->setCheckable(true);
        item->setChecked(window == m_mdiArea->activeSubWindow());
        connect(item, &QAction::triggered, window, [this, window] { m_mdiArea->setActiveSubWindow(window); });
    }
}

void TMainForm::updateActions()
{
    const bool hasEditor = activeEditor() != nullptr;
    for (QAction *action : {FileClose1, FileSave1, FileSaveAs1, EditCut1, EditCopy1, EditPaste1})
        action->setEnabled(hasEditor);
}

QString TMainForm::statusText() const
{
    return m_hintPanel->text();
}

QList<TMDIChild *> TMainForm::editorWindows() const
{
    QList<TMDIChild *> children;
    for (QMdiSubWindow *window : m_mdiArea->subWindowList()) {
        if (auto *child = qobject_cast<TMDIChild *>(window->widget()))
            children.append(child);
    }
    return children;
}

TMDIChild *TMainForm::activeEditor() const
{
    QMdiSubWindow *window = m_mdiArea->activeSubWindow();
    if (!window) {
        // Without window-system focus (offscreen, or the frame in the background) the most
        // recently activated window counts.
        const QList<QMdiSubWindow *> windows = m_mdiArea->subWindowList(QMdiArea::ActivationHistoryOrder);
        window = windows.isEmpty() ? nullptr : windows.last();
    }
    return window ? qobject_cast<TMDIChild *>(window->widget()) : nullptr;
}

TMDIChild *TMainForm::createEditorWindow(const QString &caption)
{
    auto *child = new TMDIChild;
    child->setFileName(caption);
    child->setCloseQuery([this](TMDIChild &closing) { return FormCloseQuery(&closing); });
    // Where the next window goes: the first fills the area, the others step down and right
    // from the active one at two thirds of the area, always fully inside it.
    QMdiSubWindow *previous = m_mdiArea->activeSubWindow();
    if (previous && (previous->isMinimized() || previous->isMaximized()))
        previous = nullptr;
    const bool first = m_mdiArea->subWindowList().isEmpty();
    QMdiSubWindow *window = m_mdiArea->addSubWindow(child);
    window->setAttribute(Qt::WA_DeleteOnClose);
    connect(window, &QObject::destroyed, this, [this] { updateActions(); });
    ApplyEditorOptions();
    window->show();
    const QRect area = m_mdiArea->viewport()->rect();
    if (first) {
        window->setGeometry(area);
        window->setProperty(kFillsAreaProperty, true);
    } else {
        const QSize size = cascadeSize();
        QPoint at = previous ? previous->pos() + QPoint(cascadeStep(), cascadeStep()) : QPoint(0, 0);
        if (!area.contains(QRect(at, size)))
            at = QPoint(0, 0);
        window->setGeometry(QRect(at, size));
    }
    m_mdiArea->setActiveSubWindow(window);
    child->mwCustomEdit1->setFocus();
    updateActions();
    return child;
}

TMDIChild *TMainForm::FileNew1Execute()
{
    const qsizetype number = m_mdiArea->subWindowList().size() + 1;
    return createEditorWindow(QStringLiteral("Untitled%1.uc").arg(number));
}

void TMainForm::FileOpen1Execute()
{
    const auto workingDir = m_registry.RegReadString(core::kQuillKey, QStringLiteral("WorkingDir"));
    const QString directory = workingDir ? *workingDir : QString();
    const QString path = m_prompts.openFileName(this, directory, kOpenFilter);
    if (path.isEmpty())
        return;
    m_registry.RegWriteString(core::kQuillKey, QStringLiteral("WorkingDir"), core::directoryOfFile(path));
    OpenScriptFile(path);
}

TMDIChild *TMainForm::OpenScriptFile(const QString &path)
{
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const auto restoreCursor = qScopeGuard([] { QGuiApplication::restoreOverrideCursor(); });

    // A file has one window: opening it again brings that window forward.
    if (TMDIChild *open = findEditor(path)) {
        if (auto *window = qobject_cast<QMdiSubWindow *>(open->parentWidget())) {
            if (window->isMinimized())
                window->showNormal();
            m_mdiArea->setActiveSubWindow(window);
        }
        open->mwCustomEdit1->setFocus();
        return open;
    }
    // A file that cannot be written opens for viewing only; it is never written on opening.
    auto prepared = core::prepareScriptFile(path, m_options.EditorTabTranslation);
    if (!prepared) {
        m_prompts.error(this, tr("Cannot open file %1").arg(QDir::toNativeSeparators(path)));
        return nullptr;
    }
    TMDIChild *child = createEditorWindow(path);
    child->loadText(prepared.value().text);
    child->setFileName(path);
    child->setReadOnly(prepared.value().readOnly);
    child->UpdateCaretPanel();
    watch(child);
    return child;
}

bool TMainForm::saveToFile(TMDIChild *child, const QString &path)
{
    const platform::Status written = core::writeScriptFile(path, child->text());
    if (!written) {
        // Say why: a full disk, a folder without write permission, a read-only file.
        m_prompts.error(this, tr("Cannot create file %1").arg(QDir::toNativeSeparators(path)) + QStringLiteral("\n\n") +
                                  written.error().message);
        return false;
    }
    return true;
}

bool TMainForm::saveChild(TMDIChild *child)
{
    // A read-only file is saved under another name, like one that was never saved.
    if (core::isUnsavedName(child->FileName()) || child->isReadOnly())
        return saveChildAs(child);
    // Another program wrote the file since this window read it: its work is not overwritten
    // unasked.
    const core::DiskStamp onDisk = core::diskStampOf(child->FileName());
    if (onDisk.exists && onDisk != child->loadedStamp() &&
        !m_prompts.confirmDefaultNo(this, tr("The file %1 has been changed on disk since it was opened or saved here. "
                                             "Overwrite it with the text of this window?")
                                              .arg(QDir::toNativeSeparators(child->FileName()))))
        return false;
    if (!saveToFile(child, child->FileName()))
        return false;
    child->setModified(false);
    watch(child);
    return true;
}

bool TMainForm::saveChildAs(TMDIChild *child)
{
    const QString path = m_prompts.saveFileName(this, child->FileName(), kSaveFilter);
    if (path.isEmpty())
        return false;
    // Two windows on one file would overwrite each other's work.
    if (TMDIChild *other = findEditor(path); other && other != child) {
        m_prompts.error(this, tr("Cannot create file %1").arg(QDir::toNativeSeparators(path)) + QStringLiteral("\n\n") +
                                  tr("The file is open in another window."));
        return false;
    }
    if (!saveToFile(child, path))
        return false;
    if (!core::isUnsavedName(child->FileName()))
        m_watcher->removePath(child->FileName());
    child->setFileName(path);
    child->setReadOnly(false);
    child->setModified(false);
    watch(child);
    return true;
}

void TMainForm::FileSave1Execute()
{
    if (TMDIChild *child = activeEditor())
        saveChild(child);
}

void TMainForm::FileSaveAs1Execute()
{
    if (TMDIChild *child = activeEditor())
        saveChildAs(child);
}

void TMainForm::FileExit1Execute()
{
    close();
}

bool TMainForm::FormCloseQuery(TMDIChild *child)
{
    if (m_closingAll || !child->Modified())
        return true;
    // Show which file the question is about.
    if (auto *window = qobject_cast<QMdiSubWindow *>(child->parentWidget()))
        m_mdiArea->setActiveSubWindow(window);
    switch (m_prompts.askToSave(this, tr("This Unreal Script File has been modified since you last opened it. Would "
                                         "you like to save it before closing?"))) {
    case SaveAnswer::No:
        return true;
    case SaveAnswer::Cancel:
        return false;
    case SaveAnswer::Yes:
        break;
    }
    // The edits must not be lost: a cancelled or failed save keeps the window open.
    return saveChild(child);
}

void TMainForm::closeEvent(QCloseEvent *event)
{
    // Each modified window is asked in turn before any window closes: a cancelled question,
    // or a save that was cancelled or failed, keeps every window and the program open.
    const QList<TMDIChild *> children = editorWindows();
    for (TMDIChild *child : children) {
        if (!FormCloseQuery(child)) {
            event->ignore();
            return;
        }
    }
    m_closingAll = true;
    for (QMdiSubWindow *window : m_mdiArea->subWindowList())
        window->close();
    m_closingAll = false;
    event->accept();
}

bool TMainForm::event(QEvent *event)
{
    // Menus and tool-bar buttons send their hint when the mouse comes onto them and an empty
    // one when it leaves, so the status line never keeps a stale hint.
    // Coming back to the program is when changes made by other programs are noticed.
    if (event->type() == QEvent::WindowActivate) {
        if (TMDIChild *child = activeEditor())
            QTimer::singleShot(0, child, [this, child] { checkDiskChange(child); });
    }
    if (event->type() == QEvent::StatusTip) {
        m_hintPanel->setText(static_cast<QStatusTipEvent *>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

void TMainForm::reportError(const platform::Error &error)
{
    m_prompts.error(this, error.message);
}

void TMainForm::LoadEditorOptions()
{
    if (!m_registry.RegKeyExists(core::kQuillKey)) {
        // Nothing stored yet: start from a readable scheme instead of black on black, so
        // the editor stays usable whether the dialog below is confirmed or cancelled.
        m_options.tokenStyles = core::firstRunTokenStyles();
        m_prompts.information(
            this, tr("Quill has detected that this is either the first time it has been run, or your registry has "
                     "recently changed. You MUST now enter your editor options. If you do not correctly set your "
                     "editor options, you may make things really nasty."));
        mniEditoOptionsClick();
        return;
    }
    const platform::Status loaded = core::loadEditorOptions(m_registry, m_options);
    if (!loaded)
        reportError(loaded.error());
}

void TMainForm::SaveEditorOptions()
{
    if (!core::saveEditorOptions(m_registry, m_options))
        qCWarning(lcQuilletUi) << "Could not write the editor options to" << m_store.filePath();
}

void TMainForm::ApplyEditorOptions()
{
    for (TMDIChild *child : editorWindows())
        child->applyEditorOptions(m_options);
}

void TMainForm::mniEditoOptionsClick()
{
    TfrmEitorOptions dialog(this);
    dialog.setEditorOptions(m_options);
    if (m_prompts.execDialog(dialog) != QDialog::Accepted)
        return;
    m_options = dialog.editorOptions();
    ApplyEditorOptions();
    SaveEditorOptions();
}

void TMainForm::HelpAbout1Execute()
{
    m_prompts.execDialog(*m_aboutBox);
}

int TMainForm::cascadeStep() const
{
    return style()->pixelMetric(QStyle::PM_TitleBarHeight) + 4;
}

QSize TMainForm::cascadeSize() const
{
    const QSize area = m_mdiArea->viewport()->size();
    return {std::min(area.width(), std::max(320, area.width() * 2 / 3)),
            std::min(area.height(), std::max(240, area.height() * 2 / 3))};
}

void TMainForm::cascade()
{
    // Each window keeps a useful size (two thirds of the area), one title bar below and
    // right of the one before, starting again at the corner before leaving the area.
    const QRect area = m_mdiArea->viewport()->rect();
    const QSize size = cascadeSize();
    const int step = cascadeStep();
    int offset = 0;
    for (QMdiSubWindow *window : m_mdiArea->subWindowList(QMdiArea::StackingOrder)) {
        if (window->isMinimized())
            continue;
        window->showNormal();
        if (!area.contains(QRect(QPoint(offset, offset), size)))
            offset = 0;
        window->setGeometry(QRect(QPoint(offset, offset), size));
        window->raise();
        offset += step;
    }
    if (QMdiSubWindow *active = m_mdiArea->activeSubWindow())
        active->raise();
}

bool TMainForm::eventFilter(QObject *watched, QEvent *event)
{
    // A window that filled the area (the first one of a start) keeps filling it when the
    // area changes size, as it does when the frame is maximised after the files opened.
    if (watched == m_mdiArea->viewport() && event->type() == QEvent::Resize) {
        const auto *resize = static_cast<QResizeEvent *>(event);
        const QRect before(QPoint(0, 0), resize->oldSize());
        for (QMdiSubWindow *window : m_mdiArea->subWindowList()) {
            if (window->property(kFillsAreaProperty).toBool() && !window->isMinimized() && !window->isMaximized() &&
                window->geometry() == before)
                window->setGeometry(QRect(QPoint(0, 0), resize->size()));
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TMainForm::tileHorizontally()
{
    // One window above the other, each as wide as the area.
    tile(Qt::Vertical);
}

void TMainForm::tileVertically()
{
    // Side by side, each as high as the area.
    tile(Qt::Horizontal);
}

void TMainForm::tile(Qt::Orientation direction)
{
    QList<QMdiSubWindow *> windows;
    for (QMdiSubWindow *window : m_mdiArea->subWindowList()) {
        if (!window->isMinimized())
            windows.append(window);
    }
    if (windows.isEmpty())
        return;
    const QRect area = m_mdiArea->viewport()->rect();
    const int count = static_cast<int>(windows.size());
    const bool stacked = direction == Qt::Vertical;
    const int step = (stacked ? area.height() : area.width()) / count;
    int offset = 0;
    for (QMdiSubWindow *window : windows) {
        window->showNormal();
        if (stacked)
            window->setGeometry(0, offset, area.width(), step);
        else
            window->setGeometry(offset, 0, step, area.height());
        offset += step;
    }
}

void TMainForm::minimizeAll()
{
    for (QMdiSubWindow *window : m_mdiArea->subWindowList())
        window->showMinimized();
}

void TMainForm::arrangeAll()
{
    // Lines the minimised windows up along the bottom edge.
    const QRect area = m_mdiArea->viewport()->rect();
    int x = 0;
    int y = area.bottom();
    for (QMdiSubWindow *window : m_mdiArea->subWindowList()) {
        if (!window->isMinimized())
            continue;
        const QSize size = window->size();
        if (x > 0 && x + size.width() > area.width()) {
            x = 0;
            y -= size.height();
        }
        window->move(x, y - size.height() + 1);
        x += size.width();
    }
}

} // namespace quillet::ui

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <memory>

#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QThread>

#include "quillet/core/editoroptions.h"
#include "quillet/core/findinfiles.h"
#include "quillet/core/registry_access.h"

class QAction;
class QLabel;
class QFileSystemWatcher;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;

namespace platform {
class RegistryStore;
}

namespace quillet::ui {

class BuildProcess;
class FindBar;
enum class SearchResult;
class OutputPane;
struct SourceLocation;
class TAboutBox;
class TMDIChild;
class UserPrompts;

// The editor's frame window: menus, tool bar, the document windows and the options that
// hold for the whole run. Settings live in the given store (the current user's root) under
// "Software\Quill\"; every question to the user goes through the given prompts.
class TMainForm : public QMainWindow
{
    Q_OBJECT

public:
    TMainForm(platform::RegistryStore &store, UserPrompts &prompts, QWidget *parent = nullptr);
    ~TMainForm() override;

    QMdiArea *mdiArea() const { return m_mdiArea; }
    QList<TMDIChild *> editorWindows() const;
    TMDIChild *activeEditor() const;
    const core::EditorOptions &editorOptions() const { return m_options; }
    // The text of the status line (hints, build start).
    QString statusText() const;

    // File commands.
    TMDIChild *FileNew1Execute();
    void FileOpen1Execute();
    TMDIChild *OpenScriptFile(const QString &path);
    void FileSave1Execute();
    void FileSaveAs1Execute();
    void FileExit1Execute();

    // Options and build.
    void LoadEditorOptions();
    void SaveEditorOptions();
    void ApplyEditorOptions();
    void mniEditoOptionsClick();
    void mniBuildClick();
    void mniBuildCommandClick();
    void HelpAbout1Execute();

    // The pane with the compiler's output and search hits, at the bottom.
    OutputPane *outputPane() const { return m_output; }
    void showOutputPane();
    // Opens the file (or brings its window forward) with the caret at the start of the line.
    void gotoLocation(const quillet::ui::SourceLocation &location);
    // The window showing this file, if one does.
    TMDIChild *findEditor(const QString &path) const;
    // Find and replace in the active document through the find bar, and go to line.
    FindBar *findBar() const { return m_findBar; }
    void openFindBar(bool withReplace);
    void findNext(bool forward);
    void replaceNext();
    void replaceAll();
    void gotoLine();
    // Searches the scripts of a folder and lists the hits in the output pane.
    void findInFiles();
    void startFileSearch(const core::TextPattern &pattern, const QString &folder, bool packageClassesOnly);
    bool isSearchingFiles() const { return m_search != nullptr; }
    // Stops a running build (or search).
    void stopRunning();

    // Window arrangement.
    void cascade();
    void tileHorizontally();
    void tileVertically();
    void minimizeAll();
    void arrangeAll();

    QAction *FileNew1 = nullptr;
    QAction *FileOpen1 = nullptr;
    QAction *FileClose1 = nullptr;
    QAction *FileSave1 = nullptr;
    QAction *FileSaveAs1 = nullptr;
    QAction *FileExit1 = nullptr;
    QAction *EditCut1 = nullptr;
    QAction *EditCopy1 = nullptr;
    QAction *EditPaste1 = nullptr;
    QAction *mniBuild = nullptr;
    QAction *mniBuildCommand = nullptr;
    QAction *mniEditoOptions = nullptr;
    QAction *WindowCascade1 = nullptr;
    QAction *WindowTileHorizontal1 = nullptr;
    QAction *WindowTileVertical1 = nullptr;
    QAction *WindowMinimizeAll1 = nullptr;
    QAction *WindowArrangeAll1 = nullptr;
    QAction *HelpAbout1 = nullptr;
    QAction *btnBuild = nullptr;
    QAction *btnBuildCommand = nullptr;
    QAction *Find1 = nullptr;
    QAction *Replace1 = nullptr;
    QAction *FindNext1 = nullptr;
    QAction *FindPrevious1 = nullptr;
    QAction *GotoLine1 = nullptr;
    QAction *FindInFiles1 = nullptr;
    QAction *OutputPane1 = nullptr;
    QAction *NextMessage1 = nullptr;
    QAction *PreviousMessage1 = nullptr;
    QAction *StopBuild1 = nullptr;
    QMenu *Tools1 = nullptr;
    QMenu *Window1 = nullptr;
    QToolBar *ToolBar2 = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Lays the open, not minimised document windows out one after another in that direction.
    void tile(Qt::Orientation direction);
    int cascadeStep() const;
    QSize cascadeSize() const;
    QAction *makeAction(const QString &caption, const QString &hint, const QKeySequence &shortcut = {});
    void createActions();
    void createMenusAndToolBar();
    void updateWindowMenu();
    void updateActions();
    TMDIChild *createEditorWindow(const QString &caption);
    // Writes the window's text to its file; false (after the error message) when it failed.
    bool saveToFile(TMDIChild *child, const QString &path);
    // False when the text was not written (cancelled, or the write failed).
    bool saveChild(TMDIChild *child);
    bool saveChildAs(TMDIChild *child);
    // Whether the window may close; asks about unsaved changes.
    bool FormCloseQuery(TMDIChild *child);
    void reportError(const platform::Error &error);
    void showSearchResult(SearchResult result);
    // Remembers the file as this window now matches it and watches it for changes.
    void watch(TMDIChild *child);
    void onFileChanged(const QString &path);
    // Tells the user once about a change on disk and offers to reload; never reloads unasked.
    void checkDiskChange(TMDIChild *child);
    void reloadChild(TMDIChild *child);
    struct FileSearch
    {
        std::atomic<bool> cancel{false};
        QList<core::FileHit> hits;
        qsizetype files = 0;
        qint64 milliseconds = 0;
    };
    void showFileSearchResults(const FileSearch &search);
    void onBuildLine(const QString &line);
    void onBuildFinished(int exitStatus, bool stopped, bool crashed, qint64 milliseconds);
    void onBuildFailedToStart(const QString &reason);

    platform::RegistryStore &m_store;
    core::Registry_Access m_registry;
    UserPrompts &m_prompts;
    core::EditorOptions m_options;
    QMdiArea *m_mdiArea = nullptr;
    QLabel *m_hintPanel = nullptr;
    TAboutBox *m_aboutBox = nullptr;
    QList<QAction *> m_windowListActions;
    // Set while Exit closes windows whose question was already answered.
    bool m_closingAll = false;
    OutputPane *m_output = nullptr;
    FindBar *m_findBar = nullptr;
    QFileSystemWatcher *m_watcher = nullptr;
    bool m_checkingDisk = false;
    std::shared_ptr<FileSearch> m_search;
    QPointer<QThread> m_searchThread;
    core::TextPattern m_lastFileSearch;
    QString m_lastSearchFolder;
    BuildProcess *m_build = nullptr;
    QString m_buildDir;
    int m_buildErrors = 0;
    int m_buildWarnings = 0;
};

} // namespace quillet::ui

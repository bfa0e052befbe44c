// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's tools: the build and its output pane, find and replace, the watch for
// changes on disk, and find in files.
#include "quillet/ui/mainform.h"

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
#include <algorithm>

namespace quillet::ui {

void TMainForm::mniBuildCommandClick()
{
    TdlgBuildForm dialog(this);
    const auto stored = m_registry.RegReadString(core::kQuillKey, QStringLiteral("BuildCommand"));
    if (stored && !stored->isEmpty())
        dialog.edtBuildCommand->setText(*stored);
    else // the compiler that is installed in the configured game folder
        dialog.edtBuildCommand->setText(core::defaultBuildCommand(m_options.UTSysDir));
    if (m_prompts.execDialog(dialog) == QDialog::Accepted)
        m_registry.RegWriteString(core::kQuillKey, QStringLiteral("BuildCommand"),
                                  dialog.edtBuildCommand->text().trimmed());
}

void TMainForm::mniBuildClick()
{
    const auto stored = m_registry.RegReadString(core::kQuillKey, QStringLiteral("BuildCommand"));
    if (!stored) {
        reportError(stored.error());
        return;
    }
    const std::optional<core::BuildCommand> build = core::parseBuildCommand(*stored);
    if (!build) {
        m_prompts.information(this, tr("Quill has determined that you have not set your Build command properly, or "
                                       "your registry settings have changed. You must enter the correct information "
                                       "to build."));
        mniBuildCommandClick();
        return;
    }
    if (m_build->isRunning() || m_search) {
        showOutputPane();
        m_hintPanel->setText(tr("The output pane is busy; stop the build or search first."));
        return;
    }
    // The compiler's output goes to the pane, line by line, marked where it names a script.
    m_output->clear();
    showOutputPane();
    m_buildDir = build->workingDir;
    m_buildErrors = 0;
    m_buildWarnings = 0;
    QStringList shown{build->program};
    shown += build->arguments;
    m_output->appendLine(tr("Building: %1 (in %2)").arg(shown.join(u' '), QDir::toNativeSeparators(build->workingDir)));
    m_output->setRunning(true);
    m_build->start(*build);
}

void TMainForm::onBuildLine(const QString &line)
{
    if (const auto message = core::parseCompilerMessage(line))
        ++(message->kind == core::MessageKind::Warning ? m_buildWarnings : m_buildErrors);
    m_output->appendCompilerLine(line, m_buildDir);
}

void TMainForm::onBuildFinished(int exitStatus, bool stopped, bool crashed, qint64 milliseconds)
{
    const QString time = QString::number(static_cast<double>(milliseconds) / 1000.0, 'f', 1);
    QString summary;
    if (stopped)
        summary = tr("Build stopped after %1 s.").arg(time);
    else if (crashed)
        summary = tr("The compiler ended abnormally after %1 s.").arg(time);
    else
        summary = tr("Build finished with exit status %1 after %2 s: %3 error(s), %4 warning(s).")
                      .arg(exitStatus)
                      .arg(time)
                      .arg(m_buildErrors)
                      .arg(m_buildWarnings);
    m_output->appendLine(summary);
    m_output->setRunning(false);
    m_hintPanel->setText(summary);
}

void TMainForm::onBuildFailedToStart(const QString &reason)
{
    m_output->appendLine(reason, OutputPane::Mark::Error);
    m_output->setRunning(m_build->isRunning());
    m_hintPanel->setText(reason);
}

void TMainForm::showOutputPane()
{
    m_output->show();
    m_output->raise();
}

void TMainForm::gotoLocation(const SourceLocation &location)
{
    TMDIChild *child = findEditor(location.file);
    if (!child)
        child = OpenScriptFile(location.file);
    if (!child)
        return;
    if (auto *window = qobject_cast<QMdiSubWindow *>(child->parentWidget())) {
        if (window->isMinimized())
            window->showNormal();
        m_mdiArea->setActiveSubWindow(window);
    }
    const int line = std::clamp(location.line - 1, 0, std::max(0, child->mwCustomEdit1->lines() - 1));
    child->mwCustomEdit1->setCursorPosition(line, 0);
    // The line a third down the view, with what leads up to it above.
    const long onScreen = child->mwCustomEdit1->SendScintilla(QsciScintillaBase::SCI_LINESONSCREEN);
    child->mwCustomEdit1->setFirstVisibleLine(std::max(0, line - static_cast<int>(onScreen / 3)));
    child->mwCustomEdit1->ensureLineVisible(line);
    child->mwCustomEdit1->setFocus();
    child->UpdateCaretPanel();
}

TMDIChild *TMainForm::findEditor(const QString &path) const
{
    const QString wanted = core::fileIdentity(path);
    for (TMDIChild *child : editorWindows()) {
        if (!core::isUnsavedName(child->FileName()) && core::fileIdentity(child->FileName()) == wanted)
            return child;
    }
    return nullptr;
}

void TMainForm::openFindBar(bool withReplace)
{
    // A selection within one line is what the user wants to find.
    QString text;
    if (TMDIChild *child = activeEditor()) {
        const QString selected = child->mwCustomEdit1->selectedText();
        if (!selected.contains(u'\n') && !selected.contains(u'\r'))
            text = selected;
    }
    m_findBar->open(withReplace, text);
}

void TMainForm::showSearchResult(SearchResult result)
{
    QString text;
    switch (result) {
    case SearchResult::Found:
        break;
    case SearchResult::FoundAfterWrapping:
        text = tr("Wrapped around");
        break;
    case SearchResult::NotFound:
        text = tr("Not found");
        break;
    case SearchResult::InvalidPattern:
        text = tr("Invalid regular expression");
        break;
    }
    m_findBar->setMessage(text);
    m_hintPanel->setText(text);
}

void TMainForm::findNext(bool forward)
{
    TMDIChild *child = activeEditor();
    if (!child)
        return;
    if (m_findBar->pattern().text.isEmpty()) {
        openFindBar(false);
        return;
    }
    showSearchResult(findInEditor(*child->mwCustomEdit1, m_findBar->pattern(), forward, m_findBar->wrap()));
}

void TMainForm::replaceNext()
{
    if (TMDIChild *child = activeEditor())
        showSearchResult(
            replaceInEditor(*child->mwCustomEdit1, m_findBar->pattern(), m_findBar->replacement(), m_findBar->wrap()));
}

void TMainForm::replaceAll()
{
    TMDIChild *child = activeEditor();
    if (!child)
        return;
    const int count = replaceAllInEditor(*child->mwCustomEdit1, m_findBar->pattern(), m_findBar->replacement());
    const QString text = count < 0 ? tr("Invalid regular expression") : tr("%n replacement(s)", nullptr, count);
    m_findBar->setMessage(text);
    m_hintPanel->setText(text);
}

void TMainForm::gotoLine()
{
    TMDIChild *child = activeEditor();
    if (!child)
        return;
    int line = 0;
    int index = 0;
    child->mwCustomEdit1->getCursorPosition(&line, &index);
    GotoLineDialog dialog(line + 1, child->mwCustomEdit1->lines(), this);
    if (m_prompts.execDialog(dialog) != QDialog::Accepted)
        return;
    child->mwCustomEdit1->setCursorPosition(dialog.line() - 1, 0);
    child->mwCustomEdit1->ensureLineVisible(dialog.line() - 1);
    child->mwCustomEdit1->setFocus();
    child->UpdateCaretPanel();
}

void TMainForm::watch(TMDIChild *child)
{
    child->setLoadedStamp(core::diskStampOf(child->FileName()));
    // A file replaced by a new one (as saving does) is no longer watched: watch its name anew.
    m_watcher->removePath(child->FileName());
    m_watcher->addPath(child->FileName());
}

void TMainForm::onFileChanged(const QString &path)
{
    if (QFileInfo::exists(path) && !m_watcher->files().contains(path))
        m_watcher->addPath(path);
    // The window the user looks at is asked at once; the others when they are activated.
    TMDIChild *child = findEditor(path);
    if (child && child == activeEditor() && isActiveWindow())
        QTimer::singleShot(0, child, [this, child] { checkDiskChange(child); });
}

void TMainForm::checkDiskChange(TMDIChild *child)
{
    // Nothing to compare with before the window has read its file.
    if (m_checkingDisk || core::isUnsavedName(child->FileName()) || !child->loadedStamp().exists)
        return;
    const core::DiskStamp onDisk = core::diskStampOf(child->FileName());
    if (onDisk == child->noticedStamp())
        return;
    m_checkingDisk = true;
    const auto done = qScopeGuard([this] { m_checkingDisk = false; });
    child->setNoticedStamp(onDisk);
    const QString name = QDir::toNativeSeparators(child->FileName());
    if (!onDisk.exists) {
        // Keep the text; closing the window now asks to save it.
        m_prompts.information(this, tr("The file %1 has been deleted or moved on disk. Save it to keep it.").arg(name));
        child->setModified(true);
        return;
    }
    const bool reload =
        child->Modified()
            ? m_prompts.confirmDefaultNo(this, tr("The file %1 has been changed on disk by another program, and this "
                                                  "window has unsaved changes. Reload it and lose your changes?")
                                                   .arg(name))
            : m_prompts.confirm(this,
                                tr("The file %1 has been changed on disk by another program. Reload it?").arg(name));
    if (reload)
        reloadChild(child);
}

void TMainForm::reloadChild(TMDIChild *child)
{
    auto prepared = core::prepareScriptFile(child->FileName(), m_options.EditorTabTranslation);
    if (!prepared) {
        m_prompts.error(this, tr("Cannot open file %1").arg(QDir::toNativeSeparators(child->FileName())));
        return;
    }
    int line = 0;
    int index = 0;
    child->mwCustomEdit1->getCursorPosition(&line, &index);
    child->loadText(prepared.value().text);
    child->setModified(false);
    child->setReadOnly(prepared.value().readOnly);
    line = std::min(line, std::max(0, child->mwCustomEdit1->lines() - 1));
    child->mwCustomEdit1->setCursorPosition(line, 0);
    child->mwCustomEdit1->ensureLineVisible(line);
    child->UpdateCaretPanel();
    watch(child);
}

void TMainForm::stopRunning()
{
    if (m_build->isRunning())
        m_build->stop();
    if (m_search)
        m_search->cancel = true;
}

void TMainForm::findInFiles()
{
    if (m_search || m_build->isRunning()) {
        showOutputPane();
        m_hintPanel->setText(tr("The output pane is busy; stop the build or search first."));
        return;
    }
    QString text;
    if (TMDIChild *child = activeEditor()) {
        const QString selected = child->mwCustomEdit1->selectedText();
        if (!selected.contains(u'\n') && !selected.contains(u'\r'))
            text = selected;
    }
    if (text.isEmpty())
        text = m_lastFileSearch.text;
    const QString folder = m_lastSearchFolder.isEmpty() ? core::gameFolderOf(m_options.UTSysDir) : m_lastSearchFolder;
    FindInFilesDialog dialog(text, folder, this);
    dialog.matchCase->setChecked(m_lastFileSearch.matchCase);
    dialog.wholeWord->setChecked(m_lastFileSearch.wholeWord);
    dialog.regularExpression->setChecked(m_lastFileSearch.regularExpression);
    if (m_prompts.execDialog(dialog) != QDialog::Accepted || dialog.pattern().text.isEmpty())
        return;
    m_lastFileSearch = dialog.pattern();
    m_lastSearchFolder = dialog.folder();
    startFileSearch(dialog.pattern(), dialog.folder(), dialog.packageClassesOnly());
}

void TMainForm::startFileSearch(const core::TextPattern &pattern, const QString &folder, bool packageClassesOnly)
{
    m_output->clear();
    showOutputPane();
    m_output->appendLine(
        tr("Finding \"%1\" in %2")
            .arg(pattern.text,
                 QDir::toNativeSeparators(packageClassesOnly ? folder + QStringLiteral("/*/Classes") : folder)));
    m_output->setRunning(true);
    // The files are listed and read on a thread of their own, so the window stays usable.
    auto search = std::make_shared<FileSearch>();
    m_search = search;
    QThread *worker = QThread::create([search, pattern, folder, packageClassesOnly] {
        QElapsedTimer clock;
        clock.start();
        const QStringList files = core::scriptFilesUnder(folder, packageClassesOnly);
        search->files = files.size();
        search->hits = core::findInFiles(files, pattern, &search->cancel);
        search->milliseconds = clock.elapsed();
    });
    m_searchThread = worker;
    connect(worker, &QThread::finished, this, [this, worker, search] {
        worker->deleteLater();
        showFileSearchResults(*search);
        m_search.reset();
    });
    worker->start();
}

void TMainForm::showFileSearchResults(const FileSearch &search)
{
    constexpr qsizetype kMostShown = 20000;
    QStringList lines;
    QList<SourceLocation> locations;
    QSet<QString> files;
    const qsizetype shown = std::min(search.hits.size(), kMostShown);
    lines.reserve(shown);
    locations.reserve(shown);
    for (qsizetype i = 0; i < search.hits.size(); ++i) {
        const core::FileHit &hit = search.hits[i];
        files.insert(hit.file);
        if (i >= shown)
            continue;
        lines.append(QStringLiteral("%1(%2): %3")
                         .arg(QDir::toNativeSeparators(hit.file))
                         .arg(hit.line)
                         .arg(QString::fromLatin1(hit.text.trimmed())));
        locations.append({hit.file, hit.line});
    }
    m_output->appendLines(lines, OutputPane::Mark::Hit, locations);
    const QString time = QString::number(static_cast<double>(search.milliseconds) / 1000.0, 'f', 2);
    QString summary = tr("%1 hit(s) in %2 file(s); %3 file(s) searched in %4 s.")
                          .arg(search.hits.size())
                          .arg(files.size())
                          .arg(search.files)
                          .arg(time);
    if (search.cancel)
        summary = tr("Search stopped. ") + summary;
    if (shown < search.hits.size())
        summary += u' ' + tr("The first %1 are listed.").arg(shown);
    m_output->appendLine(summary);
    m_output->setRunning(false);
    m_hintPanel->setText(summary);
}

} // namespace quillet::ui

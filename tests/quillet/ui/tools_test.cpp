// SPDX-License-Identifier: GPL-3.0-or-later
// The Tools menu driven through the main window: build output, find and replace, find in
// files, one window per file and changes on disk, window placement.
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <Qsci/qsciscintilla.h>
#include <gtest/gtest.h>

#include "platform/registrystore.h"
#include "quillet/core/registry_access.h"
#include "quillet/ui/findbar.h"
#include "quillet/ui/findinfilesdialog.h"
#include "quillet/ui/mainform.h"
#include "quillet/ui/outputpane.h"
#include "quillet/ui/tmdichild.h"
#include "tests/quillet/ui/fakeprompts.h"
#include "tests/support/testpaths.h"

using namespace quillet;
using quillet::ui::OutputPane;
using quillet::ui::TMainForm;
using quillet::ui::TMDIChild;
using quillet::ui::testing::FakePrompts;

namespace {

// A compiler that prints the two message forms and fails, or with "long" runs until stopped.
const QByteArray kFakeCompiler =
    "#!/bin/sh\n"
    "if [ \"$1\" = long ]; then echo started; sleep 60; echo never; exit 0; fi\n"
    "echo \"Compiling MyPkg in $(pwd)\"\n"
    "printf '..\\\\MyPkg\\\\Classes\\\\Broken.uc(3) : Error, Bad or missing expression\\r\\n'\n"
    "echo 'MyPkg/Classes/broken.uc(5) : Warning, Unused local Foo'\n"
    "echo 'Failure - 1 error(s), 1 warning(s)'\n"
    "exit 1\n";

class ToolsTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    platform::RegistryStore store{platform::RegistryRoot::CurrentUser, dir.filePath(QStringLiteral("hkcu.reg"))};
    FakePrompts prompts;

    void SetUp() override
    {
        core::Registry_Access registry(store);
        core::EditorOptions options;
        options.tokenStyles = core::firstRunTokenStyles();
        options.EditorFontName = QStringLiteral("DejaVu Sans Mono");
        options.EditorFontSize = 10;
        options.EditorTabTranslation = 2;
        options.UTSysDir = dir.filePath(QStringLiteral("Game/System"));
        ASSERT_TRUE(core::saveEditorOptions(registry, options));
    }

    QString file(const QString &name) const { return dir.filePath(name); }

    void setBuildCommand(const QString &command)
    {
        ASSERT_TRUE(store.setString(core::kQuillKey, QStringLiteral("BuildCommand"), command).hasValue());
    }

    // A game folder with the fake compiler in System and a script in MyPkg/Classes.
    void makeGame()
    {
        const QString compiler = file(QStringLiteral("Game/System/ucc"));
        ASSERT_TRUE(testsupport::writeFile(compiler, kFakeCompiler));
        ASSERT_TRUE(QFile::setPermissions(compiler, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QByteArray script;
        for (int i = 1; i <= 9; ++i)
            script += "// line " + QByteArray::number(i) + "\r\n";
        ASSERT_TRUE(testsupport::writeFile(file(QStringLiteral("Game/MyPkg/Classes/Broken.uc")), script));
    }

    static QStringList paneLines(const OutputPane &pane)
    {
        QStringList lines;
        for (int row = 0; row < pane.lineCount(); ++row)
            lines.append(pane.lineText(row));
        return lines;
    }

    static bool waitUntilIdle(const OutputPane &pane)
    {
        return QTest::qWaitFor([&pane] { return !pane.isRunning(); }, 15000);
    }
};

} // namespace

TEST_F(ToolsTest, BuildOutputIsShownMarkedAndLeadsToTheLine)
{
    makeGame();
    setBuildCommand(file(QStringLiteral("Game/System/ucc")) + QStringLiteral(" make"));
    TMainForm form(store, prompts);
    form.show();
    form.mniBuild->trigger();
    OutputPane *pane = form.outputPane();
    EXPECT_TRUE(pane->isVisible());
    ASSERT_TRUE(waitUntilIdle(*pane));

    const QStringList lines = paneLines(*pane);
    ASSERT_EQ(lines.size(), 6) << lines.join(u'\n').toStdString();
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("Building: "))) << lines[0].toStdString();
    EXPECT_EQ(lines[1], QStringLiteral("Compiling MyPkg in ") + file(QStringLiteral("Game/System")));
    EXPECT_EQ(lines[2], QStringLiteral("..\\MyPkg\\Classes\\Broken.uc(3) : Error, Bad or missing expression"));
    EXPECT_EQ(pane->lineMark(2), OutputPane::Mark::Error);
    EXPECT_EQ(pane->lineMark(3), OutputPane::Mark::Warning);
    EXPECT_EQ(pane->lineMark(4), OutputPane::Mark::None);
    EXPECT_TRUE(lines[5].startsWith(QStringLiteral("Build finished with exit status 1 after ")))
        << lines[5].toStdString();
    EXPECT_TRUE(lines[5].endsWith(QStringLiteral("1 error(s), 1 warning(s).")));

    // A double click on the error opens the script with the caret on its line.
    QListWidget *list = pane->list();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    list->scrollToItem(list->item(2));
    QApplication::processEvents();
    const QPoint errorLine = list->visualItemRect(list->item(2)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, errorLine);
    EXPECT_TRUE(form.editorWindows().isEmpty()); // a single click only selects
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, errorLine);
    ASSERT_EQ(form.editorWindows().size(), 1);
    TMDIChild *child = form.editorWindows().first();
    EXPECT_EQ(child->FileName(), file(QStringLiteral("Game/MyPkg/Classes/Broken.uc")));
    EXPECT_EQ(child->caretPanelText(), QStringLiteral("3:1"));

    // F4 goes on to the warning (the same file, written in other letter case), Shift+F4 back.
    form.NextMessage1->trigger();
    EXPECT_EQ(form.editorWindows().size(), 1);
    EXPECT_EQ(child->caretPanelText(), QStringLiteral("5:1"));
    form.PreviousMessage1->trigger();
    EXPECT_EQ(child->caretPanelText(), QStringLiteral("3:1"));
}

TEST_F(ToolsTest, StopEndsALongBuildAndAFailedStartSaysWhy)
{
    makeGame();
    setBuildCommand(file(QStringLiteral("Game/System/ucc")) + QStringLiteral(" long"));
    TMainForm form(store, prompts);
    form.mniBuild->trigger();
    OutputPane *pane = form.outputPane();
    ASSERT_TRUE(QTest::qWaitFor([pane] { return pane->lineCount() >= 2; }, 10000));
    EXPECT_TRUE(pane->isRunning());
    EXPECT_TRUE(pane->stopButton()->isEnabled());
    QTest::mouseClick(pane->stopButton(), Qt::LeftButton);
    ASSERT_TRUE(waitUntilIdle(*pane));
    QStringList lines = paneLines(*pane);
    EXPECT_EQ(lines[1], QStringLiteral("started"));
    EXPECT_TRUE(lines.last().startsWith(QStringLiteral("Build stopped after "))) << lines.last().toStdString();
    EXPECT_FALSE(lines.contains(QStringLiteral("never")));

    const QString missing = file(QStringLiteral("Game/System64/ucc-bin-amd64"));
    setBuildCommand(missing + QStringLiteral(" make"));
    form.mniBuild->trigger();
    ASSERT_TRUE(waitUntilIdle(*pane));
    lines = paneLines(*pane);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[1], QStringLiteral("Cannot start %1: the file does not exist.").arg(missing));
    EXPECT_FALSE(pane->stopButton()->isEnabled());
}

TEST_F(ToolsTest, FindReplaceAndGoToLine)
{
    TMainForm form(store, prompts);
    form.show();
    TMDIChild *child = form.FileNew1Execute();
    QsciScintilla *edit = child->mwCustomEdit1;
    edit->setText(QStringLiteral("var int Count;\r\nvar int count2;\r\nCount = Count + 1;\r\n"));
    edit->setCursorPosition(0, 0);
    ui::FindBar *bar = form.findBar();
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    edit->setFocus();

    // Ctrl+F opens the bar; F3 finds the next match, whole words and case as asked.
    QTest::keyClick(edit, Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(bar->isVisible());
    EXPECT_TRUE(bar->findEdit->hasFocus());
    bar->findEdit->setText(QStringLiteral("count"));
    bar->wholeWord->setChecked(true);
    const auto selection = [edit] {
        int lineFrom = 0, indexFrom = 0, lineTo = 0, indexTo = 0;
        edit->getSelection(&lineFrom, &indexFrom, &lineTo, &indexTo);
        return QStringLiteral("%1:%2-%3:%4").arg(lineFrom + 1).arg(indexFrom + 1).arg(lineTo + 1).arg(indexTo + 1);
    };
    form.FindNext1->trigger();
    EXPECT_EQ(selection(), QStringLiteral("1:9-1:14")); // not "count2"
    form.FindNext1->trigger();
    EXPECT_EQ(selection(), QStringLiteral("3:1-3:6"));
    form.FindPrevious1->trigger();
    EXPECT_EQ(selection(), QStringLiteral("1:9-1:14"));
    bar->matchCase->setChecked(true);
    form.FindNext1->trigger();
    EXPECT_EQ(bar->message(), QStringLiteral("Not found"));

    // A regular expression, wrapping around from the end.
    bar->matchCase->setChecked(false);
    bar->wholeWord->setChecked(false);
    bar->regularExpression->setChecked(true);
    bar->findEdit->setText(QStringLiteral("count[0-9]"));
    edit->setCursorPosition(2, 0);
    form.FindNext1->trigger();
    EXPECT_EQ(selection(), QStringLiteral("2:9-2:15"));
    EXPECT_EQ(bar->message(), QStringLiteral("Wrapped around"));
    bar->findEdit->setText(QStringLiteral("(unclosed"));
    form.FindNext1->trigger();
    EXPECT_EQ(bar->message(), QStringLiteral("Invalid regular expression"));

    // Replace all with groups, undone in one step.
    child->setModified(false);
    const QByteArray before = child->text();
    form.Replace1->trigger();
    EXPECT_TRUE(bar->replaceEdit->isVisible());
    bar->findEdit->setText(QStringLiteral("var int (\\w+);"));
    bar->replaceEdit->setText(QStringLiteral("var float \\1;"));
    QTest::mouseClick(bar->replaceAllButton, Qt::LeftButton);
    EXPECT_EQ(bar->message(), QStringLiteral("2 replacement(s)"));
    EXPECT_EQ(child->text(), QByteArray("var float Count;\r\nvar float count2;\r\nCount = Count + 1;\r\n"));
    EXPECT_TRUE(child->Modified());
    QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(child->text(), before);

    // Replace one at a time: the first press finds, the next replaces and goes on.
    bar->regularExpression->setChecked(false);
    bar->findEdit->setText(QStringLiteral("Count"));
    bar->matchCase->setChecked(true);
    bar->replaceEdit->setText(QStringLiteral("Total"));
    edit->setCursorPosition(2, 0);
    form.replaceNext();
    form.replaceNext();
    EXPECT_EQ(child->text(), QByteArray("var int Count;\r\nvar int count2;\r\nTotal = Count + 1;\r\n"));
    EXPECT_EQ(selection(), QStringLiteral("3:9-3:14"));

    // Ctrl+G puts the caret on the chosen line.
    prompts.onDialog = [](QDialog &dialog) {
        auto *gotoLine = qobject_cast<ui::GotoLineDialog *>(&dialog);
        if (!gotoLine)
            return int(QDialog::Rejected);
        EXPECT_EQ(gotoLine->lineNumber->maximum(), 4);
        gotoLine->lineNumber->setValue(2);
        return int(QDialog::Accepted);
    };
    form.GotoLine1->trigger();
    EXPECT_EQ(child->caretPanelText(), QStringLiteral("2:1"));
    child->setModified(false);
}

TEST_F(ToolsTest, OneWindowPerFileAndChangesOnDisk)
{
    const QString path = file(QStringLiteral("Twice.uc"));
    const QString other = file(QStringLiteral("Other.uc"));
    ASSERT_TRUE(testsupport::writeFile(path, "var int A;\r\n"));
    ASSERT_TRUE(testsupport::writeFile(other, "var int B;\r\n"));
    TMainForm form(store, prompts);
    TMDIChild *first = form.OpenScriptFile(path);
    TMDIChild *otherWindow = form.OpenScriptFile(other);
    ASSERT_NE(first, nullptr);
    // The same file under another name of its path: the first window comes forward.
    EXPECT_EQ(form.OpenScriptFile(dir.path() + QStringLiteral("/./Twice.uc")), first);
    EXPECT_EQ(form.editorWindows().size(), 2);
    EXPECT_EQ(form.activeEditor(), first);
    const auto activate = [&form](TMDIChild *child) {
        form.mdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow *>(child->parentWidget()));
    };

    // Changed on disk, no edits: asked on activation, reloaded on Yes.
    ASSERT_TRUE(testsupport::writeFile(path, "var int A;\r\nvar int Added;\r\n"));
    activate(otherWindow);
    prompts.confirmAnswer = true;
    activate(first);
    ASSERT_EQ(prompts.confirmations.size(), 1) << prompts.confirmations.join(u'|').toStdString();
    EXPECT_TRUE(
        prompts.confirmations[0].endsWith(QStringLiteral("has been changed on disk by another program. Reload it?")));
    EXPECT_EQ(first->text(), QByteArray("var int A;\r\nvar int Added;\r\n"));
    EXPECT_FALSE(first->Modified());
    activate(otherWindow);
    activate(first);
    EXPECT_EQ(prompts.confirmations.size(), 1); // told once per change

    // Changed on disk with unsaved edits: asked, No keeps the edits; saving asks before
    // overwriting the newer file, and No leaves it as the other program wrote it.
    first->mwCustomEdit1->insert(QStringLiteral("// mine\r\n"));
    ASSERT_TRUE(testsupport::writeFile(path, "// theirs\r\n"));
    prompts.confirmAnswer = false;
    activate(otherWindow);
    activate(first);
    ASSERT_EQ(prompts.confirmations.size(), 2);
    EXPECT_TRUE(prompts.confirmations[1].contains(QStringLiteral("unsaved changes")));
    EXPECT_TRUE(first->Modified());
    EXPECT_TRUE(first->text().startsWith("// mine\r\n"));
    form.FileSave1Execute();
    ASSERT_EQ(prompts.confirmations.size(), 3);
    EXPECT_TRUE(prompts.confirmations[2].contains(QStringLiteral("Overwrite it")));
    EXPECT_EQ(testsupport::readFile(path), QByteArray("// theirs\r\n"));
    EXPECT_TRUE(first->Modified());
    prompts.confirmAnswer = true;
    form.FileSave1Execute();
    EXPECT_EQ(testsupport::readFile(path), QByteArray("// mine\r\nvar int A;\r\nvar int Added;\r\n"));
    EXPECT_FALSE(first->Modified());
    // Our own save is no change on disk.
    activate(otherWindow);
    activate(first);
    EXPECT_EQ(prompts.confirmations.size(), 4);
}

TEST_F(ToolsTest, WindowsOpenAndCascadeFullyInsideTheArea)
{
    const QString path = file(QStringLiteral("First.uc"));
    ASSERT_TRUE(testsupport::writeFile(path, "var int A;\r\n"));
    TMainForm form(store, prompts);
    form.resize(900, 700);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    const QRect area = form.mdiArea()->viewport()->rect();
    const auto windowOf = [](TMDIChild *child) { return qobject_cast<QMdiSubWindow *>(child->parentWidget()); };

    // The first file of a start fills the area, and keeps filling it when the frame grows.
    QMdiSubWindow *first = windowOf(form.OpenScriptFile(path));
    EXPECT_EQ(first->geometry(), area);
    form.resize(1000, 760);
    QApplication::processEvents();
    const QRect grown = form.mdiArea()->viewport()->rect();
    ASSERT_NE(grown, area);
    EXPECT_EQ(first->geometry(), grown);

    // Later windows: two thirds of the area, each fully inside it, however many.
    for (int i = 0; i < 12; ++i) {
        const QRect placed = windowOf(form.FileNew1Execute())->geometry();
        EXPECT_TRUE(grown.contains(placed)) << i;
        EXPECT_EQ(placed.size(), QSize(grown.width() * 2 / 3, grown.height() * 2 / 3)) << i;
    }
    form.WindowCascade1->trigger();
    for (QMdiSubWindow *window : form.mdiArea()->subWindowList()) {
        EXPECT_TRUE(grown.contains(window->geometry()));
        EXPECT_EQ(window->size(), QSize(grown.width() * 2 / 3, grown.height() * 2 / 3));
    }
    // Tiling keeps its meaning: side by side across the whole width.
    form.WindowTileVertical1->trigger();
    EXPECT_EQ(first->height(), grown.height());
}

TEST_F(ToolsTest, FindInFilesListsHitsThatLeadToTheLine)
{
    // The game's packages: Classes folders in either letter case, and a script elsewhere.
    ASSERT_TRUE(testsupport::writeFile(file(QStringLiteral("Game/PkgA/Classes/A.uc")),
                                       "class A;\r\nvar int bDeleteMe;\r\n// bDeleteMeToo\r\n"));
    ASSERT_TRUE(testsupport::writeFile(file(QStringLiteral("Game/PkgB/classes/B.uc")),
                                       "class B;\r\n\r\n\r\nfunction F() { bDELETEME = true; }\r\n"));
    ASSERT_TRUE(testsupport::writeFile(file(QStringLiteral("Game/PkgB/Other/C.uc")), "var int bDeleteMe;\r\n"));
    ASSERT_TRUE(testsupport::writeFile(file(QStringLiteral("Game/PkgA/Classes/Notes.txt")), "bDeleteMe\r\n"));
    TMainForm form(store, prompts);
    form.show();
    prompts.onDialog = [this](QDialog &dialog) {
        auto *find = qobject_cast<ui::FindInFilesDialog *>(&dialog);
        if (!find)
            return int(QDialog::Rejected);
        EXPECT_EQ(find->folder(), file(QStringLiteral("Game")));
        EXPECT_TRUE(find->classesOnly->isChecked());
        find->findEdit->setText(QStringLiteral("bdeleteme"));
        find->wholeWord->setChecked(true);
        return int(QDialog::Accepted);
    };
    form.FindInFiles1->trigger();
    OutputPane *pane = form.outputPane();
    ASSERT_TRUE(waitUntilIdle(*pane));
    const QStringList lines = paneLines(*pane);
    ASSERT_EQ(lines.size(), 4) << lines.join(u'\n').toStdString();
    EXPECT_EQ(lines[1], file(QStringLiteral("Game/PkgA/Classes/A.uc(2): var int bDeleteMe;")));
    EXPECT_EQ(lines[2], file(QStringLiteral("Game/PkgB/classes/B.uc(4): function F() { bDELETEME = true; }")));
    EXPECT_EQ(pane->lineMark(1), OutputPane::Mark::Hit);
    EXPECT_TRUE(lines[3].startsWith(QStringLiteral("2 hit(s) in 2 file(s); 2 file(s) searched in ")))
        << lines[3].toStdString();

    form.NextMessage1->trigger();
    form.NextMessage1->trigger();
    ASSERT_EQ(form.editorWindows().size(), 2); // A.uc, then B.uc
    EXPECT_EQ(form.activeEditor()->FileName(), file(QStringLiteral("Game/PkgB/classes/B.uc")));
    EXPECT_EQ(form.activeEditor()->caretPanelText(), QStringLiteral("4:1"));

    // A regular expression over every script below a folder.
    const QStringList files = core::scriptFilesUnder(file(QStringLiteral("Game/PkgB")), false);
    ASSERT_EQ(files.size(), 2);
    const QList<core::FileHit> hits = core::findInFiles(files, {QStringLiteral("^var int \\w+;$"), true, false, true});
    ASSERT_EQ(hits.size(), 1);
    EXPECT_EQ(hits[0].file, file(QStringLiteral("Game/PkgB/Other/C.uc")));
    EXPECT_EQ(hits[0].line, 1);
}

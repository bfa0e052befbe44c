// SPDX-License-Identifier: GPL-3.0-or-later
#include "quillet/ui/mainform.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QFontComboBox>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMessageBox>
#include <QScreen>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <Qsci/qscilexer.h>
#include <Qsci/qsciscintilla.h>
#include <gtest/gtest.h>

#include "platform/registrystore.h"
#include "quillet/core/registry_access.h"
#include "quillet/core/unrealscriptsyn.h"
#include "quillet/ui/colorgrid.h"
#include "quillet/ui/outputpane.h"
#include "quillet/ui/taboutbox.h"
#include "quillet/ui/tdlgbuildform.h"
#include "quillet/ui/tfrmeitoroptions.h"
#include "quillet/ui/tmdichild.h"
#include "quillet/ui/userprompts.h"
#include "tests/quillet/core/enforcedpermissions.h"
#include "tests/quillet/ui/fakeprompts.h"
#include "tests/support/testpaths.h"

using namespace quillet;
using quillet::ui::TMainForm;
using quillet::ui::TMDIChild;
using quillet::ui::testing::FakePrompts;

namespace {

const QString kFirstRunMessage = QStringLiteral(
    "Quill has detected that this is either the first time it has been run, or your registry has recently "
    "changed. You MUST now enter your editor options. If you do not correctly set your editor options, you may "
    "make things really nasty.");

class MainFormTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    platform::RegistryStore store{platform::RegistryRoot::CurrentUser, dir.filePath(QStringLiteral("hkcu.reg"))};
    FakePrompts prompts;

    // A store that already holds options, so no first-run dialog appears.
    void storeOptions(int tabTranslation = 4)
    {
        core::Registry_Access registry(store);
        core::EditorOptions options;
        options.tokenStyles[0] = core::TTokenStyle{0xFFFFFF, 0x800000, core::fsBold};
        options.EditorFontName = QStringLiteral("DejaVu Sans Mono");
        options.EditorFontSize = 10;
        options.EditorTabTranslation = tabTranslation;
        options.UTSysDir = QStringLiteral("c:\\UT\\System");
        ASSERT_TRUE(core::saveEditorOptions(registry, options));
    }

    QString file(const QString &name) const { return dir.filePath(name); }

    QString storedString(const QString &name) const
    {
        const auto value = store.value(core::kQuillKey, name);
        return value ? value->text : QString();
    }
};

} // namespace

TEST_F(MainFormTest, FirstRunAsksForOptionsAndStoresTheShownValues)
{
    prompts.onDialog = [](QDialog &) { return int(QDialog::Accepted); };
    TMainForm form(store, prompts);
    ASSERT_EQ(prompts.informations, QStringList{kFirstRunMessage});
    EXPECT_EQ(prompts.dialogs, 1);
    core::Registry_Access registry(store);
    EXPECT_TRUE(registry.RegKeyExists(core::kQuillKey));
    EXPECT_EQ(*registry.RegReadInteger(core::kQuillKey, QStringLiteral("EditorFontSize")), 10);
    EXPECT_EQ(*registry.RegReadInteger(core::kQuillKey, QStringLiteral("EditorTabTranslation")), 2);
    EXPECT_EQ(*registry.RegReadString(core::kQuillKey, QStringLiteral("UTSysDir")),
              QStringLiteral("C:\\UnrealTournament\\System"));
    // The shown font is a monospaced one as the user sees it (narrow and wide letters take
    // the same room, whatever the font file says of itself), and code is painted in it.
    const auto monospaced = [](const QFont &font) {
        const QFontMetrics metrics(font);
        return metrics.horizontalAdvance(QLatin1Char('i')) == metrics.horizontalAdvance(QLatin1Char('W')) &&
               metrics.horizontalAdvance(QLatin1Char('.')) == metrics.horizontalAdvance(QLatin1Char('m'));
    };
    const QString fontName = *registry.RegReadString(core::kQuillKey, QStringLiteral("EditorFontName"));
    EXPECT_TRUE(monospaced(QFont(fontName))) << fontName.toStdString();
    TMDIChild *child = form.FileNew1Execute();
    const QFont painted = child->mwCustomEdit1->lexer()->font(0);
    EXPECT_EQ(painted.family(), fontName);
    EXPECT_TRUE(monospaced(painted));
    // Confirming unchanged keeps text readable: no slot is painted in its own background.
    for (const core::TTokenStyle &style : form.editorOptions().tokenStyles)
        EXPECT_NE(style.Foreground, style.Background);
}

TEST_F(MainFormTest, CancelledFirstRunStoresNothingAndAsksAgain)
{
    {
        TMainForm form(store, prompts);
        EXPECT_EQ(prompts.informations.size(), 1);
        EXPECT_FALSE(store.keyExists(core::kQuillKey));
        EXPECT_EQ(form.editorOptions().EditorTabTranslation, 0);
        // Files still open, TABs untouched, with the control's own tab width.
        const QString path = file(QStringLiteral("T.uc"));
        ASSERT_TRUE(testsupport::writeFile(path, "\tx\r\n"));
        TMDIChild *child = form.OpenScriptFile(path);
        ASSERT_NE(child, nullptr);
        EXPECT_EQ(testsupport::readFile(path), QByteArray("\tx\r\n"));
        EXPECT_EQ(child->mwCustomEdit1->tabWidth(), 2);
    }
    TMainForm again(store, prompts);
    EXPECT_EQ(prompts.informations.size(), 2);
}

TEST_F(MainFormTest, LoadsStoredOptionsWithoutAsking)
{
    storeOptions();
    TMainForm form(store, prompts);
    EXPECT_TRUE(prompts.informations.isEmpty());
    EXPECT_EQ(prompts.dialogs, 0);
    EXPECT_EQ(form.editorOptions().EditorTabTranslation, 4);
    EXPECT_EQ(form.editorOptions().tokenStyles[0].Foreground, 0xFFFFFFu);
}

TEST_F(MainFormTest, ReportsAValueOfTheWrongType)
{
    storeOptions();
    ASSERT_TRUE(store.setString(core::kQuillKey, QStringLiteral("EditorFontSize"), QStringLiteral("big")).hasValue());
    TMainForm form(store, prompts);
    EXPECT_EQ(prompts.errors, QStringList{QStringLiteral("Invalid data type for 'EditorFontSize'")});
}

TEST_F(MainFormTest, NewNamesWindowsByTheirCount)
{
    storeOptions();
    TMainForm form(store, prompts);
    EXPECT_EQ(form.FileNew1Execute()->FileName(), QStringLiteral("Untitled1.uc"));
    form.FileNew1Execute();
    TMDIChild *third = form.FileNew1Execute();
    EXPECT_EQ(third->FileName(), QStringLiteral("Untitled3.uc"));
    EXPECT_EQ(third->windowTitle(), QStringLiteral("Untitled3.uc"));
    // Names may repeat after a window was closed.
    form.mdiArea()->subWindowList().first()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(form.FileNew1Execute()->FileName(), QStringLiteral("Untitled3.uc"));
}

TEST_F(MainFormTest, OpenConvertsTabsOnDiskAndRemembersTheFolder)
{
    storeOptions(4);
    const QString path = file(QStringLiteral("Tabs.uc"));
    ASSERT_TRUE(testsupport::writeFile(path, "class A;\r\n\t\tvar int X;\r\n"));
    prompts.openAnswer = path;
    TMainForm form(store, prompts);
    form.FileOpen1Execute();
    ASSERT_EQ(form.editorWindows().size(), 1);
    TMDIChild *child = form.editorWindows().first();
    EXPECT_EQ(testsupport::readFile(path), QByteArray("class A;\r\n        var int X;\r\n"));
    EXPECT_EQ(child->text(), QByteArray("class A;\r\n        var int X;\r\n"));
    EXPECT_EQ(child->FileName(), path);
    EXPECT_EQ(child->windowTitle(), path);
    EXPECT_FALSE(child->Modified());
    EXPECT_EQ(child->modifiedPanelText(), QString());
    EXPECT_EQ(storedString(QStringLiteral("WorkingDir")), dir.path());

    // The next Open starts in that folder; a cancelled dialog opens nothing.
    prompts.openAnswer.clear();
    form.FileOpen1Execute();
    EXPECT_EQ(prompts.openDirectories.last(), dir.path());
    EXPECT_EQ(form.editorWindows().size(), 1);
}

TEST_F(MainFormTest, OpenReportsUnreadableAndUnwritableFiles)
{
    storeOptions();
    TMainForm form(store, prompts);
    const QString missing = file(QStringLiteral("Missing.uc"));
    EXPECT_EQ(form.OpenScriptFile(missing), nullptr);
    EXPECT_EQ(prompts.errors, QStringList{QStringLiteral("Cannot open file ") + missing});
    EXPECT_TRUE(form.editorWindows().isEmpty());

    EXPECT_TRUE(form.editorWindows().isEmpty());
}

TEST_F(MainFormTest, ReadOnlyFilesOpenForViewingOnly)
{
    storeOptions(2);
    // Read-only by its permissions; that holds for root as well, who could write anyway.
    const QString path = file(QStringLiteral("ReadOnly.uc"));
    ASSERT_TRUE(testsupport::writeFile(path, "\tvar int A;\r\n"));
    ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    TMainForm form(store, prompts);
    TMDIChild *child = form.OpenScriptFile(path);
    ASSERT_NE(child, nullptr);
    EXPECT_TRUE(prompts.errors.isEmpty());
    EXPECT_EQ(testsupport::readFile(path), QByteArray("\tvar int A;\r\n")); // not converted on disk
    EXPECT_EQ(child->text(), QByteArray("  var int A;\r\n"));
    EXPECT_TRUE(child->isReadOnly());
    EXPECT_EQ(child->modifiedPanelText(), QStringLiteral("Read only"));
    QTest::keyClicks(child->mwCustomEdit1, QStringLiteral("x"));
    EXPECT_EQ(child->text(), QByteArray("  var int A;\r\n"));
    EXPECT_FALSE(child->Modified());

    // Save asks for another name; saved there, the window can be edited.
    const QString copy = file(QStringLiteral("Copy.uc"));
    prompts.saveAnswer = copy;
    form.FileSave1Execute();
    EXPECT_EQ(prompts.saveInitialNames, QStringList{path});
    EXPECT_EQ(testsupport::readFile(copy), QByteArray("  var int A;\r\n"));
    EXPECT_EQ(child->FileName(), copy);
    EXPECT_FALSE(child->isReadOnly());
    EXPECT_EQ(child->modifiedPanelText(), QString());

    // Save As never replaces a read-only file.
    prompts.saveAnswer = path;
    form.FileSaveAs1Execute();
    EXPECT_EQ(prompts.errors,
              QStringList{QStringLiteral("Cannot create file ") + path + QStringLiteral("\n\nThe file is read-only.")});
    EXPECT_EQ(testsupport::readFile(path), QByteArray("\tvar int A;\r\n"));
}

TEST_F(MainFormTest, SaveOfAnUntitledWindowGoesThroughSaveAs)
{
    storeOptions();
    TMainForm form(store, prompts);
    form.FileNew1Execute();
    TMDIChild *child = form.FileNew1Execute();
    child->mwCustomEdit1->insert(QStringLiteral("var int X;\n"));
    EXPECT_TRUE(child->Modified());
    EXPECT_EQ(child->modifiedPanelText(), QStringLiteral("Modified"));

    // Cancelled: nothing happens.
    form.FileSave1Execute();
    EXPECT_EQ(prompts.saveInitialNames, QStringList{QStringLiteral("Untitled2.uc")});
    EXPECT_TRUE(child->Modified());

    const QString path = file(QStringLiteral("Saved.uc"));
    prompts.saveAnswer = path;
    form.FileSave1Execute();
    EXPECT_EQ(testsupport::readFile(path), QByteArray("var int X;\r\n"));
    EXPECT_EQ(child->FileName(), path);
    EXPECT_EQ(child->windowTitle(), path);
    EXPECT_FALSE(child->Modified());
    EXPECT_EQ(child->modifiedPanelText(), QString());

    // Save now writes to the path without asking again.
    child->mwCustomEdit1->append(QStringLiteral("var int Y;"));
    form.FileSave1Execute();
    EXPECT_EQ(prompts.saveInitialNames.size(), 2);
    EXPECT_EQ(testsupport::readFile(path), QByteArray("var int X;\r\nvar int Y;\r\n"));
}

TEST_F(MainFormTest, FailedSaveKeepsTheWindowModified)
{
    storeOptions();
    TMainForm form(store, prompts);
    TMDIChild *child = form.FileNew1Execute();
    child->mwCustomEdit1->insert(QStringLiteral("x"));
    const QString path = file(QStringLiteral("no/such/folder/A.uc"));
    prompts.saveAnswer = path;
    form.FileSaveAs1Execute();
    // The message says why.
    ASSERT_EQ(prompts.errors.size(), 1);
    const QStringList lines = prompts.errors.first().split(u'\n');
    EXPECT_EQ(lines.first(), QStringLiteral("Cannot create file ") + path);
    EXPECT_GE(lines.size(), 3);
    EXPECT_FALSE(lines.last().isEmpty());
    EXPECT_TRUE(child->Modified());
    EXPECT_EQ(child->FileName(), QStringLiteral("Untitled1.uc"));
}

TEST_F(MainFormTest, FileCommandsWithoutWindowsDoNothing)
{
    storeOptions();
    TMainForm form(store, prompts);
    form.FileSave1Execute();
    form.FileSaveAs1Execute();
    for (QAction *action : {form.FileClose1, form.EditCut1, form.EditCopy1, form.EditPaste1})
        action->trigger();
    EXPECT_TRUE(prompts.saveInitialNames.isEmpty());
    EXPECT_TRUE(prompts.errors.isEmpty());
}

TEST_F(MainFormTest, ClosingAsksForEachModifiedWindow)
{
    storeOptions();
    const QString path = file(QStringLiteral("Keep.uc"));
    ASSERT_TRUE(testsupport::writeFile(path, "var int A;\r\n"));
    TMainForm form(store, prompts);
    TMDIChild *opened = form.OpenScriptFile(path);
    ASSERT_NE(opened, nullptr);
    opened->mwCustomEdit1->insert(QStringLiteral("// edit\r\n"));
    form.FileNew1Execute()->mwCustomEdit1->insert(QStringLiteral("x"));
    form.FileNew1Execute(); // unmodified: no question

    prompts.confirmAnswer = false;
    form.close();
    EXPECT_EQ(prompts.confirmations.size(), 2);
    EXPECT_EQ(prompts.confirmations.first(),
              QStringLiteral("This Unreal Script File has been modified since you last opened it. Would you like to "
                             "save it before closing?"));
    EXPECT_EQ(testsupport::readFile(path), QByteArray("var int A;\r\n"));
    EXPECT_TRUE(form.mdiArea()->subWindowList().isEmpty());
}

TEST_F(MainFormTest, EscapeOrClosingTheSaveQuestionKeepsEveryWindow)
{
    storeOptions();
    ui::DialogPrompts dialogs; // the real question box
    TMainForm form(store, dialogs);
    form.show();
    const QString path = file(QStringLiteral("Keep.uc"));
    ASSERT_TRUE(testsupport::writeFile(path, "var int A;\r\n"));
    TMDIChild *edited = form.OpenScriptFile(path);
    ASSERT_NE(edited, nullptr);
    edited->mwCustomEdit1->insert(QStringLiteral("// edit\r\n"));
    form.FileNew1Execute(); // unmodified

    // Answers the next question box as the user does: Escape, or its close button / Alt+F4.
    int questions = 0;
    const auto answerWith = [&](bool escape) {
        auto *poll = new QTimer(&form);
        QObject::connect(poll, &QTimer::timeout, &form, [&questions, poll, escape] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            ++questions;
            poll->deleteLater();
            if (escape)
                QTest::keyClick(box, Qt::Key_Escape);
            else
                box->close();
        });
        poll->start(5);
    };
    for (const bool escape : {true, false}) {
        answerWith(escape);
        form.mdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow *>(edited->parentWidget()));
        form.FileClose1->trigger();
        answerWith(escape);
        EXPECT_FALSE(form.close());
        EXPECT_EQ(form.editorWindows().size(), 2) << escape; // unmodified windows stay too
        EXPECT_EQ(edited->text(), QByteArray("// edit\r\nvar int A;\r\n"));
        EXPECT_TRUE(edited->Modified());
    }
    EXPECT_EQ(questions, 4);
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(testsupport::readFile(path), QByteArray("var int A;\r\n"));
    edited->setModified(false);
}

TEST_F(MainFormTest, OwnFileInAReadOnlyFolderIsSaved)
{
    storeOptions(2);
    const QString path = file(QStringLiteral("sub/Own.uc"));
    ASSERT_TRUE(testsupport::writeFile(path, "\tvar int A;\r\n"));
    const QString folder = QFileInfo(path).path();
    ASSERT_TRUE(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
    {
        const quillet::testing::EnforcedPermissions enforced;
        TMainForm form(store, prompts);
        TMDIChild *child = form.OpenScriptFile(path);
        ASSERT_NE(child, nullptr);
        EXPECT_FALSE(child->isReadOnly());
        child->mwCustomEdit1->insert(QStringLiteral("// x\r\n"));
        form.FileSave1Execute();
        EXPECT_TRUE(prompts.errors.isEmpty()) << prompts.errors.join(u'|').toStdString();
        EXPECT_FALSE(child->Modified());
        EXPECT_EQ(testsupport::readFile(path), QByteArray("// x\r\n  var int A;\r\n"));
    }
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST_F(MainFormTest, HintsLeaveTheStatusLineWithTheMouse)
{
    storeOptions();
    TMainForm form(store, prompts);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    QWidget *button = form.ToolBar2->widgetForAction(form.FileNew1);
    ASSERT_NE(button, nullptr);
    QTest::mouseMove(button);
    EXPECT_EQ(form.statusText(), QStringLiteral("Create a new file"));
    QTest::mouseMove(form.mdiArea());
    EXPECT_EQ(form.statusText(), QString());

    QMenu *fileMenu = nullptr;
    for (QObject *object : form.FileOpen1->associatedObjects()) {
        if (auto *menu = qobject_cast<QMenu *>(object))
            fileMenu = menu;
    }
    ASSERT_NE(fileMenu, nullptr);
    fileMenu->popup(form.mapToGlobal(QPoint(10, 10)));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(fileMenu));
    QTest::mouseMove(fileMenu, fileMenu->actionGeometry(form.FileOpen1).center());
    EXPECT_EQ(form.statusText(), QStringLiteral("Open a file"));
    QTest::keyClick(fileMenu, Qt::Key_Escape);
    EXPECT_EQ(form.statusText(), QString());
}

TEST_F(MainFormTest, AnsweringYesSavesBeforeClosing)
{
    storeOptions();
    const QString path = file(QStringLiteral("Save.uc"));
    ASSERT_TRUE(testsupport::writeFile(path, "var int A;\r\n"));
    TMainForm form(store, prompts);
    TMDIChild *child = form.OpenScriptFile(path);
    ASSERT_NE(child, nullptr);
    child->mwCustomEdit1->insert(QStringLiteral("// x\r\n"));
    prompts.confirmAnswer = true;
    form.FileClose1->trigger();
    EXPECT_EQ(prompts.confirmations.size(), 1);
    EXPECT_EQ(testsupport::readFile(path), QByteArray("// x\r\nvar int A;\r\n"));
}

TEST_F(MainFormTest, ACancelledOrFailedSaveKeepsTheWindowAndTheProgramOpen)
{
    storeOptions();
    TMainForm form(store, prompts);
    form.show();
    TMDIChild *child = form.FileNew1Execute();
    child->mwCustomEdit1->insert(QStringLiteral("var int X;"));
    prompts.confirmAnswer = true;

    struct Attempt
    {
        const char *name;
        QString saveAnswer;
    };
    const Attempt attempts[] = {
        {"Save As cancelled", QString()},
        {"write failed", file(QStringLiteral("no/such/folder/A.uc"))},
    };
    for (const Attempt &attempt : attempts) {
        prompts.saveAnswer = attempt.saveAnswer;
        form.FileClose1->trigger();
        ASSERT_EQ(form.editorWindows().size(), 1) << attempt.name;
        EXPECT_TRUE(child->Modified()) << attempt.name;
        EXPECT_FALSE(form.close()) << attempt.name;
        EXPECT_TRUE(form.isVisible()) << attempt.name;
        ASSERT_EQ(form.editorWindows().size(), 1) << attempt.name;
        EXPECT_EQ(child->text(), QByteArray("var int X;")) << attempt.name;
    }
    EXPECT_EQ(prompts.confirmations.size(), 4);

    const QString path = file(QStringLiteral("A.uc"));
    prompts.saveAnswer = path;
    EXPECT_TRUE(form.close());
    EXPECT_TRUE(form.mdiArea()->subWindowList().isEmpty());
    EXPECT_EQ(testsupport::readFile(path), QByteArray("var int X;\r\n"));
}

TEST_F(MainFormTest, DialogsAppearInTheMiddleOfTheScreen)
{
    storeOptions();
    TMainForm form(store, prompts);
    form.setGeometry(20, 20, 320, 240); // the window's middle is far from the screen's
    form.show();
    const QPoint screenMiddle = form.screen()->availableGeometry().center();
    QList<QPoint> middles;
    prompts.onDialog = [&middles](QDialog &dialog) {
        middles.append(dialog.frameGeometry().center());
        return int(QDialog::Rejected);
    };
    form.mniBuildCommand->trigger();
    form.mniEditoOptions->trigger();
    ASSERT_EQ(middles.size(), 2);
    for (const QPoint &middle : middles)
        EXPECT_LE((middle - screenMiddle).manhattanLength(), 2) << middle.x() << "," << middle.y();
}

TEST_F(MainFormTest, CaretPanelAndSelectionColours)
{
    storeOptions();
    TMainForm form(store, prompts);
    TMDIChild *child = form.FileNew1Execute();
    EXPECT_EQ(child->caretPanelText(), QStringLiteral("1:1"));
    child->mwCustomEdit1->insert(QStringLiteral("var int X;\r\n  y"));
    QTest::keyClick(child->mwCustomEdit1, Qt::Key_Down);
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(child->mwCustomEdit1, Qt::Key_Right);
    EXPECT_EQ(child->caretPanelText(), QStringLiteral("2:4"));

    // Keywords are white on navy, so the selection is navy on white.
    child->mwCustomEdit1->setSelection(0, 0, 0, 3);
    EXPECT_EQ(child->selectionForeground(), QColor(0, 0, 0x80));
    EXPECT_EQ(child->selectionBackground(), QColor(0xFF, 0xFF, 0xFF));
}

TEST_F(MainFormTest, BuildWithoutACommandAsksForOne)
{
    storeOptions();
    TMainForm form(store, prompts);
    QString shownCommand;
    prompts.onDialog = [&shownCommand](QDialog &dialog) {
        auto *build = qobject_cast<ui::TdlgBuildForm *>(&dialog);
        if (!build)
            return int(QDialog::Rejected);
        shownCommand = build->edtBuildCommand->text();
        build->edtBuildCommand->setText(QStringLiteral("  /opt/ut/System/ucc make  "));
        return int(QDialog::Accepted);
    };
    form.mniBuildClick();
    EXPECT_EQ(prompts.informations.size(), 1);
    EXPECT_EQ(shownCommand, QStringLiteral("c:\\UT\\System\\UCC.exe make")); // nothing installed there
    EXPECT_EQ(form.outputPane()->lineCount(), 0); // the build is not started after the dialog
    EXPECT_EQ(storedString(QStringLiteral("BuildCommand")), QStringLiteral("/opt/ut/System/ucc make"));

    // The stored command is shown again; Cancel keeps it.
    prompts.onDialog = [&shownCommand](QDialog &dialog) {
        auto *build = qobject_cast<ui::TdlgBuildForm *>(&dialog);
        shownCommand = build->edtBuildCommand->text();
        build->edtBuildCommand->setText(QStringLiteral("other"));
        return int(QDialog::Rejected);
    };
    form.btnBuildCommand->trigger();
    EXPECT_EQ(shownCommand, QStringLiteral("/opt/ut/System/ucc make"));
    EXPECT_EQ(storedString(QStringLiteral("BuildCommand")), QStringLiteral("/opt/ut/System/ucc make"));
}

TEST_F(MainFormTest, MenuShortcutsWinOverTheEditorKeys)
{
    storeOptions();
    TMainForm form(store, prompts);
    form.show();
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    TMDIChild *child = form.FileNew1Execute();
    child->mwCustomEdit1->setFocus();
    child->mwCustomEdit1->insert(QStringLiteral("ab"));
    QTest::keyClick(child->mwCustomEdit1, Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(form.editorWindows().size(), 2); // a new file, not a new line
    EXPECT_EQ(child->text(), QByteArray("ab"));
}

TEST_F(MainFormTest, OptionsDialogEditsOnlyWhenConfirmed)
{
    storeOptions();
    TMainForm form(store, prompts);
    TMDIChild *child = form.FileNew1Execute();
    prompts.onDialog = [](QDialog &dialog) {
        auto *options = qobject_cast<ui::TfrmEitorOptions *>(&dialog);
        options->ListBox1->setCurrentRow(2); // "Comment"
        // Left click: foreground lime; right click: background navy.
        QTest::mouseClick(options->ColorGrid1, Qt::LeftButton, {}, options->ColorGrid1->cellRect(10).center());
        QTest::mouseClick(options->ColorGrid1, Qt::RightButton, {}, options->ColorGrid1->cellRect(4).center());
        options->CheckListBox1->item(0)->setCheckState(Qt::Checked); // Italic
        options->spnTabTranslation->setValue(0);                     // ignored
        options->spnFontSize->setValue(13);
        options->DirectoryEdit1->setText(QStringLiteral("   ")); // ignored
        return int(QDialog::Rejected);
    };
    form.mniEditoOptions->trigger();
    EXPECT_EQ(form.editorOptions().tokenStyles[5], core::TTokenStyle{});
    EXPECT_EQ(form.editorOptions().EditorFontSize, 10);

    prompts.onDialog = [](QDialog &dialog) {
        auto *options = qobject_cast<ui::TfrmEitorOptions *>(&dialog);
        EXPECT_EQ(options->ListBox1->currentItem()->text(), QStringLiteral("Keywords"));
        EXPECT_EQ(options->ColorGrid1->foregroundIndex(), 15);
        EXPECT_EQ(options->ColorGrid1->backgroundIndex(), 4);
        EXPECT_EQ(options->CheckListBox1->item(1)->checkState(), Qt::Checked); // Bold
        options->ListBox1->setCurrentRow(2);
        QTest::mouseClick(options->ColorGrid1, Qt::LeftButton, {}, options->ColorGrid1->cellRect(10).center());
        QTest::mouseClick(options->ColorGrid1, Qt::RightButton, {}, options->ColorGrid1->cellRect(4).center());
        options->CheckListBox1->item(0)->setCheckState(Qt::Checked);
        options->spnTabTranslation->setValue(0);
        options->spnFontSize->setValue(13);
        options->DirectoryEdit1->setText(QStringLiteral("   "));
        return int(QDialog::Accepted);
    };
    form.mniEditoOptions->trigger();
    const core::EditorOptions &options = form.editorOptions();
    EXPECT_EQ(options.tokenStyles[5], (core::TTokenStyle{0x00FF00, 0x800000, core::fsItalic}));
    EXPECT_EQ(options.EditorTabTranslation, 4);
    EXPECT_EQ(options.EditorFontSize, 13);
    EXPECT_EQ(options.UTSysDir, QStringLiteral("c:\\UT\\System"));
    // Applied to the open window and stored.
    EXPECT_EQ(child->Highlighter().CommentAttri().foreground(), 0x00FF00u);
    EXPECT_EQ(child->Highlighter().CommentAttri().style(), core::fsItalic);
    EXPECT_EQ(store.value(core::kQuillKey, QStringLiteral("Foreground5"))->dword, 0x00FF00u);
    EXPECT_EQ(store.value(core::kQuillKey, QStringLiteral("Italic5"))->dword, 1u);
    EXPECT_EQ(store.value(core::kQuillKey, QStringLiteral("EditorFontSize"))->dword, 13u);
}

TEST_F(MainFormTest, AboutBoxRotatesItsLastLineWhileShown)
{
    storeOptions();
    TMainForm form(store, prompts);
    QString before;
    QString after;
    bool rotating = false;
    prompts.onDialog = [&](QDialog &dialog) {
        auto *about = qobject_cast<ui::TAboutBox *>(&dialog);
        before = about->rotatingText();
        rotating = about->isRotating();
        about->rotate();
        after = about->rotatingText();
        return int(QDialog::Accepted);
    };
    form.HelpAbout1->trigger();
    EXPECT_TRUE(rotating);
    EXPECT_EQ(before, QStringLiteral("You can bet your ass there is more to come!     "));
    EXPECT_EQ(after, QStringLiteral("ou can bet your ass there is more to come!     Y"));
}

TEST_F(MainFormTest, MenuShortcutsAndHints)
{
    storeOptions();
    TMainForm form(store, prompts);
    const std::vector<std::tuple<QAction *, QKeySequence, QString, QString>> cases = {
        {form.FileNew1, QKeySequence(QStringLiteral("Ctrl+N")), QStringLiteral("New"),
         QStringLiteral("Create a new file")},
        {form.FileOpen1, QKeySequence(QStringLiteral("Ctrl+O")), QStringLiteral("Open"), QStringLiteral("Open a file")},
        {form.FileSave1, QKeySequence(QStringLiteral("Ctrl+S")), QStringLiteral("Save"),
         QStringLiteral("Save current file")},
        {form.EditCut1, QKeySequence(QStringLiteral("Ctrl+X")), QStringLiteral("Cut"),
         QStringLiteral("Cuts the selection and puts it on the Clipboard")},
        {form.mniBuild, QKeySequence(QStringLiteral("F7")), QStringLiteral("Build"), QStringLiteral("Build")},
    };
    for (const auto &[action, shortcut, tip, status] : cases) {
        EXPECT_EQ(action->shortcut(), shortcut);
        EXPECT_EQ(action->toolTip(), tip);
        EXPECT_EQ(action->statusTip(), status);
    }
}

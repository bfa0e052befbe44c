// SPDX-License-Identifier: GPL-3.0-or-later
// The Tools menu driven through the main window: build output, find and replace, find in
// files, one window per file and changes on disk, window placement.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <Qsci/qsciscintilla.h>
#include <gtest/gtest.h>

#include "platform/registrystore.h"
#include "quillet/core/registry_access.h"
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
const QByteArray kFakeCompiler = "#!/bin/sh\n"
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

// SPDX-License-Identifier: GPL-3.0-or-later
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "orv/tools/ui/filenamebox.h"
#include "orv/tools/ui/tiniform.h"
#include "orv/tools/ui/truefalsebox.h"
#include "tests/support/testpaths.h"

using orv::tools::TINIForm;
using orv::tools::ValueEditor;

namespace {

// The window with its dialogs answered by the test.
class ScriptedIniForm : public TINIForm
{
public:
    explicit ScriptedIniForm(const QString &tempPath)
        : TINIForm(nullptr, tempPath)
    {}

    bool answerSave = false;
    QString saveAsName;
    QString folderChoice;
    QString valueFile;
    QStringList questions;
    QStringList errors;

protected:
    bool confirmSave(const QString &filePath) override
    {
        questions.append(filePath);
        return answerSave;
    }
    void showFileError(const QString &message) override { errors.append(message); }
    QString askSaveAsFileName() override { return saveAsName; }
    QString askIniFolder() override { return folderChoice; }
    QString askValueFile() override { return valueFile; }
};

struct Fixture
{
    QTemporaryDir dir;
    QString game() const { return dir.filePath(QStringLiteral("UT/System")); }
    QString ini() const { return dir.filePath(QStringLiteral("UT/System/UnrealTournament.ini")); }
    QString temp() const { return dir.filePath(QStringLiteral("OrvaneSvc.TempIni")); }

    Fixture(const QByteArray &text = "[URL]\r\nMap=Index.unr\r\nLocalMap=\r\nMapNum=\r\n"
                                     "[UWeb.WebServer]\r\nbEnabled=True\r\nListenPort=80\r\n")
    {
        testsupport::writeFile(ini(), text);
        testsupport::writeFile(dir.filePath(QStringLiteral("UT/System/User.ini")), "[DefaultPlayer]\r\nName=P\r\n");
        testsupport::writeFile(dir.filePath(QStringLiteral("UT/System/Botpack.u")), "package");
        QDir(dir.path()).mkpath(QStringLiteral("UT/Maps"));
    }
};

QModelIndex cell(const TINIForm &form, int row, int column)
{
    return form.valuesGrid()->model()->index(row, column);
}

void selectCell(TINIForm &form, int row, int column)
{
    form.valuesGrid()->setCurrentIndex(cell(form, row, column));
}

} // namespace

TEST(TINIForm, ShowingListsTheIniFilesOfTheGameFolder)
{
    Fixture fx;
    ScriptedIniForm form(fx.temp());
    form.setGameExecutableSource([&fx] { return fx.game() + QStringLiteral("/UnrealTournament.exe"); });
    int loads = 0;
    int saves = 0;
    form.setSettingsHooks([&loads] { ++loads; }, [&saves] { ++saves; });
    form.show();
    EXPECT_EQ(form.iniFolder(), fx.game());
    QStringList names;
    for (int i = 0; i < form.iniList()->count(); ++i)
        names.append(form.iniList()->item(i)->text());
    EXPECT_EQ(names, (QStringList{QStringLiteral("UnrealTournament.ini"), QStringLiteral("User.ini")}));
    EXPECT_EQ(loads, 1);
    form.close();
    EXPECT_EQ(saves, 1);
    EXPECT_TRUE(form.questions.isEmpty());
}

// What a settings storage that attaches itself to the window relies on.
TEST(TINIForm, StoredControlsAreFoundByNameAndDestructionIsAnnounced)
{
    Fixture fx;
    auto *form = new ScriptedIniForm(fx.temp());
    for (const QString &item : TINIForm::storedProperties()) {
        const QString control = item.section(QLatin1Char('.'), 0, 0);
        EXPECT_NE(form->findChild<QWidget *>(control), nullptr) << item.toStdString();
    }
    auto *box = form->findChild<QCheckBox *>(QStringLiteral("CFullPath"));
    ASSERT_NE(box, nullptr);
    box->setChecked(true);
    EXPECT_TRUE(form->isFullPathChecked());

    QObject watcher;
    bool sawCheckBox = false;
    QObject::connect(form, &TINIForm::destroying, &watcher, [&sawCheckBox](QWidget *destroyed) {
        sawCheckBox = destroyed->findChild<QCheckBox *>(QStringLiteral("CFullPath")) != nullptr;
    });
    delete form;
    EXPECT_TRUE(sawCheckBox);
}

TEST(TINIForm, OpeningShowsSectionsAndTheFirstSection)
{
    Fixture fx;
    ScriptedIniForm form(fx.temp());
    EXPECT_FALSE(form.findChild<QWidget *>(QStringLiteral("SaveIni"))->isEnabled());
    EXPECT_FALSE(form.openIniFile(fx.dir.filePath(QStringLiteral("missing.ini"))));
    ASSERT_TRUE(form.openIniFile(fx.ini()));
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Opened:") + fx.ini());
    EXPECT_TRUE(form.findChild<QWidget *>(QStringLiteral("SaveIni"))->isEnabled());
    EXPECT_TRUE(form.findChild<QWidget *>(QStringLiteral("SaveIniAs"))->isEnabled());
    ASSERT_EQ(form.sectionList()->count(), 2);
    EXPECT_EQ(form.shownSection(), "URL");
    EXPECT_EQ(form.valuesGrid()->model()->rowCount(), 3);
    EXPECT_EQ(cell(form, 0, 1).data().toString(), QStringLiteral("Index.unr"));
    form.sectionList()->setCurrentRow(1);
    EXPECT_EQ(form.shownSection(), "UWeb.WebServer");
    EXPECT_EQ(cell(form, 1, 0).data().toString(), QStringLiteral("ListenPort"));
    EXPECT_TRUE(QFile::exists(fx.temp()));
}

TEST(TINIForm, ValueCellsGetTheEditorTheirTextSuggests)
{
    Fixture fx;
    ScriptedIniForm form(fx.temp());
    form.show();
    ASSERT_TRUE(form.openIniFile(fx.ini()));
    struct Case
    {
        int section, row, column;
        ValueEditor editor;
    };
    const Case cases[] = {
        {0, 0, 1, ValueEditor::FileNameBox}, // Map=Index.unr
        {0, 1, 1, ValueEditor::FileNameBox}, // LocalMap= (empty, key names a map)
        {0, 2, 1, ValueEditor::PlainCell},   // MapNum=
        {1, 0, 1, ValueEditor::TrueFalseBox},
        {1, 0, 0, ValueEditor::PlainCell}, // the key column keeps the grid's editor
        {1, 1, 1, ValueEditor::PlainCell},
    };
    for (const Case &c : cases) {
        form.sectionList()->setCurrentRow(c.section);
        selectCell(form, c.row, c.column);
        EXPECT_EQ(form.activeValueEditor(), c.editor) << c.section << "/" << c.row << "/" << c.column;
        EXPECT_EQ(form.trueFalseBox()->isVisible(), c.editor == ValueEditor::TrueFalseBox);
        EXPECT_EQ(form.fileNameBox()->isVisible(), c.editor == ValueEditor::FileNameBox);
        if (c.editor != ValueEditor::PlainCell) {
            const QRect rect = form.valuesGrid()->visualRect(cell(form, c.row, c.column));
            const QWidget *box = c.editor == ValueEditor::TrueFalseBox ? static_cast<QWidget *>(form.trueFalseBox())
                                                                       : form.fileNameBox();
            EXPECT_EQ(box->geometry(), rect);
        }
    }
    // Passing through cells without changing anything is no edit.
    EXPECT_FALSE(form.session().isModified());
}

TEST(TINIForm, TheTrueFalseBoxWritesWhatIsPicked)
{
    Fixture fx;
    ScriptedIniForm form(fx.temp());
    form.show();
    ASSERT_TRUE(form.openIniFile(fx.ini()));
    form.sectionList()->setCurrentRow(1);
    selectCell(form, 0, 1);
    ASSERT_TRUE(form.trueFalseBox()->isVisible());
    EXPECT_EQ(form.trueFalseBox()->currentText(), QStringLiteral("True"));
    form.trueFalseBox()->setCurrentIndex(1);
    emit form.trueFalseBox()->activated(1);
    EXPECT_FALSE(form.trueFalseBox()->isVisible());
    EXPECT_EQ(cell(form, 0, 1).data().toString(), QStringLiteral("False"));
    EXPECT_TRUE(form.session().isModified());

    form.answerSave = true;
    form.close();
    EXPECT_EQ(form.questions, QStringList{fx.ini()});
    EXPECT_TRUE(testsupport::readFile(fx.ini()).contains("bEnabled=False\r\n"));
    EXPECT_FALSE(QFile::exists(fx.temp()));
}

TEST(TINIForm, TheFileNameBoxWritesTheChosenFile)
{
    for (const bool fullPath : {false, true}) {
        Fixture fx;
        ScriptedIniForm form(fx.temp());
        form.show();
        form.setFullPathChecked(fullPath);
        ASSERT_TRUE(form.openIniFile(fx.ini()));
        selectCell(form, 1, 1); // LocalMap=
        ASSERT_TRUE(form.fileNameBox()->isVisible());
        const QString chosen = fx.dir.filePath(QStringLiteral("UT/Maps/DM-Deck16.unr"));
        form.valueFile = chosen;
        form.chooseValueFile();
        EXPECT_FALSE(form.fileNameBox()->isVisible());
        const QString expected = fullPath ? QDir::toNativeSeparators(chosen) : QStringLiteral("DM-Deck16.unr");
        EXPECT_EQ(cell(form, 1, 1).data().toString(), expected);
        ASSERT_TRUE(form.saveIni());
        EXPECT_TRUE(testsupport::readFile(fx.ini()).contains("LocalMap=" + expected.toLatin1() + "\r\n"));
        EXPECT_EQ(form.windowTitle(), QStringLiteral("INI files manager"));
    }
}

TEST(TINIForm, ASectionChangeCommitsTheOpenBox)
{
    Fixture fx;
    ScriptedIniForm form(fx.temp());
    form.show();
    ASSERT_TRUE(form.openIniFile(fx.ini()));
    selectCell(form, 1, 1); // LocalMap=
    ASSERT_TRUE(form.fileNameBox()->isVisible());
    form.fileNameBox()->setText(QStringLiteral("DM-Turbine.unr"));
    form.sectionList()->setCurrentRow(1);
    EXPECT_FALSE(form.fileNameBox()->isVisible());
    EXPECT_TRUE(form.session().isModified());
    EXPECT_EQ(form.session().store()->sectionRows("URL")[1].value, "DM-Turbine.unr");
}

TEST(TINIForm, TypingInTheGridWritesAtEveryChange)
{
    Fixture fx;
    ScriptedIniForm form(fx.temp());
    form.show();
    ASSERT_TRUE(form.openIniFile(fx.ini()));
    form.sectionList()->setCurrentRow(1);
    QTableView *grid = form.valuesGrid();
    selectCell(form, 1, 1); // ListenPort=80
    grid->edit(cell(form, 1, 1));
    auto *editor = grid->viewport()->findChild<QLineEdit *>();
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, QStringLiteral("8"));
    EXPECT_TRUE(form.session().isModified());
    EXPECT_EQ(form.session().store()->sectionRows("UWeb.WebServer")[1].value, "8");
    QTest::keyClicks(editor, QStringLiteral("080"));
    EXPECT_EQ(form.session().store()->sectionRows("UWeb.WebServer")[1].value, "8080");
}

TEST(TINIForm, ClosingAsksOnlyAfterAnEditAndNoDropsTheEdits)
{
    Fixture fx;
    const QByteArray original = testsupport::readFile(fx.ini());
    ScriptedIniForm form(fx.temp());
    form.show();
    ASSERT_TRUE(form.openIniFile(fx.ini()));
    form.close();
    EXPECT_TRUE(form.questions.isEmpty());
    EXPECT_FALSE(QFile::exists(fx.temp()));

    form.show();
    ASSERT_TRUE(form.openIniFile(fx.ini()));
    ASSERT_TRUE(form.valuesGrid()->model()->setData(cell(form, 0, 1), QStringLiteral("DM-Morpheus.unr")));
    form.answerSave = false;
    form.close();
    EXPECT_EQ(form.questions.size(), 1);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(testsupport::readFile(fx.ini()), original);
    EXPECT_FALSE(QFile::exists(fx.temp()));
    EXPECT_EQ(form.sectionList()->count(), 0);
    EXPECT_EQ(form.valuesGrid()->model()->rowCount(), 0);
}

// Saving into a folder that has gone away fails: the error is shown, the file stays open
// with its edits and the working copy, and the window does not close over it.
TEST(TINIForm, AFailedSaveKeepsTheFileOpen)
{
    Fixture fx;
    const QString copy = fx.dir.filePath(QStringLiteral("Other/a.ini"));
    ASSERT_TRUE(testsupport::writeFile(copy, "[A]\r\nk=1\r\n"));
    ScriptedIniForm form(fx.temp());
    form.show();
    ASSERT_TRUE(form.openIniFile(copy));
    ASSERT_TRUE(form.valuesGrid()->model()->setData(cell(form, 0, 1), QStringLiteral("2")));
    ASSERT_TRUE(QDir(fx.dir.filePath(QStringLiteral("Other"))).removeRecursively());

    EXPECT_FALSE(form.saveIni());
    ASSERT_EQ(form.errors.size(), 1);
    EXPECT_TRUE(form.errors[0].startsWith(copy)) << form.errors[0].toStdString();
    EXPECT_TRUE(form.session().isOpen());
    EXPECT_TRUE(QFile::exists(fx.temp()));

    form.answerSave = true;
    form.close();
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.errors.size(), 2);
    EXPECT_EQ(form.openIniFile(fx.ini()), false) << "another file is not opened over unsaved edits";
    EXPECT_TRUE(testsupport::readFile(fx.temp()).contains("k=2"));

    // Save as somewhere that exists still works.
    form.saveAsName = fx.dir.filePath(QStringLiteral("rescued.ini"));
    ASSERT_TRUE(form.saveIniAs());
    EXPECT_EQ(testsupport::readFile(form.saveAsName), QByteArray("[A]\r\nk=2\r\n"));
    form.close();
    EXPECT_FALSE(form.isVisible());
}

// Keys are shown as the file writes them, "2.Odd" included, and Save INI writes back every
// line that was not edited as it was: the comment on top and the repeated section too.
TEST(TINIForm, SaveChangesOnlyTheEditedLines)
{
    const QByteArray text = "; written by hand\r\n[Engine.Engine]\r\n2.Odd=1\r\nk=1\r\nk=2\r\n\r\n"
                            "[Engine.Engine]\r\nLanguage=int\r\n";
    Fixture fx(text);
    ScriptedIniForm form(fx.temp());
    form.show();
    ASSERT_TRUE(form.openIniFile(fx.ini()));
    QAbstractItemModel *grid = form.valuesGrid()->model();
    ASSERT_EQ(grid->rowCount(), 3);
    EXPECT_EQ(cell(form, 0, 0).data().toString(), QStringLiteral("2.Odd"));
    EXPECT_EQ(cell(form, 2, 0).data().toString(), QStringLiteral("3.k"));
    ASSERT_TRUE(grid->setData(cell(form, 0, 0), QStringLiteral("3.Even")));
    EXPECT_EQ(cell(form, 0, 0).data().toString(), QStringLiteral("3.Even"));
    ASSERT_TRUE(grid->setData(cell(form, 2, 1), QStringLiteral("5")));
    QTest::mouseClick(form.findChild<QPushButton *>(QStringLiteral("SaveIni")), Qt::LeftButton);
    EXPECT_FALSE(form.session().isOpen());
    QByteArray expected = text;
    expected.replace("2.Odd=1", "3.Even=1").replace("k=2", "k=5");
    EXPECT_EQ(testsupport::readFile(fx.ini()), expected);
}

TEST(TINIForm, BrowsingClosesTheFileAndShowsTheChosenFolder)
{
    Fixture fx;
    ScriptedIniForm form(fx.temp());
    form.show();
    ASSERT_TRUE(form.openIniFile(fx.ini()));
    ASSERT_TRUE(testsupport::writeFile(fx.dir.filePath(QStringLiteral("Other/Server.INI")), "[A]\r\n"));
    form.folderChoice = fx.dir.filePath(QStringLiteral("Other"));
    form.browseIniFolder();
    EXPECT_FALSE(form.session().isOpen());
    EXPECT_FALSE(QFile::exists(fx.temp()));
    ASSERT_EQ(form.iniList()->count(), 1);
    EXPECT_EQ(form.iniList()->item(0)->text(), QStringLiteral("Server.INI"));
}

TEST(TINIForm, CommentRowsCannotBeEdited)
{
    Fixture fx("[A]\r\n; keep me\r\nk=1\r\n");
    ScriptedIniForm form(fx.temp());
    form.show();
    ASSERT_TRUE(form.openIniFile(fx.ini()));
    QAbstractItemModel *model = form.valuesGrid()->model();
    EXPECT_FALSE(model->flags(cell(form, 0, 1)) & Qt::ItemIsEditable);
    EXPECT_FALSE(model->setData(cell(form, 0, 1), QStringLiteral("x")));
    EXPECT_FALSE(model->setData(cell(form, 0, 0), QStringLiteral("x")));
    // Renaming a key keeps its value; a name another line already has is refused.
    EXPECT_TRUE(model->setData(cell(form, 1, 0), QStringLiteral("j")));
    EXPECT_EQ(cell(form, 1, 1).data().toString(), QStringLiteral("1"));
    ASSERT_TRUE(form.saveIni());
    EXPECT_EQ(testsupport::readFile(fx.ini()), QByteArray("[A]\r\n; keep me\r\nj=1\r\n"));
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "orv/tools/inieditsession.h"
#include "platform/textfile.h"
#include "tests/support/testpaths.h"

using orv::tools::IniEditSession;
using orv::tools::IniRow;

namespace {

struct Folder
{
    QTemporaryDir dir;
    QString path(const char *name) const { return dir.filePath(QString::fromLatin1(name)); }
    QString temp() const { return path("OrvaneSvc.TempIni"); }
};

QByteArray rowValue(const IniEditSession &session, QByteArrayView section, QByteArrayView key)
{
    for (const IniRow &row : session.store()->sectionRows(section)) {
        if (row.key == key)
            return row.value;
    }
    return "<missing>";
}

QByteArrayList rowKeys(const IniEditSession &session, QByteArrayView section)
{
    QByteArrayList keys;
    for (const IniRow &row : session.store()->sectionRows(section))
        keys.append(row.key);
    return keys;
}

} // namespace

// Golden files: input/<name> opened, the listed values written, saved, compared with
// reference/<name>. With ORV_UPDATE_INI_REFERENCES=1 the references are rewritten instead.
TEST(IniRoundTrip, EditingOneValueGivesTheReferenceFile)
{
    struct Edit
    {
        QByteArray section, key, value;
    };
    struct Case
    {
        const char *file;
        QList<Edit> edits;
    };
    const Case cases[] = {
        {"server_crlf.ini",
         {{"UWeb.WebServer", "ListenPort", "8080"}, {"Engine.GameEngine", "4.ServerActors", "MapVoteTest.BootActor2"}}},
        {"user_lf.ini", {{"DefaultPlayer", "Name", "Tester"}}},
    };
    const bool update = qEnvironmentVariableIntValue("ORV_UPDATE_INI_REFERENCES") == 1;
    for (const Case &c : cases) {
        Folder folder;
        const QString name = QString::fromLatin1(c.file);
        const QString ini = folder.path(c.file);
        ASSERT_TRUE(testsupport::writeFile(ini, testsupport::readData(QStringLiteral("ini/input/") + name)));
        IniEditSession session(folder.temp());
        ASSERT_TRUE(session.open(ini)) << c.file;
        for (const Edit &edit : c.edits)
            ASSERT_TRUE(session.writeValue(edit.section, edit.key, edit.value)) << c.file << " " << edit.key.data();
        ASSERT_TRUE(session.save()) << c.file;
        const QByteArray saved = testsupport::readFile(ini);
        if (update) {
            ASSERT_TRUE(testsupport::writeFile(testsupport::dataPath(QStringLiteral("ini/reference/") + name), saved));
            continue;
        }
        EXPECT_EQ(saved, testsupport::readData(QStringLiteral("ini/reference/") + name)) << c.file;
        EXPECT_FALSE(QFile::exists(folder.temp())) << c.file;
    }
}

TEST(IniRoundTrip, OpeningWithoutAnEditLeavesTheFileByteForByte)
{
    for (const char *file : {"server_crlf.ini", "user_lf.ini"}) {
        const QByteArray original = testsupport::readData(QStringLiteral("ini/input/") + QString::fromLatin1(file));
        for (const bool save : {false, true}) {
            Folder folder;
            const QString ini = folder.path(file);
            ASSERT_TRUE(testsupport::writeFile(ini, original));
            IniEditSession session(folder.temp());
            ASSERT_TRUE(session.open(ini));
            EXPECT_TRUE(QFile::exists(folder.temp()));
            if (save)
                ASSERT_TRUE(session.save());
            else
                session.discard();
            EXPECT_EQ(testsupport::readFile(ini), original) << file << (save ? " saved" : " closed");
            EXPECT_FALSE(QFile::exists(folder.temp()));
            EXPECT_FALSE(session.isOpen());
        }
    }
}

TEST(IniEditSession, RepeatedKeysAreShownNumberedAndEditedOneByOne)
{
    Folder folder;
    const QString ini = folder.path("a.ini");
    ASSERT_TRUE(testsupport::writeFile(
        ini, "[Engine.GameEngine]\r\nServerPackages=A\r\nServerPackages=B\r\nServerActors=X\r\nServerActors=Y\r\n"));
    IniEditSession session(folder.temp());
    ASSERT_TRUE(session.open(ini));
    EXPECT_EQ(rowKeys(session, "Engine.GameEngine"),
              (QByteArrayList{"ServerPackages", "2.ServerPackages", "ServerActors", "3.ServerActors"}));
    EXPECT_EQ(rowValue(session, "Engine.GameEngine", "2.ServerPackages"), "B");
    EXPECT_FALSE(session.isModified());
    ASSERT_TRUE(session.writeValue("Engine.GameEngine", "2.ServerPackages", "C"));
    EXPECT_TRUE(session.isModified());
    ASSERT_TRUE(session.save());
    EXPECT_EQ(testsupport::readFile(ini),
              "[Engine.GameEngine]\r\nServerPackages=A\r\nServerPackages=C\r\nServerActors=X\r\nServerActors=Y\r\n");
}

// Only the edited lines change: comments, repeated sections, blank lines and line ends stay
// as they were; a new key follows the last line of its section.
TEST(IniEditSession, AnEditKeepsEveryLineItDidNotTouch)
{
    struct Case
    {
        const char *name;
        QByteArray input;
        QByteArray afterEdit;
    };
    const Case cases[] = {
        {"comment before the first section", "; top\r\n[A]\r\nk=1\r\n", "; top\r\n[A]\r\nk=2\r\n"},
        {"second [Engine.Engine]",
         "[Engine.Engine]\r\nk=1\r\n[B]\r\nb=1\r\n\r\n[Engine.Engine]\r\nLanguage=int\r\nk=7\r\n",
         "[Engine.Engine]\r\nk=2\r\n[B]\r\nb=1\r\n\r\n[Engine.Engine]\r\nLanguage=int\r\nk=7\r\n"},
        {"blank lines between keys", "[A]\n\nk=1\n\n\nj=1\n", "[A]\n\nk=2\n\n\nj=1\n"},
        {"blanks around =", "[A]\r\nk = Value\r\nk=1\r\n", "[A]\r\nk =X\r\nk=2\r\n"},
        {"new key", "[A]\nk=1\n\n[B]\nb=1", "[A]\nk=2\nnew=v\n\n[B]\nb=1"},
        {"new key at the end without a line end", "[B]\r\nb=1\r\n[A]\r\nk=1", "[B]\r\nb=1\r\n[A]\r\nk=2\r\nnew=v\r\n"},
    };
    for (const Case &c : cases) {
        Folder folder;
        const QString ini = folder.path("a.ini");
        ASSERT_TRUE(testsupport::writeFile(ini, c.input));
        IniEditSession session(folder.temp());
        ASSERT_TRUE(session.open(ini)) << c.name;
        const QByteArrayView name(c.name);
        const QByteArray section = name.startsWith("new key") ? "A" : session.store()->sectionNames().constFirst();
        if (name == "blanks around =") {
            ASSERT_TRUE(session.writeValue(section, "k ", "X"));
        }
        ASSERT_TRUE(session.writeValue(section, "k", "2")) << c.name;
        if (name.startsWith("new key")) {
            ASSERT_TRUE(session.writeValue(section, "new", "v"));
        }
        ASSERT_TRUE(session.save()) << c.name;
        EXPECT_EQ(testsupport::readFile(ini), c.afterEdit) << c.name;
    }
}

TEST(IniEditSession, SaveAsLeavesTheOpenedFileAlone)
{
    Folder folder;
    const QString ini = folder.path("a.ini");
    const QByteArray original = "[A]\nk=1\n";
    ASSERT_TRUE(testsupport::writeFile(ini, original));
    IniEditSession session(folder.temp());
    ASSERT_TRUE(session.open(ini));
    ASSERT_TRUE(session.writeValue("A", "k", "2"));
    ASSERT_TRUE(session.saveAs(folder.path("mypreset.ini")));
    EXPECT_EQ(testsupport::readFile(ini), original);
    EXPECT_EQ(testsupport::readFile(folder.path("mypreset.ini")), QByteArray("[A]\nk=2\n"));
    EXPECT_FALSE(session.isOpen());
    EXPECT_FALSE(QFile::exists(folder.temp()));
}

// A save that cannot write must not cost the user the file or the edits: the old file
// stays as it was, the working copy holds the edits and the file stays open for another try.
TEST(IniEditSession, AFailedSaveLosesNothing)
{
    enum class Failure { InjectedWriter, TargetIsAFolder, FolderMissing };
    for (const Failure failure : {Failure::InjectedWriter, Failure::TargetIsAFolder, Failure::FolderMissing}) {
        Folder folder;
        const QByteArray original = "[A]\r\nk=1\r\nk=2\r\n";
        const QString ini = folder.path("a.ini");
        ASSERT_TRUE(testsupport::writeFile(ini, original));
        bool failing = true;
        IniEditSession::Writer writer = [&failing](const QString &path, QByteArrayView bytes) -> platform::Status {
            if (failing)
                return platform::Error{5, QStringLiteral("disk full")};
            return platform::textfile::writeAtomically(path, bytes);
        };
        IniEditSession session(folder.temp(), failure == Failure::InjectedWriter ? writer : IniEditSession::Writer());
        ASSERT_TRUE(session.open(ini));
        ASSERT_TRUE(session.writeValue("A", "2.k", "changed"));

        platform::Status status;
        switch (failure) {
        case Failure::InjectedWriter:
            status = session.save();
            break;
        case Failure::TargetIsAFolder:
            ASSERT_TRUE(QDir(folder.dir.path()).mkdir(QStringLiteral("b.ini")));
            status = session.saveAs(folder.path("b.ini"));
            break;
        case Failure::FolderMissing:
            status = session.saveAs(folder.path("gone/b.ini"));
            break;
        }
        EXPECT_FALSE(status) << int(failure);
        EXPECT_EQ(testsupport::readFile(ini), original) << int(failure);
        EXPECT_TRUE(session.isOpen()) << int(failure);
        EXPECT_TRUE(session.isModified()) << int(failure);
        EXPECT_TRUE(testsupport::readFile(folder.temp()).contains("2.k=changed")) << int(failure);

        // The edits are still there to save once writing works again.
        failing = false;
        ASSERT_TRUE(session.save()) << int(failure);
        EXPECT_EQ(testsupport::readFile(ini), QByteArray("[A]\r\nk=1\r\nk=changed\r\n")) << int(failure);
    }
}

TEST(IniEditSession, UnreadableFilesOpenNothing)
{
    Folder folder;
    IniEditSession session(folder.temp());
    EXPECT_FALSE(session.open(folder.dir.path())); // a folder
    EXPECT_FALSE(session.open(folder.path("missing.ini")));
    EXPECT_FALSE(session.isOpen());
    EXPECT_FALSE(QFile::exists(folder.temp()));

    ASSERT_TRUE(testsupport::writeFile(folder.path("a.ini"), "[A]\nk=1\n"));
    IniEditSession badTemp(folder.path("missing/OrvaneSvc.TempIni"));
    EXPECT_FALSE(badTemp.open(folder.path("a.ini")));
    EXPECT_FALSE(badTemp.isOpen());
}

TEST(IniEditSession, OneFileAtATimeAndDiscardRemovesTheWorkingCopy)
{
    Folder folder;
    ASSERT_TRUE(testsupport::writeFile(folder.path("a.ini"), "[A]\nk=1\n"));
    IniEditSession session(folder.temp());
    ASSERT_TRUE(session.open(folder.path("a.ini")));
    EXPECT_FALSE(session.open(folder.path("a.ini")));
    EXPECT_EQ(testsupport::readFile(folder.temp()), QByteArray("[A]\nk=1\n"));
    ASSERT_TRUE(session.writeValue("A", "k", "2"));
    session.discard();
    EXPECT_FALSE(QFile::exists(folder.temp()));
    EXPECT_EQ(testsupport::readFile(folder.path("a.ini")), QByteArray("[A]\nk=1\n"));
    EXPECT_FALSE(session.writeValue("A", "k", "3"));

    // A working copy left behind by an earlier run goes too.
    ASSERT_TRUE(testsupport::writeFile(folder.temp(), "stale"));
    session.discard();
    EXPECT_FALSE(QFile::exists(folder.temp()));
}

TEST(IniEditSession, NulBytesAndHugeLinesSurvive)
{
    Folder folder;
    QByteArray original("[A]\r\nk=\0x\r\nbig=", 14);
    original += QByteArray(1024 * 1024, 'y') + "\r\nk=2\r\n";
    const QString ini = folder.path("a.ini");
    ASSERT_TRUE(testsupport::writeFile(ini, original));
    IniEditSession session(folder.temp());
    ASSERT_TRUE(session.open(ini));
    EXPECT_EQ(rowValue(session, "A", "k"), QByteArray("\0x", 2));
    ASSERT_TRUE(session.save());
    EXPECT_EQ(testsupport::readFile(ini), original);
}

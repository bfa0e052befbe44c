// SPDX-License-Identifier: GPL-3.0-or-later
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "platform/registryformat.h"
#include "platform/registrystore.h"
#include "tests/platform/filesizelimit.h"
#include "tests/support/testpaths.h"

using platform::RegistryRoot;
using platform::RegistryStore;
using platform::RegistryValue;
using platform::RegistryValueType;

namespace {

class RegistryStoreTest : public ::testing::Test
{
protected:
    QTemporaryDir m_dir;
    QString path() const { return m_dir.filePath(QStringLiteral("HKEY_CURRENT_USER.reg")); }
};

RegistryValue expandString(const QString &text)
{
    RegistryValue v = RegistryValue::fromString(text);
    v.type = RegistryValueType::ExpandString;
    return v;
}

RegistryValue otherValue(const QByteArray &bytes)
{
    RegistryValue v = RegistryValue::fromBinary(bytes);
    v.type = RegistryValueType::Other;
    return v;
}

} // namespace

TEST_F(RegistryStoreTest, EveryValueTypeSurvivesTheFile)
{
    QByteArray longBytes;
    for (int i = 0; i < 100; ++i)
        longBytes.append(char(i * 7));
    const struct
    {
        const char *name;
        RegistryValue value;
    } cases[] = {
        {"plain", RegistryValue::fromString(QStringLiteral("Main form state"))},
        {"empty", RegistryValue::fromString(QString())},
        {"quotes and backslashes", RegistryValue::fromString(QStringLiteral(R"(C:\UT\System\"x"\)"))},
        {"line breaks", RegistryValue::fromString(QStringLiteral("one\r\ntwo\nthree\tfour"))},
        {"non latin",
         RegistryValue::fromString(QStringLiteral("J\u00f6rg \u041f\u0440\u0438\u0432\u0435\u0442 \u2603"))},
        {"leading blanks", RegistryValue::fromString(QStringLiteral("  spaced  "))},
        {"looks like a key", RegistryValue::fromString(QStringLiteral("[HKEY_CURRENT_USER\\Evil]"))},
        {"expand", expandString(QStringLiteral("%SystemRoot%\\x"))},
        {"dword zero", RegistryValue::fromDWord(0)},
        {"dword max", RegistryValue::fromDWord(0xFFFFFFFFu)},
        {"binary empty", RegistryValue::fromBinary(QByteArray())},
        {"binary long", RegistryValue::fromBinary(longBytes)},
        {"other", otherValue(QByteArray("\x01\x02", 2))},
    };
    {
        RegistryStore store(RegistryRoot::CurrentUser, path());
        for (const auto &c : cases)
            ASSERT_TRUE(store.setValue(u"SOFTWARE\\Orvane\\Types", QString::fromUtf8(c.name), c.value)) << c.name;
    }
    RegistryStore reread(RegistryRoot::CurrentUser, path());
    int warnings = 0;
    reread.setWarningHandler([&warnings](const QString &) { ++warnings; });
    for (const auto &c : cases) {
        const auto v = reread.value(u"SOFTWARE\\Orvane\\Types", QString::fromUtf8(c.name));
        ASSERT_TRUE(v.has_value()) << c.name;
        EXPECT_EQ(v->type, c.value.type) << c.name;
        EXPECT_EQ(*v, c.value) << c.name;
    }
    EXPECT_EQ(warnings, 0);
    // The line breaks and the fake key header stayed inside their values.
    EXPECT_EQ(reread.subKeyNames(u"SOFTWARE\\Orvane"), QStringList{QStringLiteral("Types")});
    EXPECT_EQ(reread.subKeyNames(u""), QStringList{QStringLiteral("SOFTWARE")});
}

TEST_F(RegistryStoreTest, NamesCompareWithoutCaseAndKeepTheirFirstSpelling)
{
    RegistryStore store(RegistryRoot::CurrentUser, path());
    ASSERT_TRUE(store.setString(u"\\SOFTWARE\\Orvane\\", u"NickName", QStringLiteral("a")));
    ASSERT_TRUE(store.setString(u"software\\ORVANE", u"NICKNAME", QStringLiteral("b")));
    EXPECT_TRUE(store.keyExists(u"Software\\orvane"));
    EXPECT_EQ(store.valueNames(u"SOFTWARE\\Orvane"), QStringList{QStringLiteral("NickName")});
    EXPECT_EQ(store.readString(u"SOFTWARE\\Orvane", u"nickname").value(), std::optional<QString>(QStringLiteral("b")));
    EXPECT_EQ(store.subKeyNames(u""), QStringList{QStringLiteral("SOFTWARE")});
}

TEST_F(RegistryStoreTest, ListsSubKeysAlphabeticallyAndValuesInFirstWriteOrder)
{
    RegistryStore store(RegistryRoot::CurrentUser, path());
    for (const char *key : {"b", "A", "c", "Main form state", "main form state\\.InternetList_Columns"})
        ASSERT_TRUE(store.createKey(QStringLiteral("R\\") + QString::fromUtf8(key)));
    for (const char *name : {"Zeta", "alpha", "Mid", "ALPHA"})
        ASSERT_TRUE(store.setString(u"R", QString::fromUtf8(name), QStringLiteral("x")));
    const QStringList expectedKeys{QStringLiteral("A"), QStringLiteral("b"), QStringLiteral("c"),
                                   QStringLiteral("Main form state")};
    const QStringList expectedValues{QStringLiteral("Zeta"), QStringLiteral("alpha"), QStringLiteral("Mid")};
    EXPECT_EQ(store.subKeyNames(u"R"), expectedKeys);
    EXPECT_EQ(store.valueNames(u"R"), expectedValues);
    EXPECT_EQ(store.subKeyNames(u"R\\MAIN FORM STATE"), QStringList{QStringLiteral(".InternetList_Columns")});

    RegistryStore reread(RegistryRoot::CurrentUser, path());
    EXPECT_EQ(reread.subKeyNames(u"R"), expectedKeys);
    EXPECT_EQ(reread.valueNames(u"R"), expectedValues);
}

TEST_F(RegistryStoreTest, MissingIsDistinctFromEmptyAndFromWrongType)
{
    RegistryStore store(RegistryRoot::CurrentUser, path());
    ASSERT_TRUE(store.setString(u"K", u"Empty", QString()));
    ASSERT_TRUE(store.setDWord(u"K", u"Number", 42));

    const auto empty = store.readString(u"K", u"Empty");
    ASSERT_TRUE(empty.hasValue());
    ASSERT_TRUE(empty.value().has_value());
    EXPECT_TRUE(empty.value()->isEmpty());

    const auto missingValue = store.readString(u"K", u"Nothing");
    ASSERT_TRUE(missingValue.hasValue());
    EXPECT_FALSE(missingValue.value().has_value());
    const auto missingKey = store.readString(u"NoKey", u"Empty");
    ASSERT_TRUE(missingKey.hasValue());
    EXPECT_FALSE(missingKey.value().has_value());

    EXPECT_FALSE(store.readString(u"K", u"Number").hasValue());
    EXPECT_EQ(store.valueType(u"K", u"Number"), RegistryValueType::DWord);
    EXPECT_EQ(store.valueType(u"K", u"Nothing"), std::nullopt);
}

TEST_F(RegistryStoreTest, DeletesKeysWithTheirSubKeysAndValues)
{
    RegistryStore store(RegistryRoot::CurrentUser, path());
    ASSERT_TRUE(store.setString(u"S\\Repeat\\Default\\TRepeatFormWhenRuleRight", u"Count", QStringLiteral("1")));
    ASSERT_TRUE(store.setString(u"S\\Repeat\\Fast", u"Notice", QStringLiteral("x")));
    ASSERT_TRUE(store.deleteKey(u"s\\repeat\\default"));
    EXPECT_FALSE(store.keyExists(u"S\\Repeat\\Default\\TRepeatFormWhenRuleRight"));
    EXPECT_FALSE(store.keyExists(u"S\\Repeat\\Default"));
    EXPECT_TRUE(store.keyExists(u"S\\Repeat\\Fast"));
    EXPECT_TRUE(store.deleteKey(u"S\\Repeat\\NotThere"));
    EXPECT_FALSE(store.deleteKey(u"\\"));
    ASSERT_TRUE(store.deleteValue(u"S\\Repeat\\Fast", u"NOTICE"));
    EXPECT_TRUE(store.deleteValue(u"S\\Repeat\\Fast", u"Notice"));
    EXPECT_TRUE(store.valueNames(u"S\\Repeat\\Fast").isEmpty());

    RegistryStore reread(RegistryRoot::CurrentUser, path());
    EXPECT_FALSE(reread.keyExists(u"S\\Repeat\\Default"));
    EXPECT_TRUE(reread.keyExists(u"S\\Repeat\\Fast"));
}

TEST_F(RegistryStoreTest, WritesReadableRegedit4)
{
    RegistryStore store(RegistryRoot::CurrentUser, path());
    ASSERT_TRUE(store.setString(u"SOFTWARE\\Orvane\\Main options", u"BeaconPort_Text", QStringLiteral("7777")));
    ASSERT_TRUE(store.setDWord(u"SOFTWARE\\Orvane", u"Flags", 0x2a));
    ASSERT_TRUE(store.setString(u"SOFTWARE\\Orvane", u"Path", QStringLiteral(R"(C:\UT\"a")")));
    ASSERT_TRUE(store.setBinary(u"SOFTWARE\\Orvane", u"", QByteArray("\x00\xff", 2)));
    ASSERT_TRUE(store.createKey(u"SOFTWARE\\Empty"));
    const QByteArray expected = "REGEDIT4\n"
                                "\n[HKEY_CURRENT_USER\\SOFTWARE]\n"
                                "\n[HKEY_CURRENT_USER\\SOFTWARE\\Empty]\n"
                                "\n[HKEY_CURRENT_USER\\SOFTWARE\\Orvane]\n"
                                "\"Flags\"=dword:0000002a\n"
                                "\"Path\"=\"C:\\\\UT\\\\\\\"a\\\"\"\n"
                                "@=hex:00,ff\n"
                                "\n[HKEY_CURRENT_USER\\SOFTWARE\\Orvane\\Main options]\n"
                                "\"BeaconPort_Text\"=\"7777\"\n";
    EXPECT_EQ(testsupport::readFile(path()), expected);
}

TEST_F(RegistryStoreTest, SeesChangesMadeByAnotherStoreOnTheSameFile)
{
    RegistryStore first(RegistryRoot::CurrentUser, path());
    RegistryStore second(RegistryRoot::CurrentUser, path());
    ASSERT_TRUE(first.setString(u"K", u"A", QStringLiteral("1")));
    EXPECT_EQ(second.value(u"K", u"A"), RegistryValue::fromString(QStringLiteral("1")));
    ASSERT_TRUE(second.setString(u"K", u"B", QStringLiteral("2")));
    ASSERT_TRUE(first.setString(u"K", u"A", QStringLiteral("3")));
    RegistryStore third(RegistryRoot::CurrentUser, path());
    EXPECT_EQ(third.value(u"K", u"A"), RegistryValue::fromString(QStringLiteral("3")));
    EXPECT_EQ(third.value(u"K", u"B"), RegistryValue::fromString(QStringLiteral("2")));
}

TEST_F(RegistryStoreTest, BatchWritesOnceAndSeesItsOwnWrites)
{
    RegistryStore store(RegistryRoot::CurrentUser, path());
    ASSERT_TRUE(store.setString(u"K", u"Before", QStringLiteral("x")));
    const QByteArray before = testsupport::readFile(path());
    {
        RegistryStore::Batch batch(store);
        for (int i = 0; i < 300; ++i)
            ASSERT_TRUE(store.setString(u"K\\Many", QStringLiteral("Item%1").arg(i), QString::number(i)));
        {
            RegistryStore::Batch inner(store);
            ASSERT_TRUE(store.setString(u"K", u"Inner", QStringLiteral("y")));
        }
        EXPECT_EQ(store.readString(u"K\\Many", u"Item299").value(), std::optional<QString>(QStringLiteral("299")));
        // Nothing reached the file yet, not even after the inner batch ended.
        EXPECT_EQ(testsupport::readFile(path()), before);
        ASSERT_TRUE(batch.commit());
        EXPECT_NE(testsupport::readFile(path()), before);
    }
    RegistryStore reread(RegistryRoot::CurrentUser, path());
    EXPECT_EQ(reread.valueNames(u"K\\Many").size(), 300);
    EXPECT_EQ(reread.value(u"K", u"Inner"), RegistryValue::fromString(QStringLiteral("y")));
}

TEST_F(RegistryStoreTest, RejectsNamesThatWouldBreakTheFile)
{
    RegistryStore store(RegistryRoot::CurrentUser, path());
    EXPECT_FALSE(store.setString(u"K", u"a\nb", QStringLiteral("x")));
    EXPECT_FALSE(store.setString(u"K\\a]\n[HKEY_CURRENT_USER\\X", u"n", QStringLiteral("x")));
    EXPECT_FALSE(store.keyExists(u"K"));
}

TEST_F(RegistryStoreTest, KeyNamesWithBracketsSurviveTheFile)
{
    // Clan tags in player names end up as key names of the announcer's checklist.
    {
        RegistryStore store(RegistryRoot::LocalMachine, path());
        ASSERT_TRUE(store.setString(u"Software\\H\\checklist\\Frd_[UTA]Mallory", u"Annouce", QStringLiteral("YES")));
        ASSERT_TRUE(store.createKey(u"Software\\H\\checklist\\Foe_x]"));
        ASSERT_TRUE(store.createKey(u"Software\\H\\checklist\\Foe_[y"));
    }
    RegistryStore reread(RegistryRoot::LocalMachine, path());
    EXPECT_EQ(reread.subKeyNames(u"Software\\H\\checklist"),
              QStringList({QStringLiteral("Foe_[y"), QStringLiteral("Foe_x]"), QStringLiteral("Frd_[UTA]Mallory")}));
    const auto value = reread.readString(u"Software\\H\\checklist\\Frd_[UTA]Mallory", u"Annouce");
    ASSERT_TRUE(value);
    EXPECT_EQ(value->value_or(QString()), QStringLiteral("YES"));
}

// A hand-edited file: what can be read is used, the damaged file is kept beside it and
// reported once, and writing afterwards never drops the readable settings.
TEST_F(RegistryStoreTest, DamagedFileIsKeptReportedOnceAndReadAsFarAsPossible)
{
    const QByteArray damaged = "REGEDIT4\r\n"
                               "\r\n"
                               "[HKEY_CURRENT_USER\\SOFTWARE\\Orvane\\Main options]\r\n"
                               "\"BeaconPort_Text\"=\"7777\"\r\n"
                               "\"Broken\"=\"no closing quote\r\n"
                               "\"WrongDword\"=dword:xyz\r\n"
                               "\"TooLong\"=dword:123456789\r\n"
                               "garbage line\r\n"
                               "\"UsePing_Checked\"=\"True\"\r\n"
                               "[HKEY_LOCAL_MACHINE\\Elsewhere]\r\n"
                               "\"Ignored\"=\"x\"\r\n"
                               "[HKEY_CURRENT_USER\\SOFTWARE\\Orvane\\Unclosed\r\n"
                               "[HKEY_CURRENT_USER\\SOFTWARE\\Orvane\\Find form]\r\n"
                               "\"FindText_Text\"=\"Player\"\r\n"
                               "\"Hex\"=hex:01,02,\\\r\n"
                               "  03\r\n"
                               "\"NumberText\"=dword:0000000A\r\n";
    ASSERT_TRUE(testsupport::writeFile(path(), damaged));
    RegistryStore store(RegistryRoot::CurrentUser, path());
    QStringList warnings;
    store.setWarningHandler([&warnings](const QString &w) { warnings.append(w); });

    EXPECT_EQ(store.readString(u"SOFTWARE\\Orvane\\Main options", u"BeaconPort_Text").value(),
              std::optional<QString>(QStringLiteral("7777")));
    EXPECT_EQ(store.readString(u"SOFTWARE\\Orvane\\Main options", u"UsePing_Checked").value(),
              std::optional<QString>(QStringLiteral("True")));
    EXPECT_EQ(store.valueNames(u"SOFTWARE\\Orvane\\Main options").size(), 2);
    EXPECT_EQ(store.value(u"SOFTWARE\\Orvane\\Find form", u"Hex"), RegistryValue::fromBinary("\x01\x02\x03"));
    EXPECT_EQ(store.value(u"SOFTWARE\\Orvane\\Find form", u"NumberText"), RegistryValue::fromDWord(10));
    // A value of the wrong type is an error on reading as text, not a crash or a default.
    EXPECT_FALSE(store.readString(u"SOFTWARE\\Orvane\\Find form", u"NumberText").hasValue());
    EXPECT_FALSE(store.keyExists(u"Elsewhere"));

    ASSERT_EQ(warnings.size(), 1);
    const QStringList copies =
        QDir(m_dir.path()).entryList({QStringLiteral("HKEY_CURRENT_USER.reg.damaged-*")}, QDir::Files);
    ASSERT_EQ(copies.size(), 1);
    EXPECT_TRUE(warnings.first().contains(copies.first()));
    EXPECT_EQ(testsupport::readFile(m_dir.filePath(copies.first())), damaged);

    ASSERT_TRUE(store.setString(u"SOFTWARE\\Orvane\\Main options", u"UsePing_Checked", QStringLiteral("False")));
    EXPECT_EQ(warnings.size(), 1);
    RegistryStore reread(RegistryRoot::CurrentUser, path());
    reread.setWarningHandler([&warnings](const QString &w) { warnings.append(w); });
    EXPECT_EQ(reread.readString(u"SOFTWARE\\Orvane\\Find form", u"FindText_Text").value(),
              std::optional<QString>(QStringLiteral("Player")));
    EXPECT_EQ(reread.readString(u"SOFTWARE\\Orvane\\Main options", u"BeaconPort_Text").value(),
              std::optional<QString>(QStringLiteral("7777")));
    EXPECT_EQ(warnings.size(), 1) << "the rewritten file is clean";
}

// When not even a copy of a damaged file can be kept, the file itself is left alone.
TEST_F(RegistryStoreTest, DamagedFileWithoutACopyIsNeverReplaced)
{
    QByteArray damaged = "REGEDIT4\n[HKEY_CURRENT_USER\\K]\n\"Good\"=\"1\"\nthis line is damaged\n";
    damaged += "\"Padding\"=\"" + QByteArray(6000, 'p') + "\"\n";
    ASSERT_TRUE(testsupport::writeFile(path(), damaged));
    RegistryStore store(RegistryRoot::CurrentUser, path());
    QStringList warnings;
    store.setWarningHandler([&warnings](const QString &w) { warnings.append(w); });
    platform::Status written;
    {
        FileSizeLimit limit(4096);
        ASSERT_TRUE(limit.isActive());
        EXPECT_EQ(store.readString(u"K", u"Good").value(), std::optional<QString>(QStringLiteral("1")));
        written = store.setString(u"K", u"New", QStringLiteral("2"));
    }
    EXPECT_FALSE(written);
    EXPECT_EQ(testsupport::readFile(path()), damaged);
    EXPECT_EQ(warnings.size(), 1);
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("HKEY_CURRENT_USER.reg")});

    // Once a copy can be kept, writing goes on from what could be read.
    ASSERT_TRUE(store.setString(u"K", u"New", QStringLiteral("2")));
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files).size(), 2);
    RegistryStore reread(RegistryRoot::CurrentUser, path());
    EXPECT_EQ(reread.valueNames(u"K"),
              (QStringList{QStringLiteral("Good"), QStringLiteral("Padding"), QStringLiteral("New")}));
}

TEST_F(RegistryStoreTest, FileThatCannotBeReadIsNeverReplaced)
{
    // A folder where the file should be: it exists but cannot be read as a file.
    ASSERT_TRUE(QDir().mkpath(path()));
    RegistryStore store(RegistryRoot::CurrentUser, path());
    QStringList warnings;
    store.setWarningHandler([&warnings](const QString &w) { warnings.append(w); });
    EXPECT_FALSE(store.keyExists(u"SOFTWARE"));
    const platform::Status written = store.setString(u"K", u"A", QStringLiteral("1"));
    ASSERT_FALSE(written);
    EXPECT_FALSE(written.error().message.isEmpty());
    EXPECT_TRUE(QFileInfo(path()).isDir());
    EXPECT_EQ(warnings.size(), 1);
}

TEST_F(RegistryStoreTest, MissingConfigFolderGivesAClearError)
{
    // The config folder's place is taken by a file, so it can never be created.
    const QString blocker = m_dir.filePath(QStringLiteral("orvane-tools"));
    ASSERT_TRUE(testsupport::writeFile(blocker, "not a folder"));
    RegistryStore store(RegistryRoot::LocalMachine, blocker + QStringLiteral("/HKEY_LOCAL_MACHINE.reg"));
    QStringList warnings;
    store.setWarningHandler([&warnings](const QString &w) { warnings.append(w); });
    EXPECT_FALSE(store.value(u"Software\\Heraldex", u"Sound").has_value());
    const platform::Status written = store.setString(u"Software\\Heraldex", u"Sound", QStringLiteral("on"));
    ASSERT_FALSE(written);
    EXPECT_TRUE(written.error().message.contains(blocker)) << written.error().message.toStdString();
    RegistryStore::Batch batch(store);
    EXPECT_FALSE(store.setString(u"Software\\Heraldex", u"Sound", QStringLiteral("on")));
    EXPECT_FALSE(batch.commit());
    EXPECT_EQ(warnings.size(), 1);
}

// The file size limit makes the write fail after part of the new file was written.
TEST_F(RegistryStoreTest, WriteThatFailsHalfWayLeavesTheOldFile)
{
    RegistryStore store(RegistryRoot::CurrentUser, path());
    ASSERT_TRUE(store.setString(u"K", u"Kept", QStringLiteral("old")));
    const QByteArray before = testsupport::readFile(path());

    platform::Status written;
    {
        FileSizeLimit limit(2048);
        ASSERT_TRUE(limit.isActive());
        written = store.setString(u"K", u"Big", QString(8000, u'x'));
    }

    EXPECT_FALSE(written);
    EXPECT_EQ(testsupport::readFile(path()), before);
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("HKEY_CURRENT_USER.reg")});
    // The store does not pretend the failed value is there.
    EXPECT_FALSE(store.value(u"K", u"Big").has_value());
    EXPECT_EQ(store.readString(u"K", u"Kept").value(), std::optional<QString>(QStringLiteral("old")));
}

// Run by TwoProcessesWritingAtOnceLoseNothing in a child process of this executable.
TEST(RegistryStoreChild, WritesItsShareOfValues)
{
    const QString file = qEnvironmentVariable("ORV_REGISTRY_CHILD_FILE");
    if (file.isEmpty())
        GTEST_SKIP() << "only runs as the child of the two-process test";
    RegistryStore store(RegistryRoot::CurrentUser, file);
    for (int i = 0; i < 300; ++i)
        ASSERT_TRUE(store.setString(u"Child", QStringLiteral("Value%1").arg(i), QString::number(i)));
}

TEST_F(RegistryStoreTest, TwoProcessesWritingAtOnceLoseNothing)
{
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("ORV_REGISTRY_CHILD_FILE"), path());
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=RegistryStoreChild.WritesItsShareOfValues")});
    ASSERT_TRUE(child.waitForStarted());
    RegistryStore store(RegistryRoot::CurrentUser, path());
    for (int i = 0; i < 300; ++i) {
        ASSERT_TRUE(store.setString(u"Parent", QStringLiteral("Value%1").arg(i), QString::number(i)));
        if (i % 50 == 0) {
            RegistryStore::Batch batch(store);
            ASSERT_TRUE(store.setString(u"Parent\\Batched", QStringLiteral("B%1").arg(i), QStringLiteral("b")));
        }
    }
    ASSERT_TRUE(child.waitForFinished(60000));
    EXPECT_EQ(child.exitCode(), 0) << child.readAllStandardOutput().toStdString();

    RegistryStore reread(RegistryRoot::CurrentUser, path());
    EXPECT_EQ(reread.valueNames(u"Parent").size(), 300);
    EXPECT_EQ(reread.valueNames(u"Child").size(), 300);
    EXPECT_EQ(reread.valueNames(u"Parent\\Batched").size(), 6);
    for (int i = 0; i < 300; ++i)
        ASSERT_EQ(reread.readString(u"Child", QStringLiteral("Value%1").arg(i)).value(),
                  std::optional<QString>(QString::number(i)));
}

TEST(RegistryFormat, ReportsEachUnusableLineWithItsNumber)
{
    const QByteArray text = "REGEDIT4\n"
                            "[HKEY_CURRENT_USER\\A]\n"
                            "\"ok\"=\"1\"\n"
                            "\"bad\"=dword:\n"
                            "noquote=\"x\"\n"
                            "\"x\"=hex:1,zz\n"
                            "\"y\"=hex(7:00\n"
                            "\"after\"=\"text\" trailing\n"
                            "@=\"default\"\n"
                            "\"gone\"=-\n";
    const platform::regformat::ParseResult r = platform::regformat::parse(text, u"HKEY_CURRENT_USER");
    ASSERT_EQ(r.problems.size(), 5) << r.problems.join(u'|').toStdString();
    EXPECT_TRUE(r.problems[0].startsWith(QStringLiteral("line 4:")));
    EXPECT_TRUE(r.problems[4].startsWith(QStringLiteral("line 8:")));
    ASSERT_EQ(r.values.size(), 4);
    EXPECT_EQ(r.values[1].name, QStringLiteral("ok"));
    EXPECT_TRUE(r.values[2].name.isEmpty());
    EXPECT_EQ(r.values[2].value.text, QStringLiteral("default"));
    EXPECT_TRUE(r.values[3].deleteValue);
}

TEST(RegistryFormat, AcceptsLatin1FilesAndMissingHeaderIsAProblem)
{
    const QByteArray text = "[HKEY_CURRENT_USER\\A]\r\n\"Nick\"=\"J\xf6rg\"\r\n";
    const platform::regformat::ParseResult r = platform::regformat::parse(text, u"HKEY_CURRENT_USER");
    EXPECT_EQ(r.problems.size(), 1);
    ASSERT_EQ(r.values.size(), 2);
    EXPECT_EQ(r.values[1].value.text, QStringLiteral("J\u00f6rg"));
}

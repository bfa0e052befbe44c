// SPDX-License-Identifier: GPL-3.0-or-later
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "platform/desktop/shell.h"
#include "tests/support/testpaths.h"

namespace shell = platform::shell;

namespace {

// Reads an Exec value back the way a desktop reads it: first the string escapes of the
// value, then the quoting rules of the command line. Independent of the writer on purpose.
QStringList parseExec(const QString &value)
{
    QString unescaped;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] == u'\\' && i + 1 < value.size()) {
            const QChar n = value[++i];
            unescaped += n == u'n' ? QChar(u'\n') : n == u't' ? QChar(u'\t') : n == u'r' ? QChar(u'\r') : n;
        } else {
            unescaped += value[i];
        }
    }
    QStringList args;
    QString current;
    bool inArg = false;
    bool quoted = false;
    for (qsizetype i = 0; i < unescaped.size(); ++i) {
        const QChar c = unescaped[i];
        if (quoted) {
            if (c == u'"') {
                quoted = false;
            } else if (c == u'\\' && i + 1 < unescaped.size()) {
                current += unescaped[++i];
            } else if (c == u'%' && i + 1 < unescaped.size() && unescaped[i + 1] == u'%') {
                current += u'%';
                ++i;
            } else {
                current += c;
            }
        } else if (c == u'"') {
            quoted = true;
            inArg = true;
        } else if (c == u' ') {
            if (inArg)
                args << current;
            current.clear();
            inArg = false;
        } else {
            // Everything this writer produces is quoted; a bare character means injection.
            return {QStringLiteral("<unquoted text>")};
        }
    }
    if (inArg)
        args << current;
    return args;
}

QString entryValue(const QByteArray &file, const char *key)
{
    for (const QByteArray &line : file.split('\n'))
        if (line.startsWith(QByteArray(key) + '='))
            return QString::fromUtf8(line.mid(qstrlen(key) + 1));
    return {};
}

} // namespace

TEST(Shell, SplitsCommandLinesLikeWindowsPrograms)
{
    const struct
    {
        const char16_t *text;
        QStringList expected;
    } cases[] = {
        {u"", {}},
        {u"   \t ", {}},
        {u"-safe -userini=User.ini", {QStringLiteral("-safe"), QStringLiteral("-userini=User.ini")}},
        {u"  a   b  ", {QStringLiteral("a"), QStringLiteral("b")}},
        {u"\"a b\" c", {QStringLiteral("a b"), QStringLiteral("c")}},
        {u"-userini=\"My User.ini\"", {QStringLiteral("-userini=My User.ini")}},
        {u"?Name=Foo\" \"Bar", {QStringLiteral("?Name=Foo Bar")}},
        {u"a\\\"b", {QStringLiteral("a\"b")}},
        {u"C:\\UT\\System\\UnrealTournament.exe", {QStringLiteral("C:\\UT\\System\\UnrealTournament.exe")}},
        {u"a\\\\\"b c\"", {QStringLiteral("a\\b c")}},
        {u"\"\" x", {QString(), QStringLiteral("x")}},
        {u"\"unterminated arg", {QStringLiteral("unterminated arg")}},
        {u"; rm -rf $HOME",
         {QStringLiteral(";"), QStringLiteral("rm"), QStringLiteral("-rf"), QStringLiteral("$HOME")}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(shell::splitCommandLine(QStringView(c.text)), c.expected) << QString::fromUtf16(c.text).toStdString();
}

TEST(Shell, LauncherCommandLineCannotBeInjected)
{
    QTemporaryDir dir;
    const QStringList args{QStringLiteral("127.0.0.2:7777?Name=Foo Bar"),
                           QStringLiteral("$(touch /tmp/pwned)"),
                           QStringLiteral("`id`"),
                           QStringLiteral("say \"hi\""),
                           QStringLiteral("C:\\UT\\System\\"),
                           QStringLiteral("%f %U 100%"),
                           QStringLiteral("two\nlines"),
                           QStringLiteral("; ls | cat > x &"),
                           QString()};
    const QString target = dir.filePath(QStringLiteral("my game/run game.sh"));
    const auto created = shell::createDesktopLauncher(QStringLiteral("Play on\n\"Test\" / Arena"), target, args,
                                                      QStringLiteral("/icons/ut.png"), dir.path());
    ASSERT_TRUE(created) << created.error().message.toStdString();
    const QFileInfo info(created.value());
    EXPECT_EQ(info.absolutePath(), QFileInfo(dir.path()).absoluteFilePath());
    EXPECT_TRUE(info.fileName().endsWith(QStringLiteral(".desktop")));
    EXPECT_FALSE(info.fileName().contains(u'/'));
    EXPECT_TRUE(info.isExecutable());

    const QByteArray text = testsupport::readFile(created.value());
    EXPECT_TRUE(text.startsWith("[Desktop Entry]\n"));
    EXPECT_EQ(text.count('\n'), 8) << "one line per key, no line break leaked from the values";
    EXPECT_EQ(entryValue(text, "Name"), QStringLiteral("Play on\\n\"Test\" / Arena"));
    EXPECT_EQ(entryValue(text, "Icon"), QStringLiteral("/icons/ut.png"));
    EXPECT_EQ(entryValue(text, "Type"), QStringLiteral("Application"));
    EXPECT_EQ(parseExec(entryValue(text, "Exec")), QStringList{target} + args);
}

TEST(Shell, WindowsProgramsNeedWine)
{
    EXPECT_TRUE(shell::needsWine(QStringLiteral("C:/UT/System/UnrealTournament.exe")));
    EXPECT_TRUE(shell::needsWine(QStringLiteral("/games/ut/System/UCC.EXE")));
    EXPECT_FALSE(shell::needsWine(QStringLiteral("/usr/bin/ut")));
    EXPECT_FALSE(shell::needsWine(QStringLiteral("/games/exe/run")));
}

TEST(Shell, WindowsProgramWithoutWineIsAClearError)
{
    QTemporaryDir emptyPath;
    const QByteArray savedPath = qgetenv("PATH");
    qputenv("PATH", emptyPath.path().toLocal8Bit());
    const platform::Status started = shell::startDetached(QStringLiteral("/games/UT/System/UnrealTournament.exe"), {});
    const auto launcher = shell::createDesktopLauncher(QStringLiteral("UT"), QStringLiteral("/games/UT/UT.exe"), {}, {},
                                                       emptyPath.path());
    qputenv("PATH", savedPath);
    ASSERT_FALSE(started);
    EXPECT_TRUE(started.error().message.contains(QStringLiteral("Wine")));
    EXPECT_FALSE(launcher);
}

TEST(Shell, StartsAProgramDetachedWithExactArguments)
{
    QTemporaryDir dir;
    // Characters a shell would act on must reach the program untouched.
    const QString file = dir.filePath(QStringLiteral("made by touch $(x) ; & 'q'"));
    ASSERT_TRUE(shell::startDetached(QStringLiteral("/usr/bin/touch"), {file}));
    QDeadlineTimer deadline(20000);
    while (!QFileInfo::exists(file) && !deadline.hasExpired())
        QTest::qWait(20);
    EXPECT_TRUE(QFileInfo::exists(file));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1);
}

TEST(Shell, MissingProgramIsAnError)
{
    EXPECT_FALSE(shell::startDetached(QStringLiteral("/nonexistent/program"), {}));
    EXPECT_FALSE(shell::startDetached(QStringLiteral("  "), {}));
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include <optional>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "orv/core/launchcommands.h"

using namespace orv::core;

namespace {

PlayerPreset bob()
{
    PlayerPreset p;
    p.nickname = QStringLiteral("Bob");
    p.team = QStringLiteral("None");
    for (QString *field : {&p.skin, &p.skinClass, &p.skinT, &p.skinClassT, &p.faceT, &p.voiceT})
        *field = QStringLiteral("N/A");
    return p;
}

} // namespace

TEST(LaunchUrl, BuildsThePairsOfEachGame)
{
    PlayerPreset full = bob();
    full.team = QStringLiteral("Gold");
    full.password = QStringLiteral("pw");
    full.skin = QStringLiteral("Skins.S");
    full.skinClass = QStringLiteral("Mesh");
    full.skinT = QStringLiteral("SkinT");
    full.skinClassT = QStringLiteral("ClassT");
    full.faceT = QStringLiteral("FaceT");
    full.voiceT = QStringLiteral("VoiceT");
    PlayerPreset noName = bob();
    noName.nickname.clear();
    noName.team.clear();
    struct Case
    {
        const char *label;
        PlayerPreset preset;
        bool ut;
        QString url;
    };
    const Case cases[] = {
        {"the documented UT example", bob(), true, "192.0.2.10?port=7777?Name=Bob?Team=255"},
        {"Unreal, everything", full, false, "192.0.2.10?port=7777?Name=Bob?Team=3?Skin=Skins.S?Class=Mesh?Password=pw"},
        {"UT, everything in its own order", full, true,
         "192.0.2.10?port=7777?Name=Bob?Class=ClassT?Team=3?Skin=SkinT?Face=FaceT?Voice=VoiceT?Password=pw"},
        {"no name, no colour chosen", noName, false, "192.0.2.10?port=7777?Team=0"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(launch::connectionUrl(QStringLiteral("192.0.2.10"), QStringLiteral("7777"), c.preset, c.ut), c.url);
    }
    for (const auto &[team, number] : std::initializer_list<std::pair<const char *, int>>{
             {"None", 255}, {"Red", 0}, {"Blue", 1}, {"Green", 2}, {"Gold", 3}, {"gold", 0}, {"", 0}})
        EXPECT_EQ(launch::teamNumber(QString::fromLatin1(team)), number) << team;
}

TEST(LaunchUrl, ArgumentsCannotBeInjected)
{
    struct Case
    {
        const char *label;
        QString nickname;
        QString extra;
        QStringList tail;
    };
    const Case cases[] = {
        {"backslashes and quotes", QStringLiteral("a\\\"b\" -server"), QString(), {}},
        {"blanks and question mark", QStringLiteral("Bob the ?Password=x"), QStringLiteral("-log"), {"-log"}},
        {"255 characters",
         QString(255, u'x'),
         QStringLiteral("  -nosound   INI=\"my file.ini\""),
         {"-nosound", "INI=my file.ini"}},
        {"shell characters", QStringLiteral("$(reboot); `id` | & > /tmp/x"), QString(), {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        PlayerPreset p = bob();
        p.nickname = c.nickname;
        const QString url = launch::connectionUrl(QStringLiteral("192.0.2.10"), QStringLiteral("7777"), p, true);
        const QStringList args = launch::gameArguments(url, c.extra);
        ASSERT_EQ(args.size(), 1 + c.tail.size());
        EXPECT_EQ(args.first(), url);
        EXPECT_TRUE(args.first().contains(QStringLiteral("?Name=") + c.nickname));
        EXPECT_EQ(args.mid(1), c.tail);
    }
    EXPECT_EQ(launch::gameArguments(QString(), QStringLiteral("-log")), QStringList({"-log"}));
    EXPECT_EQ(launch::commandText(QStringLiteral("g"), QString(), QStringLiteral("-log")), QStringLiteral("g  -log"));
}

TEST(LaunchUrl, RejectsServerValuesThatWouldBeSwitches)
{
    struct Case
    {
        const char *address;
        const char *port;
        bool bad;
    };
    const Case cases[] = {
        {"192.0.2.10", "7777", false},    {"host.example", "0", false}, {"192.0.2.10", "7777 -foo", true},
        {"192.0.2.10", "65536", true},    {"192.0.2.10", "+7", true},   {"192.0.2.10", "", true},
        {"-server", "7777", true},        {"a b", "7777", true},        {"", "7777", true},
        {"192.0.2.10\n-x", "7777", true}, {"N/A", "N/A", true},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(launch::badServerTarget(QString::fromLatin1(c.address), QString::fromLatin1(c.port)).has_value(),
                  c.bad)
            << c.address << " " << c.port;
    }
}

TEST(LaunchUrl, ClipboardAndShellTexts)
{
    EXPECT_EQ(launch::clipboardAddress(QStringLiteral("192.0.2.10"), QStringLiteral("7777")),
              QStringLiteral("192.0.2.10:7777"));
    EXPECT_EQ(launch::unrealUrl(QStringLiteral("192.0.2.10")), QStringLiteral("unreal://192.0.2.10/index.unr"));
    EXPECT_EQ(launch::mailUrl(QStringLiteral("admin@example.org")), QStringLiteral("mailto:admin@example.org"));
    EXPECT_EQ(launch::webUrl(QStringLiteral("192.0.2.10")), QStringLiteral("http://192.0.2.10"));
}

TEST(LaunchCommands, GameCommandsForNativeWineAndWrappedGames)
{
    using launch::buildGameCommand;
    const QStringList args = {"192.0.2.10?port=7777?Name=Bob", "-log"};
    const auto native = buildGameCommand("/games/UT/System64/ut-bin-amd64", args, QString());
    EXPECT_EQ(native.program, QStringLiteral("/games/UT/System64/ut-bin-amd64"));
    EXPECT_EQ(native.arguments, args);
    EXPECT_EQ(native.workingFolder, QStringLiteral("/games/UT/System64"));
    EXPECT_TRUE(native.environment.isEmpty());

    const auto wrapped = buildGameCommand("/home/p/.wine/drive_c/UT/System/UnrealTournament.exe", args,
                                          QStringLiteral("gamemoderun \"%command%\" --after"));
    EXPECT_EQ(wrapped.program, QStringLiteral("gamemoderun"));
    EXPECT_EQ(wrapped.arguments, QStringList({"wine", "/home/p/.wine/drive_c/UT/System/UnrealTournament.exe", args[0],
                                              args[1], "--after"}));
    EXPECT_EQ(wrapped.environment, (QList<std::pair<QString, QString>>{{"WINEPREFIX", "/home/p/.wine"}}));
    EXPECT_EQ(wrapped.workingFolder, QStringLiteral("/home/p/.wine/drive_c/UT/System"));

    // Without %command% the game comes after the wrapper's words; a .exe outside a prefix
    // runs in wine's default one.
    const auto plain = buildGameCommand("/mnt/UT/System/UnrealTournament.exe", {}, QStringLiteral("env DXVK_HUD=1"));
    EXPECT_EQ(plain.program, QStringLiteral("env"));
    EXPECT_EQ(plain.arguments, QStringList({"DXVK_HUD=1", "wine", "/mnt/UT/System/UnrealTournament.exe"}));
    EXPECT_TRUE(plain.environment.isEmpty());
}

TEST(LaunchCommands, WindowsPathsUnderWine)
{
    QTemporaryDir dir;
    const QString prefix = dir.filePath("prefix");
    ASSERT_TRUE(QDir().mkpath(prefix + "/drive_c/UT/System"));
    ASSERT_TRUE(QDir().mkpath(prefix + "/dosdevices"));
    ASSERT_TRUE(QDir().mkpath(dir.filePath("games")));
    ASSERT_TRUE(QFile::link(dir.filePath("games"), prefix + "/dosdevices/d:"));
    EXPECT_EQ(launch::windowsPath(prefix + "/drive_c/UT/System/User.ini", prefix),
              QStringLiteral("C:\\UT\\System\\User.ini"));
    EXPECT_EQ(launch::windowsPath(dir.filePath("games/My UT/User.ini"), prefix), QStringLiteral("D:\\My UT\\User.ini"));
    EXPECT_EQ(launch::windowsPath("/home/p/ini/a.ini", prefix), QStringLiteral("Z:\\home\\p\\ini\\a.ini"));
    EXPECT_EQ(launch::windowsPath("/home/p/ini/a.ini", QString()), QStringLiteral("Z:\\home\\p\\ini\\a.ini"));
    EXPECT_EQ(launch::winePrefixOf(prefix + "/drive_c/UT/System/UnrealTournament.exe"), prefix);
    EXPECT_TRUE(launch::winePrefixOf("/games/UT/System/UnrealTournament.exe").isEmpty());
}

TEST(LaunchCommands, ServerLinks)
{
    struct Case
    {
        const char *link;
        const char *address; // nullptr: refused
        const char *port;
        std::optional<QString> password;
    };
    const Case cases[] = {
        {"unreal://192.0.2.10:7778/index.unr", "192.0.2.10", "7778", std::nullopt},
        {"UNREAL://ut.example.org", "ut.example.org", "7777", std::nullopt},
        {"unreal://192.0.2.10:7777/?password=s%20x", nullptr, nullptr, std::nullopt},
        {"unreal://192.0.2.10:7777/DM-Deck16?Name=x?password=secret", "192.0.2.10", "7777", QStringLiteral("secret")},
        {"unreal://192.0.2.10?password=a?Name=Admin", "192.0.2.10", "7777", QStringLiteral("a")},
        {"unreal://192.0.2.10:0", nullptr, nullptr, std::nullopt},
        {"unreal://192.0.2.10:70000", nullptr, nullptr, std::nullopt},
        {"unreal://-server:7777", nullptr, nullptr, std::nullopt},
        {"unreal://", nullptr, nullptr, std::nullopt},
        {"unreal://a b:7777", nullptr, nullptr, std::nullopt},
        {"http://192.0.2.10:7777", nullptr, nullptr, std::nullopt},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.link);
        const auto link = launch::parseUnrealLink(QString::fromLatin1(c.link));
        ASSERT_EQ(link.hasValue(), c.address != nullptr);
        if (!link) {
            EXPECT_TRUE(link.error().message.contains(QStringLiteral("is not a server link")));
            continue;
        }
        EXPECT_EQ(link->address, QString::fromLatin1(c.address));
        EXPECT_EQ(link->gamePort, QString::fromLatin1(c.port));
        EXPECT_EQ(link->password, c.password);
    }
}

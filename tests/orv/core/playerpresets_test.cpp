// SPDX-License-Identifier: GPL-3.0-or-later
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "orv/core/playerpresets.h"
#include "tests/support/testpaths.h"

using namespace orv::core;

TEST(PlayerPresets, NicknamesEncodeToOneKeyLevel)
{
    struct Case
    {
        QString nickname;
        QString encoded;
    };
    const Case cases[] = {
        {QStringLiteral("Player"), QStringLiteral("80#108#97#121#101#114#")},
        {QStringLiteral("a\\b"), QStringLiteral("97#92#98#")},
        {QStringLiteral("\"q\" ?"), QStringLiteral("34#113#34#32#63#")},
        {QStringLiteral("\u00e9\u20ac"), QStringLiteral("233#8364#")},
        {QString::fromUcs4(U"\U0001F600"), QStringLiteral("128512#")},
        {QString(), QString()},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.nickname.toStdString());
        EXPECT_EQ(encodeNickname(c.nickname), c.encoded);
        EXPECT_FALSE(encodeNickname(c.nickname).contains(u'\\'));
        if (!c.nickname.isEmpty()) {
            EXPECT_EQ(decodeNickname(c.encoded), c.nickname);
        }
    }
    EXPECT_EQ(presetSection(u"Player"), QStringLiteral("Players\\80#108#97#121#101#114#"));
    for (const char *bad : {"", "80", "80#x#", "#", "99999999#", "55296#"})
        EXPECT_FALSE(decodeNickname(QString::fromLatin1(bad))) << bad;
}

TEST(PlayerPresets, AddRulesCheckSizeBeforeDuplicates)
{
    QStringList full;
    for (int i = 0; i < kMaxPresets; ++i)
        full.append(QString::number(i));
    struct Case
    {
        const char *label;
        QStringList list;
        QString nickname;
        PresetAdd expected;
    };
    const Case cases[] = {
        {"first preset", {}, QStringLiteral("Bob"), PresetAdd::Add},
        {"exact duplicate", {QStringLiteral("Bob")}, QStringLiteral("Bob"), PresetAdd::Duplicate},
        {"other case is another preset", {QStringLiteral("Bob")}, QStringLiteral("bob"), PresetAdd::Add},
        {"empty name", {}, QString(), PresetAdd::NoName},
        {"255 presets", full, QStringLiteral("0"), PresetAdd::Full},
        {"254 presets", full.mid(1), QStringLiteral("x"), PresetAdd::Add},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(checkPresetAdd(c.list, c.nickname), c.expected);
    }
}

// The identity a first start takes from the game's User.ini: [DefaultPlayer] only, keys in
// any case; a file without that section gives nothing.
TEST(PlayerPresets, GamePlayerComesFromTheDefaultPlayerSection)
{
    QTemporaryDir dir;
    const QString ini = dir.filePath("User.ini");
    ASSERT_TRUE(testsupport::writeFile(ini, "[Engine.Input]\r\nName=NotThis\r\n[DefaultPlayer]\r\nName=Gorn\r\n"
                                            "Class=Botpack.TMale2\r\nteam=1\r\nskin=SoldierSkins.blkt\r\n"
                                            "Face=SoldierSkins.Gorn\r\nVoice=BotPack.VoiceMaleTwo\r\n"
                                            "[Other]\r\nskin=Nope\r\n"));
    const auto player = readGamePlayer(ini);
    ASSERT_TRUE(player.has_value());
    EXPECT_EQ(player->name, QStringLiteral("Gorn"));
    EXPECT_EQ(player->team, 1);
    EXPECT_EQ(player->playerClass, QStringLiteral("Botpack.TMale2"));
    EXPECT_EQ(player->skin, QStringLiteral("SoldierSkins.blkt"));
    EXPECT_EQ(player->face, QStringLiteral("SoldierSkins.Gorn"));
    EXPECT_EQ(player->voice, QStringLiteral("BotPack.VoiceMaleTwo"));
    ASSERT_TRUE(testsupport::writeFile(ini, "[Engine.Input]\r\nName=x\r\n"));
    EXPECT_FALSE(readGamePlayer(ini).has_value());
    EXPECT_FALSE(readGamePlayer(dir.filePath("missing.ini")).has_value());
}

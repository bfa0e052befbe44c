// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "orv/core/playerpresets.h"

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

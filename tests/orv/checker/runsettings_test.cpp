// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/checker/runsettings.h"

#include <gtest/gtest.h>

using namespace orv::checker;

TEST(RunSettings, TypedDelayIsBroughtToTheNearerBound)
{
    const std::pair<qint64, int> cases[] = {
        {-5, 100},  {0, 100},         {99, 100},        {100, 100},
        {500, 500}, {100000, 100000}, {100001, 100000}, {5000000000LL, 100000},
    };
    for (const auto &[typed, expected] : cases)
        EXPECT_EQ(clampRepeatDelay(typed), expected) << typed;
}

TEST(RunSettings, DefaultsCheckOnlyPlaySound)
{
    const RunSettings settings;
    for (int i = 0; i < kRuleRightActionCount; ++i) {
        const auto action = static_cast<RuleRightAction>(i);
        EXPECT_EQ(settings.isChecked(action), action == RuleRightAction::PlaySound) << i;
    }
    EXPECT_EQ(ruleRightActionCaption(RuleRightAction::RunGame), QStringLiteral("Run game"));
    EXPECT_EQ(ruleRightActionCaption(RuleRightAction::AddToFavorites), QStringLiteral("Add to favorites"));
}

TEST(RunSettings, AlertSoundLosesItsQuotes)
{
    EXPECT_EQ(alertSoundName(QStringLiteral("\"C:\\Sounds\\alarm.wav\"")), QStringLiteral("C:\\Sounds\\alarm.wav"));
    EXPECT_EQ(alertSoundName(QStringLiteral("a\"b\"\"c")), QStringLiteral("abc"));
    EXPECT_EQ(alertSoundName(QStringLiteral("warning.wav")), QStringLiteral("warning.wav"));
}

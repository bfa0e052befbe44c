// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>

#include <QString>

// The settings of a checking run that each checker preset keeps, with their defaults and
// bounds.
namespace orv::checker {

constexpr int kMinRepeatDelay = 100;
constexpr int kMaxRepeatDelay = 100000;
constexpr int kDefaultRepeatDelay = 500;

// A typed delay brought back to the nearer bound.
constexpr int clampRepeatDelay(qint64 milliseconds)
{
    return milliseconds < kMinRepeatDelay   ? kMinRepeatDelay
           : milliseconds > kMaxRepeatDelay ? kMaxRepeatDelay
                                            : static_cast<int>(milliseconds);
}

// The actions taken when the rule is right, in list order; their check states are stored
// as Item0 ... Item5 in this order.
enum class RuleRightAction { RunGame, UseOtherPlayerPreset, PlaySound, ShowNotice, RestoreWindow, AddToFavorites };
constexpr int kRuleRightActionCount = 6;

// 0 unchecked, 1 checked, 2 greyed, as the check list stores them.
enum class CheckState { Unchecked = 0, Checked = 1, Greyed = 2 };

struct RunSettings
{
    std::array<CheckState, kRuleRightActionCount> whenRuleRight{CheckState::Unchecked, CheckState::Unchecked,
                                                                CheckState::Checked,   CheckState::Unchecked,
                                                                CheckState::Unchecked, CheckState::Unchecked};
    bool minimizeWindow = true;
    QString alertSound = QStringLiteral("warning.wav");
    QString notice = QStringLiteral("Warning! check the Orvane NOW!");
    QString playerPreset;
    int repeatDelay = kDefaultRepeatDelay;

    bool isChecked(RuleRightAction action) const
    {
        return whenRuleRight[static_cast<size_t>(action)] == CheckState::Checked;
    }
};

// The captions of the actions in list order.
QString ruleRightActionCaption(RuleRightAction action);

// The sound file the alert plays: the alert text with every double quote removed.
QString alertSoundName(const QString &alertSound);

} // namespace orv::checker

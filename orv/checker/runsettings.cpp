// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/checker/runsettings.h"

#include <QCoreApplication>

#include "orv/engine/textutil.h"

namespace orv::checker {

QString ruleRightActionCaption(RuleRightAction action)
{
    const char *caption = "";
    switch (action) {
    case RuleRightAction::RunGame:
        caption = "Run game";
        break;
    case RuleRightAction::UseOtherPlayerPreset:
        caption = "Use other player preset";
        break;
    case RuleRightAction::PlaySound:
        caption = "Play sound";
        break;
    case RuleRightAction::ShowNotice:
        caption = "Show notice";
        break;
    case RuleRightAction::RestoreWindow:
        caption = "Restore minimized window";
        break;
    case RuleRightAction::AddToFavorites:
        caption = "Add to favorites";
        break;
    }
    return QCoreApplication::translate("orv::checker::RunSettings", caption);
}

QString alertSoundName(const QString &alertSound)
{
    return engine::RemoveChar(alertSound, QLatin1Char('"'));
}

} // namespace orv::checker

// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/checker/presetname.h"

#include <QCoreApplication>

namespace orv::checker {

bool presetBoxAccepts(QChar c)
{
    return c != QLatin1Char('.') && c != QLatin1Char('/') && c != QLatin1Char('\\');
}

std::optional<QString> importedPresetNameProblem(QStringView name)
{
    if (name.size() > kMaxPresetNameLength)
        return QCoreApplication::translate("orv::checker::presetname", "A preset name has at most %1 characters.")
            .arg(kMaxPresetNameLength);
    for (const QChar c : name) {
        // Control characters would end the name's line in the stored settings file.
        if (!presetBoxAccepts(c) || c.unicode() < 0x20 || c.unicode() == 0x7f)
            return QCoreApplication::translate("orv::checker::presetname",
                                               "A preset name can not contain \".\", \"/\", \"\\\" or control "
                                               "characters.");
    }
    return std::nullopt;
}

} // namespace orv::checker

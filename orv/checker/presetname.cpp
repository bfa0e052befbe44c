// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/checker/presetname.h"

#include <algorithm>

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

PresetAdd checkPresetAdd(const QStringList &names, const QString &name)
{
    if (name.isEmpty() || names.size() >= kMaxPresets)
        return PresetAdd::Ignored;
    if (names.contains(name, Qt::CaseSensitive))
        return PresetAdd::Duplicate;
    if (names.contains(name, Qt::CaseInsensitive))
        return PresetAdd::CaseDuplicate;
    return PresetAdd::Added;
}

QString duplicatePresetMessage()
{
    return QCoreApplication::translate("orv::checker::presetname", "Change preset name!");
}

QString caseDuplicatePresetMessage(const QStringList &names, const QString &name)
{
    const auto existing = std::find_if(names.cbegin(), names.cend(),
                                       [&name](const QString &n) { return n.compare(name, Qt::CaseInsensitive) == 0; });
    return QCoreApplication::translate("orv::checker::presetname",
                                       "Change preset name! \"%1\" differs from the preset \"%2\" only in letter "
                                       "case, and presets are stored without regard to case.")
        .arg(name, existing != names.cend() ? *existing : name);
}

QString presetSection(const QString &name)
{
    return QStringLiteral("Repeat\\") + name;
}

QStringList presetKeysToDelete(const QString &name)
{
    const QString key = QStringLiteral("SOFTWARE\\Orvane\\") + presetSection(name);
    return {key, key + QStringLiteral(".Prg_Items")};
}

} // namespace orv::checker

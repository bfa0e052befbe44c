// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/tools/valueeditorchoice.h"

#include <QDir>
#include <QFileInfo>

namespace orv::tools {

ValueEditor chooseValueEditor(QStringView key, QStringView value)
{
    ValueEditor choice = ValueEditor::PlainCell;
    const QString k = key.toString().toLower();
    const QString v = value.toString().toLower();
    if (v.isEmpty()) {
        if (k.contains(u"path"))
            choice = ValueEditor::FileNameBox;
        if (k.contains(u"map") && !k.contains(u"mapnum"))
            choice = ValueEditor::FileNameBox;
        return choice;
    }
    if (v.contains(u"true") || v.contains(u"false"))
        choice = ValueEditor::TrueFalseBox;
    if (v.contains(u".unr") || v.contains(u"..\\") || v.contains(u":\\"))
        choice = ValueEditor::FileNameBox;
    return choice;
}

QString mapsFolderFor(const QString &iniFolder)
{
    QString folder = QDir::cleanPath(iniFolder);
    const QString marker = QStringLiteral("/system");
    qsizetype at = folder.lastIndexOf(marker, -1, Qt::CaseInsensitive);
    // Only a whole path part named "System" is the game's system folder.
    while (at >= 0 && at + marker.size() < folder.size() && folder.at(at + marker.size()) != QLatin1Char('/'))
        at = at == 0 ? -1 : folder.lastIndexOf(marker, at - 1, Qt::CaseInsensitive);
    if (at < 0)
        return folder;

    const QString parent = folder.left(at);
    const QString rest = folder.mid(at + marker.size());
    QString maps = QStringLiteral("Maps");
    const QDir parentDir(parent.isEmpty() ? QStringLiteral("/") : parent);
    for (const QString &entry : parentDir.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (entry.compare(maps, Qt::CaseInsensitive) == 0) {
            maps = entry;
            break;
        }
    }
    return parent + QLatin1Char('/') + maps + rest;
}

} // namespace orv::tools

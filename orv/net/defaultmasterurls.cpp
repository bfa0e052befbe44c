// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/net/defaultmasterurls.h"

#include <QDir>
#include <QFile>

#include "orv/net/gamespy.h"
#include "platform/paths.h"

namespace orv::net {

DefaultMasters parseDefaultMasters(QByteArrayView text)
{
    DefaultMasters masters;
    QList<MasterUrl> *section = nullptr;
    const QList<QByteArray> lines = text.toByteArray().split('\n');
    for (const QByteArray &raw : lines) {
        const QByteArray line = raw.trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        if (line == "[unreal]") {
            section = &masters.unreal;
            continue;
        }
        if (line == "[ut]") {
            section = &masters.ut;
            continue;
        }
        if (line.startsWith('[')) {
            section = nullptr;
            continue;
        }
        if (!section)
            continue;
        const bool checked = !line.startsWith('-');
        const QString url = QString::fromLatin1(checked ? line : line.sliced(1).trimmed());
        if (parseMasterSource(url).kind != MasterSourceKind::Invalid)
            section->append({url, checked});
    }
    return masters;
}

DefaultMasters loadDefaultMasters(const QString &folder)
{
    const QString from = folder.isEmpty() ? platform::paths::shippedDataFolder() : folder;
    if (from.isEmpty())
        return {};
    QFile file(QDir(from).filePath(QString::fromLatin1(kDefaultMastersFile)));
    // A defaults file is a few lines; anything much larger is not ours.
    if (!file.open(QIODevice::ReadOnly) || file.size() > 64 * 1024)
        return {};
    return parseDefaultMasters(file.readAll());
}

} // namespace orv::net

// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/tools/clanslist.h"

#include <QFileInfo>
#include <QHash>

#include "orv/tools/inilines.h"
#include "orv/tools/tbiggerinifile.h"

namespace orv::tools {

using namespace inilines;

ClansList::ClansList() = default;
ClansList::~ClansList() = default;
ClansList::ClansList(ClansList &&) noexcept = default;
ClansList &ClansList::operator=(ClansList &&) noexcept = default;

platform::Status ClansList::load(const QString &fileName)
{
    clear();
    if (!QFileInfo::exists(fileName))
        return {};
    auto store = std::make_unique<TBiggerIniFile>(fileName);
    if (auto status = store->load(); !status)
        return status;
    m_store = std::move(store);
    collectClans();
    return {};
}

void ClansList::loadFromBytes(QByteArrayView bytes)
{
    clear();
    m_store = std::make_unique<TBiggerIniFile>(QString());
    m_store->loadFromBytes(bytes);
    collectClans();
}

void ClansList::clear()
{
    m_store.reset();
    m_clans.clear();
}

void ClansList::collectClans()
{
    for (const IniSection &section : m_store->sections()) {
        if (section.lines.isEmpty() || !QByteArrayView(section.name).contains(kClanMarker))
            continue;
        m_clans.append(ClanEntry{TBiggerIniFile::valueOf(section.lines, "FullName"),
                                 TBiggerIniFile::valueOf(section.lines, "ShortName"),
                                 TBiggerIniFile::valueOf(section.lines, "Page")});
    }
}

QList<QByteArray> ClansList::members(QByteArrayView shortName) const
{
    QList<QByteArray> nicknames;
    if (!m_store)
        return nicknames;
    QByteArray sectionName = kClanMarker.toByteArray();
    sectionName.append(shortName);
    const QList<QByteArray> lines = m_store->sectionLines(sectionName);

    // The first value of every key, folded, so that a clan of many members is read in
    // linear time rather than by one scan of the section per member.
    qsizetype count = 0;
    QHash<QByteArray, QByteArrayView> firstValue;
    for (const QByteArray &line : lines) {
        if (QByteArrayView(line).contains(kMemberMarker))
            ++count;
        if (hasKey(line)) {
            const QByteArray key = toLowerAscii(lineKey(line));
            if (!firstValue.contains(key))
                firstValue.insert(key, lineValue(line));
        }
    }
    nicknames.reserve(count);
    for (qsizetype k = 1; k <= count; ++k) {
        QByteArray key = toLowerAscii(kMemberMarker);
        key.append(QByteArray::number(k)).append(']');
        nicknames.append(firstValue.value(key).toByteArray());
    }
    return nicknames;
}

MemberInfo ClansList::memberInfo(QByteArrayView nickname) const
{
    if (!m_store)
        return {};
    QByteArray sectionName = kDetailsPrefix.toByteArray();
    sectionName.append(nickname);
    const QList<QByteArray> lines = m_store->sectionLines(sectionName);
    if (lines.isEmpty())
        return {};
    return MemberInfo{
        TBiggerIniFile::valueOf(lines, MemberInfo::kKeys[0]), TBiggerIniFile::valueOf(lines, MemberInfo::kKeys[1]),
        TBiggerIniFile::valueOf(lines, MemberInfo::kKeys[2]), TBiggerIniFile::valueOf(lines, MemberInfo::kKeys[3])};
}

} // namespace orv::tools

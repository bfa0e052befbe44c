// SPDX-License-Identifier: GPL-3.0-or-later
#include "heraldex/core/checklist.h"

#include <algorithm>

#include "platform/registrystore.h"

namespace heraldex::core {

Checklist::Checklist(platform::RegistryStore &store)
    : m_store(store)
{}

QString Checklist::prefix(EntryKind kind)
{
    return (kind == EntryKind::Friend ? kFriendPrefix : kFoePrefix).toString();
}

QString Checklist::keyName(EntryKind kind, const QString &text)
{
    return prefix(kind) + text;
}

QString Checklist::textOf(QStringView keyName)
{
    return keyName.mid(kPrefixLength).toString();
}

bool Checklist::isValidEntryText(QStringView text)
{
    if (text.isEmpty())
        return false;
    return std::none_of(text.begin(), text.end(),
                        [](QChar c) { return c == u'\\' || c.unicode() < 0x20 || c.unicode() == 0x7f; });
}

QString Checklist::entryPath(QStringView keyName) const
{
    return kChecklistKey.toString() + u'\\' + keyName.toString();
}

QStringList Checklist::getALlKeyPlayers() const
{
    QStringList keys = m_store.subKeyNames(kChecklistKey);
    for (QString &key : keys)
        key.remove(QChar(0));
    return keys;
}

QString Checklist::announceValue(const QString &keyName) const
{
    const auto text = m_store.readString(entryPath(keyName), kAnnounceValue);
    return text && text.value() ? *text.value() : QString();
}

platform::Status Checklist::addEntry(EntryKind kind, const QString &text)
{
    if (!isValidEntryText(text))
        return platform::Error{1, QStringLiteral("A checklist entry needs a text without backslashes.")};
    const QString path = entryPath(keyName(kind, text));
    if (auto created = m_store.createKey(path); !created)
        return created;
    return m_store.setString(path, kAnnounceValue, kArmed.toString());
}

platform::Status Checklist::removeEntry(const QString &keyName)
{
    if (keyName.trimmed().isEmpty() || keyName.contains(u'\\'))
        return platform::Error{1, QStringLiteral("Not a checklist entry: %1").arg(keyName)};
    return m_store.deleteKey(entryPath(keyName));
}

platform::Status Checklist::resetToYES()
{
    const QStringList keys = getALlKeyPlayers();
    if (keys.isEmpty())
        return {};
    platform::RegistryStore::Batch batch(m_store);
    for (const QString &key : keys) {
        if (auto written = m_store.setString(entryPath(key), kAnnounceValue, kArmed.toString()); !written)
            return written;
    }
    return batch.commit();
}

std::optional<Announcement> Checklist::playAnnoucement(const QString &strName, const QString &strIP)
{
    for (const QString &key : getALlKeyPlayers()) {
        const QString text = textOf(key);
        if (text != strIP && text != strName)
            continue;
        if (announceValue(key) != kArmed)
            continue;
        std::optional<EntryKind> kind;
        if (key.startsWith(kFriendPrefix))
            kind = EntryKind::Friend;
        else if (key.startsWith(kFoePrefix))
            kind = EntryKind::Foe;
        if (!kind)
            continue;
        // A write that fails leaves the entry armed: the player is announced again at the
        // next poll rather than never.
        (void)m_store.setString(entryPath(key), kAnnounceValue, kAnnounced.toString());
        return Announcement{*kind, key};
    }
    return std::nullopt;
}

QList<Announcement> Checklist::applyPoll(const std::optional<QList<PlayerRow>> &rows)
{
    QList<Announcement> announcements;
    if (!rows) {
        (void)resetToYES();
        return announcements;
    }
    platform::RegistryStore::Batch batch(m_store);
    for (const PlayerRow &row : *rows) {
        if (auto announcement = playAnnoucement(row.name, row.ip))
            announcements.append(std::move(*announcement));
    }
    for (const QString &key : getALlKeyPlayers()) {
        const QString text = textOf(key);
        const bool present =
            std::any_of(rows->begin(), rows->end(), [&](const PlayerRow &r) { return r.ip == text || r.name == text; });
        if (!present)
            (void)m_store.setString(entryPath(key), kAnnounceValue, kArmed.toString());
    }
    (void)batch.commit();
    return announcements;
}

} // namespace heraldex::core

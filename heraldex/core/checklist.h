// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include <QList>
#include <QMetaType>
#include <QString>
#include <QStringList>
#include <QStringView>

#include "heraldex/core/pageparser.h"
#include "platform/result.h"

namespace platform {
class RegistryStore;
}

namespace heraldex::core {

inline constexpr QStringView kHeraldexKey = u"Software\\Heraldex";
inline constexpr QStringView kChecklistKey = u"Software\\Heraldex\\checklist";
inline constexpr QStringView kFriendPrefix = u"Frd_";
inline constexpr QStringView kFoePrefix = u"Foe_";
// The value name keeps the program's historical spelling: existing checklists use it.
inline constexpr QStringView kAnnounceValue = u"Annouce";
inline constexpr QStringView kArmed = u"YES";
inline constexpr QStringView kAnnounced = u"NO";
inline constexpr qsizetype kPrefixLength = 4;

enum class EntryKind { Friend, Foe };

// One sound to play: which kind, and the checklist key that caused it.
struct Announcement
{
    EntryKind kind = EntryKind::Friend;
    QString key;
    friend bool operator==(const Announcement &, const Announcement &) = default;
};

// The friends and foes to announce, kept as keys below Software\Heraldex\checklist in the
// machine-wide registry store: the key name is "Frd_" or "Foe_" followed by a player name
// or address text, and its value "Annouce" says whether the entry is armed ("YES") or
// waits for its player to leave ("NO").
class Checklist
{
public:
    explicit Checklist(platform::RegistryStore &store);

    static QString prefix(EntryKind kind);
    static QString keyName(EntryKind kind, const QString &text);
    // The key name without its four-character prefix.
    static QString textOf(QStringView keyName);
    // A text can become a key name when it is not empty and holds neither a backslash
    // (which would nest keys) nor control characters.
    static bool isValidEntryText(QStringView text);

    // The key names in the store's order; empty when the checklist key is missing.
    QStringList getALlKeyPlayers() const;
    QString announceValue(const QString &keyName) const;

    // Creates the entry (or re-arms an existing one of the same name).
    platform::Status addEntry(EntryKind kind, const QString &text);
    // Deletes one entry key. Names that are not a single key name are refused, so a
    // damaged item can never delete the checklist itself.
    platform::Status removeEntry(const QString &keyName);
    // Arms every entry.
    platform::Status resetToYES();

    // Looks for the first entry, in the store's order, that matches the name or the
    // address and is armed; marks it announced and returns it. Matching is case-sensitive.
    std::optional<Announcement> playAnnoucement(const QString &strName, const QString &strIP);

    // One poll's bookkeeping. rows is nullopt when the page had no player table: then
    // every entry is armed again. Otherwise each row is announced in page order and every
    // entry that no row matches is armed again. Returns the sounds to play, in order.
    QList<Announcement> applyPoll(const std::optional<QList<PlayerRow>> &rows);

private:
    QString entryPath(QStringView keyName) const;

    platform::RegistryStore &m_store;
};

} // namespace heraldex::core

Q_DECLARE_METATYPE(heraldex::core::Announcement)

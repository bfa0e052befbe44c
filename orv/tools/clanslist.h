// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <memory>

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include "platform/result.h"

namespace orv::tools {

class TBiggerIniFile;

// One clan as listed: the values of its section's "FullName", "ShortName" and "Page" keys,
// each empty when the key is missing.
struct ClanEntry
{
    QByteArray fullName;
    QByteArray shortName;
    QByteArray page;
    friend bool operator==(const ClanEntry &, const ClanEntry &) = default;
};

// A member's contact details from the "MemberPI." section of the nickname.
struct MemberInfo
{
    // The keys, in the order the details grid shows them.
    static constexpr std::array<const char *, 4> kKeys = {"RealName", "Email", "ICQ", "Homepage"};

    QByteArray realName;
    QByteArray email;
    QByteArray icq;
    QByteArray homepage;
    friend bool operator==(const MemberInfo &, const MemberInfo &) = default;
};

// The clans directory file "clans.lst": an INI file whose sections named "Clane." + short
// name describe clans (full name, short name, home page and "Member[n]" nicknames) and
// whose sections named "MemberPI." + nickname hold each member's details.
//
// A section counts as a clan when its name contains "Clane." anywhere (letter case counts)
// and it has at least one line. Members and details are looked up by section name without
// regard to case; missing sections and keys give empty texts. Texts stay 8-bit as in the file.
class ClansList
{
public:
    static constexpr QByteArrayView kClanMarker = "Clane.";
    static constexpr QByteArrayView kMemberMarker = "Member[";
    static constexpr QByteArrayView kDetailsPrefix = "MemberPI.";

    ClansList();
    ~ClansList();
    ClansList(ClansList &&) noexcept;
    ClansList &operator=(ClansList &&) noexcept;

    // Loads the file. A missing file leaves the list empty and unloaded without an error;
    // an unreadable one is an error and leaves it the same way.
    platform::Status load(const QString &fileName);
    // The same over bytes already in memory; the list is loaded afterwards.
    void loadFromBytes(QByteArrayView bytes);
    // Drops the loaded file.
    void clear();

    bool isLoaded() const { return m_store != nullptr; }
    // The clans in the file's section order.
    const QList<ClanEntry> &clans() const { return m_clans; }

    // The nicknames of the clan with that short name: one entry per line of its section that
    // contains "Member[", the k-th being the value of the key "Member[k]" (empty when that
    // number is missing). Empty when nothing is loaded or the section does not exist.
    QList<QByteArray> members(QByteArrayView shortName) const;

    // The details of the member so named; all empty when there are none.
    MemberInfo memberInfo(QByteArrayView nickname) const;

private:
    void collectClans();

    std::unique_ptr<TBiggerIniFile> m_store;
    QList<ClanEntry> m_clans;
};

} // namespace orv::tools

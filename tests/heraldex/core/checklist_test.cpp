// SPDX-License-Identifier: GPL-3.0-or-later
#include "heraldex/core/checklist.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "platform/registrystore.h"

using heraldex::core::Announcement;
using heraldex::core::Checklist;
using heraldex::core::EntryKind;
using heraldex::core::PlayerRow;

namespace heraldex::core {
// Readable failure messages.
void PrintTo(const Announcement &a, std::ostream *os)
{
    *os << (a.kind == EntryKind::Friend ? "friend " : "foe ") << a.key.toStdString();
}
} // namespace heraldex::core

namespace {

class ChecklistTest : public ::testing::Test
{
protected:
    ChecklistTest()
        : store(platform::RegistryRoot::LocalMachine, dir.filePath(QStringLiteral("machine.reg")))
        , checklist(store)
    {}

    void add(EntryKind kind, const char *text) { ASSERT_TRUE(checklist.addEntry(kind, QString::fromUtf8(text))); }
    QList<Announcement> poll(QList<PlayerRow> rows) { return checklist.applyPoll(rows); }
    QList<Announcement> unreachablePoll() { return checklist.applyPoll(std::nullopt); }
    QString state(const char *key) { return checklist.announceValue(QString::fromUtf8(key)); }

    QTemporaryDir dir;
    platform::RegistryStore store;
    Checklist checklist;
};

PlayerRow player(const char *name, const char *ip)
{
    return {QString::fromUtf8(name), QString::fromUtf8(ip)};
}

Announcement sound(EntryKind kind, const char *key)
{
    return {kind, QString::fromUtf8(key)};
}

} // namespace

TEST_F(ChecklistTest, AddedEntryIsAnArmedKeyBelowTheChecklist)
{
    add(EntryKind::Foe, "10.0.0.5");
    EXPECT_TRUE(store.keyExists(u"Software\\Heraldex\\checklist\\Foe_10.0.0.5"));
    EXPECT_EQ(store.readString(u"Software\\Heraldex\\checklist\\Foe_10.0.0.5", u"Annouce").value(),
              std::optional<QString>(QStringLiteral("YES")));
    EXPECT_EQ(checklist.getALlKeyPlayers(), QStringList{QStringLiteral("Foe_10.0.0.5")});
}

TEST_F(ChecklistTest, PlayerIsAnnouncedOnceUntilHeIsGone)
{
    add(EntryKind::Friend, "Nick");
    const QList<PlayerRow> withNick{player("Bob", "10.0.0.2"), player("Nick", "10.0.0.1")};
    const QList<PlayerRow> withoutNick{player("Bob", "10.0.0.2")};

    EXPECT_EQ(poll(withNick), QList<Announcement>{sound(EntryKind::Friend, "Frd_Nick")});
    EXPECT_EQ(state("Frd_Nick"), QStringLiteral("NO"));
    EXPECT_TRUE(poll(withNick).isEmpty());
    EXPECT_TRUE(poll(withoutNick).isEmpty());
    EXPECT_EQ(state("Frd_Nick"), QStringLiteral("YES"));
    EXPECT_EQ(poll(withNick), QList<Announcement>{sound(EntryKind::Friend, "Frd_Nick")});
}

TEST_F(ChecklistTest, UnreachablePollReArmsEveryEntry)
{
    add(EntryKind::Friend, "Nick");
    add(EntryKind::Foe, "10.0.0.9");
    const QList<PlayerRow> both{player("Nick", "10.0.0.1"), player("Mallory", "10.0.0.9")};
    EXPECT_EQ(poll(both).size(), 2);
    EXPECT_TRUE(poll(both).isEmpty());

    EXPECT_TRUE(unreachablePoll().isEmpty());
    EXPECT_EQ(state("Frd_Nick"), QStringLiteral("YES"));
    EXPECT_EQ(state("Foe_10.0.0.9"), QStringLiteral("YES"));
    EXPECT_EQ(poll(both),
              (QList<Announcement>{sound(EntryKind::Friend, "Frd_Nick"), sound(EntryKind::Foe, "Foe_10.0.0.9")}));
}

TEST_F(ChecklistTest, FriendAndFoeOfOnePlayerSoundOnePollAfterTheOther)
{
    // The store lists Foe_ before Frd_, so the foe entry wins the first poll.
    add(EntryKind::Friend, "Nick");
    add(EntryKind::Foe, "10.0.0.5");
    const QList<PlayerRow> nick{player("Nick", "10.0.0.5")};
    EXPECT_EQ(poll(nick), QList<Announcement>{sound(EntryKind::Foe, "Foe_10.0.0.5")});
    EXPECT_EQ(poll(nick), QList<Announcement>{sound(EntryKind::Friend, "Frd_Nick")});
    EXPECT_TRUE(poll(nick).isEmpty());
}

TEST_F(ChecklistTest, MatchingIsExact)
{
    struct Case
    {
        const char *entry;
        PlayerRow row;
        bool announced;
    };
    const Case cases[] = {
        {"nick", player("Nick", "10.0.0.1"), false},
        {"Nick", player("Nick", "10.0.0.1"), true},
        {"Nick", player("Nick ", "10.0.0.1"), false},
        {"10.0.0.1", player("Nick", "10.0.0.1"), true},
        {"10.0.0.1", player("Nick", "10.0.0.10"), false},
        {"BigAl", player("BigAl", ""), true},
        {"Eye(Spectator)", player("Eye(Spectator)", "10.0.0.3"), true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.entry) + " vs " + c.row.name.toStdString());
        ASSERT_TRUE(store.deleteKey(heraldex::core::kChecklistKey));
        add(EntryKind::Friend, c.entry);
        EXPECT_EQ(poll({c.row}).size(), c.announced ? 1 : 0);
    }
}

TEST_F(ChecklistTest, TwoRowsOfOnePlayerSoundOnce)
{
    add(EntryKind::Foe, "Twin");
    EXPECT_EQ(poll({player("Twin", "10.0.0.1"), player("Twin", "10.0.0.2")}).size(), 1);
}

TEST_F(ChecklistTest, EntriesWithoutAKnownPrefixOrArmedValueNeverSound)
{
    ASSERT_TRUE(store.setString(u"Software\\Heraldex\\checklist\\Xyz_Nick", u"Annouce", QStringLiteral("YES")));
    ASSERT_TRUE(store.createKey(u"Software\\Heraldex\\checklist\\Frd_Bob"));
    ASSERT_TRUE(store.setString(u"Software\\Heraldex\\checklist\\Frd_Al", u"Annouce", QStringLiteral("yes")));
    EXPECT_TRUE(poll({player("Nick", "1"), player("Bob", "2"), player("Al", "3")}).isEmpty());
    // Once they are gone, every entry is armed in the proper form.
    EXPECT_TRUE(poll({}).isEmpty());
    EXPECT_EQ(state("Frd_Bob"), QStringLiteral("YES"));
    EXPECT_EQ(state("Frd_Al"), QStringLiteral("YES"));
    EXPECT_EQ(poll({player("Bob", "2")}), QList<Announcement>{sound(EntryKind::Friend, "Frd_Bob")});
}

TEST_F(ChecklistTest, MissingChecklistAnnouncesNothing)
{
    EXPECT_TRUE(checklist.getALlKeyPlayers().isEmpty());
    EXPECT_TRUE(poll({player("Nick", "10.0.0.1")}).isEmpty());
    EXPECT_TRUE(unreachablePoll().isEmpty());
    EXPECT_FALSE(store.keyExists(heraldex::core::kChecklistKey));
}

TEST_F(ChecklistTest, TextsThatCannotBeKeyNamesAreRefused)
{
    for (const char *bad : {"", "a\\b", "\\", "tab\there", "line\nbreak"}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(checklist.addEntry(EntryKind::Friend, QString::fromUtf8(bad)));
    }
    EXPECT_FALSE(store.keyExists(u"Software\\Heraldex\\checklist\\Frd_a"));
    EXPECT_TRUE(checklist.getALlKeyPlayers().isEmpty());

    // Odd but harmless characters are kept exactly.
    for (const char *odd : {"[ABC=\"", "Nick;#", "Zoë", " spaced ", "a/b"}) {
        SCOPED_TRACE(odd);
        add(EntryKind::Foe, odd);
        EXPECT_EQ(poll({player(odd, "")}).size(), 1);
    }
}

TEST_F(ChecklistTest, ClanTagEntryIsStoredWholeOrNotAtAll)
{
    // Whether the store can name a key with "]" is its own business; a refusal must leave
    // nothing half-made behind.
    const QString name = QStringLiteral("[ABC]Nick");
    if (checklist.addEntry(EntryKind::Friend, name)) {
        EXPECT_EQ(checklist.getALlKeyPlayers(), QStringList{QStringLiteral("Frd_[ABC]Nick")});
        EXPECT_EQ(poll({{name, QString()}}).size(), 1);
    } else {
        EXPECT_TRUE(checklist.getALlKeyPlayers().isEmpty());
        EXPECT_FALSE(store.keyExists(u"Software\\Heraldex\\checklist\\Frd_[ABC"));
    }
}

TEST_F(ChecklistTest, RemovingNeverReachesBeyondOneEntry)
{
    add(EntryKind::Friend, "Nick");
    add(EntryKind::Foe, "Nick");
    for (const char *bad : {"", "   ", "Frd_Nick\\..", "\\"}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(checklist.removeEntry(QString::fromUtf8(bad)));
    }
    EXPECT_EQ(checklist.getALlKeyPlayers().size(), 2);
    EXPECT_TRUE(checklist.removeEntry(QStringLiteral("Frd_Nick")));
    EXPECT_EQ(checklist.getALlKeyPlayers(), QStringList{QStringLiteral("Foe_Nick")});
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "orv/core/playersearch.h"
#include "orv/engine/replystore.h"

using orv::engine::ReplyStore;
using namespace orv::core;

namespace {

ReplyStore store(std::initializer_list<const char *> lines)
{
    ReplyStore replies;
    for (const char *line : lines)
        replies.append(QByteArray(line));
    return replies;
}

QStringList heads(const QList<QByteArray> &found)
{
    QStringList out;
    for (const QByteArray &head : found)
        out.append(QString::fromLatin1(head));
    return out;
}

} // namespace

TEST(PlayerSearch, WholeFieldMatchesIgnoringCaseInPlayerDataOnly)
{
    const ReplyStore replies = store({
        "10.0.0.1:7777:7778>\\hostname\\Bob's place\\player_0\\Alice\\frags_0\\3",
        "10.0.0.2:7777:7778>\\hostname\\bob\\numplayers\\0",
        "10.0.0.3:7777:7778>\\player_0\\Bob\\frags_0\\1\\final\\",
        "10.0.0.4:7777:7778>\\player_0\\BOBBY\\frags_0\\1",
        "10.0.0.5:7777:7778>\\player_3\\\xc9mile\\frags_3\\7",
        "10.0.0.3:7777:7778>\\player_1\\bob\\frags_1\\0",
    });
    const struct
    {
        const char *name;
        QStringList servers;
    } cases[] = {
        // Case ignored; a line naming bob outside player data (no "\player_") is no hit.
        {"bob", {"10.0.0.3:7777:7778"}},
        // Part of a name is not enough.
        {"bo", {}},
        {"Alice", {"10.0.0.1:7777:7778"}},
        // Latin-1 capitals fold to their small letters.
        {"\xe9mile", {"10.0.0.5:7777:7778"}},
        {"", {}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(heads(playersearch::serversWithPlayer(replies, QString::fromLatin1(c.name))), c.servers) << c.name;
}

TEST(PlayerSearch, NamesWithBackslashFreeSpecialCharactersAreFound)
{
    const ReplyStore replies = store({"1.2.3.4:7777:7778>\\player_0\\\"Q\"uote's*[x]\\frags_0\\1"});
    EXPECT_EQ(heads(playersearch::serversWithPlayer(replies, QStringLiteral("\"q\"UOTE's*[X]"))),
              QStringList({"1.2.3.4:7777:7778"}));
}

TEST(PlayerSearch, BuildsEachSpellingOnceInFirstSeenOrder)
{
    const ReplyStore replies = store({
        "10.0.0.1:7777:7778>\\player_0\\Bob\\frags_0\\3\\player_1\\alice\\frags_1\\2",
        "10.0.0.2:7777:7778>\\hostname\\player_not_here\\numplayers\\0",
        "10.0.0.3:7777:7778>\\player_0\\bob\\frags_0\\1\\PLAYER_1\\Bob\\frags_1\\0",
        "10.0.0.4:7777:7778>\\hostname\\quiet",
        "10.0.0.5:7777:7778>\\player_2\\\\frags_2\\1",
    });
    // "player_not_here" counts as a player key too, so the word after it is taken. An
    // empty value does not count as a word, so "frags_2" follows "player_2".
    EXPECT_EQ(playersearch::playerNames(replies), QStringList({"Bob", "alice", "numplayers", "bob", "frags_2"}));
}

TEST(PlayerSearch, NameStartingWithPlayerMakesTheNextWordANameToo)
{
    const ReplyStore replies = store({"10.0.0.1:7777:7778>\\player_0\\player_one\\frags_0\\5\\final\\"});
    EXPECT_EQ(playersearch::playerNames(replies), QStringList({"player_one", "frags_0"}));
}

TEST(PlayerSearch, LastWordOfALineAfterAPlayerKeyIsNotReadPastTheEnd)
{
    const ReplyStore replies = store({"10.0.0.1:7777:7778>\\player_0", "no head at all \\player_5\\Zed"});
    EXPECT_EQ(playersearch::playerNames(replies), QStringList({"Zed"}));
}

TEST(PlayerSearch, ProgressSeesEveryLine)
{
    const ReplyStore replies = store({"a", "b", "c"});
    std::vector<qsizetype> seen;
    (void)playersearch::playerNames(replies, [&](qsizetype line) { seen.push_back(line); });
    EXPECT_EQ(seen, std::vector<qsizetype>({0, 1, 2}));
}

TEST(PlayerSearch, SortIgnoresCaseAndKeepsCaseTwinsInOrder)
{
    QStringList names = {"zed", "Bob", "alice", "bob", "Alice"};
    playersearch::sortNames(names);
    EXPECT_EQ(names, QStringList({"alice", "Alice", "Bob", "bob", "zed"}));
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/engine/addresslist.h"

#include <QDir>

#include <gtest/gtest.h>

#include "orv/engine/replystore.h"
#include "orv/engine/textutil.h"
#include "tests/support/testpaths.h"

using namespace orv::engine;

namespace {
QString L1(const char *text)
{
    return QString::fromLatin1(text);
}
} // namespace

TEST(TextHelpers, SplitHeadKeepsDelimiterAndDropsLeadingBlanks)
{
    struct Case
    {
        const char *text;
        QChar delimiter;
        const char *head;
        const char *rest;
    };
    const Case cases[] = {
        {"10.0.0.5   7777  7778", QLatin1Char(' '), "10.0.0.5", "7777  7778"},
        {"10.0.0.5", QLatin1Char(' '), "10.0.0.5", ""},
        {" 10.0.0.5", QLatin1Char(' '), "", "10.0.0.5"},
        {"proxy:3128", QLatin1Char(':'), "proxy", ":3128"},
        {"a: b", QLatin1Char(':'), "a", ": b"},
        {"", QLatin1Char(':'), "", ""},
    };
    for (const Case &c : cases) {
        QString text = L1(c.text);
        EXPECT_EQ(SplitHead(text, c.delimiter), L1(c.head)) << c.text;
        EXPECT_EQ(text, L1(c.rest)) << c.text;
    }
}

TEST(TextHelpers, WordsReplacementAndNumbers)
{
    EXPECT_EQ(NthWord(2, u">\\\\a\\b", u"\\"), L1("a"));
    EXPECT_EQ(NthWord(5, u"a b", u" "), QString());
    EXPECT_EQ(NthWord(0, u"a b", u" "), QString());
    EXPECT_EQ(RemoveChar(u":31:28", QLatin1Char(':')), L1("3128"));
    // Left to right, continuing after each replacement: three backslashes hold one pair.
    EXPECT_EQ(ReplaceAll(u"\\\\\\", u"\\\\", u"\\None\\"), L1("\\None\\\\"));
    EXPECT_EQ(ReplaceAll(u"aaa", u"a", u"aa"), L1("aaaaaa"));
    EXPECT_EQ(parseWholeNumber(u"600"), 600);
    EXPECT_EQ(parseWholeNumber(u"-3"), -3);
    EXPECT_EQ(parseWholeNumber(u"6 00"), std::nullopt);
    EXPECT_EQ(parseWholeNumber(u""), std::nullopt);
    EXPECT_EQ(parseWholeNumber(u"99999999999999999999999"), std::nullopt);
}

TEST(AddressList, LinesWithAnySpacingNameTheSameServer)
{
    const AddressWords a = AddressList::parseLine(L1("10.0.0.5   7777  7778"));
    const AddressWords b = AddressList::parseLine(L1("10.0.0.5 7777 7778 extra words"));
    EXPECT_EQ(a, b);
    EXPECT_EQ(a.toLine(), L1("10.0.0.5 7777 7778"));

    const AddressWords only = AddressList::parseLine(L1("10.0.0.5"));
    EXPECT_EQ(only.address, L1("10.0.0.5"));
    EXPECT_TRUE(only.gamePort.isEmpty());
    EXPECT_TRUE(only.queryPort.isEmpty());

    EXPECT_FALSE(AddressList::isServerLine(QString()));
    EXPECT_FALSE(AddressList::isServerLine(L1(" 10.0.0.5 7777 7778")));
}

TEST(AddressList, FindAddressExactOnAnyLine)
{
    AddressList list;
    for (int i = 0; i < 400; ++i)
        list.append(QStringLiteral("10.1.%1.%2 7777 7778").arg(i / 250).arg(i % 250));
    list.lines()[10] = QString();
    EXPECT_TRUE(list.FindAddress(L1("10.1.1.49"), L1("7777"), L1("7778"))); // line 300
    EXPECT_FALSE(list.FindAddress(L1("10.1.1.49"), L1("7777"), L1("7779")));
    EXPECT_FALSE(list.FindAddress(L1("10.1.1"), L1("7777"), L1("7778"))); // a prefix is not the address
    list.append(L1("Host.Example 7777 7778"));
    EXPECT_FALSE(list.FindAddress(L1("host.example"), L1("7777"), L1("7778"))); // letter case counts
}

// Text becomes a server address only as a dotted quad and two port numbers; the list's
// lookups by value find a server however its line writes the numbers.
TEST(ServerAddress, OnlyDottedQuadsAndPortNumbersNameAServer)
{
    const auto parsed = ServerAddress::fromText(u"10.0.0.5", u"7777", u"7778");
    ASSERT_TRUE(parsed);
    EXPECT_EQ(*parsed, (ServerAddress{0x0A000005, 7777, 7778}));
    EXPECT_EQ(parsed->toLine(), L1("10.0.0.5 7777 7778"));
    EXPECT_EQ(ServerAddress::parseIpv4(u"255.255.255.255"), 0xFFFFFFFFu);
    EXPECT_EQ(ServerAddress::parseIpv4(u"010.0.0.5"), 0x0A000005u);
    for (const char *bad :
         {"host.example", "10.0.0", "10.0.0.5.6", "10.0.0.256", "10..0.5", "10.0.0.5 ", "1000.0.0.5", "-1.0.0.5", ""})
        EXPECT_EQ(ServerAddress::parseIpv4(QString::fromLatin1(bad)), std::nullopt) << bad;
    for (const char *bad : {"", "0", "65536", "7777x", "99999999999999999999"})
        EXPECT_FALSE(ServerAddress::fromText(u"10.0.0.5", QString::fromLatin1(bad), u"7778")) << bad;
    EXPECT_FALSE(AddressList::parseLine(L1("10.0.0.5")).toServer());

    const AddressList list(QStringList{L1("host.example 7777 7778"), L1("010.0.0.5  +7777 07778"), QString()});
    EXPECT_TRUE(list.contains(*parsed));
    EXPECT_FALSE(list.contains(parsed->withGamePort(7000)));
    EXPECT_EQ(list.servers(), std::unordered_set<ServerAddress>{*parsed});
}

TEST(AddressList, SortIgnoresLetterCaseAndSaveLoadRoundTrips)
{
    AddressList list(QStringList{L1("b.host 1 2"), L1("A.host 1 2"), L1("a.host 1 2"), L1("10.0.0.1 7777 7778")});
    list.sortIgnoringCase();
    EXPECT_EQ(list.lines(),
              (QStringList{L1("10.0.0.1 7777 7778"), L1("A.host 1 2"), L1("a.host 1 2"), L1("b.host 1 2")}));

    const QString path = QDir::homePath() + QStringLiteral("/servers.lst");
    list.append(QString(L1("caf")) + QChar(0xE9) + L1(" 1 2"));
    ASSERT_TRUE(list.save(path));
    EXPECT_TRUE(testsupport::readFile(path).startsWith("10.0.0.1 7777 7778\r\nA.host"));
    EXPECT_TRUE(testsupport::readFile(path).endsWith("caf\xe9 1 2\r\n"));
    const auto loaded = AddressList::load(path);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->lines(), list.lines());
    // Whatever else a file's lines hold (UTF-8 text, control bytes) is saved back unchanged.
    const QByteArray odd = "# \xc3\xa9t\xc3\xa9 \x02\xca\x97\r\n10.0.0.2 7777 7778\r\n";
    ASSERT_TRUE(testsupport::writeFile(path, odd));
    const auto oddLoaded = AddressList::load(path);
    ASSERT_TRUE(oddLoaded);
    ASSERT_TRUE(oddLoaded->save(path));
    EXPECT_EQ(testsupport::readFile(path), odd);
    QFile::remove(path);
    EXPECT_FALSE(AddressList::load(path));
}

TEST(ReplyStore, IndexKeepsOrderAndRemoveRepliesDropsOneServer)
{
    ReplyStore store;
    const QByteArray a = ReplyStore::serverKey(L1("10.0.0.5"), L1("7777"), L1("7778"));
    const QByteArray b = ReplyStore::serverKey(L1("10.0.0.6"), L1("7777"), L1("7778"));
    EXPECT_EQ(a, QByteArray("10.0.0.5:7777:7778"));
    store.appendAnswer(a, "\\one");
    store.appendAnswer(b, "\\other");
    store.appendAnswer(a, "\\two>with>arrows");
    store.append("10.0.0.7:ut 7778");

    auto linesA = store.linesOf(a);
    ASSERT_EQ(linesA.size(), 2);
    EXPECT_EQ(linesA[0], QByteArrayView("10.0.0.5:7777:7778>\\one"));
    EXPECT_EQ(linesA[1], QByteArrayView("10.0.0.5:7777:7778>\\two>with>arrows"));

    store.RemoveReplies(a);
    EXPECT_EQ(store.size(), 2);
    EXPECT_TRUE(store.linesOf(a).isEmpty());
    EXPECT_EQ(store.linesOf(b).size(), 1);
    EXPECT_EQ(store.line(1), QByteArray("10.0.0.7:ut 7778"));
    // Lines appended after a removal are found through the rebuilt index.
    store.appendAnswer(b, "\\again");
    EXPECT_EQ(store.linesOf(b).size(), 2);

    store.setLines({QByteArray("10.0.0.5:7777:7778>\\loaded")});
    EXPECT_EQ(store.linesOf(a).size(), 1);
    EXPECT_TRUE(store.linesOf(b).isEmpty());
}

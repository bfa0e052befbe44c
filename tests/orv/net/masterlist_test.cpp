// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/net/masterlist.h"

#include <random>

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "orv/net/combinedlist.h"
#include "platform/textfile.h"
#include "tests/support/testpaths.h"

using orv::net::CombinedList;
using orv::net::convertMasterLines;

namespace {

struct ConvertCase
{
    const char *name;
    QList<QByteArray> input;
    std::optional<QList<QByteArray>> expected;
};

class ConvertMasterLines : public ::testing::TestWithParam<ConvertCase>
{
};

TEST_P(ConvertMasterLines, GivesAddressListLinesOrRefusesTheList)
{
    const ConvertCase &c = GetParam();
    EXPECT_EQ(convertMasterLines(c.input), c.expected);
}

using Lines = QList<QByteArray>;

INSTANTIATE_TEST_SUITE_P(
    Cases, ConvertMasterLines,
    ::testing::Values(
        ConvertCase{
            "TwoServers", {"10.0.0.5:7777", "10.0.0.6:7000"}, Lines{"10.0.0.5 7777 7778", "10.0.0.6 7000 7001"}},
        ConvertCase{"AddressListLinesCommentsAndEmptyLinesPass",
                    {"10.0.0.7 7777 7778", "", "; old servers", "10.0.0.8:7777"},
                    Lines{"10.0.0.7 7777 7778", "", "; old servers", "10.0.0.8 7777 7778"}},
        ConvertCase{"HostNamesKeepTheirText", {"Unreal.Example.org:7777"}, Lines{"Unreal.Example.org 7777 7778"}},
        ConvertCase{"EveryColonOfThePortIsDropped", {"10.0.0.5:77:77"}, Lines{"10.0.0.5 7777 7778"}},
        ConvertCase{"TrailingBlankRefusesTheWholeList", {"10.0.0.5:7777", "10.0.0.6:7000 "}, std::nullopt},
        ConvertCase{"LetterInAPortRefusesTheWholeList", {"10.0.0.5:7777", "10.0.0.6:port"}, std::nullopt},
        ConvertCase{"EmptyPortRefusesTheWholeList", {"10.0.0.5:"}, std::nullopt},
        ConvertCase{"BracketedIPv6LiteralRefusesTheList", {"[2001:db8::1]:7777"}, std::nullopt},
        ConvertCase{"BareIPv6LiteralRefusesTheList", {"2001:db8::1:7777"}, std::nullopt},
        // Written back as read, a number out of the port range stays a number: the query
        // engine refuses to send to it later.
        ConvertCase{"PortsOutOfRangeStayNumbers",
                    {"10.0.0.5:65535", "10.0.0.6:99999", "10.0.0.7:-1"},
                    Lines{"10.0.0.5 65535 65536", "10.0.0.6 99999 100000", "10.0.0.7 -1 0"}},
        ConvertCase{"NumberBeyondThirtyTwoBitsRefusesTheList", {"10.0.0.5:4294967297"}, std::nullopt},
        ConvertCase{"LargestThirtyTwoBitPortDoesNotWrap", {"h:2147483647"}, Lines{"h 2147483647 2147483648"}},
        ConvertCase{"EmptyList", {}, Lines{}}),
    [](const ::testing::TestParamInfo<ConvertCase> &info) { return std::string(info.param.name); });

class MasterListFile : public ::testing::Test
{
protected:
    QString path(const QString &name) const { return m_dir.filePath(name); }
    QTemporaryDir m_dir;
};

TEST_F(MasterListFile, ConvertAcceptsMixedLineEndsAndWritesCrLf)
{
    const QString file = path(QStringLiteral("mixed.txt"));
    ASSERT_TRUE(testsupport::writeFile(file, "10.0.0.1:7777\r10.0.0.2:7000\n10.0.0.3:8000\r\n10.0.0.4 1 2"));
    ASSERT_TRUE(orv::net::ConvertMasterList(file));
    EXPECT_EQ(testsupport::readFile(file),
              QByteArray("10.0.0.1 7777 7778\r\n10.0.0.2 7000 7001\r\n10.0.0.3 8000 8001\r\n10.0.0.4 1 2\r\n"));
}

TEST_F(MasterListFile, RefusedListStaysByteForByteAsDownloaded)
{
    const QByteArray downloaded("10.0.0.1:7777\n10.0.0.2:7000 \n");
    const QString file = path(QStringLiteral("blank.txt"));
    ASSERT_TRUE(testsupport::writeFile(file, downloaded));
    ASSERT_TRUE(orv::net::ConvertMasterList(file));
    EXPECT_EQ(testsupport::readFile(file), downloaded);
}

TEST_F(MasterListFile, EmptyAndBinaryFilesDoNotBreakConversionOrMerge)
{
    const QString empty = path(QStringLiteral("empty.txt"));
    ASSERT_TRUE(testsupport::writeFile(empty, QByteArray()));
    ASSERT_TRUE(orv::net::ConvertMasterList(empty));
    EXPECT_TRUE(testsupport::readFile(empty).isEmpty());

    // Random bytes without a ':' pass through, NULs and all.
    std::mt19937 rng(7);
    QByteArray binary;
    for (int i = 0; i < 4096; ++i) {
        char c = static_cast<char>(rng() & 0xff);
        binary.append(c == ':' ? '\0' : c);
    }
    const QString blob = path(QStringLiteral("blob.bin"));
    ASSERT_TRUE(testsupport::writeFile(blob, binary));
    ASSERT_TRUE(orv::net::ConvertMasterList(blob));
    CombinedList combined;
    ASSERT_TRUE(orv::net::MergeMasterList(blob, combined));
    ASSERT_TRUE(orv::net::MergeMasterList(empty, combined));
    QSet<QString> distinct;
    for (const QByteArray &line : platform::textfile::splitLines(binary))
        distinct.insert(platform::textfile::fromAnsi(line).toCaseFolded());
    // Saved back line for line, with CR LF line ends.
    EXPECT_EQ(testsupport::readFile(blob), platform::textfile::joinLines(platform::textfile::splitLines(binary)));
    EXPECT_EQ(combined.size(), distinct.size());
}

TEST_F(MasterListFile, MissingFileIsAnError)
{
    CombinedList combined;
    EXPECT_FALSE(orv::net::ConvertMasterList(path(QStringLiteral("none.txt"))));
    EXPECT_FALSE(orv::net::MergeMasterList(path(QStringLiteral("none.txt")), combined));
}

TEST_F(MasterListFile, TwoListsWithTheSameServerGiveOneLine)
{
    const QString a = path(QStringLiteral("a.txt"));
    const QString b = path(QStringLiteral("b.txt"));
    ASSERT_TRUE(testsupport::writeFile(a, "10.0.0.5:7777\r\n10.0.0.9:7777\r\n"));
    ASSERT_TRUE(testsupport::writeFile(b, "10.0.0.5:7777\r\n10.0.0.1:7777\r\n"));
    CombinedList combined;
    for (const QString &file : {a, b}) {
        ASSERT_TRUE(orv::net::ConvertMasterList(file));
        ASSERT_TRUE(orv::net::MergeMasterList(file, combined));
    }
    EXPECT_EQ(combined.sortedLines(),
              (QStringList{QStringLiteral("10.0.0.1 7777 7778"), QStringLiteral("10.0.0.5 7777 7778"),
                           QStringLiteral("10.0.0.9 7777 7778")}));
}

TEST(CombinedList, KeepsTheFirstSpellingAndSortsIgnoringCase)
{
    CombinedList combined;
    EXPECT_TRUE(combined.add(QStringLiteral("beta.example 7777 7778")));
    EXPECT_TRUE(combined.add(QStringLiteral("Alpha.example 7777 7778")));
    EXPECT_FALSE(combined.add(QStringLiteral("BETA.EXAMPLE 7777 7778")));
    EXPECT_TRUE(combined.add(QStringLiteral("gamma.example 7777 7778")));
    EXPECT_FALSE(combined.add(QStringLiteral("beta.example 7777 7778")));
    // Latin-1 letters fold too, as the 8-bit lists hold them.
    EXPECT_TRUE(combined.add(QString::fromLatin1("\xc4gir 1 2")));
    EXPECT_FALSE(combined.add(QString::fromLatin1("\xe4gir 1 2")));
    EXPECT_EQ(combined.sortedLines(),
              (QStringList{QStringLiteral("Alpha.example 7777 7778"), QStringLiteral("beta.example 7777 7778"),
                           QStringLiteral("gamma.example 7777 7778"), QString::fromLatin1("\xc4gir 1 2")}));
}

// The merge must give what appending each line not found by a case-blind scan, then
// sorting case-blind, gives.
TEST(CombinedList, AgreesWithScanAndSortOnRandomLists)
{
    std::mt19937 rng(42);
    // Latin-1 letters too: the micro sign folds outside Latin-1 and y-diaeresis sits at 0xFF.
    const char letters[] = "aAbBcC.:1\xb5\xff\xc4\xe4\xdf";
    QStringList reference;
    CombinedList combined;
    for (int list = 0; list < 5; ++list) {
        QStringList lines;
        for (int i = 0; i < 300; ++i) {
            QString line;
            const int length = static_cast<int>(rng() % 4);
            for (int k = 0; k < length; ++k)
                line.append(QLatin1Char(letters[rng() % (sizeof(letters) - 1)]));
            lines.append(line);
        }
        for (const QString &line : lines) {
            const bool found = std::any_of(reference.cbegin(), reference.cend(), [&](const QString &held) {
                return held.compare(line, Qt::CaseInsensitive) == 0;
            });
            if (!found)
                reference.append(line);
        }
        std::stable_sort(reference.begin(), reference.end(),
                         [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
        combined.addAll(lines);
        ASSERT_EQ(combined.sortedLines(), reference) << "after list " << list;
    }
}

} // namespace

namespace {

// A plain-text list as a web master serves it: mixed line ends, a server listed twice, and
// a host name listed again in other letter case.
TEST(MasterListData, PlainListConvertsAndMergesToTheReferenceFiles)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("internet.lst"));
    ASSERT_TRUE(testsupport::writeFile(file, testsupport::readData(QStringLiteral("orv/net/ut_plain_list.txt"))));
    ASSERT_TRUE(orv::net::ConvertMasterList(file));
    EXPECT_EQ(testsupport::readFile(file), testsupport::readData(QStringLiteral("orv/net/ut_plain_list.converted")));

    CombinedList combined;
    ASSERT_TRUE(orv::net::MergeMasterList(file, combined));
    QList<QByteArray> lines;
    for (const QString &line : combined.sortedLines())
        lines.append(platform::textfile::toAnsi(line));
    EXPECT_EQ(platform::textfile::joinLines(lines),
              testsupport::readData(QStringLiteral("orv/net/ut_plain_list.merged")));
}

} // namespace

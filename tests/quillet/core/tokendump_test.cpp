// SPDX-License-Identifier: GPL-3.0-or-later
#include "quillet/core/tokendump.h"

#include <string>

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

#include "tests/support/testpaths.h"

using quillet::core::dumpTokens;

namespace {

std::string dump(std::string_view text)
{
    std::string out;
    dumpTokens(text, out);
    return out;
}

} // namespace

// Each input under tests/data/uc/input must scan exactly to its reference; regenerate them
// with scripts/regenerate-token-references.sh and review the diff.
TEST(TokenDump, MatchesGoldenReferences)
{
    const QDir inputs(testsupport::dataPath(QStringLiteral("uc/input")));
    const QStringList files = inputs.entryList({QStringLiteral("*.uc")}, QDir::Files, QDir::Name);
    ASSERT_GE(files.size(), 17);
    for (const QString &file : files) {
        const QByteArray input = testsupport::readData(QStringLiteral("uc/input/") + file);
        const QByteArray reference = testsupport::readData(
            QStringLiteral("uc/reference/") + QFileInfo(file).completeBaseName() + QStringLiteral(".tokens"));
        ASSERT_FALSE(reference.isEmpty()) << file.toStdString();
        const std::string got = dump(std::string_view(input.constData(), static_cast<std::size_t>(input.size())));
        EXPECT_EQ(got, reference.toStdString()) << file.toStdString();
    }
}

TEST(TokenDump, SplitsLinesAndCarriesTheRange)
{
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", ""},
        {"\n", "1\trange\t8\n"},
        {"a\r\n\r\n", "1\t0\t1\ta\n1\trange\t8\n2\trange\t8\n"},
        {"a\rb", "1\t0\t1\ta\n1\trange\t8\n2\t0\t1\tb\n2\trange\t8\n"},
        {"a\n\rb", "1\t0\t1\ta\n1\trange\t8\n2\trange\t8\n3\t0\t1\tb\n3\trange\t8\n"},
        {"/* x\ny */z", "1\t0\t0\t/* x\n1\trange\t1\n2\t0\t0\ty */\n2\t4\t1\tz\n2\trange\t8\n"},
        {"\"a\\b\"\t//\tc", "1\t0\t6\t\"a\\\\b\"\n1\t5\t5\t\\t\n1\t6\t0\t//\\tc\n1\trange\t8\n"},
    };
    for (const auto &[text, expected] : cases)
        EXPECT_EQ(dump(text), expected) << text;
}

TEST(TokenDump, ScansAVeryLongSingleLine)
{
    std::string text;
    const std::string chunk = "Foo(Bar, 1.5e3); ";
    while (text.size() < 10u * 1024 * 1024)
        text += chunk;
    const std::string out = dump(text);
    // Nine tokens per chunk plus the range line, and the last token ends at the line's end.
    const std::size_t chunks = text.size() / chunk.size();
    EXPECT_EQ(static_cast<std::size_t>(std::count(out.begin(), out.end(), '\n')), chunks * 9 + 1);
    EXPECT_NE(out.find("\n1\t" + std::to_string(text.size() - 1) + "\t5\t \n1\trange\t8\n"), std::string::npos);
}

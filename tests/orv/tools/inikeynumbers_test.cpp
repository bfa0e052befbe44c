// SPDX-License-Identifier: GPL-3.0-or-later
#include <QByteArrayList>
#include <QList>
#include <QRandomGenerator>
#include <QSet>

#include <gtest/gtest.h>

#include "orv/tools/inikeynumbers.h"

using orv::tools::numberDuplicateKeys;
using orv::tools::stripKeyNumbers;

TEST(KeyNumbers, NumbersRepeatedKeys)
{
    struct Case
    {
        const char *name;
        QByteArray input;
        QByteArray numbered;
    };
    const Case cases[] = {
        {"a run", "a=1\r\na=2\r\na=3\r\n", "a=1\r\n2.a=2\r\n3.a=3\r\n"},
        {"counter not reset by another key", "a=1\na=2\nb=1\nb=2\n", "a=1\n2.a=2\nb=1\n3.b=2\n"},
        {"packages and actors", "[E]\r\nServerPackages=A\r\nServerPackages=B\r\nServerActors=X\r\nServerActors=Y\r\n",
         "[E]\r\nServerPackages=A\r\n2.ServerPackages=B\r\nServerActors=X\r\n3.ServerActors=Y\r\n"},
        {"section line resets the counter but not the previous key", "[A]\nk=1\nk=2\n[B]\nk=1\nk=2\nj=1\n",
         "[A]\nk=1\n2.k=2\n[B]\n2.k=1\n3.k=2\nj=1\n"},
        {"section line forgets the keys seen", "[A]\nk=1\nj=1\n[B]\nk=2\nj=2\n", "[A]\nk=1\nj=1\n[B]\nk=2\nj=2\n"},
        {"a second run of a key is numbered too, past the numbers in use",
         "[E]\nServerActors=A\nServerActors=B\nServerPackages=P\nServerActors=C\nServerActors=D\n",
         "[E]\nServerActors=A\n2.ServerActors=B\nServerPackages=P\n3.ServerActors=C\n4.ServerActors=D\n"},
        {"a blank line in a run does not repeat a number", "[A]\na=1\na=2\n\na=3\n", "[A]\na=1\n2.a=2\n\n3.a=3\n"},
        {"keys that differ only in case", "[A]\nPaths=x\nOther=1\npaths=y\n", "[A]\nPaths=x\nOther=1\n2.paths=y\n"},
        {"a key that already has a number prefix keeps it", "[A]\n2.Foo=1\n", "[A]\n2.2.Foo=1\n"},
        {"comment lines numbered only in a run", "[A]\n; x\n; x\n; y\n", "[A]\n; x\n2.; x\n; y\n"},
        {"dot in the value is no prefix", "[A]\nk=1.5\n", "[A]\nk=1.5\n"},
        {"line ends kept, last line without one", "[A]\ra=1\r\na=2\na=3", "[A]\ra=1\r\n2.a=2\n3.a=3"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(numberDuplicateKeys(c.input), c.numbered) << c.name;
        EXPECT_EQ(stripKeyNumbers(c.numbered), c.input) << c.name;
    }
}

TEST(KeyNumbers, StripTakesOffOnePrefixFromKeysOnly)
{
    struct Case
    {
        const char *name;
        QByteArray input;
        QByteArray stripped;
    };
    const Case cases[] = {
        {"prefix removed", "12.Key=v\r\n", "Key=v\r\n"},
        {"only one prefix", "3.2.Key=v\n", "2.Key=v\n"},
        {"digits without dot", "12Key=v\n", "12Key=v\n"},
        {"dot only in the value", "Key=1.5\n", "Key=1.5\n"},
        {"section and blank lines untouched", "[1.A]\n\n  \n", "[1.A]\n\n  \n"},
        {"no digits", ".Key=v\n", ".Key=v\n"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(stripKeyNumbers(c.input), c.stripped) << c.name;
}

// Stripping a numbered copy gives the input back for any bytes, and no two key lines of a
// section of the numbered copy share a key (compared without regard to case).
TEST(KeyNumbers, RoundTripsAndMakesKeysUniqueForRandomText)
{
    const QList<QByteArray> pieces = {"[A]",
                                      "[a]",
                                      "k=1",
                                      "K=2",
                                      "k=3",
                                      "j=1",
                                      "2.k=1",
                                      "3.k",
                                      "; c",
                                      "",
                                      " ",
                                      "\x1a",
                                      "=x",
                                      "[B",
                                      "k",
                                      "1.=",
                                      QByteArray("\0k=1", 4)};
    const QList<QByteArray> ends = {"\r\n", "\n", "\r"};
    QRandomGenerator rng(42);
    for (int round = 0; round < 2000; ++round) {
        QByteArray text;
        const int lines = int(rng.bounded(12));
        for (int i = 0; i < lines; ++i)
            text += pieces[rng.bounded(int(pieces.size()))] + ends[rng.bounded(int(ends.size()))];
        const QByteArray numbered = numberDuplicateKeys(text);
        ASSERT_EQ(stripKeyNumbers(numbered), text) << text.toStdString();

        QSet<QByteArray> keys;
        for (const QByteArray &line : numbered.split('\n')) {
            const QByteArray l = line.endsWith('\r') ? line.chopped(1) : line;
            for (const QByteArray &part : l.split('\r')) {
                if (part.size() >= 2 && part.startsWith('[') && part.endsWith(']')) {
                    keys.clear();
                    continue;
                }
                const qsizetype eq = part.indexOf('=');
                if (eq < 0)
                    continue;
                const QByteArray key = part.left(eq).toLower();
                ASSERT_FALSE(keys.contains(key))
                    << "repeated key " << key.toStdString() << " in " << numbered.toStdString();
                keys.insert(key);
            }
        }
    }
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/engine/countrylookup.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using orv::engine::CountryLookup;

namespace {

QString L1(const char *text)
{
    return QString::fromLatin1(text);
}

} // namespace

TEST(CountryLookup, LongStableAllocationsOfTheInstalledDatabase)
{
    CountryLookup lookup;
    if (!QFileInfo::exists(CountryLookup::defaultDatabasePath()) || !lookup.isAvailable())
        GTEST_SKIP() << "no IP location database installed";
    // The RIPE NCC's own network in Amsterdam, a Japanese university /16 of 133/8, and a
    // block of the US Department of Defense's 6/8.
    EXPECT_EQ(lookup.countryOf(L1("193.0.6.139")), L1("NL"));
    EXPECT_EQ(lookup.countryOf(L1("133.1.0.1")), L1("JP"));
    EXPECT_EQ(lookup.countryOf(L1("6.1.2.3")), L1("US"));
    // Loopback, private and reserved addresses have no country, nor has a text that is no
    // dotted-quad address.
    for (const char *none :
         {"127.0.0.2", "10.1.2.3", "192.168.1.20", "172.20.0.1", "100.64.0.1", "240.0.0.1", "example.org", ""})
        EXPECT_EQ(lookup.countryOf(L1(none)), QString()) << none;
}

TEST(CountryLookup, AbsentOrBrokenDatabaseGivesNoCountry)
{
    QTemporaryDir dir;
    CountryLookup absent(dir.filePath(L1("missing.db")));
    EXPECT_FALSE(absent.isAvailable());
    EXPECT_EQ(absent.countryOf(L1("193.0.6.139")), QString());

    QFile garbage(dir.filePath(L1("garbage.db")));
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write("not a location database");
    garbage.close();
    CountryLookup broken(garbage.fileName());
    EXPECT_FALSE(broken.isAvailable());
    EXPECT_EQ(broken.countryOf(L1("193.0.6.139")), QString());
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/engine/favoritesstore.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "orv/engine/queryengine.h"
#include "platform/paths.h"
#include "tests/support/testpaths.h"

using orv::engine::AddressWords;
using orv::engine::FavoritesStore;

namespace {

const AddressWords kAlpha{QStringLiteral("192.0.2.1"), QStringLiteral("7777"), QStringLiteral("7778")};
const AddressWords kBeta{QStringLiteral("192.0.2.2"), QStringLiteral("7000"), QStringLiteral("7001")};

} // namespace

TEST(FavoritesStore, PathIsTheProgramFoldersFileForTheStoreAndTheEngine)
{
    const QString expected = QDir(platform::paths::programFolder()).filePath(QStringLiteral("favorites.lst"));
    EXPECT_EQ(FavoritesStore().path(), expected);
    orv::engine::QueryEngine engine;
    EXPECT_EQ(engine.favoritesFile(), expected);
}

TEST(FavoritesStore, FirstChangeReadsTheFileOnceAndSavesEveryLineAtomically)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("favorites.lst"));
    ASSERT_TRUE(testsupport::writeFile(path, "192.0.2.1 7777 7778\r\n"));
    FavoritesStore store(path);
    EXPECT_TRUE(store.addresses().isEmpty()); // nothing read before it is needed

    ASSERT_TRUE(store.ensureLoaded());
    EXPECT_TRUE(store.contains(kAlpha));
    EXPECT_FALSE(store.add(kAlpha));
    EXPECT_TRUE(store.add(kBeta));
    ASSERT_TRUE(store.save());
    EXPECT_EQ(testsupport::readFile(path), QByteArray("192.0.2.1 7777 7778\r\n192.0.2.2 7000 7001\r\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("favorites.lst")});

    // Read once per run: a later change does not bring back what the user removed.
    store.removeAt(0);
    ASSERT_TRUE(store.ensureLoaded());
    EXPECT_EQ(store.addresses().lines(), QStringList{kBeta.toLine()});

    // Cleared, the list stays empty however often it is asked to load lazily.
    store.clear();
    ASSERT_TRUE(store.ensureLoaded());
    EXPECT_TRUE(store.addresses().isEmpty());
}

TEST(FavoritesStore, MissingFileUnreadableFileAndUnwritableFolder)
{
    QTemporaryDir dir;
    FavoritesStore missing(dir.filePath(QStringLiteral("favorites.lst")));
    EXPECT_TRUE(missing.ensureLoaded());
    EXPECT_TRUE(missing.isLoaded());
    EXPECT_TRUE(missing.addresses().isEmpty());

    // A folder where the file should be: the read fails and the lines in memory stay.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.lst")));
    FavoritesStore unreadable(dir.filePath(QStringLiteral("folder.lst")));
    unreadable.add(kAlpha);
    EXPECT_FALSE(unreadable.reload());
    EXPECT_EQ(unreadable.addresses().lines(), QStringList{kAlpha.toLine()});

    FavoritesStore unwritable(dir.filePath(QStringLiteral("no/such/folder/favorites.lst")));
    unwritable.add(kAlpha);
    EXPECT_FALSE(unwritable.save());
    EXPECT_TRUE(unwritable.contains(kAlpha));
}

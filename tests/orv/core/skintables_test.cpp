// SPDX-License-Identifier: GPL-3.0-or-later
#include <QColor>
#include <QDir>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "orv/core/skintables.h"
#include "orv/engine/serverinfo.h"
#include "tests/support/testpaths.h"

using namespace orv::core;

namespace {

QStringList lines(std::initializer_list<const char *> texts)
{
    QStringList result;
    for (const char *text : texts)
        result.append(QString::fromUtf8(text));
    return result;
}

QImage strip(int pictures, int height = kSkinPictureSize)
{
    QImage image(pictures * kSkinPictureSize, height, QImage::Format_RGB32);
    for (int k = 0; k < pictures; ++k) {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < kSkinPictureSize; ++x)
                image.setPixel(k * kSkinPictureSize + x, y, qRgb(k, 10, 20));
    }
    return image;
}

} // namespace

TEST(SkinList, ReadsItemLinesWithTheirQuirks)
{
    struct Case
    {
        const char *label;
        SkinGame game;
        QStringList input;
        int index;
        SkinEntry expected;
    };
    SkinEntry skaarj;
    skaarj.name = QStringLiteral("Skaarj  Hybrid");
    SkinEntry trailing;
    trailing.name = QStringLiteral("Male Commando  ");
    SkinEntry trailingUt;
    trailingUt.name = QStringLiteral("Male Commando");
    SkinEntry viewed;
    viewed.view = true;
    viewed.pict = 7;
    viewed.skin = QStringLiteral("CommandoSkins.cmdo");
    SkinEntry unrealIgnoresUtKeys;
    SkinEntry utTeam;
    utTeam.team = QStringLiteral("red");
    utTeam.face = QStringLiteral("Blake");
    utTeam.talk = QStringLiteral("BotPack.VoiceMaleOne");
    SkinEntry cut;
    cut.name = QString(128, u'n');
    cut.mesh = QString(40, u'm');
    const Case cases[] = {
        {"every further = is removed, blanks stay", SkinGame::Unreal,
         lines({"SkinsCount=5", "name[2]=Skaarj = Hybrid"}), 2, skaarj},
        {"Unreal keeps trailing blanks", SkinGame::Unreal, lines({"SkinsCount=5", "name[1]=  Male Commando  "}), 1,
         trailing},
        {"UT removes trailing blanks", SkinGame::UT, lines({"SkinsCount=5", "name[1]=  Male Commando  "}), 1,
         trailingUt},
        {"keys ignore case, view is true in any case", SkinGame::Unreal,
         lines({"SkinsCount=5", "VIEW[3]=TrUe", "Pict[3]=7", "skin[3]=CommandoSkins.cmdo"}), 3, viewed},
        {"non-numeric index and pict lines are skipped", SkinGame::Unreal,
         lines({"SkinsCount=5", "pict[x]=3", "pict[0]=many", "pict[0]=70000"}), 0, SkinEntry()},
        {"Unreal ignores face, team and talk", SkinGame::Unreal,
         lines({"SkinsCount=5", "face[0]=Blake", "team[0]=red", "talk[0]=x"}), 0, unrealIgnoresUtKeys},
        {"UT reads face, team and talk", SkinGame::UT,
         lines({"SkinsCount=5", "face[4]=Blake", "team[4]=red", "talk[4]=BotPack.VoiceMaleOne", "; name[4]=comment", "",
                "bogus[4]=1"}),
         4, utTeam},
        {"long texts are cut to their fields", SkinGame::UT,
         lines({"SkinsCount=5", qPrintable(QStringLiteral("name[0]=") + QString(300, u'n')),
                qPrintable(QStringLiteral("mesh[0]=") + QString(41, u'm'))}),
         0, cut},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        const auto table = parseSkinList(c.input, c.game);
        ASSERT_TRUE(table);
        EXPECT_EQ(table->entries[c.index], c.expected);
    }
}

TEST(SkinList, KeepsEverythingInsideTheTable)
{
    struct Case
    {
        const char *label;
        SkinGame game;
        QStringList input;
        int count;
    };
    const Case cases[] = {
        {"huge count is cut to the Unreal slots", SkinGame::Unreal, lines({"SkinsCount=2000000000"}), 101},
        {"huge count is cut to the UT slots", SkinGame::UT, lines({"SkinsCount=99999"}), 501},
        {"negative count is none", SkinGame::UT, lines({"SkinsCount=-4"}), 0},
        {"the last count wins", SkinGame::Unreal, lines({"SkinsCount=3", "SkinsCount = 9"}), 9},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        const auto table = parseSkinList(c.input, c.game);
        ASSERT_TRUE(table);
        EXPECT_EQ(table->count, c.count);
        EXPECT_EQ(table->entries.size(), SkinTable::slotCount(c.game));
        EXPECT_EQ(table->entry(c.count), nullptr);
        EXPECT_EQ(table->entry(-1), nullptr);
    }

    // Indexes past the slots or negative are dropped instead of written past the end.
    const auto table = parseSkinList(lines({"SkinsCount=101", "name[101]=past", "name[-1]=before", "name[100]=last",
                                            "view[100]=true", "name[99999999999]=overflow"}),
                                     SkinGame::Unreal);
    ASSERT_TRUE(table);
    EXPECT_EQ(table->entries[100].name, QStringLiteral("last"));
    EXPECT_EQ(table->menuIndexes(), QList<int>({100}));
    for (int i = 0; i < 100; ++i)
        EXPECT_TRUE(table->entries[i].name.isEmpty()) << i;
}

TEST(SkinList, FailsWithoutACount)
{
    for (const QStringList &input : {lines({}), lines({"name[0]=x"}), lines({"SkinsCount=many"}), lines({"SkinsCount"}),
                                     lines({"; SkinsCount=3"})}) {
        SCOPED_TRACE(input.join(u'|').toStdString());
        EXPECT_FALSE(parseSkinList(input, SkinGame::UT));
    }
}

TEST(SkinList, MenuListsViewedEntriesBelowTheCount)
{
    const auto table = parseSkinList(
        lines({"SkinsCount=3", "view[0]=true", "view[1]=false", "view[2]=true", "view[3]=true"}), SkinGame::UT);
    ASSERT_TRUE(table);
    EXPECT_EQ(table->menuIndexes(), QList<int>({0, 2}));
}

TEST(PictureStrip, CutsSquaresFromTheLeft)
{
    struct Case
    {
        const char *label;
        QImage image;
        int pictures;
    };
    const Case cases[] = {
        {"three squares", strip(3), 3},
        {"a partial square at the end is dropped", QImage(3 * 32 + 31, 32, QImage::Format_RGB32), 3},
        {"narrower than a square", QImage(31, 32, QImage::Format_RGB32), 0},
        {"null image", QImage(), 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        const QList<QImage> pictures = cutPictureStrip(c.image);
        EXPECT_EQ(pictures.size(), c.pictures);
        for (const QImage &picture : pictures)
            EXPECT_EQ(picture.size(), QSize(32, 32));
    }
    const QList<QImage> pictures = cutPictureStrip(strip(3));
    EXPECT_EQ(qRed(pictures[2].pixel(0, 0)), 2);
    EXPECT_EQ(qRed(pictures[1].pixel(31, 31)), 1);
}

TEST(SkinTable, PictureOutsideTheStripIsNull)
{
    SkinTable table = SkinTable::empty(SkinGame::Unreal);
    table.pictures = cutPictureStrip(strip(2));
    EXPECT_FALSE(table.picture(1).isNull());
    EXPECT_TRUE(table.picture(2).isNull());
    EXPECT_TRUE(table.picture(65535).isNull());
    EXPECT_TRUE(table.picture(-1).isNull());
}

TEST(VoiceList, SkipsCommentsAndEmptyLines)
{
    EXPECT_EQ(parseVoiceList(lines({"; voices", "BotPack.VoiceMaleOne", "", "BotPack.VoiceFemaleTwo"})),
              lines({"BotPack.VoiceMaleOne", "BotPack.VoiceFemaleTwo"}));
}

TEST(ProperCase, CapitalisesEveryBlankSeparatedWord)
{
    EXPECT_EQ(properCase(QStringLiteral("MALE commando")), QStringLiteral("Male Commando"));
    EXPECT_EQ(properCase(QStringLiteral("  skaarj-hybrid  x")), QStringLiteral("  Skaarj-hybrid  X"));
    EXPECT_EQ(properCase(QString()), QString());
}

TEST(SkinTables, LoadsFilesAndReportsEachGame)
{
    struct Case
    {
        const char *label;
        QByteArray unrealList; // empty: no file
        bool unrealStrip;
        QByteArray utList;
        bool utStrip;
        SkinTables::LoadOutcome unreal;
        SkinTables::LoadOutcome ut;
    };
    using O = SkinTables::LoadOutcome;
    const QByteArray good = "SkinsCount=1\r\nname[0]=Spectator\r\nview[0]=true\r\npict[0]=1\r\n";
    const Case cases[] = {
        {"both present", good, true, good, true, O::Loaded, O::Loaded},
        {"no strip skips the game", good, false, good, true, O::Missing, O::Loaded},
        {"no list skips the game", QByteArray(), true, good, true, O::Missing, O::Loaded},
        {"no count fails", "name[0]=x\r\n", true, good, true, O::Failed, O::Loaded},
        {"no UT strip skips UT", good, true, good, false, O::Loaded, O::Missing},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        if (!c.unrealList.isEmpty()) {
            ASSERT_TRUE(testsupport::writeFile(dir.filePath("u_skins.lst"), c.unrealList));
        }
        if (c.unrealStrip) {
            ASSERT_TRUE(strip(2).save(dir.filePath("u_skins.bmp"), "BMP"));
        }
        if (!c.utList.isEmpty()) {
            ASSERT_TRUE(testsupport::writeFile(dir.filePath("ut_skins.lst"), c.utList));
        }
        if (c.utStrip) {
            ASSERT_TRUE(strip(2).save(dir.filePath("ut_skins.bmp"), "BMP"));
        }
        SkinTables tables;
        const auto result = tables.load(dir.path());
        EXPECT_EQ(result.unreal, c.unreal);
        EXPECT_EQ(result.ut, c.ut);
        if (c.unreal != O::Loaded) {
            EXPECT_EQ(tables.table(SkinGame::Unreal).count, 0);
        }
        if (c.ut == O::Loaded) {
            EXPECT_EQ(tables.table(SkinGame::UT).count, 1);
            EXPECT_EQ(tables.table(SkinGame::UT).pictures.size(), 2);
        }
    }

    QTemporaryDir dir;
    ASSERT_TRUE(testsupport::writeFile(dir.filePath("u_skins.lst"), good));
    ASSERT_TRUE(testsupport::writeFile(dir.filePath("u_skins.bmp"), "BM not really a bitmap"));
    SkinTables tables;
    EXPECT_EQ(tables.load(dir.path()).unreal, O::Failed);
    EXPECT_TRUE(tables.load(dir.path()).failed());
}

TEST(SkinTables, ShippedListsLoad)
{
    SkinTables tables;
    const auto result = tables.load(testsupport::dataPath(QStringLiteral("../../orv/app/data")));
    ASSERT_EQ(result.unreal, SkinTables::LoadOutcome::Loaded);
    ASSERT_EQ(result.ut, SkinTables::LoadOutcome::Loaded);
    for (SkinGame game : {SkinGame::Unreal, SkinGame::UT}) {
        const SkinTable &table = tables.table(game);
        EXPECT_GT(table.menuIndexes().size(), 5);
        // Every listed entry has a picture of its own in the strip.
        for (int index : table.menuIndexes())
            EXPECT_FALSE(table.picture(table.entries[index].pict).isNull()) << index;
    }
    const auto voices = SkinTables::loadVoices(testsupport::dataPath(QStringLiteral("../../orv/app/data")));
    ASSERT_TRUE(voices);
    EXPECT_GT(voices->size(), 3);
}

TEST(SkinTables, PlayerPictureFollowsTheServersGame)
{
    SkinTable unreal = SkinTable::empty(SkinGame::Unreal);
    unreal.count = 2;
    unreal.entries[0].skin = QStringLiteral("FemaleOneSkins.Gina");
    unreal.entries[0].pict = 4;
    unreal.entries[1].skin = QStringLiteral("MaleThreeSkins.Dante");
    unreal.entries[1].pict = 9;
    SkinTable ut = SkinTable::empty(SkinGame::UT);
    ut.count = 3;
    ut.entries[0] = {QStringLiteral("Blake red"),
                     QStringLiteral("CommandoSkins.cmdo"),
                     QStringLiteral("Commando"),
                     QStringLiteral("Blake"),
                     QString(),
                     QStringLiteral("red"),
                     true,
                     11};
    ut.entries[1] = {QStringLiteral("Blake blue"),
                     QStringLiteral("CommandoSkins.cmdo"),
                     QStringLiteral("Commando"),
                     QStringLiteral("Blake"),
                     QString(),
                     QStringLiteral("blue"),
                     true,
                     12};
    ut.entries[2] = {QStringLiteral("Boss"),
                     QStringLiteral("BossSkins.Boss"),
                     QStringLiteral("TBoss"),
                     QStringLiteral("Xan"),
                     QString(),
                     QStringLiteral("none"),
                     true,
                     13};
    SkinTables tables;
    tables.setTable(unreal);
    tables.setTable(ut);

    auto player = [](const char *mesh, const char *skin, const char *face, const char *team) {
        orv::engine::PlayerEntry p;
        p.mesh = QString::fromLatin1(mesh);
        p.skin = QString::fromLatin1(skin);
        p.face = QString::fromLatin1(face);
        p.team = QString::fromLatin1(team);
        return p;
    };
    orv::engine::ServerInfo unrealServer;
    unrealServer.gamename = QStringLiteral("UNREAL");
    orv::engine::ServerInfo utServer;
    utServer.gamename = QStringLiteral("ut");

    struct Case
    {
        const char *label;
        const orv::engine::ServerInfo *server;
        orv::engine::PlayerEntry player;
        SkinGame game;
        int pict;
    };
    const Case cases[] = {
        {"Unreal mesh + Skins. + skin, any case", &unrealServer, player("maleThree", "dante", "", "0"),
         SkinGame::Unreal, 9},
        {"Unreal without a match gives 0", &unrealServer, player("MaleThree", "Nobody", "", "0"), SkinGame::Unreal, 0},
        {"UT face and team", &utServer, player("", "", "blake", "1"), SkinGame::UT, 12},
        {"UT face None, skin and red team", &utServer, player("x", "CommandoSkins.cmdo", "None", "0"), SkinGame::UT,
         11},
        {"UT face None matches the mesh as a face", &utServer, player("xan", "", "None", "7"), SkinGame::UT, 13},
        {"UT wrong team gives 0", &utServer, player("", "", "Blake", "3"), SkinGame::UT, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        const auto picture = tables.playerPicture(*c.server, c.player, QStringLiteral("Unreal"));
        EXPECT_EQ(picture.game, c.game);
        EXPECT_EQ(picture.pict, c.pict);
    }
}

TEST(SkinList, RandomLinesStayInsideTheTable)
{
    const QString alphabet = QStringLiteral("[]=;- 0123456789abcxyz\u00e9");
    const char *const keys[] = {"name", "VIEW", "skin", "mesh", "pict", "face", "team", "talk", "other", ""};
    quint32 seed = 12345;
    auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    };
    auto garbage = [&] {
        QString text;
        const int length = static_cast<int>(next() % 60);
        for (int c = 0; c < length; ++c)
            text += alphabet.at(static_cast<qsizetype>(next() % static_cast<quint32>(alphabet.size())));
        return text;
    };
    int parsed = 0;
    for (int round = 0; round < 300; ++round) {
        QStringList input;
        if (next() % 8 != 0)
            input.append(QStringLiteral("SkinsCount=%1").arg(static_cast<qint64>(next() % 3000000) - 1000000));
        const int count = static_cast<int>(next() % 60);
        for (int l = 0; l < count; ++l) {
            switch (next() % 3) {
            case 0:
                input.append(garbage());
                break;
            default:
                input.append(QString::fromLatin1(keys[next() % std::size(keys)]) + u'[' +
                             QString::number(static_cast<qint64>(next() % 1200) - 100) + QStringLiteral("]=") +
                             garbage());
            }
        }
        for (SkinGame game : {SkinGame::Unreal, SkinGame::UT}) {
            const auto table = parseSkinList(input, game);
            if (!table)
                continue;
            ++parsed;
            ASSERT_GE(table->count, 0);
            ASSERT_LE(table->count, SkinTable::slotCount(game));
            ASSERT_EQ(table->entries.size(), SkinTable::slotCount(game));
            for (const SkinEntry &entry : table->entries) {
                ASSERT_LE(entry.name.size(), 128);
                ASSERT_LE(entry.skin.size(), 40);
                ASSERT_LE(entry.team.size(), 6);
            }
            for (int index : table->menuIndexes())
                ASSERT_LT(index, table->count);
        }
    }
    EXPECT_GT(parsed, 400);
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "orv/engine/serverinfo.h"
#include "orv/frontend/formstorage/formstorage.h"
#include "orv/frontend/gameforms/gameoptionsform.h"
#include "orv/frontend/mainwindow/soundbank.h"
#include "platform/desktop/sound.h"
#include "platform/registrystore.h"
#include "tests/support/testpaths.h"

using namespace orv::frontend;
using namespace orv::core;
using Kind = TUnrealOptionsForm::MessageKind;

namespace {

struct FormFixture
{
    QTemporaryDir dir;
    platform::RegistryStore store{platform::RegistryRoot::CurrentUser, dir.filePath("registry.json")};
    platform::SoundService service;
    SoundBank sounds{service};
    std::unique_ptr<TUnrealOptionsForm> form;
    QList<std::pair<Kind, QString>> messages;

    FormFixture()
    {
        sounds.setEnabled(false);
        makeForm();
    }

    void makeForm()
    {
        form = std::make_unique<TUnrealOptionsForm>(store, sounds);
        form->setDataFolder(dir.path());
        form->setMessageShower([this](Kind kind, const QString &text) { messages.append({kind, text}); });
    }

    // Loads the storages as showing the window does.
    void load()
    {
        ASSERT_TRUE(form->presetStorage()->LoadSettings());
        ASSERT_TRUE(form->formStorage()->LoadSettings());
    }

    QLineEdit *edit(const char *name) { return form->findChild<QLineEdit *>(QString::fromLatin1(name)); }
    QComboBox *combo(const char *name) { return form->findChild<QComboBox *>(QString::fromLatin1(name)); }
    QString stored(const QString &section, const char *name)
    {
        const auto text = store.readString(QStringLiteral("SOFTWARE\\Orvane\\") + section, QString::fromLatin1(name));
        return text && *text ? **text : QStringLiteral("<missing>");
    }
};

} // namespace

TEST(GameOptionsForm, AddSwitchAndDeletePresets)
{
    FormFixture f;
    f.load();
    const QString bobSection = presetSection(u"Bob");
    const QString aliceSection = presetSection(u"Alice");

    f.form->setNickname(QStringLiteral("Bob"));
    f.edit("YourPass")->setText(QStringLiteral("secret"));
    f.combo("YourTeam")->setCurrentIndex(2);
    f.form->SpeedButton1Click();
    ASSERT_EQ(f.messages.size(), 1);
    EXPECT_EQ(f.messages.last(), std::make_pair(Kind::Information, QStringLiteral("Player preset added!")));
    EXPECT_EQ(f.stored(bobSection, "YourPass_Text"), QStringLiteral("secret"));
    EXPECT_EQ(f.stored(bobSection, "Team index"), QStringLiteral("2"));

    f.form->SpeedButton1Click();
    EXPECT_EQ(f.messages.last(), std::make_pair(Kind::Error, QStringLiteral("This player is already exists!")));
    EXPECT_EQ(f.form->presets(), QStringList({"Bob"}));

    f.form->setNickname(QStringLiteral("Alice"));
    f.edit("YourPass")->setText(QStringLiteral("other"));
    f.combo("YourTeam")->setCurrentIndex(4);
    f.form->SpeedButton1Click();
    EXPECT_EQ(f.form->presets(), QStringList({"Bob", "Alice"}));

    // Switching saves the shown values to Alice, then shows Bob's.
    f.edit("YourSkin")->setText(QStringLiteral("Changed.Skin"));
    f.form->choosePreset(QStringLiteral("Bob"));
    EXPECT_EQ(f.edit("YourPass")->text(), QStringLiteral("secret"));
    EXPECT_EQ(f.combo("YourTeam")->currentText(), QStringLiteral("Blue"));
    EXPECT_EQ(f.stored(aliceSection, "YourSkin_Text"), QStringLiteral("Changed.Skin"));
    f.form->choosePreset(QStringLiteral("Alice"));
    EXPECT_EQ(f.edit("YourSkin")->text(), QStringLiteral("Changed.Skin"));
    EXPECT_EQ(f.form->currentPreset().team, QStringLiteral("Gold"));

    // Deleting Alice removes her key and shows the first preset without saving Alice again.
    f.form->SpeedButton2Click();
    EXPECT_EQ(f.messages.last(), std::make_pair(Kind::Information, QStringLiteral("Player preset deleted!")));
    EXPECT_FALSE(f.store.keyExists(QStringLiteral("SOFTWARE\\Orvane\\") + aliceSection));
    EXPECT_EQ(f.form->presets(), QStringList({"Bob"}));
    EXPECT_EQ(f.form->nickname(), QStringLiteral("Bob"));
    EXPECT_EQ(f.edit("YourPass")->text(), QStringLiteral("secret"));
    ASSERT_TRUE(f.form->presetStorage()->SaveSettings());
    EXPECT_FALSE(f.store.keyExists(QStringLiteral("SOFTWARE\\Orvane\\") + aliceSection));

    // Deleting the last one must not let a later save bring it back.
    f.form->SpeedButton2Click();
    EXPECT_TRUE(f.form->presets().isEmpty());
    ASSERT_TRUE(f.form->presetStorage()->SaveSettings());
    EXPECT_FALSE(f.store.keyExists(QStringLiteral("SOFTWARE\\Orvane\\") + bobSection));
}

TEST(GameOptionsForm, StoredNicknameBringsItsPresetBack)
{
    FormFixture f;
    f.load();
    f.form->setNickname(QStringLiteral("C:\\Bk\\ \"q\" ?"));
    f.edit("YourSkinT")->setText(QStringLiteral("Soldier.Skin"));
    f.form->SpeedButton1Click();
    f.form->setGamePath(3, QStringLiteral("/games/ut/System/UnrealTournament.exe"));
    ASSERT_TRUE(f.form->formStorage()->SaveSettings());
    ASSERT_TRUE(f.form->presetStorage()->SaveSettings());
    // One key level per preset, whatever the name holds.
    EXPECT_EQ(f.store.subKeyNames(QStringLiteral("SOFTWARE\\Orvane\\Players")).size(), 1);

    f.form.reset();
    f.makeForm();
    EXPECT_EQ(f.edit("YourSkinT")->text(), QStringLiteral("N/A"));
    f.load();
    EXPECT_EQ(f.form->nickname(), QStringLiteral("C:\\Bk\\ \"q\" ?"));
    EXPECT_EQ(f.edit("YourSkinT")->text(), QStringLiteral("Soldier.Skin"));
    EXPECT_EQ(f.form->gameExecutable(true), QStringLiteral("/games/ut/System/UnrealTournament.exe"));
}

TEST(GameOptionsForm, PathFieldsDropQuotesAndLightTheirLed)
{
    FormFixture f;
    const QString game = f.dir.filePath("Unreal.exe");
    ASSERT_TRUE(testsupport::writeFile(game, "MZ"));
    struct Case
    {
        QString text;
        QString expected;
        bool lit;
    };
    const Case cases[] = {
        {u'"' + game + u'"', game, true},
        {f.dir.path(), f.dir.path(), false}, // a folder is not a game file
        {game + QStringLiteral(".missing"), game + QStringLiteral(".missing"), false},
        {QString(), QString(), false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        f.form->setGamePath(1, c.text);
        EXPECT_EQ(f.form->gamePath(1), c.expected);
        EXPECT_EQ(f.form->isLedLit(1), c.lit);
    }
}

TEST(GameOptionsForm, SkinChoicesFillTheFields)
{
    FormFixture f;
    ASSERT_TRUE(testsupport::writeFile(f.dir.filePath("u_skins.lst"),
                                       "SkinsCount=2\r\nname[0]=SPECTATOR man\r\nview[0]=true\r\nname[1]=spectator\r\n"
                                       "view[1]=true\r\nmesh[1]=Spectator\r\nskin[1]=x\r\npict[1]=1\r\n"));
    ASSERT_TRUE(QImage(64, 32, QImage::Format_RGB32).save(f.dir.filePath("u_skins.bmp"), "BMP"));
    ASSERT_TRUE(testsupport::writeFile(
        f.dir.filePath("ut_skins.lst"),
        "SkinsCount=1\r\nname[0]=Blake\r\nview[0]=true\r\nskin[0]=CommandoSkins.cmdo\r\n"
        "face[0]=CommandoSkins.Blake\r\nmesh[0]=BotPack.TMale1\r\nteam[0]=none\r\npict[0]=0\r\n"));
    ASSERT_TRUE(QImage(32, 32, QImage::Format_RGB32).save(f.dir.filePath("ut_skins.bmp"), "BMP"));
    ASSERT_TRUE(f.form->loadSkinLists());

    QMenu *menu = f.form->buildUnrealSkinMenu();
    ASSERT_EQ(menu->actions().size(), 2);
    EXPECT_EQ(menu->actions()[0]->text(), QStringLiteral("Spectator Man"));
    menu->actions()[1]->trigger();
    // A spectator has no skin, but its mesh still counts.
    EXPECT_EQ(f.edit("YourSkin")->text(), QStringLiteral("N/A"));
    EXPECT_EQ(f.edit("SkinClass")->text(), QStringLiteral("Spectator"));
    EXPECT_EQ(f.form->findChild<QLabel *>(QStringLiteral("Image1"))->property("Tag").toInt(), 1);
    EXPECT_FALSE(f.form->findChild<QLabel *>(QStringLiteral("Image1"))->pixmap().isNull());
    f.form->chooseUnrealSkin(0);
    EXPECT_EQ(f.edit("SkinClass")->text(), QStringLiteral("N/A"));
    f.form->chooseUnrealSkin(5000); // outside the table: nothing changes
    EXPECT_EQ(f.form->findChild<QLabel *>(QStringLiteral("Image1"))->property("Tag").toInt(), 0);

    // The players list's pictures: Unreal and Unreal Tournament in one index space.
    orv::engine::ServerInfo utServer;
    utServer.gamename = QStringLiteral("ut");
    orv::engine::PlayerEntry blake;
    blake.face = QStringLiteral("CommandoSkins.Blake");
    blake.team = QStringLiteral("9");
    const int icon = f.form->playerIconIndex(utServer, blake, QStringLiteral("Unreal"));
    EXPECT_EQ(icon, TUnrealOptionsForm::kUTIconBase);
    EXPECT_FALSE(f.form->playerIcon(icon).isNull());
    EXPECT_FALSE(f.form->playerIcon(1).isNull());       // Unreal picture 1
    EXPECT_TRUE(f.form->playerIcon(2).isNull());        // past the Unreal strip
    EXPECT_TRUE(f.form->playerIcon(icon + 1).isNull()); // past the UT strip

    f.form->chooseUTSkin(0);
    EXPECT_EQ(f.edit("YourSkinT")->text(), QStringLiteral("CommandoSkins.cmdo"));
    EXPECT_EQ(f.edit("YourFaceT")->text(), QStringLiteral("CommandoSkins.Blake"));
    EXPECT_EQ(f.edit("SkinClassT")->text(), QStringLiteral("BotPack.TMale1"));
    EXPECT_EQ(f.edit("YourVoiceT")->text(), QStringLiteral("N/A"));

    // A broken list is the loading error, and the program is asked to end.
    ASSERT_TRUE(testsupport::writeFile(f.dir.filePath("ut_skins.lst"), "garbage\r\n"));
    bool exitAsked = false;
    QObject::connect(f.form.get(), &TUnrealOptionsForm::exitRequested, f.form.get(), [&] { exitAsked = true; });
    EXPECT_FALSE(f.form->loadSkinLists());
    EXPECT_TRUE(exitAsked);
    EXPECT_EQ(
        f.messages.last(),
        std::make_pair(Kind::Error,
                       QStringLiteral("Error while load Unreal Tournament skins files! Restart programm please!")));
}

TEST(GameOptionsForm, VoiceMenuAndCommandSwitches)
{
    FormFixture f;
    QMenu *menu = f.form->buildVoiceMenu();
    EXPECT_TRUE(menu->actions().isEmpty()); // no file: left as it was
    ASSERT_TRUE(testsupport::writeFile(f.dir.filePath("ut_voices.lst"),
                                       "; voices\r\nBotPack.VoiceMaleOne\r\n\r\nBotPack.VoiceBoss\r\n"));
    menu = f.form->buildVoiceMenu();
    ASSERT_EQ(menu->actions().size(), 2);
    menu->actions()[1]->trigger();
    EXPECT_EQ(f.edit("YourVoiceT")->text(), QStringLiteral("BotPack.VoiceBoss"));

    QLineEdit *extra = f.form->commandField(QStringLiteral("Addcmd1"));
    ASSERT_NE(extra, nullptr);
    f.form->appendCommand(extra, QStringLiteral("-log"));
    f.form->appendCommand(extra, QString()); // a dismissed menu still adds its blank
    EXPECT_EQ(extra->text(), QStringLiteral(" -log "));
    EXPECT_EQ(f.form->serverText(false), QStringLiteral("-server"));
    const QStringList &switches = TUnrealOptionsForm::commandSwitches();
    ASSERT_EQ(switches.size(), 36);
    EXPECT_EQ(switches.first(), QString());
    EXPECT_EQ(switches.indexOf(QStringLiteral("-")), 11);
    EXPECT_EQ(switches.lastIndexOf(QStringLiteral("-")), 29);
    EXPECT_EQ(switches.last(), QStringLiteral("READINI=inifilename"));
}

TEST(GameOptionsForm, SearchFillsPathsOrSaysNothingWasFound)
{
    FormFixture f;
    const QString root = f.dir.filePath("disk");
    ASSERT_TRUE(testsupport::writeFile(root + "/a/UNREALED.EXE", "MZ"));
    ASSERT_TRUE(testsupport::writeFile(root + "/b/System/UnrealEd.exe", "MZ"));
    ASSERT_TRUE(testsupport::writeFile(root + "/b/System/UnrealTournament.EXE", "MZ"));
    f.form->setSearchRoots({root});
    EXPECT_TRUE(f.form->SearchButtonClick());
    // The editor beside UT's game file is UT's; one whose game cannot be told goes to both
    // fields, and UT's own then wins its field.
    EXPECT_EQ(f.form->gamePath(1), QString());
    EXPECT_EQ(f.form->gamePath(2), root + "/a/UNREALED.EXE");
    EXPECT_EQ(f.form->gamePath(4), root + "/b/System/UnrealEd.exe");
    EXPECT_EQ(f.form->gamePath(3), root + "/b/System/UnrealTournament.EXE");
    EXPECT_TRUE(f.form->isLedLit(3));

    f.form->setSearchRoots({f.dir.filePath("empty")});
    EXPECT_FALSE(f.form->SearchButtonClick());
    EXPECT_EQ(f.messages.last(),
              std::make_pair(Kind::Error, QStringLiteral("I`m can not find file on your hard drives!")));
}

TEST(GameOptionsForm, TakesTheGamesPlayerForTheShownPreset)
{
    FormFixture f;
    GamePlayer player;
    player.name = QStringLiteral("A name far longer than twenty");
    player.team = 2;
    player.playerClass = QStringLiteral("Botpack.TMale2");
    player.face = QStringLiteral("SoldierSkins.Gorn");
    f.form->takeGamePlayer(player, true);
    const PlayerPreset preset = f.form->currentPreset();
    EXPECT_EQ(preset.nickname, QStringLiteral("A name far longer th"));
    EXPECT_EQ(preset.team, QStringLiteral("Green"));
    EXPECT_EQ(preset.skinClassT, QStringLiteral("Botpack.TMale2"));
    EXPECT_EQ(preset.faceT, QStringLiteral("SoldierSkins.Gorn"));
    EXPECT_EQ(preset.skinT, QStringLiteral("N/A"));     // left empty by the game: kept
    EXPECT_EQ(preset.skinClass, QStringLiteral("N/A")); // Unreal's fields are not UT's
}

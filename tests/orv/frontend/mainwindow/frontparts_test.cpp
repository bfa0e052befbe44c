// SPDX-License-Identifier: GPL-3.0-or-later
#include <QCoreApplication>
#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextBrowser>

#include <gtest/gtest.h>

#include "orv/engine/serverinfo.h"
#include "orv/frontend/mainwindow/debugform.h"
#include "orv/frontend/mainwindow/playersmodel.h"
#include "orv/frontend/mainwindow/singleinstance.h"
#include "orv/frontend/mainwindow/soundbank.h"
#include "platform/desktop/sound.h"
#include "tests/support/testpaths.h"

using namespace orv::frontend;

TEST(DebugForm, TheCallThatFindsTheLogFullEmptiesIt)
{
    TDebugForm log;
    // The log starts with its header line and an empty line.
    ASSERT_EQ(log.lineCount(), 2);
    EXPECT_TRUE(log.lines().constFirst().startsWith(QStringLiteral("ORVANE // ")));
    for (int i = log.lineCount(); i < TDebugForm::kMaxLines; ++i)
        log.log(QStringLiteral("line %1").arg(i));
    ASSERT_EQ(log.lineCount(), 1001);
    log.log(QStringLiteral("lost"));
    EXPECT_EQ(log.lineCount(), 0);
    log.log(QStringLiteral("first again"));
    EXPECT_EQ(log.lines(), QStringList{QStringLiteral("first again")});
}

TEST(DebugForm, ShowsTheLinesAsTheyAreWrittenAndTheirAddressesAsLinks)
{
    TDebugForm log;
    const QStringList lines = {QStringLiteral("Recived : 127.0.0.3 >\\hostname\\<Clan> & \"Friends\""),
                               QStringLiteral("Recived : 127.0.0.4 >"), QStringLiteral("see www.example.org <now>")};
    for (const QString &line : lines)
        log.log(line);
    const auto *text = log.findChild<QTextBrowser *>();
    ASSERT_TRUE(text);
    EXPECT_EQ(text->toPlainText().split(u'\n').mid(2), lines);
    EXPECT_TRUE(text->toHtml().contains(QStringLiteral("href=\"http://www.example.org\"")));
}

TEST(SoundBank, FindsSoundsByPathThenInItsFoldersIgnoringCase)
{
    QTemporaryDir program;
    QTemporaryDir shipped;
    ASSERT_TRUE(testsupport::writeFile(program.filePath(QStringLiteral("beep.wav")), "RIFF"));
    ASSERT_TRUE(testsupport::writeFile(shipped.filePath(QStringLiteral("confirm.wav")), "RIFF"));
    platform::SoundService service;
    SoundBank bank(service);
    bank.setSearchFolders({program.path(), shipped.path()});

    EXPECT_EQ(bank.resolve(QStringLiteral("beep.wav")), program.filePath(QStringLiteral("beep.wav")));
    // Names written in Windows habits still find the file.
    EXPECT_EQ(bank.resolve(QStringLiteral("Confirm.wav")), shipped.filePath(QStringLiteral("confirm.wav")));
    EXPECT_EQ(bank.resolve(program.filePath(QStringLiteral("beep.wav"))), program.filePath(QStringLiteral("beep.wav")));
    EXPECT_TRUE(bank.resolve(QStringLiteral("missing.wav")).isEmpty());
    EXPECT_TRUE(bank.resolve(QString()).isEmpty());
}

TEST(PlayersModel, ListsAtMost32PlayersBestFirst)
{
    orv::engine::ServerInfo info =
        orv::engine::ServerInfo::defaults(QStringLiteral("127.0.0.2"), QStringLiteral("7777"), QStringLiteral("7778"));
    info.numplayers = QStringLiteral("3");
    const char *const frags[] = {"10", "2", "35"};
    for (int i = 0; i < 3; ++i) {
        info.players[static_cast<size_t>(i)].name = QStringLiteral("p%1").arg(i);
        info.players[static_cast<size_t>(i)].frags = QString::fromLatin1(frags[i]);
        info.players[static_cast<size_t>(i)].team = QString::number(i);
    }
    PlayersModel model;
    model.showPlayers(info, {});
    model.sortByFrags();
    ASSERT_EQ(model.rowCount(), 3);
    EXPECT_EQ(model.row(0).subItems[0], QStringLiteral("35"));
    EXPECT_EQ(model.row(1).subItems[0], QStringLiteral("10"));
    EXPECT_EQ(model.row(2).subItems[0], QStringLiteral("2"));
    EXPECT_EQ(model.row(0).subItems[1], QStringLiteral("Green team"));

    info.numplayers = QStringLiteral("40");
    model.showPlayers(info, {});
    EXPECT_EQ(model.rowCount(), 32);
    info.numplayers = QStringLiteral("x");
    model.showPlayers(info, {});
    EXPECT_EQ(model.rowCount(), 0);
}

TEST(SingleInstance, ASecondStartBringsTheFirstForward)
{
    EXPECT_TRUE(SingleInstance::displayLargeEnough({800, 600}));
    EXPECT_FALSE(SingleInstance::displayLargeEnough({799, 600}));
    EXPECT_FALSE(SingleInstance::displayLargeEnough({800, 599}));

    SingleInstance first(QStringLiteral("orvane-test"));
    ASSERT_TRUE(first.isPrimary());
    QSignalSpy activated(&first, &SingleInstance::activationRequested);
    SingleInstance second(QStringLiteral("orvane-test"));
    EXPECT_FALSE(second.isPrimary());
    EXPECT_TRUE(activated.wait(2000));

    // A start with a server link hands the link over instead.
    QSignalSpy linked(&first, &SingleInstance::linkReceived);
    SingleInstance third(QStringLiteral("orvane-test"), QStringLiteral("unreal://192.0.2.10:7777/?password=x"));
    EXPECT_FALSE(third.isPrimary());
    ASSERT_TRUE(linked.wait(2000));
    EXPECT_EQ(linked.at(0).at(0).toString(), QStringLiteral("unreal://192.0.2.10:7777/?password=x"));
    EXPECT_EQ(activated.size(), 1);
}

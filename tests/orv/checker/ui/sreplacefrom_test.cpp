// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/checker/ui/sreplacefrom.h"

#include <QCheckBox>
#include <QFile>
#include <QTableWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "orv/checker/replacementtable.h"
#include "orv/frontend/formstorage/formstorage.h"
#include "orv/frontend/mainwindow/soundbank.h"
#include "platform/desktop/sound.h"
#include "platform/registrystore.h"

using namespace orv::checker;
using namespace orv::checker::ui;

namespace {
QString L1(const char *text)
{
    return QString::fromLatin1(text);
}
} // namespace

TEST(SReplaceFrom, GridEditsCountAtOnceAndSurviveASaveAndLoad)
{
    QTemporaryDir dir;
    platform::RegistryStore store(platform::RegistryRoot::CurrentUser, dir.filePath(L1("HKEY_CURRENT_USER.reg")));
    platform::SoundService service;
    orv::frontend::SoundBank sounds(service);
    ReplacementTable table;
    {
        TSReplaceFrom window(table, store, sounds);
        QTableWidget *grid = window.grid();
        ASSERT_EQ(grid->rowCount(), 200);
        grid->item(0, 0)->setText(L1("DM-Deck16"));
        grid->item(0, 1)->setText(L1("Deck"));
        // Before anything is saved, the decoder's replacement already sees the edit.
        EXPECT_EQ(table.replaceValue(L1("DM-Deck16")), L1("Deck"));
        EXPECT_EQ(table.replaceValue(L1("dm-deck16")), L1("dm-deck16"));
        grid->item(1, 0)->setText(L1("CTF-Face"));
        grid->item(2, 0)->setText(L1("DM-Morpheus"));
        grid->item(2, 1)->setText(L1("Morph"));
        window.useinRepeat()->setChecked(true);
        EXPECT_TRUE(table.useInChecker());
        ASSERT_TRUE(window.saveTable());
    }
    ReplacementTable reloaded;
    TSReplaceFrom window(reloaded, store, sounds);
    window.loadTable();
    EXPECT_EQ(window.grid()->item(0, 1)->text(), L1("Deck"));
    // The row with an empty replacement ends the load: the row below it is not read.
    EXPECT_EQ(window.grid()->item(1, 0)->text(), L1("CTF-Face"));
    EXPECT_TRUE(window.grid()->item(2, 0)->text().isEmpty());
    EXPECT_TRUE(window.useinRepeat()->isChecked());
    EXPECT_EQ(reloaded.replaceValue(L1("CTF-Face")), QString());
}

// A table that cannot be stored is reported when the window closes, not lost in silence.
TEST(SReplaceFrom, ASaveThatFailsIsReported)
{
    QTemporaryDir dir;
    QFile blocker(dir.filePath(L1("not-a-folder")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    platform::RegistryStore store(platform::RegistryRoot::CurrentUser,
                                  dir.filePath(L1("not-a-folder/HKEY_CURRENT_USER.reg")));
    platform::SoundService service;
    orv::frontend::SoundBank sounds(service);
    ReplacementTable table;
    TSReplaceFrom window(table, store, sounds);
    QStringList errors;
    window.setErrorSink([&](const QString &text) { errors.append(text); });
    window.show();
    window.grid()->item(0, 0)->setText(L1("DM-Deck16"));
    window.grid()->item(0, 1)->setText(L1("Deck"));
    window.close();
    // The message says why (the settings folder cannot be made), not which value failed.
    ASSERT_FALSE(errors.isEmpty());
    EXPECT_TRUE(errors.first().contains(L1("not-a-folder"))) << qPrintable(errors.first());
    EXPECT_FALSE(errors.first().startsWith(L1("Failed to"))) << qPrintable(errors.first());
    EXPECT_FALSE(window.saveTable());
}

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <vector>

#include <QDir>
#include <QStringList>
#include <QTemporaryDir>

#include "orv/engine/queryengine.h"
#include "orv/engine/serverentry.h"
#include "orv/frontend/mainwindow/iconprovider.h"
#include "orv/frontend/mainwindow/mainform.h"
#include "orv/frontend/mainwindow/serverview.h"
#include "orv/frontend/mainwindow/soundbank.h"
#include "platform/desktop/sound.h"

namespace listtoolstest {

// One server row: caption, game, players, map, game type, the three identifying words
// and the state icon.
struct RowData
{
    const char *caption;
    const char *address;
    const char *gamePort = "7777";
    const char *queryPort = "7778";
    int icon = 0;
    const char *game = "ut";
    const char *players = "N/A";
    const char *map = "N/A";
    const char *gameType = "N/A";
};

inline orv::engine::ServerEntry makeRow(const RowData &data)
{
    orv::engine::ServerEntry entry;
    entry.caption = QString::fromLatin1(data.caption);
    entry.setColumn(1, QStringLiteral("50"));
    entry.setColumn(2, QString::fromLatin1(data.game));
    entry.setColumn(3, QString::fromLatin1(data.players));
    entry.setColumn(4, QString::fromLatin1(data.map));
    entry.setColumn(6, QString::fromLatin1(data.gameType));
    entry.setWords(
        {QString::fromLatin1(data.address), QString::fromLatin1(data.gamePort), QString::fromLatin1(data.queryPort)});
    entry.icon = data.icon;
    return entry;
}

// A main window over a real engine that never refreshes (no datagram leaves the test),
// with its favorites file in a folder of its own.
struct Fixture
{
    platform::SoundService service;
    orv::frontend::SoundBank sounds{service};
    orv::engine::QueryEngine engine;
    QTemporaryDir dir;
    std::unique_ptr<orv::frontend::TMainForm> form;

    Fixture()
    {
        orv::frontend::IconProvider::initResources();
        sounds.setEnabled(false);
        orv::engine::EngineOptions options;
        options.alwaysRefresh = false;
        engine.setOptions(options);
        engine.setFavoritesFile(favoritesPath());
        form = std::make_unique<orv::frontend::TMainForm>(engine, sounds);
    }

    QString favoritesPath() const { return dir.filePath(QStringLiteral("favorites.lst")); }

    // Fills a page's view with rows and its address list with their lines.
    void setRows(orv::engine::ServerPage page, const std::vector<RowData> &rowData)
    {
        std::vector<orv::engine::ServerEntry> rows;
        QStringList lines;
        for (const RowData &data : rowData) {
            rows.push_back(makeRow(data));
            lines.append(rows.back().words().toLine());
        }
        engine.setRows(page, std::move(rows));
        engine.setAddresses(page, orv::engine::AddressList(lines));
    }

    QStringList captions(orv::engine::ServerPage page) const
    {
        QStringList out;
        for (const orv::engine::ServerEntry &row : const_cast<Fixture *>(this)->engine.view(page).rows())
            out.append(row.caption);
        return out;
    }

    std::vector<int> icons(orv::engine::ServerPage page)
    {
        std::vector<int> out;
        for (const orv::engine::ServerEntry &row : engine.view(page).rows())
            out.push_back(row.icon);
        return out;
    }

    void select(orv::engine::ServerPage page, int row) { form->view(page)->selectRow(row); }
};

} // namespace listtoolstest

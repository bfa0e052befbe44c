// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QObject>

#include "heraldex/core/checklist.h"
#include "heraldex/core/serverpageclient.h"

namespace platform {
class RegistryStore;
}

namespace heraldex::core {

// One poll of the game server: download the players page, cut out the rows and hand them
// to the checklist, which says which sounds to play. Polls never overlap.
class PlayerPoller : public QObject
{
    Q_OBJECT

public:
    explicit PlayerPoller(platform::RegistryStore &store, QObject *parent = nullptr);

    ServerPageClient &client() { return m_client; }
    bool isBusy() const { return m_busy; }

    // Starts a poll; false (and nothing happens) while the previous one is still running.
    bool PollServer(const ServerLogin &login);
    // Abandons a running poll; it reports nothing and the next poll may start at once.
    void abort();

signals:
    void pollFinished(const QList<heraldex::core::Announcement> &announcements, heraldex::core::PageError error);

private:
    void onPage(const QString &page, PageError error);

    Checklist m_checklist;
    ServerPageClient m_client;
    bool m_busy = false;
};

} // namespace heraldex::core

// SPDX-License-Identifier: GPL-3.0-or-later
#include "heraldex/core/playerpoller.h"

namespace heraldex::core {

PlayerPoller::PlayerPoller(platform::RegistryStore &store, QObject *parent)
    : QObject(parent)
    , m_checklist(store)
{
    connect(&m_client, &ServerPageClient::pageOpened, this, &PlayerPoller::onPage);
}

bool PlayerPoller::PollServer(const ServerLogin &login)
{
    if (m_busy)
        return false;
    m_busy = true;
    m_client.OpenServerPage(login);
    return true;
}

void PlayerPoller::abort()
{
    m_client.abort();
    m_busy = false;
}

void PlayerPoller::onPage(const QString &page, PageError error)
{
    std::optional<QList<PlayerRow>> rows;
    if (hasPlayerTable(page))
        rows = parsePlayerRows(page);
    const QList<Announcement> announcements = m_checklist.applyPoll(rows);
    m_busy = false;
    emit pollFinished(announcements, error);
}

} // namespace heraldex::core

// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/engine/serverlists.h"

namespace orv::engine {

ServerLists::ServerLists(QObject *owner)
{
    static const char *const captions[kServerPages] = {"Internet", "Local", "Favorites"};
    for (size_t i = 0; i < m_lists.size(); ++i) {
        m_lists[i].caption = QString::fromLatin1(captions[i]);
        m_lists[i].view = new ServerListModel(owner);
    }
}

AddressList &ServerLists::addressesOf(ServerPage page)
{
    return page == ServerPage::Favorites ? m_favorites.addresses() : list(page).addresses;
}

const AddressList &ServerLists::addressesOf(ServerPage page) const
{
    return page == ServerPage::Favorites ? m_favorites.addresses() : list(page).addresses;
}

void ServerLists::setAddresses(ServerPage page, AddressList addresses)
{
    addressesOf(page) = std::move(addresses);
}

bool ServerLists::addAddress(ServerPage page, const AddressWords &server)
{
    AddressList &addresses = addressesOf(page);
    if (addresses.FindAddress(server))
        return false;
    addresses.append(server.toLine());
    return true;
}

void ServerLists::clearReplies(ServerPage page)
{
    list(page).replies.clear();
}

void ServerLists::appendReply(ServerPage page, const QByteArray &line)
{
    list(page).replies.append(line);
}

void ServerLists::setReplies(ServerPage page, QList<QByteArray> lines)
{
    list(page).replies.setLines(std::move(lines));
}

void ServerLists::setRows(ServerPage page, std::vector<ServerEntry> rows)
{
    list(page).view->setRows(std::move(rows));
}

void ServerLists::setRow(ServerPage page, int row, ServerEntry entry)
{
    ServerListModel *view = list(page).view;
    if (row >= 0 && row < view->size())
        view->setRow(row, std::move(entry));
}

bool ServerLists::appendRow(ServerPage page, ServerEntry entry)
{
    return list(page).view->appendRow(std::move(entry));
}

void ServerLists::removeRow(ServerPage page, int row)
{
    ServerListModel *view = list(page).view;
    if (row >= 0 && row < view->size())
        view->removeRowAt(row);
}

void ServerLists::clearRows(ServerPage page)
{
    list(page).view->clear();
}

void ServerLists::setFavoriteMark(ServerPage page, int row, bool favorite)
{
    ServerListModel *view = list(page).view;
    if (row < 0 || row >= view->size())
        return;
    ServerEntry entry = view->row(row);
    entry.icon = withFavoriteMark(entry.icon, favorite);
    view->setRow(row, std::move(entry));
}

int ServerLists::moveHiddenRows(ServerPage page, const RowPass &pass)
{
    ServerListModel *view = list(page).view;
    std::vector<ServerEntry> rows = view->rows();
    const int moved = pass(rows, m_hiddenRows);
    if (moved > 0)
        view->setRows(std::move(rows));
    return moved;
}

void ServerLists::sortBy(ServerPage page, int column, Qt::SortOrder order)
{
    ServerList &l = list(page);
    l.sortColumn = column;
    l.sortOrder = order;
    sortView(page);
}

void ServerLists::sortView(ServerPage page)
{
    ServerList &l = list(page);
    l.view->sort(l.sortColumn, l.sortOrder);
}

void ServerLists::reloadFavorites()
{
    (void)m_favorites.reload();
}

} // namespace orv::engine

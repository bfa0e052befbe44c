// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <functional>
#include <vector>

#include <QByteArray>
#include <QObject>

#include "orv/engine/favoritesstore.h"
#include "orv/engine/serverlist.h"
#include "platform/result.h"

namespace orv::engine {

// The three server lists a browser shows (Internet, Local, Favorites) and the favorites
// file behind the third: their addresses, the answers received for them, their view rows,
// the rows a filter hid and how each view is sorted. Callers read them through const views
// and change them through the named operations; the refresh that fills them is the query
// engine's.
class ServerLists
{
public:
    // A filter pass over a page: moves rows between the view's rows and the hidden rows and
    // returns how many it moved.
    using RowPass = std::function<int(std::vector<ServerEntry> &rows, std::vector<ServerEntry> &hidden)>;

    // The view models are children of owner.
    explicit ServerLists(QObject *owner);

    // Pages, read-only.
    ServerPage currentPage() const { return m_currentPage; }
    const AddressList &addresses(ServerPage page) const { return addressesOf(page); }
    const ReplyStore &replies(ServerPage page) const { return list(page).replies; }
    const ServerListModel &view(ServerPage page) const { return *list(page).view; }
    const ServerListModel &currentView() const { return view(m_currentPage); }
    const ReplyStore &currentReplies() const { return replies(m_currentPage); }
    int sortColumn(ServerPage page) const { return list(page).sortColumn; }
    Qt::SortOrder sortOrder(ServerPage page) const { return list(page).sortOrder; }
    // The page's rows for showing in an item view; change them through the operations.
    QAbstractItemModel *itemModel(ServerPage page) const { return list(page).view; }
    // Rows a filter removed from the current view; emptied whenever a view is rebuilt.
    const std::vector<ServerEntry> &hiddenRows() const { return m_hiddenRows; }

    // Address lists.
    void setAddresses(ServerPage page, AddressList addresses);
    // Appends the server's line unless the same three words are listed; true when added.
    bool addAddress(ServerPage page, const AddressWords &server);

    // Reply stores.
    void clearReplies(ServerPage page);
    void appendReply(ServerPage page, const QByteArray &line);
    void setReplies(ServerPage page, QList<QByteArray> lines);

    // View rows.
    void setRows(ServerPage page, std::vector<ServerEntry> rows);
    void setRow(ServerPage page, int row, ServerEntry entry);
    // False when the view is full.
    bool appendRow(ServerPage page, ServerEntry entry);
    void removeRow(ServerPage page, int row);
    void clearRows(ServerPage page);
    // Raises a row's state icon into the favorite range, or lowers it back.
    void setFavoriteMark(ServerPage page, int row, bool favorite);
    // Runs a filter pass (or a reset) over the page's rows and the hidden rows; the view is
    // refilled in one step when the pass moved rows.
    int moveHiddenRows(ServerPage page, const RowPass &pass);
    // Sorts a page's view by its sort column and direction.
    void sortView(ServerPage page);
    // Sets the sort column and direction and sorts.
    void sortBy(ServerPage page, int column, Qt::SortOrder order);
    // Sets the sort column that the next sort uses.
    void setSortColumn(ServerPage page, int column) { list(page).sortColumn = column; }

    // Favorites: the Favorites page's address list, kept in "favorites.lst".
    const AddressList &favorites() const { return m_favorites.addresses(); }
    const QString &favoritesFile() const { return m_favorites.path(); }
    void setFavoritesFile(const QString &path) { m_favorites.setPath(path); }
    bool isFavorite(const AddressWords &server) const { return m_favorites.contains(server); }
    // Reads the file (when it exists) over the favorites in memory.
    platform::Status loadFavorites() { return m_favorites.load(); }
    // Reads the file before the first change of this run; see FavoritesStore::ensureLoaded.
    platform::Status ensureFavoritesLoaded() { return m_favorites.ensureLoaded(); }
    bool addFavorite(const AddressWords &server) { return m_favorites.add(server); }
    void removeFavoriteAt(qsizetype index) { m_favorites.removeAt(index); }
    void clearFavorites() { m_favorites.clear(); }
    platform::Status saveFavorites() const { return m_favorites.save(); }

    // Reads the favorites file again, so that rebuilt rows are marked as it is now; a file
    // that cannot be read leaves the favorites as they were.
    void reloadFavorites();

protected:
    ServerList &list(ServerPage page) { return m_lists[static_cast<size_t>(page)]; }
    const ServerList &list(ServerPage page) const { return m_lists[static_cast<size_t>(page)]; }
    ServerList &currentList() { return list(m_currentPage); }
    AddressList &addressesOf(ServerPage page);
    const AddressList &addressesOf(ServerPage page) const;
    void changeCurrentPage(ServerPage page) { m_currentPage = page; }
    std::vector<ServerEntry> &hiddenRowsOf() { return m_hiddenRows; }

private:
    std::array<ServerList, kServerPages> m_lists;
    ServerPage m_currentPage = ServerPage::Internet;
    std::vector<ServerEntry> m_hiddenRows;
    FavoritesStore m_favorites;
};

} // namespace orv::engine

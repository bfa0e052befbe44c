// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include "orv/engine/addresslist.h"
#include "orv/engine/replystore.h"
#include "orv/engine/serverlistmodel.h"

namespace orv::engine {

enum class ServerPage : int { Internet = 0, Local = 1, Favorites = 2 };
constexpr int kServerPages = 3;

// One of the three lists: its addresses, the datagrams received for it, its view rows and
// how the view is sorted. The view model is owned by the engine that owns the list, which
// keeps the Favorites page's addresses in its favorites store instead.
struct ServerList
{
    QString caption;
    AddressList addresses;
    ReplyStore replies;
    ServerListModel *view = nullptr;
    int sortColumn = 1;
    Qt::SortOrder sortOrder = Qt::AscendingOrder;
};

} // namespace orv::engine

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <optional>

#include <QString>

#include "orv/engine/addresslist.h"
#include "orv/engine/serverinfo.h"

namespace orv::engine {

constexpr int kServerColumns = 26;
constexpr int kColumnCaption = 0;
constexpr int kColumnPing = 1;
constexpr int kColumnAddress = 23;
constexpr int kColumnGamePort = 24;
constexpr int kColumnQueryPort = 25;
// The lists show one more column after the 26 of a row: the country of the row's address,
// looked up when shown (CountryLookup), never stored in the row.
constexpr int kColumnCountry = kServerColumns;

// Row icons: ping classes 0-3, dead 4; the same five plus 5 for a favorite.
enum class RowIcon : int {
    Good = 0,
    Normal = 1,
    Bad = 2,
    NoPing = 3,
    Dead = 4,
};
constexpr int kFavoriteIconOffset = 5;

// Where a row's server stands; the windows word it.
enum class RowState {
    Listed,     // rebuilt from the list, not asked yet
    Processing, // being asked
    Answered,   // answered completely
    Incomplete, // answered, but not every packet arrived
    Dead,       // no usable answer
};

// One row of a server view: a caption (the server's name, or its address until it has
// answered), 25 texts (columns 1 to 25), an icon index 0-9 and the row's state. Columns 23
// to 25 show the words of the row's list line (address, game port, query port); the server
// they name, when they name one, is the row's address, by which the row is found.
struct ServerEntry
{
    QString caption;
    std::array<QString, kServerColumns - 1> subItems;
    int icon = static_cast<int>(RowIcon::NoPing);
    RowState state = RowState::Listed;
    // Empty for a line that names no server (a host name, a missing port): such a row is
    // listed, and it is dead when asked.
    std::optional<ServerAddress> address;

    const QString &column(int column) const;
    void setColumn(int column, const QString &text);
    // Columns 23 to 25, the words of the row's list line.
    AddressWords words() const;
    // Sets columns 23 to 25 and the address they name.
    void setWords(const AddressWords &words);

    // The row right after a rebuild: caption and column 23 the address, "9999", "N/A"
    // values, the ports of the list line and icon 3 (8 for a favorite).
    static ServerEntry rebuilt(const AddressWords &words, bool favorite);

    // Columns 1-22, 24 and 25 from a decoded record; the caption and column 23 stay. The
    // game port the server reports becomes the row's own when it is a port number; a row
    // keeps the port it was asked on rather than take anything else.
    void fillFrom(const ServerInfo &info);

    // Rows with icon 0, 1, 2, 5, 6 or 7 answered with a usable ping.
    bool isAnswered() const;
};

// The icon of a ping class, plus 5 for a favorite.
int iconFor(RowIcon icon, bool favorite);
// A row's icon raised into the favorite range or lowered out of it; an icon already on
// that side (or outside both ranges) stays.
int withFavoriteMark(int icon, bool favorite);

} // namespace orv::engine

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include "orv/engine/addresslist.h"
#include "platform/result.h"

namespace orv::engine {

// The user's favorite servers and the file that keeps them between runs: "favorites.lst"
// in the program folder unless another path is set. The lines are read lazily (a change
// made before the file was ever read in this run keeps the file's lines) and the file is
// rewritten atomically after every change the caller saves.
class FavoritesStore
{
public:
    FavoritesStore();
    explicit FavoritesStore(QString path);

    // "favorites.lst" in the program folder.
    static QString defaultPath();

    const QString &path() const { return m_path; }
    void setPath(QString path) { m_path = std::move(path); }

    const AddressList &addresses() const { return m_addresses; }
    // The owner's refresh normalises the lines and writes reported game ports back.
    AddressList &addresses() { return m_addresses; }
    bool isLoaded() const { return m_loaded; }

    // Reads the file over the lines in memory when it exists; a missing file leaves them.
    // Fails (and keeps the lines) when the file exists but cannot be read.
    platform::Status reload();
    // reload(), after which the lines count as read in this run even when it failed.
    platform::Status load();
    // Reads the file once per run, before the first change: only while nothing was read
    // yet and the list is still empty. Fails when the file exists but cannot be read.
    platform::Status ensureLoaded();

    bool contains(const AddressWords &server) const;
    // Appends the server's line unless an equal line is there; true when it was added.
    bool add(const AddressWords &server);
    void removeAt(qsizetype index);
    // Empties the list; the file keeps its lines until save().
    void clear();
    // Writes the lines atomically (CR LF line ends).
    platform::Status save() const;

private:
    QString m_path;
    AddressList m_addresses;
    bool m_loaded = false;
};

} // namespace orv::engine

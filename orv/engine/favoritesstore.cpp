// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/engine/favoritesstore.h"

#include <QDir>
#include <QFileInfo>

#include "platform/paths.h"

namespace orv::engine {

FavoritesStore::FavoritesStore()
    : m_path(defaultPath())
{}

FavoritesStore::FavoritesStore(QString path)
    : m_path(std::move(path))
{}

QString FavoritesStore::defaultPath()
{
    return QDir(platform::paths::programFolder()).filePath(QStringLiteral("favorites.lst"));
}

platform::Status FavoritesStore::reload()
{
    if (!QFileInfo::exists(m_path))
        return {};
    auto loaded = AddressList::load(m_path);
    if (!loaded)
        return loaded.error();
    m_addresses = std::move(loaded.value());
    m_loaded = true;
    return {};
}

platform::Status FavoritesStore::load()
{
    platform::Status status = reload();
    m_loaded = true;
    return status;
}

platform::Status FavoritesStore::ensureLoaded()
{
    if (m_loaded)
        return {};
    if (!m_addresses.isEmpty()) {
        m_loaded = true;
        return {};
    }
    return load();
}

bool FavoritesStore::contains(const AddressWords &server) const
{
    return m_addresses.FindAddress(server);
}

bool FavoritesStore::add(const AddressWords &server)
{
    if (contains(server))
        return false;
    m_addresses.append(server.toLine());
    return true;
}

void FavoritesStore::removeAt(qsizetype index)
{
    if (index >= 0 && index < m_addresses.size())
        m_addresses.lines().removeAt(index);
}

void FavoritesStore::clear()
{
    m_addresses.clear();
    m_loaded = true;
}

platform::Status FavoritesStore::save() const
{
    return m_addresses.save(m_path);
}

} // namespace orv::engine

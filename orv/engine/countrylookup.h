// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

#include <QHash>
#include <QString>

namespace orv::engine {

// The country of a server's IPv4 address, from the system's IP location database (the
// libloc database of the libloc-database package; read locally, nothing is sent anywhere).
// The database is opened at the first lookup, not before, so it never delays the start.
// Without the database, or for loopback, private, reserved and unknown addresses, the
// country is empty.
class CountryLookup
{
public:
    explicit CountryLookup(QString databasePath = defaultDatabasePath());
    ~CountryLookup();
    CountryLookup(const CountryLookup &) = delete;
    CountryLookup &operator=(const CountryLookup &) = delete;

    static QString defaultDatabasePath();
    // The lookup the lists share, over the default database.
    static CountryLookup &shared();

    // Two capital letters ("NL"), or empty.
    QString countryOf(quint32 ipv4) const;
    // The same for a dotted-quad address; empty for any other text.
    QString countryOf(const QString &dottedAddress) const;
    // Whether the database could be opened (opens it when that was not tried yet).
    bool isAvailable() const;

    // Addresses that no country owns: 0/8, loopback, private, shared, link-local,
    // documentation and test ranges, multicast and reserved.
    static bool isPrivateOrReserved(quint32 ipv4);

private:
    struct Database;
    void open() const;

    QString m_path;
    mutable std::unique_ptr<Database> m_database;
    mutable bool m_opened = false;
    mutable QHash<quint32, QString> m_cache;
};

} // namespace orv::engine

// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/engine/countrylookup.h"

#include <cstdio>

#include <QFile>
#include <QHostAddress>

#ifdef ORV_HAVE_LIBLOC
#include <arpa/inet.h>
#include <netinet/in.h>

extern "C" {
#include <libloc/database.h>
#include <libloc/libloc.h>
#include <libloc/network.h>
}
#endif

namespace orv::engine {

namespace {

// Answers of many servers share few addresses; the cache stays small but is bounded anyway.
constexpr qsizetype kMaxCached = 100000;

bool inRange(quint32 ip, quint32 network, int prefix)
{
    const quint32 mask = prefix == 0 ? 0 : ~quint32(0) << (32 - prefix);
    return (ip & mask) == network;
}

bool isCountryCode(const char *code)
{
    if (!code || !(code[0] >= 'A' && code[0] <= 'Z') || !(code[1] >= 'A' && code[1] <= 'Z') || code[2] != '\0')
        return false;
    // Special codes of the database: anonymous proxies and the like, and "unknown".
    return !(code[0] == 'X' && (code[1] == 'D' || code[1] == 'X')) && !(code[0] == 'A' && code[1] == 'P') &&
           !(code[0] == 'E' && code[1] == 'U');
}

} // namespace

#ifdef ORV_HAVE_LIBLOC
struct CountryLookup::Database
{
    loc_ctx *ctx = nullptr;
    loc_database *db = nullptr;
    FILE *file = nullptr;

    ~Database()
    {
        if (db)
            loc_database_unref(db);
        if (ctx)
            loc_unref(ctx);
        if (file)
            std::fclose(file);
    }
};
#else
struct CountryLookup::Database
{
};
#endif

CountryLookup::CountryLookup(QString databasePath)
    : m_path(std::move(databasePath))
{}

CountryLookup::~CountryLookup() = default;

QString CountryLookup::defaultDatabasePath()
{
    return QStringLiteral("/usr/share/libloc-location/location.db");
}

CountryLookup &CountryLookup::shared()
{
    static CountryLookup lookup;
    return lookup;
}

bool CountryLookup::isPrivateOrReserved(quint32 ip)
{
    return inRange(ip, 0x00000000, 8) || inRange(ip, 0x0A000000, 8) || inRange(ip, 0x64400000, 10) ||
           inRange(ip, 0x7F000000, 8) || inRange(ip, 0xA9FE0000, 16) || inRange(ip, 0xAC100000, 12) ||
           inRange(ip, 0xC0000000, 24) || inRange(ip, 0xC0000200, 24) || inRange(ip, 0xC0A80000, 16) ||
           inRange(ip, 0xC6120000, 15) || inRange(ip, 0xC6336400, 24) || inRange(ip, 0xCB007100, 24) ||
           inRange(ip, 0xE0000000, 3);
}

void CountryLookup::open() const
{
    if (m_opened)
        return;
    m_opened = true;
#ifdef ORV_HAVE_LIBLOC
    auto database = std::make_unique<Database>();
    database->file = std::fopen(QFile::encodeName(m_path).constData(), "re");
    if (!database->file)
        return;
    if (loc_new(&database->ctx) == 0 && loc_database_new(database->ctx, &database->db, database->file) == 0)
        m_database = std::move(database);
#endif
}

bool CountryLookup::isAvailable() const
{
    open();
    return m_database != nullptr;
}

QString CountryLookup::countryOf(quint32 ipv4) const
{
    if (isPrivateOrReserved(ipv4) || !isAvailable())
        return {};
    if (const auto cached = m_cache.constFind(ipv4); cached != m_cache.constEnd())
        return *cached;
    QString country;
#ifdef ORV_HAVE_LIBLOC
    in6_addr address{};
    // IPv4 addresses are looked up in their IPv4-mapped IPv6 form.
    address.s6_addr[10] = 0xFF;
    address.s6_addr[11] = 0xFF;
    address.s6_addr[12] = static_cast<uint8_t>(ipv4 >> 24);
    address.s6_addr[13] = static_cast<uint8_t>(ipv4 >> 16);
    address.s6_addr[14] = static_cast<uint8_t>(ipv4 >> 8);
    address.s6_addr[15] = static_cast<uint8_t>(ipv4);
    loc_network *network = nullptr;
    if (loc_database_lookup(m_database->db, &address, &network) == 0 && network) {
        const char *code = loc_network_get_country_code(network);
        if (isCountryCode(code))
            country = QString::fromLatin1(code, 2);
        loc_network_unref(network);
    }
#endif
    if (m_cache.size() >= kMaxCached)
        m_cache.clear();
    m_cache.insert(ipv4, country);
    return country;
}

QString CountryLookup::countryOf(const QString &dottedAddress) const
{
    QHostAddress address;
    if (!address.setAddress(dottedAddress) || address.protocol() != QAbstractSocket::IPv4Protocol)
        return {};
    return countryOf(address.toIPv4Address());
}

} // namespace orv::engine

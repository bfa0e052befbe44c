// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/engine/serveraddress.h"

#include "orv/engine/textutil.h"

namespace orv::engine {

std::optional<quint32> ServerAddress::parseIpv4(QStringView text)
{
    quint32 ip = 0;
    int fields = 0;
    int digits = 0;
    quint32 field = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == QLatin1Char('.')) {
            if (digits == 0 || ++fields > 4)
                return std::nullopt;
            ip = ip << 8 | field;
            digits = 0;
            field = 0;
            continue;
        }
        const QChar c = text[i];
        if (c < QLatin1Char('0') || c > QLatin1Char('9') || ++digits > 3)
            return std::nullopt;
        field = field * 10 + quint32(c.unicode() - '0');
        if (field > 255)
            return std::nullopt;
    }
    if (fields != 4)
        return std::nullopt;
    return ip;
}

std::optional<ServerAddress> ServerAddress::fromText(QStringView address, QStringView gamePort, QStringView queryPort)
{
    const auto ip = parseIpv4(address);
    const auto game = parsePortNumber(gamePort);
    const auto query = parsePortNumber(queryPort);
    if (!ip || !game || !query)
        return std::nullopt;
    return ServerAddress{*ip, *game, *query};
}

QString ServerAddress::addressText() const
{
    return QString::number(ip >> 24) + QLatin1Char('.') + QString::number(ip >> 16 & 0xFF) + QLatin1Char('.') +
           QString::number(ip >> 8 & 0xFF) + QLatin1Char('.') + QString::number(ip & 0xFF);
}

QString ServerAddress::toLine() const
{
    return addressText() + QLatin1Char(' ') + gamePortText() + QLatin1Char(' ') + queryPortText();
}

} // namespace orv::engine

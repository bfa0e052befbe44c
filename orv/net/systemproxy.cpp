// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/net/systemproxy.h"

#include <QNetworkProxy>
#include <QNetworkProxyFactory>
#include <QNetworkProxyQuery>
#include <QUrl>

#include "orv/engine/textutil.h"

namespace orv::net {

std::optional<QString> proxySettingFromEnvironment(const QString &value)
{
    const QString trimmed = value.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    if (!trimmed.contains(QStringLiteral("://")))
        return trimmed;
    // The scheme and any credentials are no part of the host box.
    const QUrl url(trimmed, QUrl::TolerantMode);
    if (!url.isValid() || url.host().isEmpty())
        return std::nullopt;
    QString setting = url.host();
    if (url.port() > 0)
        setting += QLatin1Char(':') + QString::number(url.port());
    return setting;
}

std::optional<QString> systemProxySetting()
{
    for (const char *name : {"http_proxy", "HTTP_PROXY"}) {
        const QString value = qEnvironmentVariable(name);
        if (value.trimmed().isEmpty())
            continue;
        return proxySettingFromEnvironment(value);
    }
    const QNetworkProxyQuery query(QUrl(QStringLiteral("http://orvane.invalid/")));
    for (const QNetworkProxy &proxy : QNetworkProxyFactory::systemProxyForQuery(query)) {
        if (proxy.type() != QNetworkProxy::HttpProxy || proxy.hostName().isEmpty())
            continue;
        QString setting = proxy.hostName();
        if (proxy.port() > 0)
            setting += QLatin1Char(':') + QString::number(proxy.port());
        return setting;
    }
    return QString();
}

ProxyHostPort splitProxySetting(const QString &setting)
{
    QString rest = setting;
    ProxyHostPort result;
    result.host = engine::SplitHead(rest, QLatin1Char(':'));
    result.port = engine::RemoveChar(rest, QLatin1Char(':'));
    return result;
}

} // namespace orv::net

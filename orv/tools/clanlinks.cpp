// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/tools/clanlinks.h"

#include <QString>

namespace orv::tools::clanlinks {

namespace {

QUrl onSite(const QUrl &site, QLatin1StringView path)
{
    QString base = site.toString(QUrl::FullyEncoded);
    while (base.endsWith(QLatin1Char('/')))
        base.chop(1);
    return QUrl(base + path, QUrl::StrictMode);
}

bool hasLineBreakOrNul(QStringView text)
{
    for (const QChar c : text) {
        if (c == u'\r' || c == u'\n' || c == u'\0')
            return true;
    }
    return false;
}

} // namespace

QUrl defaultWebSite()
{
    return QUrl(QLatin1StringView(kWebSite));
}

QUrl clansListUrl(const QUrl &site)
{
    return onSite(site, QLatin1StringView("/files/clans.lst"));
}

QUrl registrationPageUrl(const QUrl &site)
{
    return onSite(site, QLatin1StringView("/clanreg.htm"));
}

QUrl newsPageUrl(const QUrl &site)
{
    return onSite(site, QLatin1StringView("/news.htm"));
}

std::optional<QUrl> webPageUrl(QStringView text)
{
    const QStringView trimmed = text.trimmed();
    if (trimmed.isEmpty() || hasLineBreakOrNul(trimmed))
        return std::nullopt;
    QString address = trimmed.toString();
    if (address.startsWith(QLatin1StringView("www."), Qt::CaseInsensitive))
        address.prepend(QLatin1StringView("http://"));
    const QUrl url(address, QUrl::TolerantMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != QLatin1StringView("http") && scheme != QLatin1StringView("https")) ||
        url.host().isEmpty())
        return std::nullopt;
    return url;
}

std::optional<QUrl> mailtoUrl(QStringView email)
{
    const QStringView trimmed = email.trimmed();
    if (trimmed.isEmpty() || hasLineBreakOrNul(trimmed))
        return std::nullopt;
    QUrl url;
    url.setScheme(QStringLiteral("mailto"));
    // Decoded mode: every character is taken literally, so "?" and "%" are encoded rather
    // than read as the start of header fields or as escapes.
    url.setPath(trimmed.toString(), QUrl::DecodedMode);
    if (!url.isValid())
        return std::nullopt;
    return url;
}

} // namespace orv::tools::clanlinks

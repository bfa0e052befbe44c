// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include <QStringView>
#include <QUrl>

// The addresses the clans directory opens: the pages of the program's web site, and the
// home pages and mail addresses that a downloaded clans list names.
namespace orv::tools::clanlinks {

// The program's own web site. "orvane.invalid" stands for the domain the project owns (the
// master-list defaults use it too); ".invalid" is reserved and never resolves, so an
// installation that has not set its real site opens and fetches nothing from anybody else.
// This is the one place to change it.
inline constexpr char kWebSite[] = "http://www.orvane.invalid";

QUrl defaultWebSite();
// The clans list, the registration page and the news page under a site ("http://host" or
// "http://host/folder", with or without a trailing "/").
QUrl clansListUrl(const QUrl &site);
QUrl registrationPageUrl(const QUrl &site);
QUrl newsPageUrl(const QUrl &site);

// A home page from the clans list as an address the system may open: http:// and https://
// addresses, and "www." names without a scheme (given "http://"). Anything else (empty
// text, local files, other schemes) gives nullopt: the file comes from the web, and handing
// its text to the desktop's opener unchecked would let it start local programs.
std::optional<QUrl> webPageUrl(QStringView text);

// "mailto:" + the address. The address is kept whole as the recipient, so a "?" in it cannot
// add a subject, a body or attachments to the mail. nullopt for empty text or line breaks.
std::optional<QUrl> mailtoUrl(QStringView email);

} // namespace orv::tools::clanlinks

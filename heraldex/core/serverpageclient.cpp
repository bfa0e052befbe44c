// SPDX-License-Identifier: GPL-3.0-or-later
#include "heraldex/core/serverpageclient.h"

#include <QAuthenticator>
#include <QLoggingCategory>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

Q_LOGGING_CATEGORY(lcPage, "heraldex.core.page")

namespace heraldex::core {

ServerPageClient::ServerPageClient(QObject *parent)
    : QObject(parent)
    , m_timer(new QTimer(this))
{
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, [this] {
        m_abortReason = PageError::TimedOut;
        if (m_reply)
            m_reply->abort();
    });
}

ServerPageClient::~ServerPageClient()
{
    abort();
}

void ServerPageClient::setTimeout(std::chrono::milliseconds timeout)
{
    m_timeout = timeout;
}

void ServerPageClient::setMaxPageSize(qint64 bytes)
{
    m_maxPageSize = bytes;
}

bool ServerPageClient::isBusy() const
{
    return !m_reply.isNull();
}

QString ServerPageClient::decodePage(const QByteArray &bytes)
{
    // The game's web server sends 8-bit Windows text; Latin-1 keeps every byte.
    return QString::fromLatin1(bytes);
}

void ServerPageClient::abort()
{
    ++m_generation;
    m_timer->stop();
    if (m_reply) {
        QNetworkReply *reply = m_reply;
        m_reply = nullptr;
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
    if (m_manager)
        m_manager->deleteLater();
    m_manager = nullptr;
    m_body.clear();
}

void ServerPageClient::OpenServerPage(const ServerLogin &login)
{
    abort();
    m_abortReason = PageError::None;
    m_lastHttpStatus = 0;
    m_challenges = 0;

    bool portOk = false;
    const int port = login.port.trimmed().toInt(&portOk);
    QUrl url;
    url.setScheme(QStringLiteral("http"));
    url.setHost(login.address.trimmed(), QUrl::StrictMode);
    url.setPort(portOk && port > 0 && port <= 65535 ? port : -1);
    url.setPath(QStringLiteral("/ServerAdmin/current_players"));
    if (login.address.trimmed().isEmpty() || !url.isValid() || url.host().isEmpty() || url.port() < 0) {
        // Report asynchronously, like every other outcome.
        QTimer::singleShot(0, this, [this, generation = m_generation] {
            if (generation == m_generation)
                emit pageOpened(QString(), PageError::BadAddress);
        });
        return;
    }

    // A fresh manager per download: Qt caches credentials per manager, and a cached pair
    // would hide a password that has since been changed in the window.
    m_manager = new QNetworkAccessManager(this);
    connect(m_manager, &QNetworkAccessManager::authenticationRequired, this,
            [this, login](QNetworkReply *reply, QAuthenticator *authenticator) {
                // Answer the first challenge only; a second one means the pair was refused.
                if (reply != m_reply || ++m_challenges > 1)
                    return;
                authenticator->setUser(login.adminName);
                authenticator->setPassword(login.password);
            });

    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("VB OpenUrl"));
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    // A redirect could lead the credentials to another host.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);

    m_reply = m_manager->get(request);
    connect(m_reply, &QNetworkReply::readyRead, this, &ServerPageClient::onReadyRead);
    connect(m_reply, &QNetworkReply::finished, this, &ServerPageClient::onFinished);
    m_timer->start(m_timeout);
}

void ServerPageClient::onReadyRead()
{
    if (!m_reply)
        return;
    m_body += m_reply->readAll();
    if (m_body.size() > m_maxPageSize) {
        m_abortReason = PageError::TooLarge;
        m_reply->abort();
    }
}

void ServerPageClient::onFinished()
{
    if (!m_reply)
        return;
    m_timer->stop();
    QNetworkReply *reply = m_reply;
    if (m_abortReason == PageError::None)
        m_body += reply->readAll();

    PageError error = m_abortReason;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    m_lastHttpStatus = status;
    if (error == PageError::None && m_body.size() > m_maxPageSize)
        error = PageError::TooLarge;
    if (error == PageError::None) {
        switch (reply->error()) {
        case QNetworkReply::NoError:
            if (status < 200 || status > 299)
                error = PageError::HttpStatus;
            break;
        case QNetworkReply::AuthenticationRequiredError:
            error = PageError::Refused;
            break;
        default:
            error = status != 0 ? PageError::HttpStatus : PageError::Unreachable;
            break;
        }
    }
    if (error != PageError::None)
        qCDebug(lcPage) << "no page from" << reply->url().toDisplayString() << reply->errorString();

    QString page = error == PageError::None ? decodePage(m_body) : QString();
    m_reply = nullptr;
    reply->disconnect(this);
    reply->deleteLater();
    if (m_manager)
        m_manager->deleteLater();
    m_manager = nullptr;
    m_body.clear();
    finish(std::move(page), error);
}

void ServerPageClient::finish(QString page, PageError error)
{
    emit pageOpened(page, error);
}

} // namespace heraldex::core
